#include "model/viewerrows.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

class TstViewerRows : public QObject
{
    Q_OBJECT
private slots:
    void rowOfRecord_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");
        QTest::newRow("red for one second") << "2,0,255,0,0,4,0" << "フルカラーLED点灯" << "0640000FF000000";
        QTest::newRow("timer 3 s") << "5,0,3,0,0,0,0" << "動作停止" << "070000003000000";
        QTest::newRow("if warmer than 30") << "7,4,30,0,0,0,0" << "指定温度より高い？" << "07B00401E000000";
        QTest::newRow("else") << "12,2,0,0,0,0,0" << "else" << "092002000000000";
        QTest::newRow("endif") << "13,2,0,0,0,0,0" << "endif" << "096002000000000";
        QTest::newRow("fade, unknown sub") << "2,9,0,0,0,0,0" << "フェードアウト" << "066009000000000";
        QTest::newRow("if, catch-all") << "7,15,0,0,0,0,0" << "指定湿度=変数y？" << "08600F000000000";
        QTest::newRow("wait until bright") << "6,2,0,0,0,0,0" << "明るければ停止" << "073002000000000";
        QTest::newRow("motor, unknown sub") << "11,7,9,0,0,0,0" << "モーターON" << "08C007009000000";
        QTest::newRow("bulb off") << "11,3,0,0,0,0,0" << "豆球OFF" << "08F003000000000";
        QTest::newRow("unknown kind is endif") << "99,7,0,0,0,0,0" << "endif" << "097007000000000";
        QTest::newRow("p4 and p5 not shown") << "2,0,1,2,3,31,9" << "フルカラーLED点灯" << "064000001002003";
        QTest::newRow("short, damaged record") << "4,x" << "AM/FM 再生" << "06A000000000000";
        QTest::newRow("value above a byte keeps its digits") << "5,0,4096,0,0,0,0" << "動作停止" << "0700001000000000";
    }
    void rowOfRecord()
    {
        QFETCH(QString, record);
        QFETCH(QString, text);
        QFETCH(QString, code);
        const ViewerRow row = ViewerRowOf(record, 4);
        QCOMPARE(row.number, 4);
        QCOMPARE(row.text, text);
        QCOMPARE(row.code(), code);
        QCOMPARE(row.groups.size(), 5);
    }

    void listingRowsAreNumberedFromZero()
    {
        const QStringList listing{"START", "2,0,255,0,0,4,0", "5,0,3,0,0,0,0", "END"};
        const QList<ViewerRow> rows = ViewerRows(listing);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].number, 0);
        QCOMPARE(rows[1].number, 1);
        QCOMPARE(rows[1].text, QStringLiteral("動作停止"));
        QCOMPARE(ViewerGridRowCount(listing), 5); // header, two records, two empty rows
    }

    void emptyListing()
    {
        QVERIFY(ViewerRows({"START", "END"}).isEmpty());
        QCOMPARE(ViewerGridRowCount({"START", "END"}), 3);
        QVERIFY(ViewerRows({}).isEmpty());
        QVERIFY(ViewerRows({"START"}).isEmpty());
    }

    void sameListingTwiceGivesSameRows()
    {
        const QStringList listing{"START", "8,0,3,0,0,0,0", "4,3,0,0,0,0,0", "8,1,0,0,0,0,0", "END"};
        const QStringList copy = listing;
        const QList<ViewerRow> first = ViewerRows(listing);
        QCOMPARE(ViewerRows(listing), first);
        QCOMPARE(listing, copy);
        QCOMPARE(first.size(), 3);
    }

    void headerCaptions()
    {
        QCOMPARE(ViewerHeader(), (QStringList{"番号", "命令内容", "送信データ"}));
    }
};

KORU_TEST_GUILESS_MAIN(TstViewerRows)
#include "tst_viewerrows.moc"
