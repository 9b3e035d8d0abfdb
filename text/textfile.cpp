#include "text/textfile.h"

#include "model/messages.h"
#include "model/programfile.h"

namespace koru {

bool IsTextProgramFile(const QStringList &fileLines)
{
    return fileLines.contains(TextSectionKeyword);
}

std::optional<QStringList> ProgramTextOfFile(const QStringList &fileLines, const TextLanguage &language)
{
    const qsizetype section = fileLines.indexOf(TextSectionKeyword);
    if (section >= 0)
        return fileLines.mid(section + 1);
    if (fileLines.value(0) == QLatin1String("OK"))
        return language.renderRecords(fileLines);
    return std::nullopt;
}

FileResult ReadTextProgramFile(const QString &path, const TextLanguage &language, QStringList &programText)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines)
        return {false, LoadFailed};
    std::optional<QStringList> text = ProgramTextOfFile(*lines, language);
    if (!text)
        return {false, CannotOpenInTextMessage};
    programText = *text;
    return {true, {}};
}

QStringList TextProgramFileLines(const QStringList &programText, const TextLanguage &language)
{
    QStringList lines;
    if (language.check(programText).passed())
        lines << QStringLiteral("OK") << language.toRecords(programText);
    else
        lines << QStringLiteral("NG");
    lines << TextSectionKeyword << programText;
    return lines;
}

} // namespace koru
