#include "flowchart/flowtranslate.h"
#include "flowchart/readback.h"
#include "flowfixture.h"
#include "testmain.h"

#include <QTest>

using namespace koru;
using koru::test::AddRoutine;
using koru::test::MainRoutine;
using koru::test::Node;

namespace {

QStringList Lines(const QList<int> &bytes)
{
    return MemoryLinesOfImage(bytes);
}

QPoint At(const FlowDocument &doc, int routine, int slot)
{
    return {doc.block(routine, slot).x, doc.block(routine, slot).y};
}

} // namespace

class TstReadback : public QObject
{
    Q_OBJECT
private slots:
    void memoryLinesOfAnImage()
    {
        QCOMPARE(MemoryLinesOfImage({230, 2, 231}), (QStringList{"E6 ", "02 ", "E7 ", "FA "}));
    }

    void startTimerEndInOneColumn()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}}); // replaced
        const ReadbackResult result = RebuildFromMemory(doc, Lines({230, 2, 160, 3, 5, 231}));
        QVERIFY(result.ok());
        QCOMPARE(doc.blockCount(), 3);
        QCOMPARE(At(doc, 0, 0), QPoint(50, 10));
        QCOMPARE(At(doc, 0, 1), QPoint(50, 90));
        QCOMPARE(At(doc, 0, 2), QPoint(50, 170));
        QCOMPARE(doc.block(0, 1).kind, QStringLiteral("timer"));
        QCOMPARE(doc.block(0, 1).params, QStringLiteral("0,3,0,0,0,0"));
        QCOMPARE(doc.block(0, 0).next, 1);
        QCOMPARE(doc.block(0, 1).next, 2);
        QCOMPARE(doc.block(0, 2).next, NoSlot);
        QCOMPARE(doc.block(0, 2).incoming, QList<int>{1});
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void ifPathsMeeting()
    {
        // start, if, P (timer), M (sound), end; side arrow -> Q (wait) -> M
        const FlowDocument sent = MainRoutine({{"start", "", 1}, {"if", "", 2, 5}, {"timer", "0,1,0,0,0,0", 3},
                                               {"sound", "3,0,0,0,0,0", 4}, {"end"}, {"wait", "1,0,0,0,0,0", 3}});
        FlowDocument doc;
        QVERIFY(RebuildFromMemory(doc, MemoryLinesOfImage(EncodeFlowDocument(sent))).ok());
        QCOMPARE(doc.block(0, 1).kind, QStringLiteral("if"));
        QCOMPARE(At(doc, 0, 2), QPoint(50, 170)); // yes-path below the if
        QCOMPARE(doc.block(0, 5).kind, QStringLiteral("wait"));
        QCOMPARE(At(doc, 0, 5), QPoint(200, 170)); // no-path at (x + 150, y + 80) of the if
        QCOMPARE(doc.block(0, 1).branch, 5);
        QCOMPARE(doc.block(0, 5).next, 3);
        QCOMPARE(doc.block(0, 3).incoming, (QList<int>{2, 5}));
        QVERIFY(doc.invariantViolations().isEmpty());
        QCOMPARE(BuildCommandListing(doc).listing, BuildCommandListing(sent).listing);
    }

    void twoIfsMergingAtOneBlockBothGetSideArrows()
    {
        const FlowDocument sent = MainRoutine({{"start", "", 1}, {"if", "", 2, 3}, {"if", "2,0,0,0,0,0", 3, 3}, {"end"}});
        FlowDocument doc;
        QVERIFY(RebuildFromMemory(doc, MemoryLinesOfImage(EncodeFlowDocument(sent))).ok());
        QCOMPARE(doc.block(0, 1).branch, 3);
        QCOMPARE(doc.block(0, 2).branch, 3);
        QCOMPARE(doc.block(0, 2).next, 3);
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void subroutinesNumberedByFirstCall()
    {
        // main calls subroutine 3, 3 again, then 1: read back as 1, 1, 2
        FlowDocument sent = MainRoutine({{"start", "", 1}, {"routine", "0,3,0,0,0,0", 2}, {"routine", "0,3,0,0,0,0", 3},
                                         {"routine", "0,1,0,0,0,0", 4}, {"end"}});
        AddRoutine(sent, 1, {{"start", "", 1}, {"sound", "3,0,0,0,0,0", 2}, {"end"}});
        AddRoutine(sent, 3, {{"start", "", 1}, {"timer", "0,2,0,0,0,0", 2}, {"end"}});
        FlowDocument doc;
        QVERIFY(RebuildFromMemory(doc, MemoryLinesOfImage(BuildDeviceImage(sent).image)).ok());
        QCOMPARE(doc.block(0, 1).params, QStringLiteral("0,1,0,0,0,0"));
        QCOMPARE(doc.block(0, 2).params, QStringLiteral("0,1,0,0,0,0"));
        QCOMPARE(doc.block(0, 3).params, QStringLiteral("0,2,0,0,0,0"));
        QCOMPARE(doc.block(1, 0).kind, QStringLiteral("start"));
        QCOMPARE(doc.block(1, 1).kind, QStringLiteral("timer"));
        QCOMPARE(doc.block(2, 0).kind, QStringLiteral("start"));
        QCOMPARE(doc.block(2, 1).kind, QStringLiteral("sound"));
        QCOMPARE(At(doc, 2, 0), QPoint(50, 10));
        QCOMPARE(doc.blockCount(3) + doc.blockCount(4), 0);
        QVERIFY(doc.invariantViolations().isEmpty());
        QCOMPARE(BuildCommandListing(doc).listing, BuildCommandListing(sent).listing);
    }

    void emptyMemory()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        const ReadbackResult result = RebuildFromMemory(doc, {"FA "});
        QVERIFY(result.ok());
        QCOMPARE(doc.blockCount(), 0);
    }

    // A kit never programmed answers FF for its whole memory: no program,
    // not blocks made up from FF bytes.
    void memoryBeginningWithFFHoldsNoProgram_data()
    {
        QTest::addColumn<QStringList>("memory");
        QTest::newRow("whole memory FF") << QStringList(255, QStringLiteral("FF "));
        QTest::newRow("FF, then a program") << Lines({255, 2, 160, 3, 5, 231});
        QTest::newRow("one line, lower case") << QStringList{QStringLiteral("ff")};
    }
    void memoryBeginningWithFFHoldsNoProgram()
    {
        QFETCH(QStringList, memory);
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        const ReadbackResult result = RebuildFromMemory(doc, memory);
        QCOMPARE(result.status, ReadbackResult::NoProgram);
        QCOMPARE(result.message, QStringLiteral("本体にはプログラムが入っていません。"));
        QCOMPARE(doc.blockCount(), 0);
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void lineThatIsNotHexadecimalKeepsTheBlocksSoFar()
    {
        FlowDocument doc;
        const ReadbackResult result = RebuildFromMemory(doc, {"E6 ", "02 ", "A0 ", "0G ", "05 ", "E7 "});
        QCOMPARE(result.status, ReadbackResult::Unconvertible);
        QCOMPARE(result.message, QStringLiteral("変換できません"));
        QCOMPARE(doc.blockCount(), 1);
        QCOMPARE(doc.block(0, 0).next, NoSlot); // the provisional arrow had no block behind it
        QVERIFY(doc.invariantViolations().isEmpty());
        // Too few replies: the missing line does not convert either.
        QCOMPARE(RebuildFromMemory(doc, {"E6 ", "02 "}).status, ReadbackResult::Unconvertible);
    }

    void memoryThatIsNoFlowchart_data()
    {
        QTest::addColumn<QList<int>>("bytes");
        QTest::addColumn<int>("status");
        // five different subroutine addresses
        QTest::newRow("five subroutines") << QList<int>{230, 2, 205, 20, 5, 205, 21, 8, 205, 22, 11, 205, 23, 14,
                                                        205, 24, 17, 231, 0, 0, 206, 206, 206, 206, 206}
                                          << int(ReadbackResult::Unusable);
        QTest::newRow("call inside a subroutine")
            << QList<int>{230, 2, 205, 6, 5, 231, 230, 8, 205, 6, 11, 206} << int(ReadbackResult::Unusable);
        QTest::newRow("second start") << QList<int>{230, 2, 230, 4, 231} << int(ReadbackResult::Unusable);
    }
    void memoryThatIsNoFlowchart()
    {
        QFETCH(QList<int>, bytes);
        QFETCH(int, status);
        FlowDocument doc;
        QCOMPARE(int(RebuildFromMemory(doc, Lines(bytes)).status), status);
        QCOMPARE(doc.blockCount(), 0);
    }

    void jumpBackIsReadAsACycle()
    {
        FlowDocument doc;
        QVERIFY(RebuildFromMemory(doc, Lines({230, 2, 160, 1, 2})).ok());
        QCOMPARE(doc.block(0, 1).next, 1);
        QCOMPARE(doc.block(0, 1).incoming, (QList<int>{0, 1}));
        QVERIFY(CheckRoutine(doc, 0).cycle);
    }

    void moreThan128StepsClearsTheDocument()
    {
        // Long routines of if blocks whose two paths meet at once: two steps each.
        QList<Node> main{{"start", "", 1}, {"routine", "0,1,0,0,0,0", 2}, {"routine", "0,2,0,0,0,0", 3}};
        for (int i = 0; i < 20; ++i)
            main << Node{"if", "", int(main.size()) + 1, int(main.size()) + 1};
        main << Node{"end"};
        QList<Node> sub{{"start", "", 1}};
        for (int i = 0; i < 28; ++i)
            sub << Node{"if", "", int(sub.size()) + 1, int(sub.size()) + 1};
        sub << Node{"end"};
        FlowDocument big = MainRoutine(main);
        AddRoutine(big, 1, sub);
        AddRoutine(big, 2, sub);
        const DeviceImage image = EncodeFlowDocument(big);
        QVERIFY(image.size() < 256);

        FlowDocument doc;
        const ReadbackResult result = RebuildFromMemory(doc, MemoryLinesOfImage(image));
        QCOMPARE(result.status, ReadbackResult::TooManySteps);
        QCOMPARE(result.steps, ReadbackStepLimit);
        QCOMPARE(doc.blockCount(), 0);

        // The main routine alone fits in the limit.
        FlowDocument mainOnly = MainRoutine(main);
        mainOnly.rawBlock(0, 1).kind = "sound";
        mainOnly.rawBlock(0, 2).kind = "sound";
        QVERIFY(RebuildFromMemory(doc, MemoryLinesOfImage(EncodeFlowDocument(mainOnly))).ok());
        QCOMPARE(doc.blockCount(), int(main.size()));
    }
};

KORU_TEST_GUILESS_MAIN(TstReadback)
#include "tst_readback.moc"
