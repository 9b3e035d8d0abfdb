#include "text/textlanguage.h"

#include "model/catalogue.h"
#include "model/opcodes.h"
#include "model/textutil.h"

#include <utility>

namespace koru {

namespace op = opcode;

namespace {

const QString CloseLine = QStringLiteral("}");
const QString ElseLine = QStringLiteral("else{");
const QString IfWord = QStringLiteral("if");

// Stored in the record of a fade: the kit's fade time, not set by the pupil.
constexpr int FadeTime = 11;

// One normalised line read as the language.
struct Statement
{
    enum class Kind { Close, Else, Instruction, If };
    Kind kind = Kind::Instruction;
    const KeywordLine *role = nullptr;
    QList<int> record; // KindNumber, SubKind, p1 .. p5
    int conditionSub = 0;

    int opCode() const { return role ? role->opCode : -1; }
};

// Values go into records as plain decimal integers: "+007" in a statement
// gives 7, so a listing never carries signs or leading zeros that its
// readers would have to undo.
QString recordText(const QList<int> &fields)
{
    QStringList texts;
    for (int value : fields)
        texts.append(QString::number(value));
    return texts.join(QLatin1Char(','));
}

// KindNumber and SubKind of a role's OpCode.
std::optional<std::pair<int, int>> kindOfOpCode(int opCode)
{
    if (opCode == op::FadeIn || opCode == op::FadeOut)
        return std::pair(2, opCode - op::FadeIn + 1);
    if (opCode >= op::Backlight && opCode <= op::BacklightLinkOff)
        return std::pair(3, opCode - op::Backlight);
    if (opCode >= op::RadioOn && opCode <= op::Beep3)
        return std::pair(4, opCode - op::RadioOn);
    if (opCode == op::Timer)
        return std::pair(5, 0);
    if (opCode >= op::WaitSound && opCode <= op::WaitHumidity)
        return std::pair(6, opCode - op::WaitSound);
    if (opCode == op::LoopStart || opCode == op::LoopEnd)
        return std::pair(8, opCode - op::LoopStart);
    if (opCode == op::MeasureX || opCode == op::MeasureY)
        return std::pair(10, opCode - op::MeasureX);
    if (opCode >= op::Motor && opCode <= LampOffOpCode) // the "off" roles between
        return std::pair(11, opCode - op::Motor);
    return std::nullopt;
}

// The OpCode whose role renders a record (kind 2 sub 0 and kind 7 aside).
std::optional<int> opCodeOfRecord(int kind, int sub)
{
    switch (kind) {
    case 2:
        if (sub == 1 || sub == 2)
            return 130 + sub;
        return std::nullopt;
    case 3:
        return 145 + sub;
    case 4:
        return 150 + sub;
    case 5:
        return 160;
    case 6:
        return 170 + sub;
    case 8:
        return 200 + sub;
    case 10:
        return 210 + sub;
    case 11:
        return 220 + sub;
    default:
        return std::nullopt;
    }
}

// An integer argument within a range. Decimal with an optional sign; "-0",
// blanks, fractions and numbers beyond 32 bits are not integers.
std::optional<int> integerIn(const QString &text, int min, int max)
{
    if (!IsIntegerText(text))
        return std::nullopt;
    const int value = *ToInteger(text);
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

struct ConditionForm
{
    const char *text;
    int sub;
};

// Conditions of "if" without a number.
constexpr ConditionForm FixedConditions[] = {
    {"sw=on", 0},   {"sw=off", 1},  {"cds=on", 2},  {"cds=off", 3},  {"temp>x", 7},
    {"temp<x", 8},  {"temp=x", 9},  {"humi>y", 13}, {"humi<y", 14}, {"humi=y", 15},
};

struct NumberCondition
{
    const char *prefix;
    int firstSub; // ">" gives firstSub, "<" firstSub + 1, "=" firstSub + 2
    int max;
};

constexpr NumberCondition NumberConditions[] = {{"temp", 4, 40}, {"humi", 10, 100}};

// SubKind and p1 of a condition. A number condition is the word, one
// operator and the number, nothing before or after.
std::optional<std::pair<int, int>> parseCondition(const QString &condition)
{
    for (const ConditionForm &form : FixedConditions) {
        if (condition == QLatin1String(form.text))
            return std::pair(form.sub, 0);
    }
    for (const NumberCondition &form : NumberConditions) {
        const QLatin1String prefix(form.prefix);
        if (!condition.startsWith(prefix) || condition.size() <= prefix.size())
            continue;
        const int op = int(QStringLiteral("><=").indexOf(condition.at(prefix.size())));
        if (op < 0)
            return std::nullopt;
        const std::optional<int> value = integerIn(condition.mid(prefix.size() + 1), 0, form.max);
        if (!value)
            return std::nullopt;
        return std::pair(form.firstSub + op, *value);
    }
    return std::nullopt;
}

QString conditionText(int sub, int value)
{
    for (const ConditionForm &form : FixedConditions) {
        if (form.sub == sub)
            return QLatin1String(form.text);
    }
    for (const NumberCondition &form : NumberConditions) {
        if (sub >= form.firstSub && sub < form.firstSub + 3)
            return QLatin1String(form.prefix) + QStringLiteral("><=").at(sub - form.firstSub)
                + QString::number(value);
    }
    return {};
}

// Range of the one number of a form-1 role, by its OpCode.
std::optional<std::pair<int, int>> numberRange(int opCode)
{
    switch (opCode) {
    case op::Timer:
    case op::LoopStart:
    case op::Motor:
    case op::Bulb:
        return std::pair(1, 255);
    case op::WaitTemperature:
        return std::pair(0, 40);
    case op::WaitHumidity:
        return std::pair(0, 100);
    default:
        return std::nullopt;
    }
}

std::optional<int> durationOf(const KeywordLine &role, const QString &text)
{
    if (!role.durations.contains(text))
        return std::nullopt;
    return QuartersOfDuration(text);
}

// Reads one normalised, non-empty line (check 2's rules). The text after the
// closing ")" must be exactly ";" (or "{" after an if): a statement followed
// by anything else is refused rather than having the rest ignored.
std::optional<Statement> parseLine(const KeywordTable &table, const QString &line)
{
    Statement statement;
    if (line == CloseLine) {
        statement.kind = Statement::Kind::Close;
        return statement;
    }
    if (line == ElseLine) {
        statement.kind = Statement::Kind::Else;
        return statement;
    }
    const qsizetype open = line.indexOf(QLatin1Char('('));
    if (open < 0)
        return std::nullopt;
    const QString keyword = line.left(open);
    const KeywordLine *role = table.roleOf(keyword);
    if (!role)
        return std::nullopt;
    const qsizetype close = line.indexOf(QLatin1Char(')'), open + 1);
    if (close < 0)
        return std::nullopt;
    const QString args = line.mid(open + 1, close - open - 1);
    const bool isIf = keyword == IfWord;
    if (line.mid(close + 1) != (isIf ? QLatin1String("{") : QLatin1String(";")))
        return std::nullopt;
    const QStringList values = args.split(QLatin1Char(','));
    statement.role = role;

    switch (role->form) {
    case ArgumentForm::None: {
        if (!args.isEmpty())
            return std::nullopt;
        const auto kind = kindOfOpCode(role->opCode);
        statement.record = {kind->first, kind->second, 0, 0, 0, 0, 0};
        return statement;
    }
    case ArgumentForm::Number: {
        if (values.size() != 1 || args.isEmpty())
            return std::nullopt;
        if (isIf) {
            const auto condition = parseCondition(args);
            if (!condition)
                return std::nullopt;
            statement.kind = Statement::Kind::If;
            statement.conditionSub = condition->first;
            statement.record = {7, condition->first, condition->second, 0, 0, 0, 0};
            return statement;
        }
        const auto range = numberRange(role->opCode);
        if (!range)
            return std::nullopt;
        const std::optional<int> value = integerIn(args, range->first, range->second);
        if (!value)
            return std::nullopt;
        const auto kind = kindOfOpCode(role->opCode);
        statement.record = {kind->first, kind->second, *value, 0, 0, 0, 0};
        return statement;
    }
    case ArgumentForm::Backlight: {
        if (values.size() != 2)
            return std::nullopt;
        const std::optional<int> brightness = integerIn(values[0], 0, 100);
        const std::optional<int> quarters = durationOf(*role, values[1]);
        if (!brightness || !quarters)
            return std::nullopt;
        statement.record = {3, 0, *brightness, *quarters, 0, 0, 0};
        return statement;
    }
    case ArgumentForm::Fade:
    case ArgumentForm::LedOn: {
        const bool ledOn = role->form == ArgumentForm::LedOn;
        if (values.size() != (ledOn ? 4 : 3))
            return std::nullopt;
        QList<int> colour;
        for (int i = 0; i < 3; ++i) {
            const std::optional<int> value = integerIn(values[i], 0, 255);
            if (!value)
                return std::nullopt;
            colour.append(*value);
        }
        if (ledOn) {
            const std::optional<int> quarters = durationOf(*role, values[3]);
            if (!quarters)
                return std::nullopt;
            statement.record = {2, 0, colour[0], colour[1], colour[2], *quarters, 0};
        } else {
            statement.record = {2, role->opCode - 130, colour[0], colour[1], colour[2], FadeTime, 0};
        }
        return statement;
    }
    case ArgumentForm::Invalid:
        break;
    }
    return std::nullopt;
}

QStringList normalisedLines(const QStringList &programText, QList<int> *sourceLines = nullptr)
{
    QStringList lines;
    for (qsizetype i = 0; i < programText.size(); ++i) {
        const QString normalised = TextLanguage::normalise(programText.at(i));
        if (normalised.isEmpty())
            continue;
        lines.append(normalised);
        if (sourceLines)
            sourceLines->append(int(i));
    }
    return lines;
}

// Check 3. Braces are recognised as whole lines and an if by its keyword, so
// a pupil's keyword that happens to contain "if", "else" or "}" is never
// mistaken for structure. This pass alone also keeps the counts balanced.
// Returns the statement where the structure breaks (the innermost if left
// open when the text ends), -1 when it holds.
qsizetype ifStructureFailure(const QList<Statement> &statements)
{
    QList<std::pair<bool, qsizetype>> open; // a then-part (true) or else part, and where it opened
    bool closedThenPart = false;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const Statement &statement = statements.at(i);
        bool justClosedThenPart = false;
        switch (statement.kind) {
        case Statement::Kind::If:
            open.append({true, i});
            break;
        case Statement::Kind::Else:
            if (!closedThenPart)
                return i;
            open.append({false, i});
            break;
        case Statement::Kind::Close:
            if (open.isEmpty())
                return i;
            justClosedThenPart = open.takeLast().first;
            break;
        case Statement::Kind::Instruction:
            break;
        }
        closedThenPart = justClosedThenPart;
    }
    return open.isEmpty() ? -1 : open.last().second;
}

// Check 4: loops do not nest and stay inside one part of an if. Returns the
// statement that breaks the rule (the open loop start when the text ends),
// -1 when it holds.
qsizetype loopFailure(const QList<Statement> &statements)
{
    int depth = 0;
    int loopDepth = 0;
    qsizetype loopStart = -1;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const Statement &statement = statements.at(i);
        switch (statement.kind) {
        case Statement::Kind::If:
        case Statement::Kind::Else:
            ++depth;
            break;
        case Statement::Kind::Close:
            --depth;
            if (loopStart >= 0 && depth < loopDepth)
                return i;
            break;
        case Statement::Kind::Instruction:
            if (statement.opCode() == op::LoopStart) {
                if (loopStart >= 0)
                    return i;
                loopDepth = depth;
                loopStart = i;
            } else if (statement.opCode() == op::LoopEnd) {
                if (loopStart < 0 || depth != loopDepth)
                    return i;
                loopStart = -1;
            }
            break;
        }
    }
    return loopStart;
}

// Check 5: the variables are set before they are compared, in text order.
// The message and the statement that compares too early.
std::pair<QString, qsizetype> variableFailure(const QList<Statement> &statements)
{
    bool xSet = false;
    bool ySet = false;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const Statement &statement = statements.at(i);
        if (statement.kind == Statement::Kind::Instruction) {
            xSet = xSet || statement.opCode() == op::MeasureX;
            ySet = ySet || statement.opCode() == op::MeasureY;
        } else if (statement.kind == Statement::Kind::If) {
            const int sub = statement.conditionSub;
            if (sub >= 7 && sub <= 9 && !xSet)
                return {VariableXMessage, i};
            if (sub >= 13 && sub <= 15 && !ySet)
                return {VariableYMessage, i};
        }
    }
    return {{}, -1};
}

} // namespace

