#include "flowchart/flowdocument.h"
#include "flowfixture.h"
#include "testmain.h"

#include <QTest>

using namespace koru;
using koru::test::MainRoutine;

class TstFlowDocument : public QObject
{
    Q_OBJECT
private slots:
    void freeSlotSkipsStartSlotAndFillsUp()
    {
        FlowDocument doc;
        QCOMPARE(doc.freeSlot(0), 1);
        QVERIFY(doc.place(0, 0, "start", 50, 10));
        for (int s = 1; s < SlotsPerRoutine; ++s) {
            QCOMPARE(doc.freeSlot(0), s);
            QVERIFY(doc.place(0, s, "sound", 0, 0));
        }
        QCOMPARE(doc.freeSlot(0), NoSlot);
        QCOMPARE(doc.freeSlot(1), 1); // other routines unaffected
        doc.removeBlocks(0, {7});
        QCOMPARE(doc.freeSlot(0), 7);
        QCOMPARE(doc.blockCount(), 29);
    }

    void placeRefusesWhatBreaksTheInvariants_data()
    {
        QTest::addColumn<int>("routine");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("kind");
        QTest::newRow("start outside slot 0") << 0 << 3 << "start";
        QTest::newRow("other block in slot 0") << 0 << 0 << "timer";
        QTest::newRow("call in a subroutine") << 2 << 1 << "routine";
        QTest::newRow("unknown kind") << 0 << 1 << "teleport";
        QTest::newRow("slot out of range") << 0 << 30 << "timer";
        QTest::newRow("routine out of range") << 5 << 1 << "timer";
    }
    void placeRefusesWhatBreaksTheInvariants()
    {
        QFETCH(int, routine);
        QFETCH(int, slot);
        QFETCH(QString, kind);
        FlowDocument doc;
        QVERIFY(!doc.place(routine, slot, kind, 0, 0));
        QCOMPARE(doc.blockCount(), 0);
    }

    void placeClampsNegativeCoordinatesAndSetsStartParams()
    {
        FlowDocument doc;
        QVERIFY(doc.place(0, 0, "start", -20, 5));
        QCOMPARE(doc.block(0, 0).x, 0);
        QCOMPARE(doc.block(0, 0).y, 5);
        QCOMPARE(doc.block(0, 0).params, QStringLiteral("0,0,0,0,0,0"));
        QVERIFY(!doc.place(0, 0, "start", 0, 0)); // occupied
        doc.setPosition(0, 0, 10, -1);
        QCOMPARE(doc.block(0, 0).y, 0);
    }

    void linkingKeepsIncomingExact()
    {
        // 0 start, 1 if, 2 timer, 3 end
        FlowDocument doc = MainRoutine({{"start"}, {"if"}, {"timer", "0,1,0,0,0,0"}, {"end"}});
        QVERIFY(doc.linkBottom(0, 0, 1));
        QVERIFY(doc.linkBottom(0, 1, 2));
        QVERIFY(doc.linkSide(0, 1, 2)); // both arrows of the if into one block
        QCOMPARE(doc.block(0, 2).incoming, QList<int>{1});
        QVERIFY(doc.linkBottom(0, 1, 3)); // the bottom arrow moves on
        QCOMPARE(doc.block(0, 2).incoming, QList<int>{1}); // the side arrow still ends there
        QCOMPARE(doc.block(0, 3).incoming, QList<int>{1});
        QVERIFY(doc.linkBottom(0, 2, 3));
        QCOMPARE(doc.block(0, 3).incoming, (QList<int>{1, 2}));
        QVERIFY(doc.linkBottom(0, 2, 3)); // again: not listed twice
        QCOMPARE(doc.block(0, 3).incoming, (QList<int>{1, 2}));
        QVERIFY(doc.invariantViolations().isEmpty());

        QVERIFY(!doc.linkBottom(0, 2, 0)); // into the start block
        QVERIFY(!doc.linkBottom(0, 3, 2)); // from an end block
        QVERIFY(!doc.linkSide(0, 2, 3));   // side arrow of a non-if
        QVERIFY(!doc.linkBottom(0, 2, 9)); // free slot
        QVERIFY(doc.linkBottom(0, 2, 2));  // a self-link is the check's business
        QCOMPARE(doc.block(0, 3).incoming, QList<int>{1});
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void linkAtPointNeedsStrictlyInsideBlock_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("target");
        // slot 1 at (50, 90), slot 2 at (50, 170)
        QTest::newRow("inside") << QPoint(100, 120) << 1;
        QTest::newRow("on the left edge") << QPoint(50, 120) << -1;
        QTest::newRow("on the bottom edge") << QPoint(100, 140) << -1;
        QTest::newRow("empty canvas") << QPoint(400, 400) << -1;
        QTest::newRow("start block") << QPoint(100, 30) << -1;
    }
    void linkAtPointNeedsStrictlyInsideBlock()
    {
        QFETCH(QPoint, point);
        QFETCH(int, target);
        FlowDocument doc = MainRoutine({{"start"}, {"timer"}, {"sound"}});
        const FlowDocument before = doc;
        const bool linked = doc.linkBottomAt(0, 2, point); // from the sound block
        QCOMPARE(linked, target != -1);
        QCOMPARE(doc.block(0, 2).next, target);
        if (!linked)
            QVERIFY(doc == before);
    }

