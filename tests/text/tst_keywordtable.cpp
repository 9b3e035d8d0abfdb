#include "textfixture.h"

#include "model/catalogue.h"
#include "model/programfile.h"
#include "model/textutil.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::test;

namespace {

struct Role
{
    const char *keyword;
    ArgumentForm form;
    int opCode;
};

// Lines 1 to 28 of the shipped file.
const Role ShippedRoles[KeywordLineCount] = {
    {"ledon", ArgumentForm::LedOn, -1},       {"fadein", ArgumentForm::Fade, 131},
    {"fadeout", ArgumentForm::Fade, 132},     {"soundwait", ArgumentForm::None, 170},
    {"swwait", ArgumentForm::None, 171},      {"lightwait", ArgumentForm::None, 172},
    {"darkwait", ArgumentForm::None, 173},    {"tempwait", ArgumentForm::Number, 174},
    {"humiwait", ArgumentForm::Number, 175},  {"timer", ArgumentForm::Number, 160},
    {"loopstart", ArgumentForm::Number, 200}, {"loopend", ArgumentForm::None, 201},
    {"radioplay", ArgumentForm::None, 150},   {"radiostop", ArgumentForm::None, 151},
    {"melodydata", ArgumentForm::None, 152},  {"beep1", ArgumentForm::None, 153},
    {"beep2", ArgumentForm::None, 154},       {"beep3", ArgumentForm::None, 155},
    {"backlight", ArgumentForm::Backlight, 145}, {"linkstart", ArgumentForm::None, 146},
    {"linkend", ArgumentForm::None, 147},     {"gettempx", ArgumentForm::None, 210},
    {"gethumiy", ArgumentForm::None, 211},    {"motoron", ArgumentForm::Number, 220},
    {"motoroff", ArgumentForm::None, 221},    {"lampon", ArgumentForm::Number, 222},
    {"lampoff", ArgumentForm::None, 223},     {"if", ArgumentForm::Number, 0},
};

QStringList shippedLines()
{
    SetAssetRoot(QStringLiteral(KORU_SOURCE_ASSETS));
    return ReadKeywordLines(ShippedKeywordFilePath()).value_or(QStringList());
}

// The user copy the keyword settings write: every line with its keyword
// replaced, the other fields as shipped.
QStringList renamed(QStringList lines, int lineNumber, const QString &keyword)
{
    QString &line = lines[lineNumber - 1];
    line = ReplaceText(line, FieldOf(line, 3, QLatin1Char(',')), keyword);
    return lines;
}

} // namespace

