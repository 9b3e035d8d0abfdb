#include "model/textutil.h"

#include <cmath>
#include <limits>

namespace koru {

QString FieldOf(const QString &text, int n, QChar delimiter)
{
    if (n < 1)
        return {};
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype next = text.indexOf(delimiter, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    const qsizetype end = text.indexOf(delimiter, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

int FieldCount(const QString &text, QChar delimiter)
{
    if (text.isEmpty())
        return 0;
    return int(text.count(delimiter)) + 1;
}

QString StripSpaces(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char(' '));
    return result;
}

QString ReplaceText(const QString &source, const QString &pattern, const QString &replacement)
{
    if (pattern.isEmpty())
        return source;
    QString result = source;
    return result.replace(pattern, replacement, Qt::CaseSensitive);
}

int CommaCount(const QString &text)
{
    if (text.isEmpty())
        return 0;
    return int(QStringView(text).left(text.size() - 1).count(QLatin1Char(',')));
}

std::optional<int> ToInteger(const QString &text)
{
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

bool IsIntegerText(const QString &text)
{
    if (text == QLatin1String("-0"))
        return false;
    return ToInteger(text).has_value();
}

int IntegerOr(const QString &text, int fallback)
{
    return ToInteger(text).value_or(fallback);
}

QString NormaliseStatement(const QString &line)
{
    QString result;
    const qsizetype comment = line.indexOf(QLatin1String("//"));
    if (comment >= 0)
        result = line.left(comment);
    else
        result = line.left(qMax<qsizetype>(0, line.size() - 2));
    return StripSpaces(result).toLower();
}

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value)); // default rounding mode: to nearest, ties to even
}

} // namespace koru
