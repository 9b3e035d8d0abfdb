#include "text/ui/textfilecommands.h"

#include "model/dialogservice.h"
#include "model/paths.h"
#include "text/textfile.h"

namespace koru::text {

std::optional<QString> SaveTextProgram(const QStringList &programText, const TextLanguage &language)
{
    return SaveProgramCommand(TextFiles, TextProgramFileLines(programText, language));
}

std::optional<OpenedText> OpenTextProgram(const TextLanguage &language)
{
    QStringList text;
    const std::optional<QString> path = OpenProgramCommand(
        TextFiles, [&](const QString &file) { return ReadTextProgramFile(file, language, text); });
    if (!path)
        return std::nullopt;
    return OpenedText{*path, text};
}

std::optional<QStringList> ReadTextDemo(int number, const TextLanguage &language)
{
    QStringList text;
    const FileResult result = ReadTextProgramFile(TextDemoPath(number), language, text);
    ShowFileResult(result);
    if (!result.ok)
        return std::nullopt;
    return text;
}

QString TextDemoPath(int number)
{
    return AssetPath(QStringLiteral("Data\\Demo\\fro\\demo%1(フロー).koru").arg(number));
}

} // namespace koru::text
