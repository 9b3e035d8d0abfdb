#include "flowchart/flowfile.h"
#include "flowchart/flowgeometry.h"
#include "flowchart/listingimport.h"
#include "flowfixture.h"
#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using koru::test::AddRoutine;
using koru::test::MainRoutine;

namespace {

const QString FreeLine = QStringLiteral("0--0-0----");

QStringList EmptySlots()
{
    return QStringList(RoutineCount * SlotsPerRoutine, FreeLine);
}

// A flowchart file whose main routine holds the given slot lines.
QStringList FileWith(const QStringList &mainSlots)
{
    QStringList lines = EmptySlots();
    for (int i = 0; i < mainSlots.size(); ++i)
        lines[i] = mainSlots.at(i);
    return QStringList{"NG", "ROUTINE"} + lines;
}

QPoint At(const FlowDocument &doc, int slot)
{
    return {doc.block(0, slot).x, doc.block(0, slot).y};
}

} // namespace

class TstFlowFiles : public QObject
{
    Q_OBJECT
private slots:
    void emptyDocumentSavesNg()
    {
        const QStringList lines = FlowFileLines(FlowDocument());
        QCOMPARE(lines.size(), 152);
        QCOMPARE(lines.first(), QStringLiteral("NG"));
        QCOMPARE(lines.at(1), QStringLiteral("ROUTINE"));
        QCOMPARE(lines.mid(2), EmptySlots());
    }

    void slotLineFields()
    {
        FlowDocument doc = MainRoutine({{"start", "", 3}, {}, {"sound", "3,0,0,0,0,0", 3}, {"timer", "0,5,0,0,0,0", 4}, {"end"}});
        doc.setPosition(0, 3, 250, 170);
        QCOMPARE(SlotLine(doc.block(0, 3)), QStringLiteral("3-timer-250-170-0,2-4--0,5,0,0,0,0"));
        QCOMPARE(ParseSlotLine(SlotLine(doc.block(0, 3))), doc.block(0, 3));
    }

