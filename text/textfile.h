// STEP3 program files: what the text editor saves, and what it shows after
// opening any step's program file.
//
// A STEP3 file holds "OK" and the program's listing when the text passes the
// checks ("NG" otherwise), then "WORDDATA" and the program's lines. Another
// step's file that passed its own check ("OK" first) opens as the text of its
// listing.
#pragma once

#include "model/filecommands.h"
#include "text/textlanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

inline const QString TextSectionKeyword = QStringLiteral("WORDDATA");

// Shown when a file holds neither a text program nor a checked listing.
inline const QString CannotOpenInTextMessage =
    QStringLiteral("このファイルは開けません。\r\nファイルを作成したステップで開いて下さい。");

// Whether the lines are a STEP3 program file (they have a "WORDDATA" line).
bool IsTextProgramFile(const QStringList &fileLines);

// The program text the editor shows for a file's lines: the lines after the
// first "WORDDATA"; otherwise, when the first line is "OK", the rendered
// listing. nullopt when neither applies or the listing has records without
// a statement (callers show CannotOpenInTextMessage).
std::optional<QStringList> ProgramTextOfFile(const QStringList &fileLines, const TextLanguage &language);

// Reads a program file into the text STEP3 shows (ProgramTextOfFile): the
// load failure, or the other-step refusal, when it cannot. programText is
// set only when the file was read.
FileResult ReadTextProgramFile(const QString &path, const TextLanguage &language, QStringList &programText);

// The lines to save for a program text. The "OK" listing is written only
// when the text passes the checks.
QStringList TextProgramFileLines(const QStringList &programText, const TextLanguage &language);

} // namespace koru
