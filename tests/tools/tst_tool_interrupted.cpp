// A transfer cut off half-way (the sending program killed) and another sent
// at once: the kit must hold the second program exactly, never the head of
// the first with the second behind it.
#include "model/programfile.h"

#include "../link/kitprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using koru::test::KitProcess;

class TstToolInterrupted : public QObject
{
    Q_OBJECT
private:
    KitProcess m_kit;
    QProcessEnvironment m_env;
    QString m_tool;

    int run(const QStringList &args, QString *out = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(m_tool, args);
        if (!p.waitForFinished(30000))
            return -1;
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitCode();
    }

private slots:
    void initTestCase()
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!KitProcess::available() || !QFileInfo(m_tool).isExecutable())
            QSKIP("koru-kit or koru-tool is not built");
        QString why;
        QVERIFY2(m_kit.start(&why), qPrintable(why));
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_kit.runtimeFolder());
    }

    void killedSendThenAnother()
    {
        const QString bin = QCoreApplication::applicationDirPath();
        const QString longProgram = bin + QStringLiteral("/Data/Demo/fro/demo4(フロー).koru");
        const QString shortProgram = bin + QStringLiteral("/Data/Demo/fro/demo3(フロー).koru");
        QString out;
        QCOMPARE(run({"image", shortProgram}, &out), 0);
        QStringList expected;
        for (const QString &value : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            expected << QStringLiteral("%1").arg(value.toInt(), 2, 16, QLatin1Char('0')).toUpper();
        expected << QStringLiteral("FA");

        // Killed once about a third of its values are out (50 ms each).
        QProcess cut;
        cut.setProcessEnvironment(m_env);
        cut.start(m_tool, {"send", longProgram});
        QVERIFY(cut.waitForStarted());
        QTest::qWait(900); // the cut must fall in the middle of the transfer
        cut.kill();
        QVERIFY(cut.waitForFinished());

        QCOMPARE(run({"send", shortProgram}), 0);
        QCOMPARE(run({"memory"}, &out), 0);
        const QStringList memory = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(memory.mid(0, expected.size()), expected);
    }
};

QTEST_GUILESS_MAIN(TstToolInterrupted)
#include "tst_tool_interrupted.moc"
