#include "icons/icondemos.h"
#include "icons/iconfile.h"

#include "model/paths.h"
#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::icons;

namespace {
QStringList padded(const QStringList &given)
{
    QStringList lines = given;
    while (lines.size() < SlotCount)
        lines.append(QStringLiteral("-1"));
    return lines;
}
} // namespace

class TstIconFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void slotLines_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("line");
        QTest::newRow("yellow 1 s") << 3 << 0 << 4 << "3,0,4";
        QTest::newRow("yellow fade") << 3 << 2 << -1 << "3,2,0";
        QTest::newRow("dark") << 7 << 0 << 5 << "7,0,5";
        QTest::newRow("switch") << 9 << -1 << -1 << "9,";
        QTest::newRow("loop end") << 13 << -1 << -1 << "13,";
        QTest::newRow("loop of five") << 12 << -1 << 5 << "12,5";
        QTest::newRow("humidity") << 19 << -1 << 70 << "19,70";
        QTest::newRow("beep 2") << 16 << 1 << -1 << "16,1";
    }
    void slotLines()
    {
        QFETCH(int, kind);
        QFETCH(int, mode);
        QFETCH(int, value);
        QFETCH(QString, line);
        IconProgram program;
        program.place(0, kind);
        if (mode >= 0)
            program.setMode(0, mode);
        if (value >= 0)
            program.setValue(0, value);
        QCOMPARE(SlotLine(program.slot(0)), line);
        // and back again
        IconProgram read;
        QCOMPARE(ReadIconLines(QStringList{"NG", "DDDATA"} + padded({line}), read), ReadResult::Ok);
        QCOMPARE(read.slot(0), program.slot(0));
    }

    void fileLayout()
    {
        IconProgram program;
        program.place(1, LoopStart);
        program.setValue(1, 2);
        program.place(2, Beep);
        program.place(3, LoopEnd);
        test::ScriptedDialogs dialogs;
        const QStringList lines = IconFileLines(program);
        QCOMPARE(lines.mid(0, 6), (QStringList{"OK", "START", "8,0,2,0,0,0,0", "4,3,0,0,0,0,0",
                                               "8,1,0,0,0,0,0", "END"}));
        QCOMPARE(lines.at(6), QStringLiteral("DDDATA"));
        QCOMPARE(lines.mid(7), padded({"-1", "12,2", "16,0", "13,"}));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void failedLoopCheckStillWritesSlots()
    {
        IconProgram program;
        program.place(0, LoopEnd);
        test::ScriptedDialogs dialogs;
        const QStringList lines = IconFileLines(program);
        QCOMPARE(lines.size(), 2 + SlotCount);
        QCOMPARE(lines.mid(0, 3), (QStringList{"NG", "DDDATA", "13,"}));
        QCOMPARE(dialogs.texts(), QStringList{LoopMessage});
    }

    void readClampsSliders_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("caption");
        QTest::newRow("duration high") << "0,0,99" << 31 << "秒数： 7.75秒";
        QTest::newRow("duration zero") << "0,0,0" << 1 << "秒数： 0.25秒";
        QTest::newRow("timer negative") << "15,-4" << 1 << "秒数： 1秒";
        QTest::newRow("temperature") << "18,41" << 40 << "温度： 40度";
        QTest::newRow("count") << "12,300" << 255 << "回数： 255回";
    }
    void readClampsSliders()
    {
        QFETCH(QString, line);
        QFETCH(int, value);
        QFETCH(QString, caption);
        IconProgram program;
        QCOMPARE(ReadIconLines(QStringList{"OK", "START", "END", "DDDATA"} + padded({line}), program),
                 ReadResult::Ok);
        QCOMPARE(program.slot(0).value, value);
        QCOMPARE(program.slot(0).caption, caption);
    }

    void readRefusesDamage_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("readSoFar");
        QTest::newRow("unknown kind") << QStringList{"DDDATA", "15,3", "20,"} << 1;
        QTest::newRow("tool in a slot") << QStringList{"DDDATA", "17,"} << 0;
        QTest::newRow("not a number") << QStringList{"DDDATA", "9,", "abc"} << 1;
        QTest::newRow("bad mode") << QStringList{"DDDATA", "16,3"} << 0;
        QTest::newRow("dark fading") << QStringList{"DDDATA", "7,1,0"} << 0;
        QTest::newRow("missing value") << QStringList{"DDDATA", "15,"} << 0;
        QTest::newRow("too few lines") << QStringList{"DDDATA", "9,", "10,"} << 2;
    }
    void readRefusesDamage()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, readSoFar);
        if (lines.size() > 3 || QTest::currentDataTag() != QLatin1String("too few lines"))
            lines = lines.mid(0, 1) + padded(lines.mid(1));
        IconProgram program;
        program.place(23, Timer);
        QCOMPARE(ReadIconLines(lines, program), ReadResult::Damaged);
        QCOMPARE(program.countUsed(), readSoFar);
    }

    void otherStepFile()
    {
        IconProgram program;
        program.place(0, Timer);
        QCOMPARE(ReadIconLines({"OK", "START", "END", "ROUTINE", "x"}, program), ReadResult::OtherStep);
        QCOMPARE(program.countUsed(), 0);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("flow(フロー).koru"));
        QVERIFY(WriteProgramLines(path, {"OK", "START", "END", "ROUTINE"}));
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(path);
        QVERIFY(!OpenIconProgram(program));
        QCOMPARE(dialogs.lastText(), OtherStepMessage);
        QCOMPARE(program.countUsed(), 0);
    }

    void saveAndOpenRoundTrip()
    {
        QTemporaryDir dir;
        IconProgram program = DemoProgram(2);
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(dir.filePath(QStringLiteral("prog.txt")));
        const std::optional<QString> saved = SaveIconProgram(program);
        QCOMPARE(saved, dir.filePath(QStringLiteral("prog.txt(アイコン).koru")));
        QVERIFY(QFile::exists(*saved));

        IconProgram read;
        dialogs.answerFileName(*saved);
        QCOMPARE(OpenIconProgram(read), saved);
        QCOMPARE(read.allSlots(), program.allSlots());
        QCOMPARE(dialogs.unexpected(), 0);
        QCOMPARE(dialogs.texts(), (QStringList{IconFileFilter, IconFileFilter}));
    }

    void saveKeepsKoruNameAndAsksBeforeReplacing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prog.KORU"));
        QVERIFY(WriteProgramLines(path, {"old"}));
        IconProgram program;
        program.place(0, Timer);
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(path);
        dialogs.answerQuestion(false);
        QVERIFY(!SaveIconProgram(program));
        QCOMPARE(ReadProgramLines(path), QStringList{"old"});
        QCOMPARE(dialogs.lastText(), OverwriteQuestion);

        dialogs.answerFileName(path);
        dialogs.answerQuestion(true);
        QCOMPARE(SaveIconProgram(program), path);
        QCOMPARE(ReadProgramLines(path)->first(), QStringLiteral("OK"));
    }

    void saveFailureAndCancel()
    {
        QTemporaryDir dir;
        IconProgram program;
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(QString()); // cancelled
        QVERIFY(!SaveIconProgram(program));
        QCOMPARE(dialogs.shown().size(), 1);
        dialogs.answerFileName(dir.filePath(QStringLiteral("no/such/folder/p.koru")));
        QVERIFY(!SaveIconProgram(program));
        QCOMPARE(dialogs.lastText(), SaveErrorMessage);
    }

    void openRefusesOtherExtensions()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prog.txt"));
        QVERIFY(WriteProgramLines(path, QStringList{"NG", "DDDATA"} + padded({"9,"})));
        IconProgram program;
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(path);
        QVERIFY(!OpenIconProgram(program));
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("information"));
        QCOMPARE(dialogs.lastText(), WrongExtension);
        QCOMPARE(program.countUsed(), 0);

        dialogs.answerFileName(dir.filePath(QStringLiteral("missing.koru")));
        QVERIFY(!OpenIconProgram(program));
        QCOMPARE(dialogs.lastText(), LoadFailed);
    }

    // The shipped demos are the programs built in code, and good lessons.
    void shippedDemos_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("demo1") << 1;
        QTest::newRow("demo2") << 2;
    }
    void shippedDemos()
    {
        QFETCH(int, number);
        const IconProgram demo = DemoProgram(number);
        QVERIFY(demo.loopsAreValid());
        QVERIFY(demo.toImage().size() <= MaxImageBytes);
        const QString source = QStringLiteral(KORU_SOURCE_DIR "/assets/Data/Demo/dd/demo%1(アイコン).koru").arg(number);
        test::ScriptedDialogs dialogs;
        if (qEnvironmentVariableIsSet("KORU_WRITE_DEMOS"))
            QVERIFY(WriteProgramLines(source, IconFileLines(demo)));
        QCOMPARE(ReadProgramLines(source), IconFileLines(demo));
        IconProgram loaded;
        SetAssetRoot(QStringLiteral(KORU_SOURCE_DIR "/assets"));
        QVERIFY(LoadDemo(number, loaded));
        SetAssetRoot(QString());
        QCOMPARE(loaded.allSlots(), demo.allSlots());
        QVERIFY(dialogs.shown().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstIconFile)
#include "tst_iconfile.moc"