TextLanguage::TextLanguage(KeywordTable keywords)
    : m_keywords(std::move(keywords))
{
}

QString TextLanguage::normalise(const QString &line)
{
    // The shared helper expects the editor's two-character line break.
    return NormaliseStatement(line + QStringLiteral("\r\n"));
}

CheckResult TextLanguage::check(const QStringList &programText) const
{
    QList<int> sourceLines;
    const QStringList lines = normalisedLines(programText, &sourceLines);

    // Check 1. Besides the 30 lines, the instruction table holds 30 entries
    // with start and end, so more than 28 statements are refused here too.
    int statementCount = 0;
    for (const QString &line : lines) {
        if (line != CloseLine && line != ElseLine)
            ++statementCount;
    }
    if (lines.size() > MaxProgramLines || statementCount + 2 > MaxInstructionEntries)
        return {1, TotalCountMessage};

    QList<Statement> statements;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        std::optional<Statement> statement = parseLine(m_keywords, lines.at(i));
        if (!statement)
            return {2, SyntaxMessage, sourceLines.at(i)};
        statements.append(*statement);
    }
    if (const qsizetype at = ifStructureFailure(statements); at >= 0)
        return {3, IfStructureMessage, sourceLines.at(at)};
    if (const qsizetype at = loopFailure(statements); at >= 0)
        return {4, LoopMessage, sourceLines.at(at)};
    if (const auto [message, at] = variableFailure(statements); at >= 0)
        return {5, message, sourceLines.at(at)};
    return {};
}

