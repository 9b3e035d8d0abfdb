// koru-tool text FILE: the program text the STEP3 editor shows after opening
// a program file: a text program's own lines, or another step's checked
// listing written as statements.
#include "tools/command.h"
#include "tools/programkind.h"

#include "text/textfile.h"

namespace koru::tool {
namespace {

int RunText(const QStringList &args);

const KoruCommand textCommand("text", "FILE", "print the STEP3 text of any program file", RunText);

int RunText(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(textCommand);
    const std::optional<QStringList> lines = ReadFileForCommand(textCommand.name, args[0]);
    if (!lines)
        return Refused;
    const std::optional<KeywordTable> keywords = ReadKeywordTable();
    if (!keywords)
        return refuse(KeywordReadErrorMessage);
    const std::optional<QStringList> text = ProgramTextOfFile(*lines, TextLanguage(*keywords));
    if (!text)
        return refuse(CannotOpenInTextMessage);
    for (const QString &line : *text)
        out() << line << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
