// The text language with the shipped keyword file, and program lines
// written compactly in tests.
#pragma once

#include "model/paths.h"
#include "text/keywordtable.h"
#include "text/textlanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru::test {

// The shipped keyword file from the source tree.
inline std::optional<TextLanguage> shippedLanguage()
{
    SetAssetRoot(QStringLiteral(KORU_SOURCE_ASSETS));
    const std::optional<QStringList> lines = ReadKeywordLines(ShippedKeywordFilePath());
    if (!lines)
        return std::nullopt;
    const std::optional<KeywordTable> table = KeywordTable::fromLines(*lines);
    if (!table)
        return std::nullopt;
    return TextLanguage(*table);
}

// Program lines separated by " · " (as they are written in a sentence) or
// by line breaks.
inline QStringList lines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString joined = text;
    joined.replace(QStringLiteral(" · "), QStringLiteral("\n"));
    return joined.split(QLatin1Char('\n'));
}

} // namespace koru::test
