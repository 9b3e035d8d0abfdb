// koru-tool image, listing and view on STEP1 files, run as processes.
#include "icons/icondemos.h"
#include "icons/iconfile.h"

#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::icons;

class TstIconTool : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    struct Run
    {
        int exitCode = -1;
        QStringList out;
        QString err;
    };

    Run tool(const QStringList &args)
    {
        Run run;
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool"), args);
        if (!process.waitForFinished(10000))
            return run;
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QString write(const QString &name, const IconProgram &program)
    {
        // A failed loop check is still written, as "NG".
        const QString path = dir.filePath(name);
        return WriteProgramLines(path, IconFileLines(program)) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool")))
            QSKIP("koru-tool is not built");
    }

    void imageListingAndView()
    {
        const IconProgram demo = DemoProgram(2);
        const QString path = write(QStringLiteral("demo(アイコン).koru"), demo);
        Run image = tool({QStringLiteral("image"), path});
        QCOMPARE(image.exitCode, 0);
        QCOMPARE(image.out, ImageTexts(demo.toImage()));

        Run listing = tool({QStringLiteral("listing"), path});
        QCOMPARE(listing.exitCode, 0);
        QCOMPARE(listing.out, demo.toRecords());

        Run view = tool({QStringLiteral("view"), path});
        QCOMPARE(view.exitCode, 0);
        QCOMPARE(view.out.size(), demo.countUsed() + 1);
        QCOMPARE(view.out.at(0), QStringLiteral("番号\t命令内容\t送信データ"));
        QCOMPARE(view.out.at(1), QStringLiteral("0\tSWが押されるまで停止\t072001000000000"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("loops, image") << "image" << "繰り返し命令の位置関係が間違っております。";
        QTest::newRow("too large, image") << "image" << "プログラムが大きすぎて本体に転送できません。";
        QTest::newRow("damaged, listing") << "listing" << "ファイルの読み込みに失敗しました。";
    }
    void refusals()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        QString path;
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        if (tag.startsWith(QLatin1String("loops"))) {
            IconProgram program;
            program.place(0, LoopStart);
            path = write(QStringLiteral("loops.koru"), program);
        } else if (tag.startsWith(QLatin1String("too large"))) {
            IconProgram program;
            for (int n = 0; n < SlotCount; ++n) {
                program.place(n, WhiteLed);
                program.setMode(n, 2);
            }
            path = write(QStringLiteral("large.koru"), program);
        } else {
            path = dir.filePath(QStringLiteral("damaged.koru"));
            QVERIFY(WriteProgramLines(path, {"NG", "DDDATA", "99,"}));
        }
        const Run run = tool({command, path});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }
};

KORU_TEST_GUILESS_MAIN(TstIconTool)
#include "tst_icontool.moc"
