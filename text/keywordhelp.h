// What STEP3 tells a pupil about a keyword while typing: its arguments'
// meaning ("ledon(赤,緑,青,秒)"), what it does, and the first lines of its
// help page. The help pages (HTML/Word/) describe the shipped keywords, one
// "<h2>keyword(arguments);　what it does</h2>" heading each, followed by a
// paragraph; a teacher may have renamed a keyword, so the help is found by
// the role and shown with the keyword of the current table.
#pragma once

#include "text/keywordtable.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace koru {

struct KeywordHelp
{
    QString arguments; // "赤,緑,青,秒"; empty for none
    QString summary;   // "LEDを点灯する"
    QString paragraph; // the first paragraph under the heading, as text
};

// The help of each role (line number) the pages describe, read from the
// pages' texts; roles without a heading are left out.
QHash<int, KeywordHelp> KeywordHelpOfPages(const KeywordTable &shipped, const QStringList &pageTexts);

// "ledon(赤,緑,青,秒)" with the keyword as the pupil's table names it.
QString KeywordSignature(const QString &keyword, const KeywordHelp &help);

// The hover text: the signature and summary, then the paragraph.
QString KeywordHoverText(const QString &keyword, const KeywordHelp &help);

// The help pages' texts as shipped (every HTML/Word page but the index).
QStringList ShippedHelpPageTexts();

} // namespace koru