class TstKeywordTable : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_appData.isValid());
        SetAppDataFolder(m_appData.path());
        QFile::remove(UserKeywordFilePath());
    }

    void shippedFileHoldsTheDefaults()
    {
        const QStringList lines = shippedLines();
        QCOMPARE(lines.size(), KeywordLineCount);
        const std::optional<KeywordTable> table = KeywordTable::fromLines(lines);
        QVERIFY(table);
        QStringList allDurations;
        for (int q = 1; q <= 31; ++q)
            allDurations << QuarterSecondText(q);
        for (int n = 1; n <= KeywordLineCount; ++n) {
            const KeywordLine &line = table->line(n);
            const Role &expected = ShippedRoles[n - 1];
            QCOMPARE(FieldCount(lines[n - 1], QLatin1Char(',')), 5);
            QCOMPARE(line.keyword, QLatin1String(expected.keyword));
            QCOMPARE(line.form, expected.form);
            QCOMPARE(line.opCode, expected.opCode);
            QVERIFY2(line.usable, qPrintable(line.text));
            const bool timed = n == 1 || n == 19;
            QCOMPARE(line.durations, timed ? allDurations : QStringList());
            if (timed) // the file holds exactly the accepted forms, nothing the reader drops
                QCOMPARE(FieldOf(lines[n - 1], 5, QLatin1Char(',')), allDurations.join(QLatin1Char('-')));
        }
        QCOMPARE(allDurations.first(), QStringLiteral("0.25"));
        QCOMPARE(allDurations.last(), QStringLiteral("7.75"));
    }

    void shippedFileIsShiftJisWithCrLf()
    {
        SetAssetRoot(QStringLiteral(KORU_SOURCE_ASSETS));
        QFile file(ShippedKeywordFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), KeywordLineCount);
        QCOMPARE(bytes.count('\n'), KeywordLineCount);
        QVERIFY(bytes.contains("\x93\x5f\x93\x94")); // 点灯
    }

    void durationForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("quarters"); // 0: not accepted
        QTest::newRow("quarter") << "0.25" << 1;
        QTest::newRow("half") << "0.5" << 2;
        QTest::newRow("one") << "1" << 4;
        QTest::newRow("one and a half") << "1.5" << 6;
        QTest::newRow("longest") << "7.75" << 31;
        QTest::newRow("trailing zero") << "1.0" << 0;
        QTest::newRow("no leading zero") << ".5" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("too long") << "8" << 0;
        QTest::newRow("not a quarter") << "0.3" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("word") << "abc" << 0;
    }
    void durationForms()
    {
        QFETCH(QString, text);
        QFETCH(int, quarters);
        QCOMPARE(QuartersOfDuration(text).value_or(0), quarters);
    }

    void userCopyWins()
    {
        const QStringList user = renamed(shippedLines(), 10, QStringLiteral("matsu"));
        QVERIFY(WriteProgramLines(UserKeywordFilePath(), user));
        QCOMPARE(ActiveKeywordFilePath(), UserKeywordFilePath());
        const std::optional<KeywordTable> table = ReadKeywordTable();
        QVERIFY(table);
        QCOMPARE(table->line(10).keyword, QStringLiteral("matsu"));
        QCOMPARE(table->line(10).opCode, 160);
        QCOMPARE(table->roleOf(QStringLiteral("timer")), nullptr);

        const TextLanguage language(*table);
        QVERIFY(language.check(lines("matsu(3);")).passed());
        QCOMPARE(language.check(lines("timer(3);")).message, SyntaxMessage);
        QCOMPARE(language.toRecords(lines("Matsu(3);")),
                 (QStringList{"START", "5,0,3,0,0,0,0", "END"}));
        QCOMPARE(language.renderRecords({"START", "5,0,3,0,0,0,0", "END"}),
                 QStringList{"matsu(3);"});
    }

    void shippedFileWithoutUserCopy()
    {
        QCOMPARE(ActiveKeywordFilePath(), ShippedKeywordFilePath());
        const std::optional<KeywordTable> table = ReadKeywordTable();
        QVERIFY(table);
        QCOMPARE(table->line(10).keyword, QStringLiteral("timer"));
    }

    // A user copy that exists but cannot be used is an error, not a reason
    // to fall back silently on the shipped file.
    void unreadableFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("userFile");
        QTest::newRow("27 lines") << EncodeProgramText(shippedLines().mid(0, 27)).value_or("x");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("not Shift-JIS") << QByteArray("\xff\xfe\x00\x01", 4);
    }
    void unreadableFilesAreRefused()
    {
        QFETCH(QByteArray, userFile);
        QFile file(UserKeywordFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(userFile);
        file.close();
        QVERIFY(!ReadKeywordTable());
    }

    void missingShippedFileIsRefused()
    {
        QTemporaryDir emptyAssets;
        SetAssetRoot(emptyAssets.path());
        QVERIFY(!ReadKeywordTable());
        SetAssetRoot(QStringLiteral(KORU_SOURCE_ASSETS));
    }

    void capitalsInTheFileAreFound()
    {
        const std::optional<KeywordTable> table =
            KeywordTable::fromLines(renamed(shippedLines(), 1, QStringLiteral("LedOn")));
        QVERIFY(table);
        const TextLanguage language(*table);
        QVERIFY(language.check(lines("LEDON(255,0,0,1);")).passed());
        QCOMPARE(language.toRecords(lines("ledon(255,0,0,1);")),
                 (QStringList{"START", "2,0,255,0,0,4,0", "END"}));
    }

    // Lines a hand edit broke, and names that can never be matched, leave
    // their statements failing the syntax check.
    void unusableLines_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("statement");
        QTest::newRow("form does not fit the OpCode") << 10 << "3,x,timer,160," << "timer(3);";
        QTest::newRow("unknown form") << 10 << "7,x,timer,160," << "timer(3);";
        QTest::newRow("OpCode not a number") << 16 << "0,x,beep1,abc," << "beep1();";
        QTest::newRow("empty keyword") << 16 << "0,x,,153," << "();";
        QTest::newRow("keyword with a blank") << 16 << "0,x,be ep,153," << "be ep();";
        QTest::newRow("too few fields") << 16 << "0,x" << "x();";
    }
    void unusableLines()
    {
        QFETCH(int, line);
        QFETCH(QString, replacement);
        QFETCH(QString, statement);
        QStringList file = shippedLines();
        file[line - 1] = replacement;
        const std::optional<KeywordTable> table = KeywordTable::fromLines(file);
        QVERIFY(table);
        QCOMPARE(TextLanguage(*table).check({statement}).failedCheck, 2);
    }

    // "if" is a fixed word: a role renamed to it cannot take it over, and
    // the first of two equal keywords wins.
    void fixedIfAndDuplicates()
    {
        QStringList file = renamed(shippedLines(), 10, QStringLiteral("if"));
        file = renamed(file, 17, QStringLiteral("beep1"));
        const std::optional<KeywordTable> table = KeywordTable::fromLines(file);
        QVERIFY(table);
        const TextLanguage language(*table);
        QVERIFY(language.check(lines("if(sw=on){ · beep1(); · }")).passed());
        QCOMPARE(language.check(lines("if(3);")).failedCheck, 2);
        QCOMPARE(language.toRecords({"beep1();"}), (QStringList{"START", "4,3,0,0,0,0,0", "END"}));
    }

private:
    QTemporaryDir m_appData;
};

KORU_TEST_GUILESS_MAIN(TstKeywordTable)
#include "tst_keywordtable.moc"
