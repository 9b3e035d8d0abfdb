// Flowchart files: "OK" and the program's CommandListing (or "NG"), the
// line "ROUTINE" and one line per slot (routine 0 slots 0-29, then routine
// 1 ... routine 4), each the eight block fields joined by "-". Files of the
// other steps hold only the listing and are laid out as a flowchart.
//
// A loaded flowchart is checked as a whole before it replaces anything: a
// damaged file leaves an empty document, never one that the check, the
// translation or the drawing could trip over.
#pragma once

#include "flowchart/flowdocument.h"
#include "flowchart/flowtranslate.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

inline const QString FlowFileFilter = QStringLiteral("KORUファイル(*.koru)|*.koru");
inline constexpr int FlowDemoCount = 4;
// Largest coordinate a file may hold; the canvas is far smaller.
inline constexpr int MaxCanvasCoordinate = 100000;

// "このファイルは構文が間違っている為開けません。\r\nファイルを作成したステップで開いて下さい。"
QString OtherStepMessage();

// "3-timer-250-170-2-4--0,5,0,0,0,0"; a free slot gives "0--0-0----".
QString SlotLine(const FlowBlock &block);
// One slot line read back; nullopt when it does not have eight fields or a
// field is not what it must be (numbers, slots 0-29, a known kind,
// coordinates 0-100000, six parameters 0-255).
std::optional<FlowBlock> ParseSlotLine(const QString &line);

// The lines of a saved flowchart. listing, when given, receives the
// translation (its warning names a failing subroutine).
QStringList FlowFileLines(const FlowDocument &document, ListingResult *listing = nullptr);

struct FlowLoadResult
{
    enum Status {
        Loaded,    // a flowchart file
        Imported,  // another step's listing laid out (possibly empty)
        OtherStep, // neither: information message, empty document
        Failed,    // damaged or unreadable: warning, empty document
        TooLarge,  // more than 120 bytes: warning, empty document
    };
    Status status = Failed;
    QString message;       // to show; empty when there is nothing to say
    bool isInformation = false; // information box rather than a warning
    bool ok() const { return status == Loaded || status == Imported; }
};

// Replaces the document with the file's lines.
FlowLoadResult LoadFlowLines(FlowDocument &document, const QStringList &lines);
FlowLoadResult LoadFlowFile(FlowDocument &document, const QString &path);

// Path of a demo file (1-4) beside the executable.
QString FlowDemoPath(int number);

// ---- The window's file commands, with their dialogs ---------------------

// "ファイルへ保存": translation (a failing subroutine's warning), save dialog,
// suffix, overwrite question, write. Returns the saved path, empty when
// cancelled or failed (the failure shown).
QString SaveFlowchartCommand(const FlowDocument &document);
// "保存ファイルの読み込み": open dialog, extension check, load, messages.
// Returns the opened path for the caption, empty otherwise.
QString OpenFlowchartCommand(FlowDocument &document);
// "デモ１" ... "デモ４": loads the demo; false (and the message shown) on failure.
bool OpenFlowDemoCommand(FlowDocument &document, int number);
// Shows a load result's message, if any, in the right kind of box.
void ShowLoadResult(const FlowLoadResult &result);

} // namespace koru
