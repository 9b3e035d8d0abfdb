#include "flowchart/flowcheck.h"
#include "flowchart/flowfile.h"
#include "flowchart/flowtranslate.h"
#include "flowfixture.h"
#include "testmain.h"

#include <QTest>

#include <limits>

using namespace koru;
using koru::test::AddRoutine;
using koru::test::MainRoutine;
using koru::test::Node;

Q_DECLARE_METATYPE(QList<koru::test::Node>)

namespace {

const QString Timer1 = QStringLiteral("0,1,0,0,0,0");
const QString Timer3 = QStringLiteral("0,3,0,0,0,0");
const QString LoopStart = QStringLiteral("0,2,0,0,0,0");
const QString LoopEnd = QStringLiteral("1,0,0,0,0,0");
const QString MeasureX = QStringLiteral("0,0,0,0,0,0");
const QString MeasureY = QStringLiteral("1,0,0,0,0,0");
const QString IfBelowX = QStringLiteral("8,0,0,0,0,0");

QStringList Listing(const QStringList &records)
{
    return QStringList{"START"} + records + QStringList{"END"};
}

} // namespace

class TstFlowTranslate : public QObject
{
    Q_OBJECT
private slots:
    void checkCodes_data()
    {
        QTest::addColumn<QList<Node>>("nodes");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("cycle");

        QTest::newRow("start -> end") << QList<Node>{{"start", "", 1}, {"end"}} << 0 << false;
        QTest::newRow("no start") << QList<Node>{{}, {"end"}} << -2 << false;
        QTest::newRow("block without bottom arrow")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1}, {"end"}} << -1 << false;
        QTest::newRow("if without side arrow")
            << QList<Node>{{"start", "", 1}, {"if", "", 2}, {"end"}} << -1 << false;
        QTest::newRow("unreachable broken block is not checked")
            << QList<Node>{{"start", "", 1}, {"end"}, {"timer", Timer1}} << 0 << false;
        QTest::newRow("loop pair")
            << QList<Node>{{"start", "", 1}, {"loop", LoopStart, 2}, {"timer", Timer1, 3}, {"loop", LoopEnd, 4}, {"end"}}
            << 0 << false;
        QTest::newRow("loop end without start")
            << QList<Node>{{"start", "", 1}, {"loop", LoopEnd, 2}, {"end"}} << -3 << false;
        QTest::newRow("loop start inside open loop")
            << QList<Node>{{"start", "", 1}, {"loop", LoopStart, 2}, {"loop", LoopStart, 3}, {"loop", LoopEnd, 4}, {"end"}}
            << -3 << false;
        QTest::newRow("end while loop open")
            << QList<Node>{{"start", "", 1}, {"loop", LoopStart, 2}, {"end"}} << -3 << false;
        QTest::newRow("if on x after measuring x")
            << QList<Node>{{"start", "", 1}, {"dainyuu", MeasureX, 2}, {"timer", Timer1, 3}, {"if", IfBelowX, 4, 4}, {"end"}}
            << 0 << false;
        QTest::newRow("if on x after measuring only y")
            << QList<Node>{{"start", "", 1}, {"dainyuu", MeasureY, 2}, {"timer", Timer1, 3}, {"if", IfBelowX, 4, 4}, {"end"}}
            << -4 << false;
        QTest::newRow("if on y with nothing measured")
            << QList<Node>{{"start", "", 1}, {"if", "14,0,0,0,0,0", 2, 2}, {"end"}} << -4 << false;
        // Two ways into the if: the variable must be measured on both.
        QTest::newRow("x measured on one way only")
            << QList<Node>{{"start", "", 1}, {"if", "0,0,0,0,0,0", 2, 3}, {"dainyuu", MeasureX, 4}, {"sound", "", 4},
                           {"if", IfBelowX, 5, 5}, {"end"}}
            << -4 << false;
        QTest::newRow("x measured on both ways")
            << QList<Node>{{"start", "", 1}, {"if", "0,0,0,0,0,0", 2, 3}, {"dainyuu", MeasureX, 4}, {"dainyuu", MeasureX, 4},
                           {"if", IfBelowX, 5, 5}, {"end"}}
            << 0 << false;
        QTest::newRow("x measured only after the if in a loop of arrows")
            << QList<Node>{{"start", "", 1}, {"if", IfBelowX, 2, 3}, {"dainyuu", MeasureX, 1}, {"end"}} << -4 << false;
        QTest::newRow("arrow cycle passes")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1, 2}, {"sound", "", 1}} << 0 << true;
        QTest::newRow("self-link passes")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1, 1}} << 0 << true;
        QTest::newRow("if pointing at itself")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 1}, {"end"}} << 0 << true;
        QTest::newRow("two paths meeting are no cycle")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 3}, {"timer", Timer1, 4}, {"sound", "", 4}, {"end"}}
            << 0 << false;
        // A back arrow from a merge block to a block far up the yes-path: the
        // start block is nearer backwards than the arrow's target, which must
        // not hide the cycle.
        QTest::newRow("back arrow behind a merge")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 6}, {"timer", Timer1, 3}, {"sound", "", 4}, {"timer", Timer3, 5},
                           {"wait", "", 7}, {"sound", "", 7}, {"sound", "3,0,0,0,0,0", 2}}
            << 0 << true;
        QTest::newRow("loop open on the way back of a cycle")
            << QList<Node>{{"start", "", 1}, {"loop", LoopStart, 2}, {"timer", Timer1, 1}} << -3 << true;
        // Calls name subroutines 1-4; anything else leads nowhere.
        QTest::newRow("call of subroutine 0")
            << QList<Node>{{"start", "", 1}, {"routine", "0,0,0,0,0,0", 2}, {"end"}} << -1 << false;
        QTest::newRow("call of subroutine 5")
            << QList<Node>{{"start", "", 1}, {"routine", "0,5,0,0,0,0", 2}, {"end"}} << -1 << false;
    }
    void checkCodes()
    {
        QFETCH(QList<Node>, nodes);
        QFETCH(int, code);
        QFETCH(bool, cycle);
        FlowDocument doc = MainRoutine(nodes);
        const RoutineCheck routine = CheckRoutine(doc, 0);
        QCOMPARE(routine.code, code);
        if (code == 0)
            QCOMPARE(routine.cycle, cycle);
        const ProgramCheck program = CheckProgram(doc);
        QCOMPARE(program.code, code);
        QCOMPARE(program.message, FlowCodeMessage(code));
        if (code == 0) {
            // A cycle is fine for the kit, but it has no listing.
            const ListingResult listing = BuildCommandListing(doc);
            QCOMPARE(listing.listing.isEmpty(), cycle);
            QCOMPARE(listing.failedOnCycle(), cycle);
            QCOMPARE(BuildDeviceImage(doc).image.size(), doc.byteTotal());
        } else {
            QVERIFY(BuildDeviceImage(doc).image.isEmpty());
            QVERIFY(BuildCommandListing(doc).listing.isEmpty());
        }
    }

    // Documents are kept free of such arrows, but the walks must not rely on it.
    void arrowsIntoNothingAreUnconnected_data()
    {
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("branch");
        QTest::newRow("bottom arrow to a free slot") << 7 << 2;
        QTest::newRow("bottom arrow out of range") << 45 << 2;
        QTest::newRow("side arrow to a free slot") << 2 << 7;
        QTest::newRow("side arrow out of range") << 2 << -9;
    }
    void arrowsIntoNothingAreUnconnected()
    {
        QFETCH(int, next);
        QFETCH(int, branch);
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"if", "", 2, 2}, {"end"}});
        doc.rawBlock(0, 1).next = next;
        doc.rawBlock(0, 1).branch = branch;
        QCOMPARE(CheckProgram(doc).code, -1);
        QCOMPARE(CheckProgram(doc).slot, 1); // the if whose arrow leads nowhere
        QCOMPARE(BuildCommandListing(doc).code, -1);
        QVERIFY(BuildDeviceImage(doc).image.isEmpty());
        QCOMPARE(EncodeFlowDocument(doc).size(), doc.byteTotal()); // missing targets encode as 0
    }

    // Five if blocks in a row whose paths meet again: no cycle, however many
    // ways lead back from the last block to the start block.
    void manyMergingBranchesAreNoCycle()
    {
        QList<Node> nodes{{"start", "", 1}};
        QStringList records;
        for (int i = 0; i < 5; ++i) {
            const int at = int(nodes.size()); // if, yes block, no block
            nodes << Node{"if", "", at + 1, at + 2} << Node{"timer", Timer1, at + 3} << Node{"sound", "", at + 3};
            records << "7,0,0,0,0,0,0" << "5,0,1,0,0,0,0" << "12,0,0,0,0,0,0" << "4,0,0,0,0,0,0" << "13,0,0,0,0,0,0";
        }
        nodes << Node{"end"};
        const FlowDocument doc = MainRoutine(nodes);
        QVERIFY(!CheckRoutine(doc, 0).cycle);
        QCOMPARE(BuildCommandListing(doc).listing, Listing(records));
    }

    void messagesOfTheCodes()
    {
        QCOMPARE(FlowCodeMessage(-1), QStringLiteral("プログラムがきちんと結ばれておりません。\r\nプログラムを確認して下さい。"));
        QCOMPARE(FlowCodeMessage(-3), QStringLiteral("繰り返し命令の位置関係が間違っております。\r\nプログラムを確認して下さい。"));
        QCOMPARE(FlowCodeMessage(-5), QString());
        QCOMPARE(SubroutineCheckMessage(2), QStringLiteral("サブルーチン2のプログラムを確認して下さい。"));
    }

    void subroutinesAreCheckedForEveryCall()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"routine", "0,1,0,0,0,0", 2}, {"routine", "0,1,0,0,0,0", 3}, {"end"}});
        RoutineCheck main = CheckRoutine(doc, 0);
        QCOMPARE(main.calledSubroutines, (QList<int>{1, 1}));
        QCOMPARE(CheckProgram(doc).code, -2); // subroutine 1 is empty
        QCOMPARE(CheckProgram(doc).routine, 1);
        AddRoutine(doc, 1, {{"start", "", 1}, {"loop", LoopEnd, 2}, {"end"}});
        QCOMPARE(CheckProgram(doc).code, -3);
        QCOMPARE(CheckProgram(doc).message, FlowCodeMessage(-3));
        doc.rawBlock(1, 1).params = LoopStart; // not through the model: only the sub-kind changes
        QCOMPARE(CheckProgram(doc).code, -3);  // end reached with the loop open
        doc.setParams(1, 1, "0,2,0,0,0,0");
        doc.removeBlocks(1, {1});
        QVERIFY(doc.linkBottom(1, 0, 2));
        QCOMPARE(CheckProgram(doc).code, 0);
    }

    void listings_data()
    {
        QTest::addColumn<QList<Node>>("nodes");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("listing");

        const QString ifRec = QStringLiteral("7,0,0,0,0,0,0");
        const QString p = QStringLiteral("5,0,1,0,0,0,0");  // timer 1 s
        const QString q = QStringLiteral("4,3,0,0,0,0,0");  // sound 3
        const QString r = QStringLiteral("6,1,0,0,0,0,0");  // wait 1
        const QString els = QStringLiteral("12,0,0,0,0,0,0");
        const QString endif = QStringLiteral("13,0,0,0,0,0,0");

        QTest::newRow("smallest") << QList<Node>{{"start", "", 1}, {"end"}} << 0 << Listing({});
        QTest::newRow("timer") << QList<Node>{{"start", "", 1}, {"timer", Timer3, 2}, {"end"}} << 0
                               << Listing({"5,0,3,0,0,0,0"});
        // 0 start, 1 if, 2 P, 3 Q, 4 R, 5 end
        QTest::newRow("empty else section")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 4}, {"timer", Timer1, 4}, {}, {"wait", "1,0,0,0,0,0", 5}, {"end"}}
            << 0 << Listing({ifRec, p, els, endif, r});
        QTest::newRow("empty yes-path")
            << QList<Node>{{"start", "", 1}, {"if", "", 4, 3}, {}, {"sound", "3,0,0,0,0,0", 4}, {"wait", "1,0,0,0,0,0", 5}, {"end"}}
            << 0 << Listing({ifRec, els, q, endif, r});
        QTest::newRow("if and else")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 3}, {"timer", Timer1, 4}, {"sound", "3,0,0,0,0,0", 4},
                           {"wait", "1,0,0,0,0,0", 5}, {"end"}}
            << 0 << Listing({ifRec, p, els, q, endif, r});
        QTest::newRow("condition family in the markers")
            << QList<Node>{{"start", "", 1}, {"if", "12,40,0,0,0,0", 2, 2}, {"end"}} << 0
            << Listing({"7,12,40,0,0,0,0", "12,3,0,0,0,0,0", "13,3,0,0,0,0,0"});
        // 1 outer if (sw), 2 inner if (cds) in the yes-path, 3 P, 4 Q, 5 R, 6 end
        QTest::newRow("nested in the yes-path")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 5}, {"if", "2,0,0,0,0,0", 3, 4}, {"timer", Timer1, 6},
                           {"sound", "3,0,0,0,0,0", 6}, {"wait", "1,0,0,0,0,0", 6}, {"end"}}
            << 0
            << Listing({ifRec, "7,2,0,0,0,0,0", p, "12,1,0,0,0,0,0", q, "13,1,0,0,0,0,0", els, r, endif});
        // 1 outer if, 2 P, 3 inner if (cds) in the no-path, 4 Q, 5 R, 6 end
        QTest::newRow("nested in the no-path")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 3}, {"timer", Timer1, 6}, {"if", "2,0,0,0,0,0", 4, 5},
                           {"sound", "3,0,0,0,0,0", 6}, {"wait", "1,0,0,0,0,0", 6}, {"end"}}
            << 0
            << Listing({ifRec, p, els, "7,2,0,0,0,0,0", q, "12,1,0,0,0,0,0", r, "13,1,0,0,0,0,0", endif});
        QTest::newRow("no-path nested with empty inner else")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 3}, {"timer", Timer1, 5}, {"if", "2,0,0,0,0,0", 4, 5},
                           {"sound", "3,0,0,0,0,0", 5}, {"end"}}
            << 0 << Listing({ifRec, p, els, "7,2,0,0,0,0,0", q, "12,1,0,0,0,0,0", "13,1,0,0,0,0,0", endif});
        QTest::newRow("two ifs merging at one block")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 4}, {"if", "2,0,0,0,0,0", 3, 4}, {"timer", Timer1, 4}, {"end"}}
            << 0 << Listing({ifRec, "7,2,0,0,0,0,0", p, "12,1,0,0,0,0,0", "13,1,0,0,0,0,0", els, endif});
        QTest::newRow("arrow cycle") << QList<Node>{{"start", "", 1}, {"timer", Timer1, 2}, {"sound", "", 1}} << -5
                                     << QStringList();
        QTest::newRow("no-path into its own end block")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 4}, {"timer", Timer1, 3}, {"end"}, {"sound", "", 5}, {"end"}}
            << -4 << QStringList();
        // A side arrow straight into a second end block: the else section is
        // empty and closes just before the end of the main path.
        QTest::newRow("side arrow into a second end block")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 4}, {"timer", Timer1, 3}, {"end"}, {"end"}}
            << 0 << Listing({ifRec, p, els, endif});
        QTest::newRow("second end block inside another if's section")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 3}, {"timer", Timer1, 5}, {"if", "2,0,0,0,0,0", 5, 4}, {"end"},
                           {"sound", "", 6}, {"end"}}
            << -4 << QStringList();
        // The no-path of the first if rejoins inside the second if's yes-path:
        // the branches do not nest and no listing can say this.
        QTest::newRow("branches that do not nest")
            << QList<Node>{{"start", "", 1}, {"if", "", 2, 4}, {"if", "2,0,0,0,0,0", 3, 5}, {"timer", Timer1, 4},
                           {"sound", "", 5}, {"end"}}
            << -4 << QStringList();
        QTest::newRow("unreachable blocks stay out")
            << QList<Node>{{"start", "", 1}, {"end"}, {"timer", Timer1, 1}} << 0 << Listing({});
    }
    void listings()
    {
        QFETCH(QList<Node>, nodes);
        QFETCH(int, code);
        QFETCH(QStringList, listing);
        const FlowDocument doc = MainRoutine(nodes);
        const ListingResult result = BuildCommandListing(doc);
        QCOMPARE(result.code, code);
        QCOMPARE(result.listing, listing);
        QVERIFY(result.warning.isEmpty());
    }

    void subroutinesAreWrittenInPlaceOfTheirCalls()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"routine", "0,1,0,0,0,0", 2}, {"timer", Timer3, 3},
                                        {"routine", "0,1,0,0,0,0", 4}, {"routine", "0,2,0,0,0,0", 5}, {"end"}});
        AddRoutine(doc, 1, {{"start", "", 1}, {"sound", "3,0,0,0,0,0", 2}, {"end"}});
        AddRoutine(doc, 2, {{"start", "", 1}, {"end"}}); // an empty subroutine adds nothing
        const ListingResult result = BuildCommandListing(doc);
        QCOMPARE(result.code, 0);
        QCOMPARE(result.listing, Listing({"4,3,0,0,0,0,0", "5,0,3,0,0,0,0", "4,3,0,0,0,0,0"}));
        QCOMPARE(result.sequence.size(), 3);
        QCOMPARE(result.sequence.at(0), FlowItem::block(1, 1));
    }

    void failingSubroutineGivesItsWarning_data()
    {
        QTest::addColumn<QList<Node>>("sub");
        QTest::addColumn<int>("code");
        QTest::newRow("cycle") << QList<Node>{{"start", "", 1}, {"timer", Timer1, 1}} << -5;
        QTest::newRow("not connected") << QList<Node>{{"start", "", 1}, {"timer", Timer1}} << -1;
        QTest::newRow("empty") << QList<Node>{} << -2;
    }
    void failingSubroutineGivesItsWarning()
    {
        QFETCH(QList<Node>, sub);
        QFETCH(int, code);
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"routine", "0,3,0,0,0,0", 2}, {"end"}});
        AddRoutine(doc, 3, sub);
        const ListingResult result = BuildCommandListing(doc);
        QCOMPARE(result.code, code);
        QVERIFY(result.listing.isEmpty());
        QCOMPARE(result.warning, QStringLiteral("サブルーチン3のプログラムを確認して下さい。"));
    }

    void images_data()
    {
        QTest::addColumn<QList<Node>>("nodes");
        QTest::addColumn<QList<int>>("image");
        QTest::newRow("smallest") << QList<Node>{{"start", "", 1}, {"end"}} << QList<int>{230, 2, 231};
        QTest::newRow("timer at address 2") << QList<Node>{{"start", "", 1}, {"timer", Timer3, 2}, {"end"}}
                                            << QList<int>{230, 2, 160, 3, 5, 231};
        QTest::newRow("if with set temperature")
            << QList<Node>{{"start", "", 1}, {"if", "4,25,0,0,0,0", 2, 3}, {"timer", Timer1, 3}, {"end"}}
            << QList<int>{230, 2, 184, 25, 6, 9, 160, 1, 9, 231};
        QTest::newRow("unreachable block still encoded")
            << QList<Node>{{"start", "", 1}, {"end"}, {"timer", Timer3}} << QList<int>{230, 2, 231, 160, 3, 0};
        QTest::newRow("arrow cycle is sent")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1, 1}} << QList<int>{230, 2, 160, 1, 2};
    }
    void images()
    {
        QFETCH(QList<Node>, nodes);
        QFETCH(QList<int>, image);
        const FlowDocument doc = MainRoutine(nodes);
        const ImageResult result = BuildDeviceImage(doc);
        QVERIFY(result.ok());
        QCOMPARE(result.image, image);
        QCOMPARE(result.image.size(), doc.byteTotal());
    }

    void subroutineCallsAddressSlotZeroAndEndWith206()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"routine", "0,2,0,0,0,0", 2}, {"routine", "0,2,0,0,0,0", 3}, {"end"}});
        AddRoutine(doc, 2, {{"start", "", 1}, {"sound", "3,0,0,0,0,0", 2}, {"end"}});
        // main: start 0, call 2, call 5, end 8; subroutine 2: start 9, sound 11, end 13
        const QList<int> expected{230, 2, 205, 9, 5, 205, 9, 8, 231, 230, 11, 153, 13, 206};
        QCOMPARE(BuildDeviceImage(doc).image, expected);
        QCOMPARE(doc.byteAddress(2, 0), 9);
    }

    // F6 and the preview send SendableImage: the checked image, or the
    // check's message with the block to blame.
    void sendableImage_data()
    {
        QTest::addColumn<QList<Node>>("nodes");
        QTest::addColumn<QList<Node>>("subroutine2");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("element");
        const QList<Node> none;
        const QList<Node> broken{{"start", "", 1}, {"timer", Timer1}, {"end"}};
        QTest::newRow("sendable") << QList<Node>{{"start", "", 1}, {"timer", Timer3, 2}, {"end"}} << none << 0 << -1;
        QTest::newRow("no start: no block to blame") << QList<Node>{{}, {"end"}} << none << -2 << -1;
        QTest::newRow("empty document") << none << none << -2 << -1;
        QTest::newRow("block without bottom arrow") << broken << none << -1 << 1;
        QTest::newRow("if without side arrow")
            << QList<Node>{{"start", "", 1}, {"if", "", 2}, {"end"}} << none << -1 << 1;
        QTest::newRow("loop end without start")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1, 2}, {"loop", LoopEnd, 3}, {"end"}} << none << -3 << 2;
        QTest::newRow("loop start inside open loop")
            << QList<Node>{{"start", "", 1}, {"loop", LoopStart, 2}, {"loop", LoopStart, 3}, {"loop", LoopEnd, 4}, {"end"}}
            << none << -3 << 2;
        QTest::newRow("end while loop open: the loop's start")
            << QList<Node>{{"start", "", 1}, {"loop", LoopStart, 2}, {"timer", Timer1, 3}, {"end"}} << none << -3 << 1;
        QTest::newRow("arrow back into an open loop: the loop's start")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1, 2}, {"loop", LoopStart, 3}, {"timer", Timer1, 2}}
            << none << -3 << 2;
        QTest::newRow("if on y with nothing measured")
            << QList<Node>{{"start", "", 1}, {"timer", Timer1, 2}, {"if", "14,0,0,0,0,0", 3, 3}, {"end"}} << none << -4 << 2;
        QTest::newRow("call of a missing subroutine")
            << QList<Node>{{"start", "", 1}, {"routine", "0,5,0,0,0,0", 2}, {"end"}} << none << -1 << 1;
        QTest::newRow("failing subroutine: routine 2, slot 1")
            << QList<Node>{{"start", "", 1}, {"routine", "0,2,0,0,0,0", 2}, {"end"}} << broken << -1 << 2 * SlotsPerRoutine + 1;
        QTest::newRow("empty subroutine: no block to blame")
            << QList<Node>{{"start", "", 1}, {"routine", "0,2,0,0,0,0", 2}, {"end"}} << none << -2 << -1;
    }
    void sendableImage()
    {
        QFETCH(QList<Node>, nodes);
        QFETCH(QList<Node>, subroutine2);
        QFETCH(int, code);
        QFETCH(int, element);
        FlowDocument doc = MainRoutine(nodes);
        AddRoutine(doc, 2, subroutine2);
        const Sendable sendable = SendableImage(doc);
        QCOMPARE(sendable.message, FlowCodeMessage(code));
        QCOMPARE(sendable.element, element);
        QCOMPARE(sendable.ok(), code == 0);
        QCOMPARE(sendable.image, code == 0 ? BuildDeviceImage(doc).image : DeviceImage());
    }

    // Which block the preview is at: every occupied block in routine and
    // slot order, as the image holds them.
    void elementAtAddress_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("element");
        // main: start (slot 0) at 0, end (slot 1) at 2, timer (slot 3) at 3;
        // subroutine 2: start at 6, end at 8; 9 bytes in all.
        QTest::newRow("main start") << 0 << 0;
        QTest::newRow("main end") << 2 << 1;
        QTest::newRow("timer after a free slot") << 3 << 3;
        QTest::newRow("subroutine start") << 6 << 2 * SlotsPerRoutine;
        QTest::newRow("subroutine end") << 8 << 2 * SlotsPerRoutine + 1;
        QTest::newRow("inside the start") << 1 << -1;
        QTest::newRow("inside the timer") << 5 << -1;
        QTest::newRow("just past the image") << 9 << -1;
        QTest::newRow("far past") << 100000 << -1;
        QTest::newRow("negative") << -1 << -1;
        QTest::newRow("lowest int") << std::numeric_limits<int>::min() << -1;
        QTest::newRow("highest int") << std::numeric_limits<int>::max() << -1;
    }
    void elementAtAddress()
    {
        QFETCH(int, address);
        QFETCH(int, element);
        FlowDocument doc = MainRoutine({{"start", "", 3}, {"end"}, {}, {"timer", Timer3, 1}});
        AddRoutine(doc, 2, {{"start", "", 1}, {"end"}});
        QCOMPARE(EncodeFlowDocument(doc).size(), 9);
        QCOMPARE(ElementAtAddress(doc, address), element);
        QCOMPARE(ElementAtAddress(FlowDocument(), address), -1);
    }

    // The shipped demos: every block is found at its byteAddress.
    void elementAtAddressOfTheDemos()
    {
        for (int demo = 1; demo <= 4; ++demo) {
            FlowDocument doc;
            QVERIFY(LoadFlowFile(doc, QStringLiteral(KORU_SOURCE_DIR "/assets/Data/Demo/fro/demo%1(フロー).koru").arg(demo)).ok());
            for (int r = 0; r < RoutineCount; ++r) {
                for (int s : doc.occupiedSlots(r))
                    QCOMPARE(ElementAtAddress(doc, doc.byteAddress(r, s)), r * SlotsPerRoutine + s);
            }
        }
    }

    void failedCheckGivesNoImage()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"loop", LoopStart, 2}, {"end"}});
        const ImageResult result = BuildDeviceImage(doc);
        QVERIFY(!result.ok());
        QVERIFY(result.image.isEmpty());
        QCOMPARE(result.check.message, FlowCodeMessage(-3));
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowTranslate)
#include "tst_flowtranslate.moc"
