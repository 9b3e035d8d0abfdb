// Several virtual kits at once: koru-tool names each by its ID, talks to the
// one --kit names, takes the same kit every time without it (the newest, as
// the windows do), checks a transfer with --verify, and stops waiting for a
// run at once when its kit goes away.
#include "link/kitlock.h"
#include "melody/melody.h"
#include "model/programfile.h"

#include "headlesskit.h"
#include "testmain.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace koru;
using koru::test::HeadlessKit;
using koru::test::KitProcess;

// What a run of koru-tool gave (exit code, standard output and error).
using Run = koru::test::ToolRun;

class TstToolKits : public QObject
{
    Q_OBJECT
private:
    KitProcess m_first;
    std::unique_ptr<HeadlessKit> m_second;
    QProcessEnvironment m_env;
    QString m_tool;
    QTemporaryDir m_files;
    QString m_firstId;
    QString m_secondId;

    // Runs koru-tool in the event loop, so that the kits' own output keeps
    // being read meanwhile (a kit whose output pipe fills up stops).
    Run run(const QStringList &args)
    {
        return test::runKoruToolInEventLoop(m_tool, args, m_env);
    }

    // A one-statement STEP3 program and what the kit must then hold.
    QString program(const QString &statement, QStringList *memory)
    {
        const QString path = m_files.filePath(statement.left(5) + QStringLiteral(".koru"));
        if (!WriteProgramLines(path, {"NG", "WORDDATA", statement}))
            return {};
        memory->clear();
        for (const QString &value : run({"image", path}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            *memory << QStringLiteral("%1").arg(value.toInt(), 2, 16, QLatin1Char('0')).toUpper();
        *memory << QStringLiteral("FA");
        return path;
    }

    QStringList memoryOf(const QString &id, int count)
    {
        QStringList args{"memory"};
        if (!id.isEmpty())
            args << "--kit" << id;
        return run(args).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(0, count);
    }

private slots:
    void initTestCase()
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!KitProcess::available() || !QFileInfo(m_tool).isExecutable())
            QSKIP("koru-kit or koru-tool is not built");
        QString why;
        QVERIFY2(m_first.start(&why), qPrintable(why));
        // The second kit's socket must be younger, to the millisecond the
        // link compares: a file made now must already be stamped later.
        const QFileInfoList sockets = QDir(m_first.kitFolder()).entryInfoList(QDir::System | QDir::Files);
        QCOMPARE(sockets.size(), 1);
        const QDateTime firstStarted = sockets.first().lastModified();
        const QString probe = QDir(m_first.runtimeFolder()).filePath(QStringLiteral("probe"));
        const auto stampNow = [&probe] {
            QFile file(probe);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("x") != 1)
                return QDateTime();
            file.close();
            return QFileInfo(probe).lastModified();
        };
        QTRY_VERIFY(stampNow() > firstStarted);
        m_second = std::make_unique<HeadlessKit>();
        QVERIFY(m_second->start(m_first.runtimeFolder()));
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_first.runtimeFolder());
    }

    void kitsAreListedWithTheirIds()
    {
        const QStringList lines = run({"kits"}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        const QRegularExpression line(QStringLiteral("^([* ]) ORBA  (virtual:.+)$"));
        const auto first = line.match(lines[0]);
        const auto second = line.match(lines[1]);
        QVERIFY2(first.hasMatch() && second.hasMatch(), qPrintable(lines.join(QLatin1Char('\n'))));
        QCOMPARE(first.captured(1), QStringLiteral(" "));
        QCOMPARE(second.captured(1), QStringLiteral("*")); // the newest kit
        m_firstId = first.captured(2);
        m_secondId = second.captured(2);
        QVERIFY(m_firstId != m_secondId);
    }

    void eachSendGoesToTheKitNamed()
    {
        QStringList one, two, three;
        const QString p1 = program(QStringLiteral("beep1();"), &one);
        const QString p2 = program(QStringLiteral("beep2();"), &two);
        const QString p3 = program(QStringLiteral("beep3();"), &three);
        const int rounds = qEnvironmentVariableIntValue("KORU_KIT_ROUNDS") > 0
                               ? qEnvironmentVariableIntValue("KORU_KIT_ROUNDS") : 4;
        for (int round = 0; round < rounds; ++round) {
            const bool toFirst = round % 2 == 0;
            const QString &id = toFirst ? m_firstId : m_secondId;
            const QString &path = round % 3 == 0 ? p1 : (round % 3 == 1 ? p2 : p3);
            const QStringList &expected = round % 3 == 0 ? one : (round % 3 == 1 ? two : three);
            QCOMPARE(run({"send", path, "--kit", id}).exitCode, 0);
            QCOMPARE(memoryOf(id, int(expected.size())), expected);
        }
        // Without --kit: the newest kit, every time.
        QCOMPARE(run({"send", p1}).exitCode, 0);
        QCOMPARE(memoryOf(m_secondId, int(one.size())), one);
        QCOMPARE(run({"send", p3}).exitCode, 0);
        QCOMPARE(memoryOf(QString(), int(three.size())), three);
        QCOMPARE(memoryOf(m_secondId, int(three.size())), three);
        // A kit that is not there is no kit.
        const Run missing = run({"memory", "--kit", "virtual:/nowhere"});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err.trimmed(), NoKitMessage);
    }

    // --verify reads the memory back; two programs sent at once to one kit
    // cannot both be what it holds, and at least one send must say so.
    void verifyCatchesADifference()
    {
        QStringList one, two;
        const QString p1 = program(QStringLiteral("beep1();"), &one);
        const QString p2 = m_files.filePath(QStringLiteral("long.koru"));
        QVERIFY(WriteProgramLines(p2, {"NG", "WORDDATA", "timer(1);", "beep2();", "timer(2);", "beep3();",
                                       "timer(3);", "beep1();", "timer(1);"}));
        QCOMPARE(run({"send", p1, "--verify", "--kit", m_firstId}).exitCode, 0);

        QProcess a, b;
        for (QProcess *p : {&a, &b})
            p->setProcessEnvironment(m_env);
        // b starts once a's transfer is under way (its first progress).
        QSignalSpy aProgress(&a, &QProcess::readyReadStandardError);
        a.start(m_tool, {"send", p2, "--verify", "--kit", m_firstId});
        QVERIFY(aProgress.wait(10000));
        b.start(m_tool, {"send", p1, "--verify", "--kit", m_firstId});
        QVERIFY(a.waitForFinished(30000) && b.waitForFinished(30000));
        const QString said = QString::fromUtf8(a.readAllStandardError() + b.readAllStandardError());
        QVERIFY2(a.exitCode() != 0 || b.exitCode() != 0, qPrintable(said));
        if (a.exitCode() == 1 || b.exitCode() == 1)
            QVERIFY2(said.contains(QStringLiteral("does not hold what was sent")) || said.contains(NoKitMessage),
                     qPrintable(said));
    }

    // Two senders at once, one kit: the second waits a while for the
    // first, then gives up with the kit busy; the kit holds the first's
    // melody whole and nothing of the second.
    void oneSenderAtATime()
    {
        Melody long_;
        for (int n = 0; n < 100; ++n)
            QCOMPARE(long_.addNote(n % 2 ? "12" : "148", 0), MelodyEdit::Done);
        const QString melody = m_files.filePath(QStringLiteral("long(メロディ).koru"));
        QVERIFY(long_.save(melody));
        QStringList held;
        for (const QString &value : run({"image", melody}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            held << QStringLiteral("%1").arg(value.toInt(), 2, 16, QLatin1Char('0')).toUpper();
        held << QStringLiteral("FA");
        QVERIFY(held.size() > 100); // some 6 s of values at 50 ms each
        QStringList one;
        const QString p1 = program(QStringLiteral("beep1();"), &one);
        QCOMPARE(run({"send", p1, "--kit", m_firstId}).exitCode, 0);
        const QStringList before = memoryOf(m_firstId, 255);
        QCOMPARE(before.mid(0, one.size()), one);

        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->setProcessEnvironment(m_env);
        QEventLoop loop;
        QByteArray progress;
        bool secondStarted = false;
        connect(&first, &QProcess::readyReadStandardError, &loop, [&] {
            progress += first.readAllStandardError();
            if (progress.contains('%') && !std::exchange(secondStarted, true))
                second.start(m_tool, {"send", p1, "--kit", m_firstId}); // while the melody goes out
        });
        int finished = 0;
        for (QProcess *p : {&first, &second})
            connect(p, &QProcess::finished, &loop, [&] {
                if (++finished == 2)
                    loop.quit();
            });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        first.start(m_tool, {"send", melody, "--kit", m_firstId});
        loop.exec();
        QCOMPARE(finished, 2);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(second.readAllStandardError()).trimmed(), KitBusyMessage);
        const QStringList after = memoryOf(m_firstId, 255);
        QCOMPARE(after.mid(128, held.size()), held);
        QCOMPARE(after.mid(0, 128), before.mid(0, 128)); // the program area as it was
    }

    // A run waited for ends at once when its kit goes away.
    void runWaitNoticesAVanishedKit()
    {
        const QString slow = m_files.filePath(QStringLiteral("slow.koru"));
        QVERIFY(WriteProgramLines(slow, {"NG", "WORDDATA", "timer(30);", "timer(30);"}));
        QCOMPARE(run({"send", slow, "--kit", m_secondId}).exitCode, 0);
        QProcess waiting;
        waiting.setProcessEnvironment(m_env);
        QElapsedTimer clock;
        clock.start();
        // The kit goes away once it runs the program the tool waits for.
        QProcess &kit = m_second->process();
        QByteArray kitSaid = kit.readAllStandardOutput();
        QVERIFY(!kitSaid.contains(" run program"));
        waiting.start(m_tool, {"run", "--wait", "60", "--kit", m_secondId});
        QTRY_VERIFY_WITH_TIMEOUT((kitSaid += kit.readAllStandardOutput()).contains(" run program"), 10000);
        kit.kill();
        QVERIFY(waiting.waitForFinished(10000));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(waiting.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(waiting.readAllStandardError()).trimmed(), NoKitMessage);
    }
};

KORU_TEST_GUILESS_MAIN(TstToolKits)
#include "tst_tool_kits.moc"
