// A transfer cut off half-way (the sending program killed) and another sent
// at once: the kit must hold the second program exactly, never the head of
// the first with the second behind it. The cut is made while the first
// transfer is under way (after its progress has passed a quarter, before it
// ends), and the kit must store no frame but the second.
#include "model/programfile.h"

#include "../link/kitprocess.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
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

        // Killed as soon as its progress (stderr, "\r 27%") passes a quarter.
        QProcess cut;
        cut.setProcessEnvironment(m_env);
        QByteArray progress;
        int cutAt = -1;
        connect(&cut, &QProcess::readyReadStandardError, this, [&] {
            progress += cut.readAllStandardError();
            static const QRegularExpression percent(QStringLiteral("(\\d+)%"));
            int last = -1;
            for (auto it = percent.globalMatch(QString::fromUtf8(progress)); it.hasNext();)
                last = it.next().captured(1).toInt();
            if (cutAt < 0 && last >= 25) {
                cutAt = last;
                cut.kill();
            }
        });
        QSignalSpy ended(&cut, &QProcess::finished);
        cut.start(m_tool, {"send", longProgram});
        QVERIFY(ended.wait(30000));
        QVERIFY2(cutAt >= 25 && cutAt < 100, progress.constData());
        QCOMPARE(cut.exitStatus(), QProcess::CrashExit);

        QCOMPARE(run({"send", shortProgram}), 0);
        // Only the second transfer ended a frame on the kit (the kit prints
        // "<ms> frame program <values> bytes stored" when one ends).
        QStringList frames;
        while (frames.isEmpty()) {
            while (m_kit.process().canReadLine()) {
                const QString line = QString::fromUtf8(m_kit.process().readLine()).trimmed();
                if (line.contains(QStringLiteral(" frame ")))
                    frames << line.section(u' ', 1);
            }
            if (frames.isEmpty())
                QVERIFY2(m_kit.process().waitForReadyRead(10000), "the kit said nothing of a frame");
        }
        QCOMPARE(frames, QStringList{QStringLiteral("frame program %1 bytes stored").arg(expected.size() - 1)});

        QCOMPARE(run({"memory"}, &out), 0);
        const QStringList memory = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(memory.mid(0, expected.size()), expected);
    }
};

KORU_TEST_GUILESS_MAIN(TstToolInterrupted)
#include "tst_tool_interrupted.moc"
