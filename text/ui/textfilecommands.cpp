#include "text/ui/textfilecommands.h"

#include "model/dialogservice.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "text/textfile.h"

#include <QFileInfo>

namespace koru::text {

std::optional<QString> SaveTextProgram(const QStringList &programText, const TextLanguage &language)
{
    const QStringList lines = TextProgramFileLines(programText, language);
    const QString chosen = Dialogs().saveFileName(TextFileFilter);
    if (chosen.isEmpty())
        return std::nullopt;
    const QString path = WithProgramSuffix(chosen, TextSuffix);
    if (QFileInfo::exists(path) && !Dialogs().confirmOverwrite(OverwriteQuestion))
        return std::nullopt;
    if (QFileInfo(path).isDir() || !WriteProgramLines(path, lines)) {
        Dialogs().warning(SaveFailed);
        return std::nullopt;
    }
    return path;
}

std::optional<QStringList> ReadTextProgram(const QString &path, const TextLanguage &language)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines) {
        Dialogs().warning(LoadFailed);
        return std::nullopt;
    }
    std::optional<QStringList> text = ProgramTextOfFile(*lines, language);
    if (!text)
        Dialogs().warning(CannotOpenInTextMessage);
    return text;
}

std::optional<OpenedText> OpenTextProgram(const TextLanguage &language)
{
    const QString path = Dialogs().openFileName(TextFileFilter);
    if (path.isEmpty())
        return std::nullopt;
    if (!HasProgramExtension(path)) {
        Dialogs().information(WrongExtension);
        return std::nullopt;
    }
    std::optional<QStringList> text = ReadTextProgram(path, language);
    if (!text)
        return std::nullopt;
    return OpenedText{path, *text};
}

QString TextDemoPath(int number)
{
    return AssetPath(QStringLiteral("Data\\Demo\\fro\\demo%1(フロー).koru").arg(number));
}

} // namespace koru::text
