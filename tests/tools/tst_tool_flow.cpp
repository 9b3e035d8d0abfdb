// koru-tool on flowchart files: image, listing, view, flow and readback.
#include "flowchart/flowdemos.h"
#include "flowchart/flowfile.h"
#include "flowchart/readback.h"
#include "model/programfile.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "testutil.h"

using namespace koru;
using koru::test::runKoruTool;
using koru::test::ToolRun;

class TstToolFlow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_demo;   // demo 4, with two subroutines
    QString m_broken; // a loop that is never closed

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool")))
            QSKIP("koru-tool is not built");
        m_demo = path("demo4(フロー).koru");
        QVERIFY(WriteProgramLines(m_demo, FlowFileLines(DemoFlowchart(4))));
        FlowDocument broken = DemoFlowchart(1);
        broken.removeBlocks(0, {6}); // the loop end
        broken.linkBottom(0, 5, 7);
        m_broken = path("broken(フロー).koru");
        QVERIFY(WriteProgramLines(m_broken, FlowFileLines(broken)));
    }

    void imageAndListing()
    {
        const FlowDocument demo = DemoFlowchart(4);
        ToolRun run = runKoruTool({"image", m_demo});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts), ImageTexts(BuildDeviceImage(demo).image));
        run = runKoruTool({"listing", m_demo});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts), BuildCommandListing(demo).listing);
    }

    void viewRows()
    {
        const ToolRun run = runKoruTool({"view", m_demo});
        QCOMPARE(run.exitCode, 0);
        const QStringList rows = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.first(), QStringLiteral("番号\t命令内容\t送信データ"));
        QCOMPARE(rows.at(1), QStringLiteral("0\t繰返開始位置\t087000003000000"));
        QCOMPARE(rows.at(2), QStringLiteral("1\tフルカラーLED点灯\t0640000FF000000"));
    }

    void failingCheckIsRefusedWithItsMessage()
    {
        for (const char *command : {"image", "listing", "view"}) {
            const ToolRun run = runKoruTool({command, m_broken});
            QCOMPARE(run.exitCode, 1);
            QVERIFY(run.out.isEmpty());
        }
        QCOMPARE(runKoruTool({"image", m_broken}).err.trimmed(),
                 QStringLiteral("繰り返し命令の位置関係が間違っております。\nプログラムを確認して下さい。"));
        QCOMPARE(runKoruTool({"listing", m_broken}).err.trimmed(), QStringLiteral("プログラムが正しくないため表示できません。"));
    }

    void flowOpensOtherStepsAndSaves()
    {
        const QString other = path("other(文字).koru");
        QVERIFY(WriteProgramLines(other, {"OK", "START", "5,0,3,0,0,0,0", "END", "WORDDATA", "timer 3"}));
        ToolRun run = runKoruTool({"flow", other, path("out.koru")});
        QCOMPARE(run.exitCode, 0);
        FlowDocument doc;
        QVERIFY(LoadFlowFile(doc, path("out.koru")).ok());
        QCOMPARE(BuildCommandListing(doc).listing, (QStringList{"START", "5,0,3,0,0,0,0", "END"}));

        const QString melody = path("tune(メロディ).koru");
        QVERIFY(WriteProgramLines(melody, {"SOUND", "1"}));
        run = runKoruTool({"flow", melody, path("none.koru")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.startsWith(QStringLiteral("koru-tool flow: %1: ").arg(melody)));
        QVERIFY(run.err.contains(QStringLiteral("ファイルを作成したステップで開いて下さい。")));
        QVERIFY(!QFile::exists(path("none.koru")));
        QCOMPARE(runKoruTool({"flow", m_demo}).exitCode, 2);
    }

    void readbackRebuildsTheProgram()
    {
        const FlowDocument demo = DemoFlowchart(4);
        QFile memory(path("memory.txt"));
        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write(MemoryLinesOfImage(BuildDeviceImage(demo).image).join('\n').toLatin1() + '\n');
        memory.close();
        ToolRun run = runKoruTool({"readback", memory.fileName(), path("rb.koru")});
        QCOMPARE(run.exitCode, 0);
        FlowDocument doc;
        QVERIFY(LoadFlowFile(doc, path("rb.koru")).ok());
        QCOMPARE(BuildCommandListing(doc).listing, BuildCommandListing(demo).listing);

        // A kit never programmed: an empty flowchart, and why.
        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write(QByteArray("FF \r\n").repeated(255));
        memory.close();
        run = runKoruTool({"readback", memory.fileName(), path("none.koru")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err.trimmed(), QStringLiteral("本体にはプログラムが入っていません。"));
        doc = demo;
        QVERIFY(LoadFlowFile(doc, path("none.koru")).ok());
        QCOMPARE(doc.blockCount(), 0);

        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write("E6 \n02 \nXY \n");
        memory.close();
        run = runKoruTool({"readback", memory.fileName(), path("rb2.koru")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.trimmed(), QStringLiteral("変換できません"));

        // A line above FF is no reply byte: refused, not read as a parameter
        // (a timer of 0x230 seconds) into a file that would not open again.
        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write("E6 \n02 \nA0 \n230 \n05 \nE7 \n");
        memory.close();
        run = runKoruTool({"readback", memory.fileName(), path("rb3.koru")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!QFile::exists(path("rb3.koru")));
    }
};

KORU_TEST_GUILESS_MAIN(TstToolFlow)
#include "tst_tool_flow.moc"
