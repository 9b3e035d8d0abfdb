#include "flowchart/flowedit.h"
#include "flowchart/flowtranslate.h"
#include "flowfixture.h"
#include "testmain.h"

#include <QTest>

using namespace koru;
using koru::test::AddRoutine;
using koru::test::MainRoutine;

class TstFlowEdit : public QObject
{
    Q_OBJECT
private slots:
    void dropRules()
    {
        FlowDocument doc;
        EditResult r = DropNewBlock(doc, 0, 0, QPoint(50, 10));
        QVERIFY(r.ok());
        QCOMPARE(r.slot, 0);
        QCOMPARE(doc.block(0, 0).params, QStringLiteral("0,0,0,0,0,0"));
        QCOMPARE(DropNewBlock(doc, 0, 0, QPoint(50, 300)).message, QStringLiteral("スタート命令はすでに配置しております。"));
        QCOMPARE(DropNewBlock(doc, 1, 9, QPoint(0, 0)).message,
                 QStringLiteral("サブルーチン命令はメインルーチン以外には配置出来ません。"));
        r = DropNewBlock(doc, 0, 5, QPoint(-4, 90));
        QCOMPARE(r.slot, 1);
        QCOMPARE(doc.block(0, 1).kind, QStringLiteral("timer"));
        QCOMPARE(doc.block(0, 1).x, 0);
        QVERIFY(ConfirmNewBlock(doc, 0, 1, "0,3,0,0,0,0").ok());
        QCOMPARE(doc.block(0, 1).params, QStringLiteral("0,3,0,0,0,0"));

        doc.removeBlocks(0, {0});
        QCOMPARE(DropNewBlock(doc, 0, 0, QPoint(50, 10)).slot, 0); // the start block's place again

        for (int s = 2; s < SlotsPerRoutine; ++s)
            QVERIFY(DropNewBlock(doc, 0, 4, QPoint(0, 0)).ok());
        const QString limit = QStringLiteral("配置できる命令数は30個までです。これ以上命令を追加できません。");
        QCOMPARE(DropNewBlock(doc, 0, 4, QPoint(0, 0)).message, limit);
        QCOMPARE(DropNewBlock(doc, 0, 0, QPoint(0, 0)).message, limit);
        QVERIFY(DropNewBlock(doc, 2, 4, QPoint(0, 0)).ok()); // other routines unaffected
    }

    void newBlockOverTheBudgetIsRemoved()
    {
        FlowDocument doc;
        DropNewBlock(doc, 0, 0, QPoint(0, 0)); // 2 bytes
        for (int i = 0; i < 23; ++i) {
            const int slot = DropNewBlock(doc, 0, 2, QPoint(0, 0)).slot;
            QVERIFY(ConfirmNewBlock(doc, 0, slot, "1,255,0,0,11,0").ok()); // 5 bytes
        }
        QCOMPARE(doc.byteTotal(), 117);
        const int slot = DropNewBlock(doc, 0, 6, QPoint(0, 0)).slot;
        const EditResult r = ConfirmNewBlock(doc, 0, slot, "4,25,0,0,0,0"); // 3 bytes: 120
        QVERIFY(r.ok());
        const int extra = DropNewBlock(doc, 0, 1, QPoint(0, 0)).slot; // end, 1 byte: 121
        const EditResult over = ConfirmNewBlock(doc, 0, extra, QString());
        QCOMPARE(over.message, QStringLiteral("これ以上命令を追加できません。(バイト数オーバー)"));
        QVERIFY(!doc.isOccupied(0, extra));
        QCOMPARE(doc.byteTotal(), 120);
    }

