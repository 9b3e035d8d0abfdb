// koru-tool's melody commands: image, wav and readback --melody.
#include "melody/melody.h"
#include "melody/readback.h"
#include "model/dialogservice.h"
#include "model/messages.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "testutil.h"

using namespace koru;
using koru::test::runKoruTool;
using koru::test::ToolRun;

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TstToolMelody : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_tune;

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool")))
            QSKIP("koru-tool is not built");
        Melody m;
        m.addNote("12", 0);
        m.setSelectedLength(0);
        m.addNote("0", 1);
        m.setSelectedLength(3);
        m.addNote("148", 0);
        m_tune = m_dir.filePath(QStringLiteral("tune(メロディ).koru"));
        QVERIFY(m.save(m_tune));
    }

    void imageIsTheDeviceListUnframed()
    {
        const ToolRun run = runKoruTool({"image", m_tune});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts),
                 (QStringList(13, "169") + QStringList{"161", "3", "0", "58", "1", "151"}));
    }

    void wavWritesThePreview()
    {
        const QString out = m_dir.filePath(QStringLiteral("all.wav"));
        ToolRun run = runKoruTool({"wav", m_tune, out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QFileInfo(out).size(), 44 + 48400 + 2 * 173 * 70 + 10100); // A4, C#3 (139 Hz), rest

        Melody one;
        one.addNote("12", 0);
        const QString single = m_dir.filePath(QStringLiteral("one.koru"));
        QVERIFY(one.save(single));
        run = runKoruTool({"wav", single, out, "--last", "10"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QFileInfo(out).size(), 48444);

        QCOMPARE(runKoruTool({"wav", m_tune, out, "--last", "5"}).exitCode, 2);
        QCOMPARE(runKoruTool({"wav", m_tune}).exitCode, 2);
        const ToolRun empty = runKoruTool({"wav", m_tune, ""});
        QCOMPARE(empty.exitCode, 2);
        QVERIFY(!empty.err.contains(QLatin1String("QFile"))); // our usage line, no Qt warning
    }

    void wavRefusesOtherFiles()
    {
        const QString flow = m_dir.filePath(QStringLiteral("flow.koru"));
        writeText(flow, "NG\r\nROUTINE\r\n");
        const ToolRun run = runKoruTool({"wav", flow, m_dir.filePath(QStringLiteral("x.wav"))});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(OtherStepFileMessage));

        QStringList damaged = Melody().fileLines();
        damaged[2] = QStringLiteral("9");
        const QString bad = m_dir.filePath(QStringLiteral("bad.koru"));
        writeText(bad, damaged.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        QCOMPARE(runKoruTool({"wav", bad, m_dir.filePath(QStringLiteral("x.wav"))}).exitCode, 1);
        QCOMPARE(runKoruTool({"image", bad}).exitCode, 1);
    }

    // A melody file that cannot be read is named like any unreadable file.
    void damagedFilesAreNamed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("line"); // the line changed, -1: the file cut off there
        QTest::addColumn<QString>("value");
        for (const char *command : {"image", "wav", "send"}) {
            QTest::addRow("%s, cut off", command) << command << 5 << QString();
            QTest::addRow("%s, huge number", command) << command << 2 << QStringLiteral("99999999999999999999");
            QTest::addRow("%s, negative", command) << command << 3 << QStringLiteral("-3");
        }
    }
    void damagedFilesAreNamed()
    {
        QFETCH(QString, command);
        QFETCH(int, line);
        QFETCH(QString, value);
        QStringList lines = Melody().fileLines();
        if (value.isEmpty())
            lines = lines.mid(0, line);
        else
            lines[line] = value;
        const QString bad = m_dir.filePath(QStringLiteral("damaged-%1.koru").arg(QTest::currentDataTag()));
        writeText(bad, lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        QStringList args{command, bad};
        if (command == QLatin1String("wav"))
            args << m_dir.filePath(QStringLiteral("x.wav"));
        const ToolRun run = runKoruTool(args);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("koru-tool %1: %2: %3\n").arg(command, bad, LoadFailed));
    }

    void readBackMelody()
    {
        // The memory as `koru-tool memory` prints it: program area, then the
        // melody's device list and the end code.
        QByteArray memory;
        for (int i = 0; i < 128; ++i)
            memory += "FF \n";
        Melody sent;
        sent.loadFile(m_tune);
        for (const QString &code : sent.deviceList())
            memory += QStringLiteral("%1 \n").arg(code.toInt(), 2, 16, QLatin1Char('0')).toUpper().toLatin1();
        memory += "FA \n";
        const QString memoryFile = m_dir.filePath(QStringLiteral("memory.txt"));
        writeText(memoryFile, memory);

        const QString out = m_dir.filePath(QStringLiteral("back.koru"));
        const ToolRun run = runKoruTool({"readback", memoryFile, out, "--melody"});
        QCOMPARE(run.exitCode, 0);
        Melody back;
        QCOMPARE(back.loadFile(out), Melody::MelodyLoad::Loaded);
        QCOMPARE(back.fileLines(), sent.fileLines());

        QByteArray empty;
        for (int i = 0; i < 255; ++i)
            empty += "FF \r\n";
        writeText(memoryFile, empty);
        // A kit that never received a melody: an empty melody, and why.
        const ToolRun none = runKoruTool({"readback", memoryFile, out, "--melody"});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.err.trimmed(), NoMelodyInKitMessage);
        QCOMPARE(back.loadFile(out), Melody::MelodyLoad::Loaded);
        QCOMPARE(back.fileLines(), Melody().fileLines());
    }
};

KORU_TEST_GUILESS_MAIN(TstToolMelody)
#include "tst_tool_melody.moc"
