// koru-tool send/run/stop --all against several headless kits: every kit
// gets exactly the image, each is reported by its ID, one that goes away
// half-way fails alone, and one plugged in meanwhile is left alone.
#include "melody/melody.h"
#include "model/programfile.h"

#include "headlesskit.h"
#include "testmain.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace koru;
using koru::test::HeadlessKit;
using koru::test::KitProcess;

// What a run of koru-tool gave (exit code, standard output and error).
using Run = koru::test::ToolRun;

class TstToolSendAll : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_files;
    QProcessEnvironment m_env;
    QString m_tool;
    std::vector<std::unique_ptr<HeadlessKit>> m_kits;

    HeadlessKit *startKit()
    {
        auto kit = std::make_unique<HeadlessKit>();
        if (!kit->start(m_runtime.path()))
            return nullptr;
        m_kits.push_back(std::move(kit));
        return m_kits.back().get();
    }

    // Runs koru-tool in the event loop (the kits' output keeps being read);
    // whenever the tool writes to stderr, onErr is told what it has written.
    Run run(const QStringList &args, const std::function<void(const QString &)> &onErr = {})
    {
        return test::runKoruToolInEventLoop(m_tool, args, m_env, 60000, onErr);
    }

    // What a kit holds after receiving file: the image, then 250.
    QStringList heldAfter(const QString &file)
    {
        QStringList held;
        for (const QString &value : run({"image", file}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            held << QStringLiteral("%1").arg(value.toInt(), 2, 16, QLatin1Char('0')).toUpper();
        held << QStringLiteral("FA");
        return held;
    }

    QStringList memoryOf(const QString &id)
    {
        return run({"memory", "--kit", id}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // The per-kit lines of an --all run by ID, and its summary line.
    static QHash<QString, QString> perKit(const QString &out, QString *summary)
    {
        QHash<QString, QString> lines;
        const QStringList all = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : all.mid(0, all.size() - 1)) {
            const qsizetype gap = line.indexOf(QLatin1String("  "));
            lines.insert(line.left(gap), line.mid(gap + 2));
        }
        *summary = all.isEmpty() ? QString() : all.last();
        return lines;
    }

private slots:
    void initTestCase()
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!KitProcess::available() || !QFileInfo(m_tool).isExecutable())
            QSKIP("koru-kit or koru-tool is not built");
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    }

    void cleanup() { m_kits.clear(); }

    void withoutKitsOrWithKit()
    {
        const QString file = m_files.filePath(QStringLiteral("p.koru"));
        QVERIFY(WriteProgramLines(file, {"NG", "WORDDATA", "beep1();"}));
        const Run none = run({"send", file, "--all"});
        QCOMPARE(none.exitCode, 1);
        QCOMPARE(none.err.trimmed(), NoKitMessage);
        QCOMPARE(none.out, QString());
        QCOMPARE(run({"stop", "--all", "--kit", "virtual:/nowhere"}).exitCode, 2);
    }

    // Each kit first holds a longer program of its own, so a kit that got
    // nothing, or another kit's bytes, shows.
    void everyKitGetsExactlyTheImage()
    {
        for (int i = 0; i < 3; ++i)
            QVERIFY(startKit());
        const QString before = m_files.filePath(QStringLiteral("before.koru"));
        QVERIFY(WriteProgramLines(before, {"NG", "WORDDATA", "timer(1);", "beep2();", "timer(2);", "beep3();",
                                           "timer(3);", "beep1();", "timer(1);"}));
        for (const auto &kit : m_kits)
            QCOMPARE(run({"send", before, "--kit", kit->id()}).exitCode, 0);
        const QString file = m_files.filePath(QStringLiteral("p.koru"));
        QVERIFY(WriteProgramLines(file, {"NG", "WORDDATA", "beep1();"}));
        const QStringList held = heldAfter(file);
        QVERIFY(held.size() > 2);

        const Run sent = run({"send", file, "--verify", "--all"});
        QString summary;
        const QHash<QString, QString> lines = perKit(sent.out, &summary);
        QVERIFY2(sent.exitCode == 0, qPrintable(sent.out + sent.err));
        QCOMPARE(lines.size(), 3);
        for (const auto &kit : m_kits) {
            QCOMPARE(lines.value(kit->id()), QStringLiteral("OK"));
            QCOMPARE(memoryOf(kit->id()).mid(0, held.size()), held);
        }
        QCOMPARE(summary, QStringLiteral("3 kits: 3 OK, 0 failed"));

        // run and stop reach every kit as well.
        const QString slow = m_files.filePath(QStringLiteral("slow.koru"));
        QVERIFY(WriteProgramLines(slow, {"NG", "WORDDATA", "timer(30);", "timer(30);"}));
        QCOMPARE(run({"send", slow, "--all"}).exitCode, 0);
        const Run started = run({"run", "--all"});
        QVERIFY2(started.exitCode == 0, qPrintable(started.out + started.err));
        for (const auto &kit : m_kits)
            QTRY_VERIFY_WITH_TIMEOUT(kit->said().contains(" run program"), 10000);
        const Run stopped = run({"stop", "--all"});
        QVERIFY2(stopped.exitCode == 0, qPrintable(stopped.out + stopped.err));
        QCOMPARE(perKit(stopped.out, &summary).size(), 3);
        QCOMPARE(summary, QStringLiteral("3 kits: 3 OK, 0 failed"));
        for (const auto &kit : m_kits)
            QTRY_VERIFY_WITH_TIMEOUT(kit->said().contains("end stopped"), 10000);
    }

    // Half-way through a long melody one kit is unplugged and another
    // plugged in: the others still take it whole, the new kit is not
    // touched, and the run says one failed.
    void aKitGoneHalfWayFailsAlone()
    {
        for (int i = 0; i < 3; ++i)
            QVERIFY(startKit());
        Melody long_;
        for (int n = 0; n < 60; ++n)
            QCOMPARE(long_.addNote(n % 2 ? "12" : "148", 0), MelodyEdit::Done);
        const QString melody = m_files.filePath(QStringLiteral("long(メロディ).koru"));
        QVERIFY(long_.save(melody));
        const QStringList held = heldAfter(melody);
        QVERIFY(held.size() > 60);

        HeadlessKit *gone = m_kits[1].get();
        HeadlessKit *late = nullptr;
        bool lateStarted = false;
        const Run sent = run({"send", melody, "--verify", "--all"}, [&](const QString &err) {
            // The progress of the kit furthest behind, past a third.
            static const QRegularExpression percent(QStringLiteral("(\\d+)%$"));
            const QRegularExpressionMatch m = percent.match(err);
            if (m.hasMatch() && m.captured(1).toInt() >= 30 && !std::exchange(lateStarted, true)) {
                gone->process().kill();
                late = startKit();
            }
        });
        QVERIFY(lateStarted);
        QVERIFY(late);
        QCOMPARE(sent.exitCode, 1);
        QString summary;
        const QHash<QString, QString> lines = perKit(sent.out, &summary);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.value(gone->id()), NoKitMessage);
        QVERIFY(!lines.contains(late->id()));
        QCOMPARE(summary, QStringLiteral("3 kits: 2 OK, 1 failed"));
        for (const auto &kit : {m_kits[0].get(), m_kits[2].get()}) {
            QCOMPARE(lines.value(kit->id()), QStringLiteral("OK"));
            QCOMPARE(memoryOf(kit->id()).mid(128, held.size()), held);
        }
        QVERIFY(memoryOf(late->id()).mid(128, held.size()) != held);
    }
};

KORU_TEST_GUILESS_MAIN(TstToolSendAll)
#include "tst_tool_sendall.moc"
