#include "text/keywordsettings.h"

#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/textutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace koru {

namespace {

// What stood at a path before it was replaced, to put it back.
struct PreviousFile
{
    bool existed = false;
    QByteArray bytes;
};

// nullopt when something stands there that cannot be read back (a folder,
// an unreadable file): replacing it could not be undone.
std::optional<PreviousFile> PreviousFileAt(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return PreviousFile{};
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return PreviousFile{true, file.readAll()};
}

void RestoreFile(const QString &path, const PreviousFile &previous)
{
    if (previous.existed)
        WriteFileAtomically(path, previous.bytes);
    else
        QFile::remove(path);
}

// Characters a keyword may not hold: the statement syntax, the comment
// mark's slash pair is checked apart, and what the help page would read as
// markup.
const QString SyntaxCharacters = QStringLiteral("(),;{}<>&");

bool fitsKeywordFile(const QString &text)
{
    const std::optional<QByteArray> bytes = EncodeProgramText({text});
    if (!bytes)
        return false;
    const std::optional<QStringList> back = DecodeProgramText(*bytes);
    return back && back->value(0) == text;
}

QString roleName(int line)
{
    return QStringLiteral("「%1」").arg(KeywordRoleCaption(line));
}

std::optional<KeywordRefusal> refusalOfOne(int line, const QString &text)
{
    const QString role = roleName(line);
    const bool badCharacter = text.contains(QStringLiteral("//")) || std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.isSpace() || SyntaxCharacters.contains(c) || c.category() == QChar::Other_Control;
    });
    if (badCharacter) {
        return KeywordRefusal{QStringLiteral("%1の命令語「%2」には使えない文字が含まれております。\r\n"
                                             "空白と ( ) ; { } < > & // は命令語に使えません。")
                                  .arg(role, text),
                              line};
    }
    const QString lower = text.toLower();
    if (lower == QLatin1String("if") || lower == QLatin1String("else")) {
        return KeywordRefusal{QStringLiteral("if と else は条件分岐に使う語のため、命令語にできません。\r\n"
                                             "%1の命令語を変えて下さい。")
                                  .arg(role),
                              line};
    }
    if (!fitsKeywordFile(text)) {
        return KeywordRefusal{QStringLiteral("%1の命令語「%2」には保存できない文字が含まれております。\r\n"
                                             "別の文字にして下さい。")
                                  .arg(role, text),
                              line};
    }
    return std::nullopt;
}

} // namespace

const QList<KeywordBox> &KeywordBoxes()
{
    static const QList<KeywordBox> boxes = {
        {1, "LED", "点灯", false, true},
        {2, "LED", "フェードイン", false, true},
        {3, "LED", "フェードアウト", false, true},
        {4, "信号待ち", "音入力があるまで停止", false, true},
        {5, "信号待ち", "SWが押されるまで停止", false, true},
        {6, "信号待ち", "明るくなるまで停止", false, true},
        {7, "信号待ち", "暗くなるまで停止", false, true},
        {8, "信号待ち", "指定した温度になるまで停止", false, true},
        {9, "信号待ち", "指定した湿度になるまで停止", false, true},
        {10, "タイマー（動作停止）", "タイマー", false, true},
        {11, "繰り返し", "繰り返し開始", false, true},
        {12, "繰り返し", "繰り返し終了", false, true},
        {13, "音", "AM/FM再生", true, true},
        {14, "音", "AM/FM停止", true, true},
        {15, "音", "音データ再生", true, true},
        {16, "音", "確認音１", true, true},
        {17, "音", "確認音２", true, true},
        {18, "音", "確認音３", true, true},
        {19, "バックライト", "点灯", true, true},
        {20, "バックライト", "リンク開始", true, true},
        {21, "バックライト", "リンク終了", true, true},
        {22, "計測", "変数xに代入", true, true},
        {23, "計測", "変数yに代入", true, true},
        {24, "実験ボード制御", "DCモータON", true, true},
        {25, "実験ボード制御", "DCモータOFF", true, false},
        {26, "実験ボード制御", "豆球ON", true, true},
        {27, "実験ボード制御", "豆球OFF", true, false},
    };
    return boxes;
}

