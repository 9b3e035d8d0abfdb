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
#include "model/filecommands.h"
#include "model/messages.h"
#include "model/programfile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

inline const QString FlowFileFilter = QStringLiteral("KORUファイル(*.koru)|*.koru");
// What the file commands (model/filecommands.h) need to know of flowchart files.
inline const FileKind FlowFiles{QStringLiteral("flowchart"), FlowFileFilter, QStringLiteral(".koru"), FlowSuffix,
                                SaveFailed};
inline constexpr int FlowDemoCount = 4;
// Largest coordinate a file may hold; the canvas is far smaller.
inline constexpr int MaxCanvasCoordinate = 100000;

// "このファイルは構文が間違っている為開けません。\r\nファイルを作成したステップで開いて下さい。"
QString OtherStepMessage();
// A STEP2 program file: it has the routine section.
bool IsFlowFile(const QStringList &fileLines);

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
    // For the file commands, which show the message.
    FileResult toFileResult() const { return {ok(), message, isInformation}; }
};

// Replaces the document with the file's lines.
FlowLoadResult LoadFlowLines(FlowDocument &document, const QStringList &lines);
FlowLoadResult LoadFlowFile(FlowDocument &document, const QString &path);

// Path of a demo file (1-4) beside the executable.
QString FlowDemoPath(int number);

// The window's file commands are the shared ones (model/filecommands.h):
//   ListingResult listing;
//   const QStringList lines = FlowFileLines(document, &listing);
//   SaveProgramCommand(FlowFiles, lines, listing.warning);   // "ファイルへ保存"
//   OpenProgramCommand(FlowFiles, [&](const QString &path) { return LoadFlowFile(document, path).toFileResult(); });
//   ShowFileResult(LoadFlowDemo(document, n).toFileResult()); // "デモ１" ... "デモ４"

// Loads demo number (1-4); any other number fails with the read failure.
FlowLoadResult LoadFlowDemo(FlowDocument &document, int number);

} // namespace koru
