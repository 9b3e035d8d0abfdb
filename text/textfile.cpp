#include "text/textfile.h"

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
