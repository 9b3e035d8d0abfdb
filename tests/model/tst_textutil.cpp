#include "model/textutil.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

class TstTextUtil : public QObject
{
    Q_OBJECT
private slots:
    void fieldOf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second") << "0,255,0,0,4,0" << 2 << "255";
        QTest::newRow("last") << "0,255,0,0,4,0" << 6 << "0";
        QTest::newRow("beyond") << "0,255,0,0,4,0" << 7 << "";
        QTest::newRow("zero") << "0,255,0,0,4,0" << 0 << "";
        QTest::newRow("negative") << "1,2" << -3 << "";
        QTest::newRow("single") << "abc" << 1 << "abc";
        QTest::newRow("single beyond") << "abc" << 2 << "";
        QTest::newRow("empty") << "" << 1 << "";
        QTest::newRow("empty fields") << "a,,c," << 4 << "";
        QTest::newRow("trailing empty") << "a,,c," << 3 << "c";
    }
    void fieldOf()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(FieldOf(text, n, QLatin1Char(',')), expected);
    }

    void counts()
    {
        QCOMPARE(FieldCount(QStringLiteral("1,2,3"), QLatin1Char(',')), 3);
        QCOMPARE(FieldCount(QStringLiteral("abc"), QLatin1Char(',')), 1);
        QCOMPARE(FieldCount(QString(), QLatin1Char(',')), 0);
        QCOMPARE(CommaCount(QStringLiteral("1,2,3")), 2);
        QCOMPARE(CommaCount(QStringLiteral("1,2,")), 1);
        QCOMPARE(CommaCount(QString()), 0);
    }

    void replaceAndStrip()
    {
        QCOMPARE(ReplaceText(QStringLiteral("aXbXc"), QStringLiteral("X"), QStringLiteral("YY")),
                 QStringLiteral("aYYbYYc"));
        QCOMPARE(ReplaceText(QStringLiteral("abc"), QStringLiteral("X"), QStringLiteral("YY")),
                 QStringLiteral("abc"));
        QCOMPARE(ReplaceText(QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("a")),
                 QStringLiteral("aa"));
        QCOMPARE(StripSpaces(QStringLiteral(" a b\tc　")), QStringLiteral("ab\tc　"));
    }

    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("minus zero") << "-0" << false;
        QTest::newRow("negative") << "-12" << true;
        QTest::newRow("max") << "2147483647" << true;
        QTest::newRow("over max") << "2147483648" << false;
        QTest::newRow("min") << "-2147483648" << true;
        QTest::newRow("under min") << "-2147483649" << false;
        QTest::newRow("huge") << "99999999999999999999999" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("sign only") << "-" << false;
        QTest::newRow("blank") << " 1" << false;
        QTest::newRow("letters") << "12a" << false;
        QTest::newRow("full-width digit") << "１" << false;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(IsIntegerText(text), valid);
    }

    void normaliseStatement()
    {
        QCOMPARE(NormaliseStatement(QStringLiteral("LedOn (255, 0, 0, 4); // red\r\n")),
                 QStringLiteral("ledon(255,0,0,4);"));
        QCOMPARE(NormaliseStatement(QStringLiteral("LedOn (255, 0, 0, 4);\r\n")),
                 QStringLiteral("ledon(255,0,0,4);"));
        QCOMPARE(NormaliseStatement(QStringLiteral("x")), QString());
        QCOMPARE(NormaliseStatement(QString()), QString());
    }

    void roundHalfEven()
    {
        QCOMPARE(RoundHalfEven(0.5), 0);
        QCOMPARE(RoundHalfEven(1.5), 2);
        QCOMPARE(RoundHalfEven(2.5), 2);
        QCOMPARE(RoundHalfEven(-0.5), 0);
        QCOMPARE(RoundHalfEven(2.6), 3);
    }
};

KORU_TEST_GUILESS_MAIN(TstTextUtil)
#include "tst_textutil.moc"