    void replaceKeepsSlotPositionAndArrows()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"if", "", 2, 3}, {"timer", "0,1,0,0,0,0", 3}, {"end"}});
        EditResult r = ReplaceBlock(doc, 0, 1, 4, "3,0,0,0,0,0"); // if -> sound
        QVERIFY(r.ok());
        QCOMPARE(doc.block(0, 1).kind, QStringLiteral("sound"));
        QCOMPARE(doc.block(0, 1).next, 2);
        QCOMPARE(doc.block(0, 1).branch, NoSlot);
        QCOMPARE(doc.block(0, 3).incoming, QList<int>{2});
        QCOMPARE(ReplaceRefusal(doc, 0, 0), QStringLiteral("スタート命令はすでに配置しております。"));
        QCOMPARE(ReplaceBlock(doc, 0, 2, 0, QString()).message, QStringLiteral("スタート命令はすでに配置しております。"));
        QCOMPARE(ReplaceRefusal(doc, 0, 9), QString());
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    // Subroutine calls and the kit enter a routine at slot 0, so the start
    // block lives there whichever way it was made.
    void startBlockStaysInSlotZero()
    {
        FlowDocument doc = MainRoutine({{}, {"timer", "0,1,0,0,0,0", 2}, {"end"}});
        EditResult r = ReplaceBlock(doc, 0, 1, 0, "5,5,5,5,5,5");
        QVERIFY(r.ok());
        QCOMPARE(r.slot, 0);
        QCOMPARE(doc.block(0, 0).kind, QStringLiteral("start"));
        QCOMPARE(doc.block(0, 0).params, QStringLiteral("0,0,0,0,0,0"));
        QCOMPARE(doc.block(0, 0).next, 2);
        QCOMPARE(CheckProgram(doc).code, 0);
        r = ReplaceBlock(doc, 0, 0, 5, "0,2,0,0,0,0"); // the start block becomes a timer
        QVERIFY(r.ok());
        QCOMPARE(r.slot, 1);
        QVERIFY(!doc.isOccupied(0, 0));
        QCOMPARE(doc.block(0, 1).next, 2);
        QCOMPARE(doc.block(0, 2).incoming, QList<int>{1});
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void parameterChangesWithinTheBudget()
    {
        FlowDocument doc;
        DropNewBlock(doc, 0, 0, QPoint(0, 0));
        for (int i = 0; i < 23; ++i)
            ConfirmNewBlock(doc, 0, DropNewBlock(doc, 0, 2, QPoint(0, 0)).slot, "1,255,0,0,11,0");
        const int light = DropNewBlock(doc, 0, 3, QPoint(0, 0)).slot;
        QVERIFY(ConfirmNewBlock(doc, 0, light, "1,0,0,0,0,0").ok()); // 2 bytes: 119
        QCOMPARE(ChangeParams(doc, 0, light, "0,80,6,0,0,0").message, ByteOverflowMessage()); // 4 bytes
        QCOMPARE(doc.block(0, light).params, QStringLiteral("1,0,0,0,0,0"));
        QCOMPARE(ReplaceBlock(doc, 0, light, 7, "4,25,0,0,0,0").message, ByteOverflowMessage()); // if: 4 bytes
        QCOMPARE(doc.block(0, light).kind, QStringLiteral("light_led"));
        QVERIFY(ChangeParams(doc, 0, 1, "0,255,0,0,4,0").ok()); // 5 -> 4 bytes: 118
        QVERIFY(ChangeParams(doc, 0, light, "0,80,6,0,0,0").ok()); // 120
        QCOMPARE(doc.byteTotal(), 120);
    }

    void pasteCopiesBlocksAndTheirArrows()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"if", "", 2, 3}, {"timer", "0,1,0,0,0,0", 3}, {"end"}});
        const PasteResult r = PasteBlocks(doc, 0, {1, 2});
        QVERIFY(r.message.isEmpty());
        QCOMPARE(r.pasted, (QList<int>{4, 5}));
        QCOMPARE(doc.block(0, 4).kind, QStringLiteral("if"));
        QCOMPARE(doc.block(0, 4).x, doc.block(0, 1).x + 100);
        QCOMPARE(doc.block(0, 4).y, doc.block(0, 1).y + 50);
        QCOMPARE(doc.block(0, 4).next, 5);        // arrow inside the clipboard
        QCOMPARE(doc.block(0, 4).branch, NoSlot); // arrow out of it
        QCOMPARE(doc.block(0, 5).next, NoSlot);
        QCOMPARE(doc.block(0, 5).params, QStringLiteral("0,1,0,0,0,0"));
        QCOMPARE(PasteBlocks(doc, 0, {0, 2}).message, QStringLiteral("開始命令が含まれている為コピー出来ません。"));
        QCOMPARE(doc.blockCount(), 6);
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void pasteIntoAnotherRoutine()
    {
        // Blocks copied in the main routine, pasted into subroutine 1: the
        // copies and their arrows land there; a subroutine call cannot.
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"timer", "0,2,0,0,0,0", 2}, {"routine", "0,1,0,0,0,0", 3}, {"end"}});
        PasteResult r = PasteBlocks(doc, 1, {1, 3}, 0);
        QVERIFY(r.message.isEmpty());
        QCOMPARE(r.pasted, (QList<int>{1, 2}));
        QCOMPARE(doc.block(1, 1).params, QStringLiteral("0,2,0,0,0,0"));
        QCOMPARE(doc.block(1, 2).kind, QStringLiteral("end"));
        QCOMPARE(doc.blockCount(0), 4); // the originals stay
        r = PasteBlocks(doc, 1, {1, 2}, 0);
        QCOMPARE(r.message, CallOutsideMainMessage());
        QCOMPARE(r.pasted, QList<int>{3}); // the timer went in before the call was refused
        QCOMPARE(doc.block(1, 3).next, NoSlot);
        QVERIFY(doc.invariantViolations().isEmpty());
    }

    void pasteStopsAtTheSlotLimit()
    {
        FlowDocument doc;
        for (int s = 1; s < SlotsPerRoutine - 1; ++s)
            doc.place(0, s, "sound", 0, 0);
        const PasteResult r = PasteBlocks(doc, 0, {1, 2, 3});
        QCOMPARE(r.pasted, QList<int>{29});
        QCOMPARE(r.message, BlockLimitMessage());
    }

    // Each refusal over a budget says which one, and the figure the edit
    // would have reached; other refusals name none.
    void refusalsNameTheBudgetTheyBreak()
    {
        const auto part = [](const std::optional<BudgetPart> &p) {
            return p ? QStringLiteral("%1 %2/%3").arg(p->name).arg(p->used).arg(p->limit) : QStringLiteral("none");
        };
        // 29 blocks: the last slot is the start block's.
        FlowDocument crowded;
        for (int s = 1; s < SlotsPerRoutine; ++s)
            crowded.place(1, s, "sound", 0, 0);
        EditResult r = DropNewBlock(crowded, 1, 4, QPoint(0, 0));
        QCOMPARE(part(r.exceeded), QStringLiteral("命令 30/30"));
        QCOMPARE(BudgetRefusalText(*r.exceeded), QStringLiteral("残りの1つはスタート命令の場所のため追加できません"));
        QCOMPARE(DropNewBlock(crowded, 1, 0, QPoint(0, 0)).message, BlockLimitMessage()); // as specified,
        QCOMPARE(part(DropNewBlock(crowded, 1, 0, QPoint(0, 0)).exceeded), QStringLiteral("none")); // but no budget
        QVERIFY(crowded.place(1, 0, "start", 0, 0));
        r = DropNewBlock(crowded, 1, 4, QPoint(0, 0));
        QCOMPARE(part(r.exceeded), QStringLiteral("命令 31/30"));
        QCOMPARE(BudgetRefusalText(*r.exceeded), QStringLiteral("命令 31/30 となり上限を超えるため追加できません"));
        QCOMPARE(part(DropNewBlock(crowded, 1, 0, QPoint(0, 0)).exceeded), QStringLiteral("命令 31/30"));
        crowded.removeBlocks(1, {1, 2});
        QCOMPARE(part(PasteBlocks(crowded, 1, {3, 4, 5}).exceeded), QStringLiteral("命令 31/30"));
        QCOMPARE(part(DropNewBlock(crowded, 0, 9, QPoint(0, 0)).exceeded), QStringLiteral("none"));
        QCOMPARE(part(DropNewBlock(crowded, 2, 9, QPoint(0, 0)).exceeded), QStringLiteral("none")); // a call, not a budget

        // 119 bytes, as in parameterChangesWithinTheBudget.
        FlowDocument doc;
        DropNewBlock(doc, 0, 0, QPoint(0, 0));
        for (int i = 0; i < 23; ++i)
            ConfirmNewBlock(doc, 0, DropNewBlock(doc, 0, 2, QPoint(0, 0)).slot, "1,255,0,0,11,0");
        const int light = DropNewBlock(doc, 0, 3, QPoint(0, 0)).slot;
        QVERIFY(ConfirmNewBlock(doc, 0, light, "1,0,0,0,0,0").ok());
        QCOMPARE(doc.byteTotal(), 119);
        QCOMPARE(part(ChangeParams(doc, 0, light, "0,80,6,0,0,0").exceeded), QStringLiteral("バイト 121/120"));
        QCOMPARE(part(ReplaceBlock(doc, 0, light, 7, "4,25,0,0,0,0").exceeded), QStringLiteral("バイト 121/120"));
        QCOMPARE(part(ConfirmNewBlock(doc, 0, DropNewBlock(doc, 0, 3, QPoint(0, 0)).slot, "0,80,6,0,0,0").exceeded),
                 QStringLiteral("バイト 123/120"));
        QCOMPARE(part(PasteBlocks(doc, 0, {light}).exceeded), QStringLiteral("バイト 121/120"));
        QCOMPARE(doc.byteTotal(), 119);
        QCOMPARE(part(ChangeParams(doc, 0, light, "1,0,0,0,0,0").exceeded), QStringLiteral("none"));
    }

    void alignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QList<int>>("xs");
        // blocks at x = 10, 105, 40 (selection order)
        QTest::newRow("left") << int(Alignment::Left) << QList<int>{10, 10, 10};
        QTest::newRow("centre") << int(Alignment::CentreHorizontal) << QList<int>{58, 58, 58}; // 10 + 47.5 -> 48 (even)
        QTest::newRow("right") << int(Alignment::Right) << QList<int>{105, 105, 105};
        QTest::newRow("spread") << int(Alignment::SpreadHorizontal) << QList<int>{10, 105, 58}; // 10 + 47.5 -> 58, 10 + 95
    }
    void alignment()
    {
        QFETCH(int, alignment);
        QFETCH(QList<int>, xs);
        FlowDocument doc;
        const int x[] = {10, 105, 40};
        for (int i = 0; i < 3; ++i)
            doc.place(0, i + 1, "sound", x[i], 100 + i);
        AlignBlocks(doc, 0, {1, 2, 3}, Alignment(alignment));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(doc.block(0, i + 1).x, xs.at(i));
            QCOMPARE(doc.block(0, i + 1).y, 100 + i); // the other coordinate stays
        }
    }

    void spreadNeedsThreeBlocksAndKeepsSelectionOrderOnTies()
    {
        FlowDocument doc;
        doc.place(0, 1, "sound", 0, 0);
        doc.place(0, 2, "sound", 0, 100);
        AlignBlocks(doc, 0, {1, 2}, Alignment::SpreadVertical);
        QCOMPARE(doc.block(0, 2).y, 100);
        doc.place(0, 3, "sound", 0, 100);
        AlignBlocks(doc, 0, {3, 2, 1}, Alignment::SpreadVertical); // 2 and 3 tie at 100
        QCOMPARE(doc.block(0, 1).y, 0);
        QCOMPARE(doc.block(0, 3).y, 50);
        QCOMPARE(doc.block(0, 2).y, 100);
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowEdit)
#include "tst_flowedit.moc"
