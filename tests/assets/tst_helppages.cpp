// The help pages tell the truth about the program's messages: every text a
// page quotes as shown by the program (「…」と表示 / 「…」の表示) is one that the
// part of the program the page speaks of can show, word for word.
//
// What a part can show is read from the sources: the string literals of its
// folders, and the named message constants (declared anywhere) its folders
// use. Which part a quote speaks of: the step a marker after the quote names
// (（STEP1）, （STEP3 で…）, （メロディ）, before the next quote), otherwise the
// step of the section's heading (class step1, step2, step3,
// sound, measure), otherwise the whole program. A message's line break is written as an
// ideographic space or left out, and a quote may give the first line only.

#include "testmain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString SourceDir = QStringLiteral(KORU_SOURCE_DIR);

// Folders of each part; the device link and the shared widgets speak for
// every window.
const QHash<QString, QStringList> PartFolders{
    {"step1", {"icons"}},     {"step2", {"flowchart"}}, {"step3", {"text"}},
    {"sound", {"melody"}},    {"measure", {"measure"}},
};
const QStringList EveryPart{"link", "widgets"};
const QStringList WholeProgram{"app",  "model",  "link",    "widgets", "icons", "flowchart",
                               "text", "melody", "measure", "preview", "report"};

QString Unescape(const QString &literal)
{
    QString out;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (literal[i] != QLatin1Char('\\') || i + 1 >= literal.size()) {
            out += literal[i];
            continue;
        }
        const QChar c = literal[++i];
        out += c == QLatin1Char('r') ? QChar('\r') : c == QLatin1Char('n') ? QChar('\n') : c;
    }
    return out;
}

struct Sources
{
    QHash<QString, QString> textOfFolder;    // folder -> all its sources joined
    QHash<QString, QString> constants;       // name -> message
};

Sources ReadSources()
{
    Sources s;
    static const QRegularExpression constant(
        QStringLiteral(R"re((\w+)\s*=\s*QStringLiteral\("((?:[^"\\]|\\.)*)"\))re"));
    for (const QString &folder : WholeProgram) {
        QString all;
        QDirIterator it(SourceDir + QLatin1Char('/') + folder, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                all += QString::fromUtf8(file.readAll()) + QLatin1Char('\n');
        }
        s.textOfFolder.insert(folder, all);
        auto matches = constant.globalMatch(all);
        while (matches.hasNext()) {
            const auto m = matches.next();
            s.constants.insert(m.captured(1), Unescape(m.captured(2)));
        }
    }
    return s;
}

// The texts a set of folders can show.
QStringList MessagesOf(const Sources &s, const QStringList &folders)
{
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    QStringList messages;
    for (const QString &folder : folders) {
        const QString text = s.textOfFolder.value(folder);
        auto matches = literal.globalMatch(text);
        while (matches.hasNext())
            messages << Unescape(matches.next().captured(1));
        for (auto it = s.constants.cbegin(); it != s.constants.cend(); ++it) {
            if (text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(it.key()))))
                messages << it.value();
        }
    }
    return messages;
}

bool Shows(const QStringList &messages, const QString &quote)
{
    for (const QString &m : messages) {
        const QStringList lines = m.split(QStringLiteral("\r\n"));
        if (lines.join(QStringLiteral("　")) == quote || lines.join(QString()) == quote || lines.first() == quote)
            return true;
    }
    return false;
}

struct Quote
{
    QString text;
    QString part; // "" for the whole program
    int line = 0;
};

// The quotes a page presents as shown by the program, with the part each
// one speaks of.
QList<Quote> QuotesOf(const QString &page)
{
    static const QRegularExpression heading(QStringLiteral(R"re(<h2(?:[^>]*?class="(\w+)")?[^>]*>)re"));
    static const QRegularExpression quote(QStringLiteral("「([^「」<>]+)」([^「<]*)"));
    static const QRegularExpression shown(QStringLiteral("^(?:（[^）]*）)*(?:と表示|の表示)"));
    static const QRegularExpression marker(QStringLiteral("（(STEP[123]|メロディ)"));
    static const QHash<QString, QString> markers{
        {"STEP1", "step1"}, {"STEP2", "step2"}, {"STEP3", "step3"}, {"メロディ", "sound"}};
    QList<Quote> quotes;
    QString sectionPart;
    const QStringList lines = page.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const auto h = heading.match(lines[n]);
        if (h.hasMatch())
            sectionPart = PartFolders.contains(h.captured(1)) ? h.captured(1) : QString();
        auto matches = quote.globalMatch(lines[n]);
        while (matches.hasNext()) {
            const auto m = matches.next();
            const QString tail = m.captured(2);
            if (!shown.match(tail).hasMatch())
                continue; // a caption or a word, not something shown
            const auto step = marker.match(tail);
            const QString part = step.hasMatch() ? markers.value(step.captured(1)) : sectionPart;
            quotes.append(Quote{m.captured(1), part, n + 1});
        }
    }
    return quotes;
}

} // namespace

class TstHelpPages : public QObject
{
    Q_OBJECT
private slots:
    void quotedMessagesAreTheProgramsOwn_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("guide") << "assets/HTML/Navi/KORUnavi.html";
        QTest::newRow("Q&A") << "assets/HTML/QA/index.html";
    }
    void quotedMessagesAreTheProgramsOwn()
    {
        QFETCH(QString, page);
        QFile file(SourceDir + QLatin1Char('/') + page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<Quote> quotes = QuotesOf(QString::fromUtf8(file.readAll()));
        QVERIFY2(!quotes.isEmpty(), "no quoted message found: has the page's wording changed?");

        const Sources sources = ReadSources();
        QStringList wrong;
        for (const Quote &q : quotes) {
            QStringList folders = q.part.isEmpty() ? WholeProgram : PartFolders.value(q.part) + EveryPart;
            if (!Shows(MessagesOf(sources, folders), q.text))
                wrong << QStringLiteral("line %1: 「%2」 is not shown by %3")
                             .arg(q.line)
                             .arg(q.text, q.part.isEmpty() ? QStringLiteral("the program") : q.part);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // The guide describes the tools as the row behaves: the delete tool
    // empties one place and nothing moves.
    void guideSaysDeleteLeavesTheGap()
    {
        QFile file(SourceDir + QStringLiteral("/assets/HTML/Navi/KORUnavi.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString guide = QString::fromUtf8(file.readAll());
        QVERIFY(guide.contains(QStringLiteral("削除")));
        QVERIFY2(!guide.contains(QStringLiteral("詰まります")), "the guide says the row closes up after 削除");
    }
};

KORU_TEST_GUILESS_MAIN(TstHelpPages)
#include "tst_helppages.moc"
