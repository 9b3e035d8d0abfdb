// STEP3's file commands: save and open through the editors' shared file
// commands, and the demos (the flowchart's, shown as text).
#pragma once

#include "model/filecommands.h"
#include "model/messages.h"
#include "model/programfile.h"
#include "text/textfile.h"
#include "text/textlanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru::text {

inline const QString TextFileFilter = QStringLiteral("KORUファイル(*.koru)|*.koru");
inline const FileKind TextFiles{QStringLiteral("text"), TextFileFilter, QStringLiteral(".koru"), TextSuffix,
                                SaveFailed, TextSectionKeyword};

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

// Demo n (1 to 4) as program text; nullopt after the message was shown.
std::optional<QStringList> ReadTextDemo(int number, const TextLanguage &language);

// "Data\Demo\fro\demo<n>(フロー).koru".
QString TextDemoPath(int number);

} // namespace koru::text