QString KeywordRoleCaption(int line)
{
    if (line < 1 || line > KeywordBoxCount)
        return {};
    const KeywordBox &box = KeywordBoxes().at(line - 1);
    return QString::fromUtf8(box.group) + QLatin1Char(' ') + QString::fromUtf8(box.caption);
}

QStringList KeywordBoxTexts(const QStringList &keywordLines)
{
    QStringList texts;
    for (int n = 1; n <= KeywordBoxCount; ++n)
        texts.append(FieldOf(keywordLines.value(n - 1), 3, QLatin1Char(',')));
    return texts;
}

std::optional<KeywordRefusal> RefusalOf(const QStringList &boxTexts)
{
    for (int n = 1; n <= KeywordBoxCount; ++n) {
        const QString text = boxTexts.value(n - 1);
        if (text.isEmpty() || text.contains(QLatin1Char(',')))
            return KeywordRefusal{EmptyOrCommaMessage, n, true};
    }
    for (int n = 1; n <= KeywordBoxCount; ++n) {
        if (std::optional<KeywordRefusal> refusal = refusalOfOne(n, boxTexts.value(n - 1)))
            return refusal;
    }
    // Statements are lower-cased before they are matched, so "Timer" and
    // "timer" are the same keyword: the second role could never be written.
    for (int n = 1; n <= KeywordBoxCount; ++n) {
        for (int m = 1; m < n; ++m) {
            if (boxTexts.value(n - 1).toLower() == boxTexts.value(m - 1).toLower()) {
                return KeywordRefusal{QStringLiteral("命令語「%1」が%2と%3の両方に設定されております。\r\n"
                                                     "別々の命令語にして下さい。")
                                          .arg(boxTexts.value(n - 1), roleName(m), roleName(n)),
                                      n};
            }
        }
    }
    return std::nullopt;
}

QStringList UserKeywordLines(const QStringList &shippedLines, const QStringList &boxTexts)
{
    QStringList lines;
    for (qsizetype i = 0; i < shippedLines.size(); ++i) {
        const QString &line = shippedLines.at(i);
        if (i >= KeywordBoxCount || FieldOf(line, 3, QLatin1Char(',')) == QLatin1String("if")) {
            lines.append(line);
            continue;
        }
        // Only the keyword field changes, so a keyword that also stands in
        // another field (a "1" among the durations) leaves that field alone.
        QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() >= 3)
            fields[2] = boxTexts.value(i);
        lines.append(fields.join(QLatin1Char(',')));
    }
    return lines;
}

const QList<IndexKeyword> &IndexKeywords()
{
    static const QList<IndexKeyword> keywords = {
        {"ledon", 1},      {"fadein", 2},     {"fadeout", 3},    {"soundwait", 4},  {"swwait", 5},
        {"lightwait", 6},  {"darkwait", 7},   {"tempwait", 8},   {"humiwait", 9},   {"timer", 10},
        {"loopstart", 11}, {"loopend", 12},   {"radioplay", 13}, {"radiostop", 14}, {"melodydata", 15},
        {"beep1", 16},     {"beep2", 17},     {"beep3", 18},     {"backlight", 19}, {"linkstart", 20},
        {"linkend", 21},   {"gettempx", 22},  {"gethumiy", 23},  {"motoron", 24},   {"lampon", 26},
    };
    return keywords;
}

