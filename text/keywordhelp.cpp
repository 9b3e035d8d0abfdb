#include "text/keywordhelp.h"

#include "model/paths.h"
#include "model/programfile.h"

#include <QDir>
#include <QRegularExpression>

namespace koru {

namespace {

QString PlainText(QString html)
{
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return html.simplified();
}

} // namespace

QHash<int, KeywordHelp> KeywordHelpOfPages(const KeywordTable &shipped, const QStringList &pageTexts)
{
    // A heading names one statement or several ("beep1();　beep2();　…")
    // and then what they do; the paragraph after it, if any, tells more.
    static const QRegularExpression heading(QStringLiteral(R"(<h2>([^<]*)</h2>\s*(?:<p>(.*?)</p>)?)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression statement(QStringLiteral(R"(\s*([A-Za-z0-9_]+)\s*\(([^)]*)\)\s*;?[\s\x{3000}]*)"));
    QHash<QString, int> roleOfKeyword;
    for (const KeywordLine &line : shipped.lines())
        roleOfKeyword.insert(line.keyword, line.number);
    QHash<int, KeywordHelp> help;
    for (const QString &page : pageTexts) {
        for (auto it = heading.globalMatch(page); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString title = m.captured(1);
            QList<QPair<QString, QString>> named; // keyword, arguments
            qsizetype at = 0;
            for (QRegularExpressionMatch s = statement.match(title, at, QRegularExpression::NormalMatch,
                                                             QRegularExpression::AnchorAtOffsetMatchOption);
                 s.hasMatch(); s = statement.match(title, at, QRegularExpression::NormalMatch,
                                                   QRegularExpression::AnchorAtOffsetMatchOption)) {
                named.append({s.captured(1).toLower(), s.captured(2).simplified().remove(QLatin1Char(' '))});
                at = s.capturedEnd();
            }
            const QString summary = title.mid(at).simplified();
            for (const auto &[keyword, arguments] : named) {
                const auto role = roleOfKeyword.constFind(keyword);
                if (role != roleOfKeyword.constEnd() && !help.contains(*role))
                    help.insert(*role, {arguments, summary, PlainText(m.captured(2))});
            }
        }
    }
    return help;
}

QString KeywordSignature(const QString &keyword, const KeywordHelp &help)
{
    return keyword + QLatin1Char('(') + help.arguments + QLatin1Char(')');
}

QString KeywordHoverText(const QString &keyword, const KeywordHelp &help)
{
    QString text = KeywordSignature(keyword, help);
    if (!help.summary.isEmpty())
        text += QStringLiteral("　") + help.summary;
    if (!help.paragraph.isEmpty())
        text += QLatin1Char('\n') + help.paragraph;
    return text;
}

QStringList ShippedHelpPageTexts()
{
    QStringList texts;
    const QDir folder(AssetPath(QStringLiteral("HTML/Word")));
    for (const QString &name : folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        if (name == QLatin1String("index.html"))
            continue;
        if (const std::optional<QByteArray> bytes = ReadRegularFile(folder.filePath(name), 1 << 20))
            texts << QString::fromUtf8(*bytes);
    }
    return texts;
}

} // namespace koru
