// STEP3 program files for koru-tool's file commands: the program is the text
// after "WORDDATA", checked and translated with the keyword file the text
// editor would read (the user's copy first).
#include "tools/programkind.h"

#include "text/textfile.h"
#include "text/textlanguage.h"

namespace koru::tool {
namespace {

// The text program of a file with its language; nullopt after a keyword
// file that cannot be read (KeywordReadErrorMessage).
struct LoadedText
{
    TextLanguage language;
    QStringList program;
};

std::optional<LoadedText> LoadText(const QStringList &fileLines)
{
    const std::optional<KeywordTable> keywords = ReadKeywordTable();
    if (!keywords)
        return std::nullopt;
    TextLanguage language(*keywords);
    QStringList program = ProgramTextOfFile(fileLines, language).value_or(QStringList());
    return LoadedText{std::move(language), std::move(program)};
}

KindResult TextFileListing(const QStringList &fileLines)
{
    const std::optional<LoadedText> loaded = LoadText(fileLines);
    if (!loaded)
        return KindResult::refused(KeywordReadErrorMessage);
    if (const CheckResult check = loaded->language.check(loaded->program); !check.passed())
        return KindResult::refused(check.message);
    return {loaded->language.toRecords(loaded->program), {}};
}

KindResult TextFileImage(const QStringList &fileLines)
{
    const std::optional<LoadedText> loaded = LoadText(fileLines);
    if (!loaded)
        return KindResult::refused(KeywordReadErrorMessage);
    return KindImage(SendableImage(loaded->language, loaded->program));
}

const ProgramKind textKind("text", IsTextProgramFile, TextFileImage, TextFileListing);

} // namespace
} // namespace koru::tool
