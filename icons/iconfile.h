// Icon program files: "OK" and the instruction listing (or "NG" when the
// loop check fails), then "DDDATA" and one line per slot. The window saves
// and opens them through the file commands (model/filecommands.h) with
// IconFiles; nothing here shows a dialog.
#pragma once

#include "icons/iconprogram.h"
#include "model/filecommands.h"
#include "model/programfile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace koru::icons {

inline const QString IconSection = QStringLiteral("DDDATA");
// A STEP1 program file: it has the icon section.
bool IsIconFile(const QStringList &fileLines);
inline const QString IconFileFilter = QStringLiteral("KORUファイル(*.koru)|*.koru");
inline const QString OtherStepMessage =
    QStringLiteral("このファイルは他ステップで作成されています。\r\nファイルを作成したステップで開いて下さい。");
// Shown for any failure while saving (the program's long-standing wording).
inline const QString SaveErrorMessage = QStringLiteral("ファイル読み込みエラー");
// What the file commands need to know of icon files.
inline const FileKind IconFiles{QStringLiteral("icons"), IconFileFilter, QStringLiteral(".koru"), IconSuffix,
                                SaveErrorMessage};

// One slot's line: "-1", "9,", "12,5", "16,1", "3,0,4", "3,1,0".
QString SlotLine(const IconSlot &slot);

// The whole file; the slots are written whether the loop check passes or
// not (the window shows the check's message before saving).
QStringList IconFileLines(const IconProgram &program);

enum class ReadResult {
    Ok,
    OtherStep, // no "DDDATA": a file of another step; the row is left empty
    Damaged,   // a slot line the row cannot hold, or too few lines; slots read so far stay
};

// Reads a file's lines into the program (cleared first). Slider positions
// outside their range are clamped. Shows nothing.
ReadResult ReadIconLines(const QStringList &lines, IconProgram &program);

// Reads a file into the program; the result says what to tell the pupil
// ("他ステップ" message or the read failure). ok when the program was read
// completely.
FileResult LoadIconFile(const QString &path, IconProgram &program);

// The demo files beside the executable ("Data\Demo\dd\demo1(アイコン).koru").
QString DemoPath(int number);
FileResult LoadDemo(int number, IconProgram &program);

} // namespace koru::icons