    void removeBlocksDropsArrowsBothWays()
    {
        // 0 start -> 1 if; if -> 2, side -> 3; 2 -> 4; 3 -> 4; 4 end
        FlowDocument doc = MainRoutine(
            {{"start", "", 1}, {"if", "", 2, 3}, {"timer", "0,1,0,0,0,0", 4}, {"sound", "", 4}, {"end"}});
        doc.removeBlocks(0, {3});
        QCOMPARE(doc.block(0, 1).branch, NoSlot);
        QCOMPARE(doc.block(0, 4).incoming, QList<int>{2});
        QVERIFY(!doc.isOccupied(0, 3));
        QCOMPARE(doc.block(0, 3), FlowBlock());
        doc.removeBlocks(0, {1});
        QCOMPARE(doc.block(0, 0).next, NoSlot);
        QVERIFY(doc.block(0, 2).incoming.isEmpty());
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void removeArrowsKeepsOtherSources()
    {
        FlowDocument doc = MainRoutine({{"start", "", 2}, {"if", "", 2, 2}, {"end"}});
        doc.removeArrows(0, 1);
        QCOMPARE(doc.block(0, 1).next, NoSlot);
        QCOMPARE(doc.block(0, 1).branch, NoSlot);
        QCOMPARE(doc.block(0, 2).incoming, QList<int>{0});
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void changeKindDropsArrowsTheNewKindCannotHave()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"if", "", 2, 3}, {"timer", "", 3}, {"end"}});
        QCOMPARE(doc.changeKind(0, 1, "sound", "3,0,0,0,0,0"), 1);
        QCOMPARE(doc.block(0, 1).branch, NoSlot);
        QCOMPARE(doc.block(0, 1).next, 2);
        QCOMPARE(doc.block(0, 3).incoming, QList<int>{2});
        QCOMPARE(doc.changeKind(0, 2, "end", "0,0,0,0,0,0"), 2);
        QCOMPARE(doc.block(0, 2).next, NoSlot);
        QVERIFY(doc.block(0, 3).incoming.isEmpty());
        QCOMPARE(doc.changeKind(0, 2, "start", "0,0,0,0,0,0"), NoSlot); // a start block exists
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void changeKindToStartMovesTheBlockToSlotZero()
    {
        FlowDocument doc = MainRoutine({{}, {"timer", "", 2}, {"sound", "", 3}, {"end"}});
        QVERIFY(doc.linkBottom(0, 2, 1)); // an arrow into the block that becomes the start
        QCOMPARE(doc.changeKind(0, 1, "start", "0,0,0,0,0,0"), 0);
        QVERIFY(!doc.isOccupied(0, 1));
        QCOMPARE(doc.block(0, 0).kind, QStringLiteral("start"));
        QCOMPARE(doc.block(0, 0).slotNo, 0);
        QCOMPARE(doc.block(0, 0).next, 2);
        QCOMPARE(doc.block(0, 2).incoming, QList<int>{0});
        QCOMPARE(doc.block(0, 2).next, NoSlot); // no arrow may end in the start block
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void byteTotalAndAddressesCountEveryOccupiedSlot()
    {
        FlowDocument doc;
        // main: start (2), timer (3) in slot 5, unreachable loop end (2) in slot 9
        QVERIFY(doc.place(0, 0, "start", 0, 0));
        QVERIFY(doc.place(0, 5, "timer", 0, 0));
        doc.setParams(0, 5, "0,3,0,0,0,0");
        QVERIFY(doc.place(0, 9, "loop", 0, 0));
        doc.setParams(0, 9, "1,0,0,0,0,0");
        QVERIFY(doc.place(2, 0, "start", 0, 0));
        QVERIFY(doc.place(2, 1, "end", 0, 0));
        QCOMPARE(doc.byteTotal(), 2 + 3 + 2 + 2 + 1);
        QCOMPARE(doc.byteAddress(0, 0), 0);
        QCOMPARE(doc.byteAddress(0, 5), 2);
        QCOMPARE(doc.byteAddress(0, 6), 5); // a free slot has the address of what follows
        QCOMPARE(doc.byteAddress(1, 0), 7); // subroutine n starts after all earlier routines
        QCOMPARE(doc.byteAddress(2, 0), 7);
        QCOMPARE(doc.byteAddress(2, 1), 9);
        QCOMPARE(doc.byteAddress(3, 0), 10);
    }

    void clearResetsSlots()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        doc.clear();
        QCOMPARE(doc.blockCount(), 0);
        QCOMPARE(doc, FlowDocument());
    }

    void repairArrowsMendsInconsistentLinks()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"timer", "", 2}, {"end"}});
        doc.rawBlock(0, 1).next = 7;                // free slot
        doc.rawBlock(0, 2).next = 1;                // end with a bottom arrow
        doc.rawBlock(0, 0).branch = 2;              // side arrow of a non-if
        doc.rawBlock(0, 2).incoming = {5, 1, 1, 0}; // stale and repeated entries
        doc.rawBlock(0, 1).incoming = {};
        QVERIFY(!doc.invariantViolations().isEmpty());
        doc.repairArrows();
        QVERIFY2(doc.invariantViolations().isEmpty(), qPrintable(doc.invariantViolations().join('\n')));
        QCOMPARE(doc.block(0, 1).next, NoSlot);
        QCOMPARE(doc.block(0, 1).incoming, QList<int>{0});
        QVERIFY(doc.block(0, 2).incoming.isEmpty());
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowDocument)
#include "tst_flowdocument.moc"