    void saveAndLoadRoundTrip()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"if", "4,30,0,0,0,0", 2, 3}, {"timer", "0,3,0,0,0,0", 4},
                                        {"routine", "0,1,0,0,0,0", 4}, {"end"}});
        AddRoutine(doc, 1, {{"start", "", 1}, {"full_led", "0,255,0,0,4,0", 2}, {"end"}});
        const QStringList lines = FlowFileLines(doc);
        QCOMPARE(lines.mid(0, 8), (QStringList{"OK", "START", "7,4,30,0,0,0,0", "5,0,3,0,0,0,0", "12,2,0,0,0,0,0",
                                               "2,0,255,0,0,4,0", "13,2,0,0,0,0,0", "END"}));
        FlowDocument loaded;
        const FlowLoadResult result = LoadFlowLines(loaded, lines);
        QCOMPARE(result.status, FlowLoadResult::Loaded);
        QVERIFY(result.message.isEmpty());
        QCOMPARE(loaded, doc);
    }

    void cycleSavesNgAndLoadsWhole()
    {
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"timer", "0,1,0,0,0,0", 2}, {"sound", "", 1}});
        const QStringList lines = FlowFileLines(doc);
        QCOMPARE(lines.first(), QStringLiteral("NG"));
        QCOMPARE(lines.at(1), QStringLiteral("ROUTINE"));
        FlowDocument loaded;
        QVERIFY(LoadFlowLines(loaded, lines).ok());
        QCOMPARE(loaded, doc);
    }

    void damagedFilesLeaveAnEmptyDocument_data()
    {
        QTest::addColumn<QStringList>("lines");
        const QString start = QStringLiteral("0-start-50-10--1--0,0,0,0,0,0");
        const QString end = QStringLiteral("1-end-50-90-0---0,0,0,0,0,0");
        QStringList shortFile = FileWith({start, end});
        shortFile.removeLast();
        QTest::newRow("149 slot lines") << shortFile;
        QTest::newRow("x not a number") << FileWith({"0-start-5O-10--1--0,0,0,0,0,0", end});
        QTest::newRow("negative y") << FileWith({start, "1-end-50--90-0---0,0,0,0,0,0"});
        QTest::newRow("dash inside a field") << FileWith({start, "1-end-50-90-0---0,0,0,-1,0,0"});
        QTest::newRow("too few fields") << FileWith({start, "1-end-50-90-0--"});
        QTest::newRow("next out of range") << FileWith({"0-start-50-10--31--0,0,0,0,0,0", end});
        QTest::newRow("incoming out of range") << FileWith({start, "1-end-50-90-0,40---0,0,0,0,0,0"});
        QTest::newRow("slot number out of range") << FileWith({start, "77-end-50-90-0---0,0,0,0,0,0"});
        QTest::newRow("unknown kind") << FileWith({start, "1-jump-50-90-0---0,0,0,0,0,0"});
        QTest::newRow("params with five fields") << FileWith({start, "1-timer-50-90-0---0,3,0,0,0"});
        QTest::newRow("param above a byte") << FileWith({start, "1-timer-50-90-0---0,300,0,0,0,0"});
        QTest::newRow("huge coordinate") << FileWith({start, "1-end-50-2147483647-0---0,0,0,0,0,0"});
        QTest::newRow("two start blocks") << FileWith({start, "1-start-50-10----0,0,0,0,0,0"});
        QStringList callInSub = FileWith({start, end});
        callInSub[2 + 31] = QStringLiteral("1-routine-50-90----0,1,0,0,0,0");
        QTest::newRow("call inside a subroutine") << callInSub;
        QTest::newRow("ROUTINE as the last line") << QStringList{"NG", "ROUTINE"};
    }
    void damagedFilesLeaveAnEmptyDocument()
    {
        QFETCH(QStringList, lines);
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        const FlowLoadResult result = LoadFlowLines(doc, lines);
        QCOMPARE(result.status, FlowLoadResult::Failed);
        QCOMPARE(result.message, QStringLiteral("ファイルの読み込みに失敗しました。"));
        QCOMPARE(doc, FlowDocument());
    }

    // Arrows that a sound document cannot hold are dropped on loading;
    // the check then sees an unconnected block instead of tripping over them.
    void inconsistentArrowsAreRepaired()
    {
        const QStringList lines = FileWith({"0-start-50-10-3-1-4-0,0,0,0,0,0", // side arrow of a start block
                                            "1-timer-50-90-0,9-7--0,3,0,0,0,0", // next names a free slot
                                            "2-end-50-170--1--0,0,0,0,0,0",     // end with a bottom arrow
                                            "3-if-50-250--0-3-0,0,0,0,0,0",     // arrow into the start block, side self-link
                                            "9-sound-50-330----"});             // wrong SlotNo, no params
        FlowDocument doc;
        const FlowLoadResult result = LoadFlowLines(doc, lines);
        QCOMPARE(result.status, FlowLoadResult::Loaded);
        QVERIFY2(doc.invariantViolations().isEmpty(), qPrintable(doc.invariantViolations().join('\n')));
        QCOMPARE(doc.block(0, 0).next, 1);
        QCOMPARE(doc.block(0, 0).branch, NoSlot);
        QCOMPARE(doc.block(0, 1).next, NoSlot);
        QCOMPARE(doc.block(0, 1).incoming, QList<int>{0});
        QCOMPARE(doc.block(0, 2).next, NoSlot);
        QCOMPARE(doc.block(0, 3).next, NoSlot);
        QCOMPARE(doc.block(0, 3).branch, 3);
        QCOMPARE(doc.block(0, 3).incoming, QList<int>{3});
        QCOMPARE(doc.block(0, 4).slotNo, 4);
        QCOMPARE(doc.block(0, 4).params, QStringLiteral("0,0,0,0,0,0"));
        QCOMPARE(CheckProgram(doc).code, -1);
        QVERIFY(BuildCommandListing(doc).listing.isEmpty());
        QVERIFY(EncodeFlowDocument(doc).size() == doc.byteTotal());
    }

    // A block far off the canvas (the file format allows up to 100000) is
    // brought onto it when read: the report picture stays canvas-sized.
    void farAwayBlocksComeOntoTheCanvas()
    {
        const QStringList lines = FileWith({"0-start-50-10--1--0,0,0,0,0,0", "1-timer-20000-20000-0-2--0,3,0,0,0,0",
                                            "2-end-100000-40-1---0,0,0,0,0,0"});
        FlowDocument doc;
        QCOMPARE(LoadFlowLines(doc, lines).status, FlowLoadResult::Loaded);
        QCOMPARE(At(doc, 0), QPoint(50, 10));
        QCOMPARE(At(doc, 1), QPoint(MaxBlockX, MaxBlockY));
        QCOMPARE(At(doc, 2), QPoint(MaxBlockX, 40));
        QCOMPARE(doc.block(0, 1).next, 2); // the program is as it was
        const QRect picture = ReportPictureRect(doc, 0);
        QVERIFY(picture.right() < CanvasMaxWidth + 35 && picture.bottom() < CanvasHeight + 35);
        QCOMPARE(picture.size(), QSize(MaxBlockX + BlockWidth - 50 + 35, MaxBlockY + BlockHeight - 10 + 35));
    }

    // A start block outside slot 0, or another block in slot 0 (the start
    // block was replaced by dropping an item onto it), moves with its arrows.
    void startBlockIsMovedToSlotZero()
    {
        const QStringList lines = FileWith({"0-timer-50-90-2-2--0,3,0,0,0,0", FreeLine,
                                            "2-start-50-10-0-0--0,0,0,0,0,0", "3-end-50-170----0,0,0,0,0,0"});
        FlowDocument doc;
        QCOMPARE(LoadFlowLines(doc, lines).status, FlowLoadResult::Loaded);
        QVERIFY2(doc.invariantViolations().isEmpty(), qPrintable(doc.invariantViolations().join('\n')));
        QCOMPARE(doc.block(0, 0).kind, QStringLiteral("start"));
        QCOMPARE(doc.block(0, 0).next, 1); // the timer, now in the lowest free slot
        QCOMPARE(doc.block(0, 1).kind, QStringLiteral("timer"));
        QCOMPARE(doc.block(0, 1).next, NoSlot); // its arrow into the start block is gone
        QCOMPARE(doc.block(0, 1).incoming, QList<int>{0});
        QCOMPARE(doc.block(0, 1).slotNo, 1);
        QVERIFY(!doc.isOccupied(0, 2));
        FlowDocument full;
        QStringList crowded{"0-timer-50-90----0,3,0,0,0,0"};
        for (int s = 1; s < SlotsPerRoutine; ++s)
            crowded << QStringLiteral("%1-sound-0-0----0,0,0,0,0,0").arg(s);
        QCOMPARE(LoadFlowLines(full, FileWith(crowded)).status, FlowLoadResult::Failed);
    }

    void overBudgetFileIsRefused()
    {
        QStringList mainSlots{"0-start-50-10----0,0,0,0,0,0"};
        for (int s = 1; s < SlotsPerRoutine; ++s)
            mainSlots << QStringLiteral("%1-full_led-50-10----1,0,0,0,11,0").arg(s); // 5 bytes each
        FlowDocument doc;
        const FlowLoadResult result = LoadFlowLines(doc, FileWith(mainSlots));
        QCOMPARE(result.status, FlowLoadResult::TooLarge);
        QCOMPARE(result.message, QStringLiteral("読み込む命令数が最大数を超えている為開けません。(バイト数オーバー)"));
        QCOMPARE(doc.blockCount(), 0);
    }

    void filesOfOtherSteps_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("blocks");
        const QString other = QStringLiteral("このファイルは構文が間違っている為開けません。\r\nファイルを作成したステップで開いて下さい。");
        QTest::newRow("listing of another step") << QStringList{"OK", "START", "5,0,3,0,0,0,0", "END", "DDDATA", "x"}
                                                 << int(FlowLoadResult::Imported) << QString() << 3;
        QTest::newRow("NG of another step") << QStringList{"NG", "WORDDATA", "timer 3"}
                                            << int(FlowLoadResult::OtherStep) << other << 0;
        QTest::newRow("melody file") << QStringList{"SOUND", "1,2,3"} << int(FlowLoadResult::OtherStep) << other << 0;
        QTest::newRow("empty file") << QStringList{} << int(FlowLoadResult::OtherStep) << other << 0;
    }
    void filesOfOtherSteps()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(int, blocks);
        FlowDocument doc;
        const FlowLoadResult result = LoadFlowLines(doc, lines);
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.message, message);
        QCOMPARE(result.isInformation, !message.isEmpty());
        QCOMPARE(doc.blockCount(), blocks);
    }

    void importPlainSequence()
    {
        FlowDocument doc;
        QVERIFY(ImportListing(doc, {"OK", "START", "5,0,3,0,0,0,0", "END"}).ok());
        QCOMPARE(doc.blockCount(), 3);
        QCOMPARE(At(doc, 0), QPoint(50, 10));
        QCOMPARE(At(doc, 1), QPoint(50, 90));
        QCOMPARE(At(doc, 2), QPoint(50, 170));
        QCOMPARE(doc.block(0, 1).kind, QStringLiteral("timer"));
        QCOMPARE(doc.block(0, 1).params, QStringLiteral("0,3,0,0,0,0"));
        QCOMPARE(doc.block(0, 0).next, 1);
        QCOMPARE(doc.block(0, 1).next, 2);
        QVERIFY(doc.invariantViolations().isEmpty());
        QCOMPARE(BuildCommandListing(doc).listing, (QStringList{"START", "5,0,3,0,0,0,0", "END"}));
    }

    // Numbers written otherwise than plainly ("-0", "+5", "005") are read as
    // their values and stored plainly, so the saved file opens again.
    void importNormalisesNumbers_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("params");
        QTest::newRow("minus zero") << "5,-0,3,0,0,0,0" << "0,3,0,0,0,0";
        QTest::newRow("plus sign") << "5,0,+5,0,0,0,0" << "0,5,0,0,0,0";
        QTest::newRow("leading zeros") << "5,000,005,0,0,0,0" << "0,5,0,0,0,0";
    }
    void importNormalisesNumbers()
    {
        QFETCH(QString, record);
        QFETCH(QString, params);
        FlowDocument doc;
        QVERIFY(ImportListing(doc, {"OK", "START", record, "END"}).ok());
        QCOMPARE(doc.block(0, 1).params, params);
        const auto reread = ParseSlotLine(SlotLine(doc.block(0, 1)));
        QVERIFY(reread);
        QCOMPARE(reread->params, params);
    }

    void importIfElse()
    {
        // 0 START, 1 if, 2 P, 3 Q, 4 R, 5 END
        FlowDocument doc;
        const QStringList listing{"START", "7,0,0,0,0,0,0", "5,0,1,0,0,0,0", "12,0,0,0,0,0,0", "4,3,0,0,0,0,0",
                                  "13,0,0,0,0,0,0", "6,1,0,0,0,0,0", "END"};
        QVERIFY(ImportListing(doc, QStringList{"OK"} + listing).ok());
        QCOMPARE(At(doc, 1), QPoint(50, 90));
        QCOMPARE(At(doc, 2), QPoint(50, 170));
        QCOMPARE(At(doc, 3), QPoint(200, 170));
        QCOMPARE(At(doc, 4), QPoint(50, 250));
        QCOMPARE(doc.block(0, 1).next, 2);
        QCOMPARE(doc.block(0, 1).branch, 3);
        QCOMPARE(doc.block(0, 2).next, 4);
        QCOMPARE(doc.block(0, 3).next, 4);
        QCOMPARE(doc.block(0, 4).incoming, (QList<int>{2, 3}));
        QVERIFY(doc.invariantViolations().isEmpty());
        QCOMPARE(BuildCommandListing(doc).listing, listing);
    }

    void importElseFollowedByEndif()
    {
        FlowDocument doc;
        const QStringList listing{"START", "7,2,0,0,0,0,0", "5,0,1,0,0,0,0", "12,1,0,0,0,0,0", "13,1,0,0,0,0,0",
                                  "6,1,0,0,0,0,0", "END"};
        QVERIFY(ImportListing(doc, QStringList{"OK"} + listing).ok());
        QCOMPARE(doc.block(0, 1).branch, 3); // the block after the endif
        QCOMPARE(doc.block(0, 2).next, 3);
        QCOMPARE(BuildCommandListing(doc).listing, listing);
    }

    void importNested()
    {
        // if1, if2, P, else, Q, endif, else, R, endif, S
        // slots: 0 START, 1 if1, 2 if2, 3 P, 4 Q, 5 R, 6 S, 7 END
        FlowDocument doc;
        const QStringList listing{"START", "7,0,0,0,0,0,0", "7,2,0,0,0,0,0", "5,0,1,0,0,0,0", "12,1,0,0,0,0,0",
                                  "4,3,0,0,0,0,0", "13,1,0,0,0,0,0", "12,0,0,0,0,0,0", "6,1,0,0,0,0,0",
                                  "13,0,0,0,0,0,0", "4,4,0,0,0,0,0", "END"};
        QVERIFY(ImportListing(doc, QStringList{"OK"} + listing).ok());
        QCOMPARE(doc.block(0, 1).next, 2);
        QCOMPARE(doc.block(0, 2).next, 3);
        QCOMPARE(doc.block(0, 3).next, 6); // P -> S
        QCOMPARE(doc.block(0, 2).branch, 4);
        QCOMPARE(doc.block(0, 4).next, 6); // Q -> S
        QCOMPARE(doc.block(0, 1).branch, 5);
        QCOMPARE(doc.block(0, 5).next, 6); // R -> S
        QCOMPARE(At(doc, 4).x(), 200);
        QCOMPARE(At(doc, 5), QPoint(200, 170)); // one row below if1
        QCOMPARE(At(doc, 6).x(), 50);
        QVERIFY(At(doc, 6).y() > At(doc, 4).y());
        QVERIFY(doc.invariantViolations().isEmpty());
        QCOMPARE(BuildCommandListing(doc).listing, listing);
    }

    void importRefusals_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("status");
        const int damaged = ImportResult::Damaged;
        QTest::newRow("if without else")
            << QStringList{"OK", "START", "7,0,0,0,0,0,0", "5,0,1,0,0,0,0", "13,0,0,0,0,0,0", "END"} << damaged;
        QTest::newRow("if without endif") << QStringList{"OK", "START", "7,0,0,0,0,0,0", "12,0,0,0,0,0,0", "END"} << damaged;
        QTest::newRow("more endif than if") << QStringList{"OK", "START", "13,0,0,0,0,0,0", "END"} << damaged;
        QTest::newRow("else outside any if") << QStringList{"OK", "START", "12,0,0,0,0,0,0", "5,0,1,0,0,0,0", "END"} << damaged;
        QTest::newRow("two else") << QStringList{"OK", "START", "7,0,0,0,0,0,0", "12,0,0,0,0,0,0", "12,0,0,0,0,0,0",
                                                 "13,0,0,0,0,0,0", "END"}
                                  << damaged;
        QTest::newRow("record not numbers") << QStringList{"OK", "START", "timer,3", "END"} << damaged;
        QTest::newRow("start as a record") << QStringList{"OK", "START", "0,0,0,0,0,0,0", "END"} << damaged;
        QTest::newRow("value above a byte") << QStringList{"OK", "START", "5,0,256,0,0,0,0", "END"} << damaged;
        QStringList big{"OK", "START"};
        for (int i = 0; i < 24; ++i)
            big << QStringLiteral("2,1,0,255,0,11,0"); // 5 bytes each
        big << QStringLiteral("END");
        QTest::newRow("more than 120 bytes") << big << int(ImportResult::TooLarge);
        QStringList many{"START"};
        for (int i = 0; i < 29; ++i)
            many << QStringLiteral("4,3,0,0,0,0,0");
        many << QStringLiteral("END");
        QTest::newRow("31 blocks") << many << int(ImportResult::TooLarge);
    }
    void importRefusals()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        const ImportResult result = ImportListing(doc, lines);
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.message, status == ImportResult::TooLarge
                                     ? QStringLiteral("読み込む命令数が最大数を超えている為開けません。(バイト数オーバー)")
                                     : QStringLiteral("ファイルの読み込みに失敗しました。"));
        QCOMPARE(doc, FlowDocument());
    }

    void importWithoutEndInTheFirst31Lines()
    {
        QStringList lines{"OK", "START"};
        for (int i = 0; i < 29; ++i)
            lines << QStringLiteral("4,3,0,0,0,0,0");
        lines << QStringLiteral("END"); // line 31
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        const ImportResult result = ImportListing(doc, lines);
        QCOMPARE(result.status, ImportResult::Empty);
        QVERIFY(result.message.isEmpty());
        QCOMPARE(doc.blockCount(), 0);
        lines.removeAt(2); // END now on line 30
        QCOMPARE(ImportListing(doc, lines).status, ImportResult::Built);
        QCOMPARE(doc.blockCount(), 30);
    }

    void readListingTakesLastStartBeforeFirstEnd()
    {
        const ListingSection section = ReadListing({"OK", "START", "junk", "START", "", "5,0,1,0,0,0,0", "END", "END"});
        QCOMPARE(section.status, ListingSection::Found);
        QCOMPARE(section.lines.size(), 3); // the empty line is skipped
        QCOMPARE(section.lines.at(1).keyword, QStringLiteral("timer"));
        QCOMPARE(section.lines.at(1).params, QStringLiteral("0,1,0,0,0,0"));
        QCOMPARE(section.lines.at(1).lineIndex, 5);
        QCOMPARE(ReadListing({"OK", "5,0,1,0,0,0,0", "END"}).status, ListingSection::NoEnd);
    }

    void saveCommandShowsFailingSubroutineAndWriteFailure()
    {
        // As the window saves: the translation's warning first, the flowchart
        // suffix, and the flowchart's own failure message.
        test::useTemporaryAppData();
        QTemporaryDir dir;
        test::ScriptedDialogs dialogs;
        const FlowDocument doc = MainRoutine({{"start", "", 1}, {"routine", "0,4,0,0,0,0", 2}, {"end"}});
        ListingResult listing;
        const QStringList lines = FlowFileLines(doc, &listing);
        dialogs.answerFileName(dir.filePath("missing-folder/x.koru"));
        QVERIFY(!SaveProgramCommand(FlowFiles, lines, listing.warning));
        QCOMPARE(dialogs.texts(), (QStringList{"サブルーチン4のプログラムを確認して下さい。", "KORUファイル(*.koru)|*.koru",
                                               "ファイルの保存に失敗しました。"}));
        dialogs.answerFileName(dir.filePath("test"));
        QCOMPARE(SaveProgramCommand(FlowFiles, lines), dir.filePath("test(フロー).koru"));
        QCOMPARE(ReadProgramLines(dir.filePath("test(フロー).koru")), lines);
    }

    void openReportsFailures()
    {
        QTemporaryDir dir;
        FlowDocument doc = MainRoutine({{"start", "", 1}, {"end"}});
        QFile garbage(dir.filePath("bad.koru"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("\xff\xfe\x00\x01", 4);
        garbage.close();
        const FileResult bad = LoadFlowFile(doc, garbage.fileName()).toFileResult();
        QVERIFY(!bad.ok);
        QVERIFY(!bad.isInformation);
        QCOMPARE(bad.message, LoadFailed);
        QCOMPARE(doc.blockCount(), 0); // a damaged file leaves an empty document

        const QString good = dir.filePath("good(フロー).koru");
        QVERIFY(WriteProgramLines(good, FlowFileLines(MainRoutine({{"start", "", 1}, {"end"}}))));
        const FileResult read = LoadFlowFile(doc, good).toFileResult();
        QVERIFY(read.ok);
        QVERIFY(read.message.isEmpty());
        QCOMPARE(doc.blockCount(), 2);

        QVERIFY(!LoadFlowDemo(doc, 5).ok());
        QCOMPARE(LoadFlowDemo(doc, 0).message, LoadFailed);
        QCOMPARE(doc.blockCount(), 2); // no such demo: nothing changes
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowFiles)
#include "tst_flowfiles.moc"
