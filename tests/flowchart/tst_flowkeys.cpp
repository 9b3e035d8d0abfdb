// The flowchart by keyboard: which block an arrow reaches, where a block
// placed below goes, and the editor's key commands on the document.
#include "flowchart/floweditor.h"
#include "flowchart/flowkeys.h"
#include "model/catalogue.h"
#include "paletteplaces.h"
#include "scripteddialogs.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

using namespace koru;
using namespace koru::test::palette;

namespace {

QString Kind(int paletteIndex)
{
    return KindNameOf(QString::number(paletteIndex));
}

//   0 start (100,20)
//   1 if    (100,100) ──side── 3 led (300,100)
//   2 timer (100,180)            │
//   4 end   (100,260) ←──────────┘      5 timer (400,400), no arrows
FlowDocument Chart()
{
    FlowDocument d;
    d.place(0, 0, Kind(Start), 100, 20);
    d.place(0, 1, Kind(If), 100, 100);
    d.place(0, 2, Kind(Timer), 100, 180);
    d.place(0, 3, Kind(Led), 300, 100);
    d.place(0, 4, Kind(End), 100, 260);
    d.place(0, 5, Kind(Timer), 400, 400);
    d.linkBottom(0, 0, 1);
    d.linkBottom(0, 1, 2);
    d.linkSide(0, 1, 3);
    d.linkBottom(0, 2, 4);
    d.linkBottom(0, 3, 4);
    return d;
}

} // namespace

Q_DECLARE_METATYPE(koru::KeyDirection)

