// koru-tool's commands on text program files, run as a pupil's teacher would
// run them. The keyword file is a user copy in a temporary work folder, with
// "timer" renamed to "matsu".
#include "textfixture.h"

#include "model/programfile.h"
#include "model/textutil.h"
#include "testmain.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::test;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class TstTextTool : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        SetAssetRoot(QStringLiteral(KORU_SOURCE_ASSETS));
        std::optional<QStringList> keywords = ReadKeywordLines(ShippedKeywordFilePath());
        QVERIFY(keywords);
        (*keywords)[9] = ReplaceText(keywords->at(9), QStringLiteral("timer"), QStringLiteral("matsu"));
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("KORUv1Temp"))));
        QVERIFY(WriteProgramLines(m_home.filePath(QStringLiteral("KORUv1Temp/KORU.dat")), *keywords));

        write("good", {"NG", "WORDDATA", "if(temp>25){ // 暑い", "  matsu(5);", "}", "else{", "beep2();", "}"});
        write("wrong", {"OK", "START", "END", "WORDDATA", "timer(5);"});
        write("icons", {"OK", "START", "2,0,255,0,0,4,0", "2,1,0,0,255,4,0", "END", "DDDATA", "1"});
        write("melody", {"SOUND", "1"});
    }

    void image()
    {
        const ToolRun run = tool({"image", path("good")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("230\n2\n184\n25\n6\n9\n160\n5\n11\n154\n11\n231\n0\n"));
    }

    void listingAndView()
    {
        const ToolRun listing = tool({"listing", path("good")});
        QCOMPARE(listing.exitCode, 0);
        QCOMPARE(listing.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 (QStringList{"START", "7,4,25,0,0,0,0", "5,0,5,0,0,0,0", "12,2,0,0,0,0,0", "4,4,0,0,0,0,0",
                              "13,2,0,0,0,0,0", "END"}));
        const ToolRun view = tool({"view", path("good")});
        QCOMPARE(view.exitCode, 0);
        const QStringList rows = view.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[1], QStringLiteral("0\t指定温度より高い？\t07B004019000000"));
        QCOMPARE(rows[3], QStringLiteral("2\telse\t092002000000000"));
    }

    // The check's message goes to stderr; the stale "OK" listing in front of
    // the text is not used.
    void failingProgramIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("image") << "image";
        QTest::newRow("listing") << "listing";
        QTest::newRow("view") << "view";
    }
    void failingProgramIsRefused()
    {
        QFETCH(QString, command);
        const ToolRun run = tool({command, path("wrong")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, QStringLiteral("プログラムの構文が間違っております。\nプログラムを確認して下さい。\n"));
    }

    void textOfAnyFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::newRow("text file") << "wrong" << 0 << "timer(5);\n";
        QTest::newRow("icon file") << "icons" << 0 << "ledon(255,0,0,1);\nfadein(0,0,255);\n";
        QTest::newRow("melody file") << "melody" << 1 << "";
        QTest::newRow("missing file") << "absent" << 1 << "";
    }
    void textOfAnyFile()
    {
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        const ToolRun run = tool({"text", path(file)});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err.isEmpty(), exitCode == 0);
    }

    // A user keyword file that cannot be used stops every text command.
    void brokenKeywordFile()
    {
        QTemporaryDir otherHome;
        QVERIFY(QDir().mkpath(otherHome.filePath(QStringLiteral("KORUv1Temp"))));
        QVERIFY(WriteProgramLines(otherHome.filePath(QStringLiteral("KORUv1Temp/KORU.dat")),
                                  {"1,x,timer,160,"}));
        for (const char *command : {"image", "text"}) {
            const ToolRun run = tool({QLatin1String(command), path("good")}, otherHome.path());
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err, QStringLiteral("ファイル読み込みエラー\n"));
        }
    }

    void usage()
    {
        QCOMPARE(tool({"image"}).exitCode, 2);
        QCOMPARE(tool({"text", path("good"), path("good")}).exitCode, 2);
    }

private:
    QString path(const QString &name) const { return m_files.filePath(name + QStringLiteral(".koru")); }

    void write(const QString &name, const QStringList &lines)
    {
        QVERIFY(WriteProgramLines(path(name), lines));
    }

    ToolRun tool(const QStringList &args, const QString &home = QString())
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.isEmpty() ? m_home.path() : home);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KORU_TOOL_PATH), args);
        if (!process.waitForFinished(20000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir m_home;
    QTemporaryDir m_files;
};

KORU_TEST_GUILESS_MAIN(TstTextTool)
#include "tst_texttool.moc"
