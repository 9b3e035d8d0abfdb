// Small text helpers every part of the program uses for comma-separated
// instruction data and program lines. None of them fails: they fall back to
// an empty text or 0.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

// The n-th field (from 1) of text split at every delimiter; empty when n < 1
// or the text has fewer fields.
QString FieldOf(const QString &text, int n, QChar delimiter);

// Number of delimiters plus one; 0 for the empty text.
int FieldCount(const QString &text, QChar delimiter);

// The text without its blanks (code 32).
QString StripSpaces(const QString &text);

// Every occurrence of pattern, left to right without overlap, replaced.
QString ReplaceText(const QString &source, const QString &pattern, const QString &replacement);

// Commas among all characters but the last.
int CommaCount(const QString &text);

// Signed 32-bit integer conversion used wherever the editors read numbers:
// optional sign, decimal digits, nothing else (no blanks). "-0" is refused.
std::optional<int> ToInteger(const QString &text);
bool IsIntegerText(const QString &text);

// Integer value of a text, or fallback when it does not convert.
int IntegerOr(const QString &text, int fallback = 0);

// One line of the text editor (with its two-character line break) reduced to
// the form the language checks: comment or line break removed, no blanks,
// lower case.
QString NormaliseStatement(const QString &line);

// Round to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);

} // namespace koru