QStringList TextLanguage::toRecords(const QStringList &programText) const
{
    const QStringList lines = normalisedLines(programText);
    struct OpenIf
    {
        int family;
        bool elseBegun;
    };
    QList<OpenIf> open;
    QStringList records;
    const auto closeIf = [&] {
        const OpenIf closing = open.takeLast();
        if (!closing.elseBegun)
            records.append(ElseRecord(closing.family)); // an if without else still has its else
        records.append(EndifRecord(closing.family));
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line == ElseLine) {
            if (!open.isEmpty() && !open.last().elseBegun) {
                records.append(ElseRecord(open.last().family));
                open.last().elseBegun = true;
            }
        } else if (line == CloseLine) {
            if (i + 1 < lines.size() && lines.at(i + 1) == ElseLine)
                continue; // the else line goes on with the same if
            if (!open.isEmpty())
                closeIf();
        } else if (const std::optional<Statement> statement = parseLine(m_keywords, line)) {
            records.append(recordText(statement->record));
            if (statement->kind == Statement::Kind::If)
                open.append({ConditionFamilyOf(statement->conditionSub), false});
        }
    }
    while (!open.isEmpty()) // only text that failed check 3 leaves ifs open
        closeIf();
    return CommandListing(records);
}

TextImage TextLanguage::toBytes(const QStringList &programText) const
{
    return ImageOfListing(toRecords(programText));
}

