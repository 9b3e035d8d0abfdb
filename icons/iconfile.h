// Icon program files: "OK" and the instruction listing (or "NG" when the
// loop check fails), then "DDDATA" and one line per slot. Also the save,
// open and demo commands, which talk to the pupil through the dialog service
// and so run the same in the window, in koru-tool and in tests.
#pragma once

#include "icons/iconprogram.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace koru::icons {

inline const QString IconSection = QStringLiteral("DDDATA");
inline const QString IconFileFilter = QStringLiteral("KORUファイル(*.koru)|*.koru");
inline const QString OtherStepMessage =
    QStringLiteral("このファイルは他ステップで作成されています。\r\nファイルを作成したステップで開いて下さい。");
// Shown for any failure while saving (the program's long-standing wording).
inline const QString SaveErrorMessage = QStringLiteral("ファイル読み込みエラー");

// One slot's line: "-1", "9,", "12,5", "16,1", "3,0,4", "3,1,0".
QString SlotLine(const IconSlot &slot);

// The whole file. Runs the loop check, which shows its message on failure;
// the slots are written either way.
QStringList IconFileLines(const IconProgram &program);

enum class ReadResult {
    Ok,
    OtherStep, // no "DDDATA": a file of another step; the row is left empty
    Damaged,   // a slot line the row cannot hold, or too few lines; slots read so far stay
};

// Reads a file's lines into the program (cleared first). Slider positions
// outside their range are clamped. Shows nothing.
ReadResult ReadIconLines(const QStringList &lines, IconProgram &program);

// Reads a file and shows the pupil what went wrong ("他ステップ" message or
// the read failure). True when the program was read completely.
bool LoadIconFile(const QString &path, IconProgram &program);

// "ファイルへ保存": asks for a name, appends "(アイコン).koru" when the
// extension is missing, asks before replacing a file, writes. The saved
// path, or nothing when cancelled or failed (the failure shown).
std::optional<QString> SaveIconProgram(const IconProgram &program, const QString &folder = {});

// "ファイル読み込み": asks for a file, refuses other extensions, reads. The
// opened path, or nothing when cancelled or refused.
std::optional<QString> OpenIconProgram(IconProgram &program, const QString &folder = {});

// The demo files beside the executable ("Data\Demo\dd\demo1(アイコン).koru").
QString DemoPath(int number);
bool LoadDemo(int number, IconProgram &program);

} // namespace koru::icons