class TstFlowKeys : public QObject
{
    Q_OBJECT
private slots:
    void blockInDirection_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<KeyDirection>("direction");
        QTest::addColumn<int>("to");
        QTest::newRow("nothing selected: the start") << NoSlot << KeyDirection::Up << 0;
        QTest::newRow("free slot: the start") << 9 << KeyDirection::Right << 0;
        QTest::newRow("bottom arrow") << 0 << KeyDirection::Down << 1;
        QTest::newRow("if: bottom arrow") << 1 << KeyDirection::Down << 2;
        QTest::newRow("if: side arrow") << 1 << KeyDirection::Right << 3;
        QTest::newRow("back along the side arrow") << 3 << KeyDirection::Left << 1;
        QTest::newRow("arrow rather than nearest") << 3 << KeyDirection::Down << 4;
        QTest::newRow("back along the first bottom arrow") << 4 << KeyDirection::Up << 2;
        QTest::newRow("no arrow: nearest to the right") << 2 << KeyDirection::Right << 3;
        QTest::newRow("no arrow: nearest above") << 5 << KeyDirection::Up << 3;
        QTest::newRow("end: nearest below") << 4 << KeyDirection::Down << 5;
        QTest::newRow("nothing above the start") << 0 << KeyDirection::Up << NoSlot;
        QTest::newRow("nothing left of the column") << 2 << KeyDirection::Left << NoSlot;
    }
    void blockInDirection()
    {
        QFETCH(int, from);
        QFETCH(KeyDirection, direction);
        QFETCH(int, to);
        QCOMPARE(BlockInDirection(Chart(), 0, from, direction), to);
    }

    void arrowsOnOddCharts()
    {
        FlowDocument d;
        QCOMPARE(BlockInDirection(d, 0, NoSlot, KeyDirection::Down), NoSlot); // empty routine
        d.place(0, 3, Kind(Timer), 0, 0);
        d.place(0, 4, Kind(Timer), 0, 200);
        d.linkBottom(0, 3, 3); // a loop onto itself: the nearest block instead
        QCOMPARE(BlockInDirection(d, 0, 3, KeyDirection::Down), 4);
        QCOMPARE(BlockInDirection(d, 0, NoSlot, KeyDirection::Down), 3); // no start: the lowest slot
        QCOMPARE(BlockInDirection(d, 1, NoSlot, KeyDirection::Down), NoSlot); // another routine
    }

    void placeBelow()
    {
        const FlowDocument d = Chart();
        // Past every block in the column, one gap below the last.
        QCOMPARE(PlaceBelow(d, 0, 0), QPoint(100, 340));
        QCOMPARE(PlaceBelow(d, 0, 3), QPoint(300, 180));
        QCOMPARE(PlaceBelow(d, 0, NoSlot), QPoint(40, 340));
        QCOMPARE(PlaceBelow(FlowDocument(), 0, NoSlot), TopCorner);
        QCOMPARE(PlaceBelow(d, 0, 9), std::nullopt); // a free slot

        FlowDocument bottom;
        bottom.place(0, 1, Kind(Timer), 0, MaxBlockY - BlockHeight - BelowGap);
        QCOMPARE(PlaceBelow(bottom, 0, 1), QPoint(0, MaxBlockY)); // the last place on the canvas
        bottom.place(0, 2, Kind(Timer), 0, MaxBlockY - BlockHeight - BelowGap + 1);
        QCOMPARE(PlaceBelow(bottom, 0, 2), std::nullopt);
    }

    // Insert below the selection: joined by the bottom arrow, the old arrow
    // going on from the new block, the new block selected; one step each.
    void editorPlacesBelowAndJoins()
    {
        test::ScriptedDialogs dialogs;
        FlowEditor editor;
        QSignalSpy steps(&editor, &FlowEditor::stepMade);
        QSignalSpy wanted(&editor, &FlowEditor::parametersWanted);
        editor.placeBelow(Start);
        QCOMPARE(editor.document().block(0, 0).kind, Kind(Start));
        QCOMPARE(QPoint(editor.document().block(0, 0).x, editor.document().block(0, 0).y), TopCorner);
        QCOMPARE(editor.selection(), QList<int>{0});
        editor.placeBelow(End);
        QCOMPARE(editor.document().block(0, 0).next, 1);
        QCOMPARE(editor.selection(), QList<int>{1});

        editor.selectInDirection(KeyDirection::Up);
        QCOMPARE(editor.selection(), QList<int>{0});
        editor.placeBelow(Timer);
        QCOMPARE(wanted.size(), 1);
        QVERIFY(editor.awaitingParameters());
        editor.placeBelow(Timer); // nothing more while the parameters are asked
        editor.confirmDrop(QStringLiteral("0,2,0,0,0,0"));
        const FlowDocument &d = editor.document();
        QCOMPARE(d.block(0, 0).next, 2);
        QCOMPARE(d.block(0, 2).next, 1);
        QCOMPARE(d.block(0, 2).params, QStringLiteral("0,2,0,0,0,0"));
        QCOMPARE(d.block(0, 2).y, d.block(0, 1).y + BlockHeight + BelowGap); // past the end block in the way
        QCOMPARE(editor.selection(), QList<int>{2});
        QCOMPARE(steps.size(), 3);
        QVERIFY(d.invariantViolations().isEmpty());

        // The drop's refusals, the same words.
        editor.placeBelow(Start);
        QCOMPARE(dialogs.lastText(), QStringLiteral("スタート命令はすでに配置しております。"));
        editor.showRoutine(1);
        editor.placeBelow(9);
        QCOMPARE(dialogs.lastText(), QStringLiteral("サブルーチン命令はメインルーチン以外には配置出来ません。"));
        QCOMPARE(steps.size(), 3);
    }

    // A start block takes no arrow in: placed below a block it joins nothing
    // and takes over no arrow.
    void startPlacedBelowJoinsNothing()
    {
        FlowEditor editor;
        FlowDocument &d = editor.editableDocument();
        d.place(0, 1, Kind(Timer), 0, 0);
        d.place(0, 2, Kind(End), 0, 200);
        d.linkBottom(0, 1, 2);
        editor.setSelection({1});
        editor.placeBelow(Start);
        QCOMPARE(editor.document().block(0, 0).kind, Kind(Start));
        QCOMPARE(editor.document().block(0, 0).next, NoSlot);
        QCOMPARE(editor.document().block(0, 1).next, 2);
        QVERIFY(editor.document().invariantViolations().isEmpty());
    }

    void noRoomBelowIsSaid()
    {
        test::ScriptedDialogs dialogs;
        FlowEditor editor;
        editor.editableDocument().place(0, 1, Kind(Timer), 0, MaxBlockY);
        editor.setSelection({1});
        editor.placeBelow(End);
        QCOMPARE(dialogs.lastText(), NoRoomBelowMessage());
        QCOMPARE(editor.document().blockCount(), 1);
    }

    void nudgeKeepsBlocksOnTheCanvas()
    {
        FlowEditor editor;
        FlowDocument &d = editor.editableDocument();
        d.place(0, 1, Kind(Timer), 5, 100);
        d.place(0, 2, Kind(Timer), MaxBlockX - 3, MaxBlockY);
        d.place(0, 3, Kind(Timer), 300, 300);
        QSignalSpy steps(&editor, &FlowEditor::stepMade);
        editor.setSelection({1, 2});
        editor.nudgeSelection(QPoint(-10, 10));
        QCOMPARE(QPoint(d.block(0, 1).x, d.block(0, 1).y), QPoint(0, 110));
        QCOMPARE(QPoint(d.block(0, 2).x, d.block(0, 2).y), QPoint(MaxBlockX - 13, MaxBlockY));
        editor.nudgeSelection(QPoint(20, 10));
        QCOMPARE(QPoint(d.block(0, 2).x, d.block(0, 2).y), QPoint(MaxBlockX, MaxBlockY));
        QCOMPARE(QPoint(d.block(0, 3).x, d.block(0, 3).y), QPoint(300, 300)); // not selected
        QCOMPARE(steps.size(), 2);
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowKeys)
#include "tst_flowkeys.moc"