QHash<int, int> TextLanguage::linesByAddress(const QStringList &programText) const
{
    const std::optional<QList<EncoderEntry>> table = InstructionTableOf(toRecords(programText));
    if (!table)
        return {};
    const QList<int> addresses = EntryAddresses(*table);
    QList<int> sourceLines;
    const QStringList lines = normalisedLines(programText, &sourceLines);
    QHash<int, int> result;
    int entry = 1; // after start, the table holds the statements in text order
    for (qsizetype i = 0; i < lines.size() && entry + 1 < addresses.size(); ++i) {
        const std::optional<Statement> statement = parseLine(m_keywords, lines.at(i));
        if (!statement || statement->kind == Statement::Kind::Close || statement->kind == Statement::Kind::Else)
            continue;
        if (statement->record.value(0) == 11 && (statement->record.value(1) == 1 || statement->record.value(1) == 3))
            continue; // the "off" statements of the experiment board have no instruction
        result.insert(addresses.at(entry++), sourceLines.at(i));
    }
    return result;
}

std::optional<QStringList> TextLanguage::renderRecords(const QStringList &listing) const
{
    const qsizetype start = listing.indexOf(QStringLiteral("START"));
    if (start < 0)
        return QStringList();
    qsizetype end = listing.indexOf(QStringLiteral("END"), start + 1);
    if (end < 0)
        end = listing.size();

    QList<QList<int>> records;
    for (qsizetype i = start + 1; i < end; ++i) {
        const QString line = listing.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() != 7)
            return std::nullopt;
        QList<int> record;
        for (const QString &field : fields) {
            const std::optional<int> value = ToInteger(field);
            if (!value)
                return std::nullopt;
            record.append(*value);
        }
        records.append(record);
    }

    const auto numberTexts = [](const QList<int> &values) {
        QStringList texts;
        for (int v : values)
            texts.append(QString::number(v));
        return texts;
    };

    QStringList lines;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QList<int> &r = records.at(i);
        const int kind = r[0];
        const int sub = r[1];
        if (kind == 12) {
            if (i + 1 >= records.size() || records.at(i + 1).at(0) != 13)
                lines << CloseLine << ElseLine;
            continue;
        }
        if (kind == 13) {
            lines << CloseLine;
            continue;
        }
        if (kind == 7) {
            // "if" is a fixed word of the language, whatever the condition
            // line's own keyword field says.
            const QString condition = conditionText(sub, r[2]);
            if (condition.isEmpty() || !m_keywords.roleOf(IfWord))
                return std::nullopt;
            lines << IfWord + QLatin1Char('(') + condition + QStringLiteral("){");
            continue;
        }
        const KeywordLine *role = nullptr;
        if (kind == 2 && sub == 0) {
            role = m_keywords.ledOnLine();
        } else if (const std::optional<int> opCode = opCodeOfRecord(kind, sub)) {
            role = m_keywords.lineWithOpCode(*opCode);
        }
        if (!role)
            return std::nullopt;
        QStringList args;
        switch (role->form) {
        case ArgumentForm::None:
            break;
        case ArgumentForm::Number:
            args = numberTexts({r[2]});
            break;
        case ArgumentForm::Backlight:
            args << QString::number(r[2]) << QuarterSecondText(r[3]);
            break;
        case ArgumentForm::Fade:
            args = numberTexts({r[2], r[3], r[4]});
            break;
        case ArgumentForm::LedOn:
            args = numberTexts({r[2], r[3], r[4]});
            if (kind == 2 && sub == 0)
                args << QuarterSecondText(r[5]);
            break;
        case ArgumentForm::Invalid:
            return std::nullopt;
        }
        lines << role->keyword + QLatin1Char('(') + args.join(QLatin1Char(',')) + QStringLiteral(");");
    }
    return lines;
}

Sendable SendableImage(const TextLanguage &language, const QStringList &programText)
{
    if (const CheckResult check = language.check(programText); !check.passed())
        return {{}, check.message, check.line};
    TextImage image = language.toBytes(programText);
    if (!image.sendable())
        return {{}, image.refusal, -1};
    return {std::move(image.image), {}, -1};
}

int ElementAtAddress(const TextLanguage &language, const QStringList &programText, int address)
{
    return language.linesByAddress(programText).value(address, -1);
}

QString LineAtAddressName(const TextLanguage &language, const QStringList &programText, int address)
{
    const int line = ElementAtAddress(language, programText, address);
    if (line < 0 || line >= programText.size())
        return {};
    return QStringLiteral("%1行目: %2").arg(line + 1).arg(programText[line].trimmed());
}

} // namespace koru