QStringList UserIndexLines(const QStringList &shippedLines, const QStringList &boxTexts,
                           const QString &helpFolderUrl)
{
    const QString link = QStringLiteral("<a href=\"");
    QStringList lines;
    for (QString line : shippedLines) {
        for (const IndexKeyword &entry : IndexKeywords()) {
            const QString keyword = QLatin1String(entry.keyword);
            if (line.contains(keyword)) {
                line = ReplaceText(line, keyword, boxTexts.value(entry.line - 1));
                break;
            }
        }
        if (line.contains(link))
            line = ReplaceText(line, link, link + helpFolderUrl);
        lines.append(line);
    }
    return lines;
}

QString WordHelpFolderUrl()
{
    QString folder = QUrl::fromLocalFile(QDir::cleanPath(AssetPath(WordHelpFolder))).toString(QUrl::FullyEncoded);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString UserIndexPagePath()
{
    return WorkFolder() + UserIndexPageName;
}

QString ActiveIndexPagePath()
{
    const QString user = UserIndexPagePath();
    return QFileInfo::exists(user) ? user : AssetPath(ShippedIndexPage);
}

ApplyResult ApplyKeywords(const QStringList &boxTexts)
{
    ApplyResult result;
    result.refusal = RefusalOf(boxTexts);
    if (result.refusal)
        return result;
    const std::optional<QStringList> shippedKeywords = ReadKeywordLines(ShippedKeywordFilePath());
    const std::optional<QStringList> shippedIndex = ReadProgramLines(AssetPath(ShippedIndexPage));
    if (!shippedKeywords || !shippedIndex) {
        result.failure = KeywordReadErrorMessage;
        return result;
    }
    const QStringList keywordLines = UserKeywordLines(*shippedKeywords, boxTexts);
    const QStringList indexLines = UserIndexLines(*shippedIndex, boxTexts, WordHelpFolderUrl());
    const std::optional<QByteArray> keywordBytes = EncodeProgramText(keywordLines);
    const std::optional<QByteArray> indexBytes = EncodeProgramText(indexLines);
    if (!keywordBytes || !indexBytes) {
        result.failure = SaveFailed;
        return result;
    }
    // The help page and the keyword file must never disagree: the page
    // would list keywords the checker refuses. Each file is replaced whole;
    // when the keyword file cannot be, the page it was written with goes
    // back to what it was (or away, when there was none).
    const std::optional<PreviousFile> previousIndex = PreviousFileAt(UserIndexPagePath());
    if (!previousIndex || !WriteFileAtomically(UserIndexPagePath(), *indexBytes)) {
        result.failure = SaveFailed;
        return result;
    }
    if (!WriteFileAtomically(UserKeywordFilePath(), *keywordBytes)) {
        RestoreFile(UserIndexPagePath(), *previousIndex);
        result.failure = SaveFailed;
        return result;
    }
    result.written = true;
    return result;
}

QStringList KeywordSetLines(const QStringList &boxTexts)
{
    QStringList lines{KeywordSetSection};
    for (int n = 1; n <= KeywordBoxCount; ++n)
        lines.append(boxTexts.value(n - 1));
    return lines;
}

KeywordSetRead ParseKeywordSet(const QStringList &fileLines)
{
    if (fileLines.value(0) != KeywordSetSection || fileLines.size() < 1 + KeywordBoxCount)
        return {std::nullopt, KeywordSetDamagedMessage};
    // Anything after the set would be a word without a role: a file of
    // another version, or two sets run together.
    for (qsizetype i = 1 + KeywordBoxCount; i < fileLines.size(); ++i) {
        if (!fileLines.at(i).isEmpty())
            return {std::nullopt, KeywordSetDamagedMessage};
    }
    const QStringList texts = fileLines.mid(1, KeywordBoxCount);
    if (const std::optional<KeywordRefusal> refusal = RefusalOf(texts))
        return {std::nullopt, KeywordSetRefusedMessage + QStringLiteral("\r\n") + refusal->message};
    return {texts, {}};
}

KeywordSetRead ReadKeywordSet(const QString &path)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines)
        return {std::nullopt, LoadFailed};
    return ParseKeywordSet(*lines);
}

} // namespace koru
