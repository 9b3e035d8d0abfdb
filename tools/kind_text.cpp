// STEP3 program files for koru-tool's file commands: the program is the text
// after "WORDDATA", checked and translated with the keyword file the text
// editor would read (the user's copy first).
#include "tools/programkind.h"

#include "text/textfile.h"
#include "text/textlanguage.h"

namespace koru::tool {
namespace {

// The text program of a file with its language, or the refusal.
struct LoadedText
{
    std::optional<TextLanguage> language;
    QStringList program;
    QString refusal;
};

LoadedText LoadText(const QStringList &fileLines)
{
    LoadedText loaded;
    const std::optional<KeywordTable> keywords = ReadKeywordTable();
    if (!keywords) {
        loaded.refusal = KeywordReadErrorMessage;
        return loaded;
    }
    loaded.language.emplace(*keywords);
    loaded.program = ProgramTextOfFile(fileLines, *loaded.language).value_or(QStringList());
    const CheckResult check = loaded.language->check(loaded.program);
    if (!check.passed())
        loaded.refusal = check.message;
    return loaded;
}

KindResult TextFileListing(const QStringList &fileLines)
{
    const LoadedText loaded = LoadText(fileLines);
    if (!loaded.refusal.isEmpty())
        return KindResult::refused(loaded.refusal);
    return {loaded.language->toRecords(loaded.program), {}};
}

KindResult TextFileImage(const QStringList &fileLines)
{
    const LoadedText loaded = LoadText(fileLines);
    if (!loaded.refusal.isEmpty())
        return KindResult::refused(loaded.refusal);
    const koru::TextImage image = loaded.language->toBytes(loaded.program);
    if (!image.sendable())
        return KindResult::refused(image.refusal);
    return {ImageTexts(image.image), {}};
}

const ProgramKind textKind("text", IsTextProgramFile, TextFileImage, TextFileListing);

} // namespace
} // namespace koru::tool
