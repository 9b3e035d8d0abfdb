// STEP3's file commands with their dialogs: save, open and the demos. Kept
// in this one unit so that they move onto the shared file-command helper in
// one place.
#pragma once

#include "text/textlanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru::text {

inline const QString TextFileFilter = QStringLiteral("KORUファイル(*.koru)|*.koru");

// Asks for a name and saves the program file of programText (the check's
// outcome decides between "OK" and "NG"; the caller has shown its message).
// The path written, nullopt when cancelled or failed (the warning shown).
std::optional<QString> SaveTextProgram(const QStringList &programText, const TextLanguage &language);

struct OpenedText
{
    QString path;
    QStringList programText;
};

// Asks for a file and reads it as program text. nullopt when cancelled or
// refused, the message shown.
std::optional<OpenedText> OpenTextProgram(const TextLanguage &language);

// The program text of a file: a STEP3 file's own lines, another step's
// checked listing as statements. Shows the load failure or the other-step
// refusal and gives nullopt.
std::optional<QStringList> ReadTextProgram(const QString &path, const TextLanguage &language);

// "Data\Demo\fro\demo<n>(フロー).koru": the demos are the flowchart's, shown
// as text.
QString TextDemoPath(int number);

} // namespace koru::text
