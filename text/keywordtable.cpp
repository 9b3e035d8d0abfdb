#include "text/keywordtable.h"

#include "model/catalogue.h"
#include "model/opcodes.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/textutil.h"

#include <QDir>
#include <QFileInfo>

namespace koru {

namespace op = opcode;

namespace {

ArgumentForm formOf(const QString &field)
{
    static const QStringList forms = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                      QStringLiteral("3"), QStringLiteral("4")};
    const int index = int(forms.indexOf(field));
    return index < 0 ? ArgumentForm::Invalid : ArgumentForm(index);
}

// Whether a statement of this form can be translated with this OpCode. The
// shipped file and every file the keyword settings write pass; a hand-edited
// line that does not is never matched, so its statements fail the syntax
// check instead of translating into nonsense.
bool formFitsOpCode(ArgumentForm form, int opCode)
{
    switch (form) {
    case ArgumentForm::None:
        return opCode == op::BacklightLinkOn || opCode == op::BacklightLinkOff
            || (opCode >= op::RadioOn && opCode <= op::Beep3) || (opCode >= op::WaitSound && opCode <= op::WaitDark)
            || opCode == op::LoopEnd || opCode == op::MeasureX || opCode == op::MeasureY || opCode == MotorOffOpCode
            || opCode == LampOffOpCode;
    case ArgumentForm::Number:
        return opCode == ConditionOpCode || opCode == op::Timer || opCode == op::WaitTemperature
            || opCode == op::WaitHumidity || opCode == op::LoopStart || opCode == op::Motor || opCode == op::Bulb;
    case ArgumentForm::Backlight:
        return opCode == op::Backlight;
    case ArgumentForm::Fade:
        return opCode == op::FadeIn || opCode == op::FadeOut;
    case ArgumentForm::LedOn:
        return opCode == -1; // LED on has no OpCode of its own
    case ArgumentForm::Invalid:
        break;
    }
    return false;
}

KeywordLine readLine(int number, const QString &text)
{
    KeywordLine line;
    line.number = number;
    line.text = text;
    line.form = formOf(FieldOf(text, 1, QLatin1Char(',')));
    line.keyword = FieldOf(text, 3, QLatin1Char(',')).toLower();
    line.opCode = IntegerOr(FieldOf(text, 4, QLatin1Char(',')), -1);
    const QString durations = FieldOf(text, 5, QLatin1Char(','));
    for (const QString &entry : durations.split(QLatin1Char('-'), Qt::SkipEmptyParts)) {
        if (QuartersOfDuration(entry))
            line.durations.append(entry);
    }
    line.usable = !line.keyword.isEmpty() && formFitsOpCode(line.form, line.opCode);
    return line;
}

} // namespace

std::optional<int> QuartersOfDuration(const QString &seconds)
{
    static const QHash<QString, int> counts = [] {
        QHash<QString, int> table;
        for (int q = 1; q <= 31; ++q)
            table.insert(QuarterSecondText(q), q);
        return table;
    }();
    const auto found = counts.constFind(seconds);
    if (found == counts.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<KeywordTable> KeywordTable::fromLines(const QStringList &lines)
{
    if (lines.size() < KeywordLineCount)
        return std::nullopt;
    KeywordTable table;
    for (int i = 0; i < KeywordLineCount; ++i) {
        const KeywordLine line = readLine(i + 1, lines.at(i));
        table.m_lines.append(line);
        if (!line.usable)
            continue;
        if (line.form == ArgumentForm::Number && line.opCode == ConditionOpCode) {
            if (table.m_conditionIndex < 0)
                table.m_conditionIndex = i;
            continue; // reached through the fixed word "if" only
        }
        if (line.keyword != QLatin1String("if") && !table.m_roleIndex.contains(line.keyword))
            table.m_roleIndex.insert(line.keyword, i);
    }
    return table;
}

const KeywordLine &KeywordTable::line(int number) const
{
    return m_lines.at(qBound(1, number, KeywordLineCount) - 1);
}

QStringList KeywordTable::keywords() const
{
    QStringList result;
    for (const KeywordLine &line : m_lines)
        result.append(line.keyword);
    return result;
}

const KeywordLine *KeywordTable::roleOf(const QString &keyword) const
{
    if (keyword == QLatin1String("if"))
        return m_conditionIndex < 0 ? nullptr : &m_lines.at(m_conditionIndex);
    const auto found = m_roleIndex.constFind(keyword);
    return found == m_roleIndex.constEnd() ? nullptr : &m_lines.at(*found);
}

const KeywordLine *KeywordTable::lineWithOpCode(int opCode) const
{
    for (const KeywordLine &line : m_lines) {
        if (line.usable && line.opCode == opCode)
            return &line;
    }
    return nullptr;
}

const KeywordLine *KeywordTable::ledOnLine() const
{
    for (const KeywordLine &line : m_lines) {
        if (line.usable && line.form == ArgumentForm::LedOn)
            return &line;
    }
    return nullptr;
}

QString UserKeywordFilePath()
{
    return WorkFolder() + KeywordFileName;
}

QString ShippedKeywordFilePath()
{
    return AssetPath(ShippedKeywordFile);
}

QString ActiveKeywordFilePath()
{
    const QString user = UserKeywordFilePath();
    return QFileInfo::exists(user) ? user : ShippedKeywordFilePath();
}

QString KeywordReadErrorText()
{
    const QString path = QDir::toNativeSeparators(ActiveKeywordFilePath());
    const bool userCopy = QFileInfo::exists(UserKeywordFilePath());
    return KeywordReadErrorMessage + QStringLiteral("\r\n\r\n") + path + QStringLiteral("\r\nを読み込めません。\r\n")
           + (userCopy ? QStringLiteral("設定 → 初期状態に戻す → 適用 で元に戻せます。")
                       : QStringLiteral("ソフトを再度インストールして下さい。"));
}

std::optional<QStringList> ReadKeywordLines(const QString &path)
{
    std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines || lines->size() < KeywordLineCount)
        return std::nullopt;
    return lines;
}

std::optional<KeywordTable> ReadKeywordTable()
{
    const std::optional<QStringList> lines = ReadKeywordLines(ActiveKeywordFilePath());
    if (!lines)
        return std::nullopt;
    return KeywordTable::fromLines(*lines);
}

} // namespace koru
