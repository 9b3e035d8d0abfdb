#include "icons/icondemos.h"
#include "icons/iconfile.h"

#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testmain.h"
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
        const QStringList lines = IconFileLines(program);
        QCOMPARE(lines.size(), 2 + SlotCount);
        QCOMPARE(lines.mid(0, 3), (QStringList{"NG", "DDDATA", "13,"}));
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
        const FileResult result = LoadIconFile(path, program);
        QVERIFY(!result.ok);
        QCOMPARE(result.message, OtherStepMessage);
        QVERIFY(!result.isInformation);
        QCOMPARE(program.countUsed(), 0);

        const FileResult missing = LoadIconFile(dir.filePath(QStringLiteral("missing.koru")), program);
        QVERIFY(!missing.ok);
        QCOMPARE(missing.message, LoadFailed);
    }

    void saveAndOpenRoundTrip()
    {
        // Through the file commands, as the window does: the icon suffix is
        // appended, and a row whose loops fail its check is saved after the
        // warning, with "NG" in place of the listing.
        QTemporaryDir dir;
        IconProgram program = DemoProgram(2);
        program.place(23, LoopStart);
        QVERIFY(!program.loopsAreValid());
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(dir.filePath(QStringLiteral("prog.txt")));
        const std::optional<QString> saved =
            SaveProgramCommand(IconFiles, IconFileLines(program), program.checkLoops().message);
        QCOMPARE(saved, dir.filePath(QStringLiteral("prog.txt(アイコン).koru")));
        QCOMPARE(ReadProgramLines(*saved)->first(), QStringLiteral("NG"));

        IconProgram read;
        dialogs.answerFileName(*saved);
        QCOMPARE(OpenProgramCommand(IconFiles, [&read](const QString &path) { return LoadIconFile(path, read); }),
                 saved);
        QCOMPARE(read.allSlots(), program.allSlots());
        QCOMPARE(dialogs.texts(), (QStringList{LoopMessage, IconFileFilter, IconFileFilter}));

        // A failed save says so in STEP1's own words.
        dialogs.answerFileName(dir.filePath(QStringLiteral("no/such/folder/p.koru")));
        QVERIFY(!SaveProgramCommand(IconFiles, IconFileLines(read)));
        QCOMPARE(dialogs.lastText(), SaveErrorMessage);
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
        QVERIFY(LoadDemo(number, loaded).ok);
        SetAssetRoot(QString());
        QCOMPARE(loaded.allSlots(), demo.allSlots());
        QVERIFY(dialogs.shown().isEmpty());
    }
};

KORU_TEST_GUILESS_MAIN(TstIconFile)
#include "tst_iconfile.moc"
