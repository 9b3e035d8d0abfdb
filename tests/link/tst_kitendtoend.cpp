// The link against the virtual kit program: a program is transferred, run,
// read back and the kit measured, in process and through koru-tool. Skipped
// when koru-kit has not been built.
#include "kitprocess.h"
#include "link/replyrouter.h"
#include "model/programfile.h"
#include "testmain.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

using namespace koru;
using koru::test::KitProcess;

namespace {

struct Collector : ReplyReceiver
{
    QStringList lines;
    bool collectsReplies() const override { return true; }
    void appendReply(const QString &line) override { lines.append(line); }
    void kitReady() override {}
};

// 230 2, sound 4 (beep2), end: a program the kit runs at once.
const QList<int> Program{230, 2, 154, 4, 231, 0};

QList<int> Framed(const QList<int> &program)
{
    return QList<int>{kit::ProgramFrame} + program + QList<int>{kit::FrameEnd};
}

QStringList ReplyLines(const QList<int> &values)
{
    QStringList lines;
    for (int v : values)
        lines.append(ReplyLine(QByteArray(1, char(v))));
    return lines;
}

bool waitForReady(QSignalSpy &replies, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (int seen = 0;; ++seen) {
        while (seen >= replies.size())
            if (deadline.hasExpired() || !replies.wait(int(qMax<qint64>(1, deadline.remainingTime()))))
                return false;
        if (replies.at(seen).at(0).toString() == QLatin1String("FF "))
            return true;
    }
}

} // namespace

class TestKitEndToEnd : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KitProcess> kit;

private slots:
    void init()
    {
        kit = std::make_unique<KitProcess>();
        QString why;
        QVERIFY2(kit->start(&why), qPrintable(why));
    }
    void cleanup() { kit.reset(); }

    void transferRunReadBackMeasure()
    {
        auto link = kit->makeLink();
        QTRY_VERIFY_WITH_TIMEOUT(link->KitPresent(), 5000);
        QCOMPARE(DisplayName(link->devices().value(link->kitIndex())), QStringLiteral("ORBA"));
        QSignalSpy replies(link.get(), &DeviceLink::replyReceived);

        QVERIFY(link->Transfer(QList<int>{240} + Program + QList<int>{250}));
        QVERIFY2(waitForReady(replies, 3000), "no FF after the transfer");

        replies.clear();
        QVERIFY(link->RequestRun());
        QVERIFY2(waitForReady(replies, 5000), "no FF after the run");

        {
            Collector readBack;
            ReplyAttachment attached(link->router(), ReplyRole::Flowchart, &readBack);
            QVERIFY(link->RequestMemory());
            QTRY_VERIFY_WITH_TIMEOUT(readBack.lines.size() >= Program.size(), 5000);
            QStringList expected;
            for (int v : Program)
                expected.append(ReplyLine(QByteArray(1, char(v))));
            QCOMPARE(readBack.lines.mid(0, Program.size()), expected);
        }

        Collector measurement;
        ReplyAttachment attached(link->router(), ReplyRole::Measurement, &measurement);
        QSignalSpy measured(link.get(), &DeviceLink::requestFinished);
        QVERIFY(link->RequestMeasurement());
        // The measurement window's pacing leaves time for both replies.
        const QList<QVariant> done{int(kit::Measure), true};
        QTRY_VERIFY_WITH_TIMEOUT(measured.contains(done), 5000);
        QCOMPARE(measurement.lines.size(), 2);
        for (const QString &line : measurement.lines)
            QVERIFY2(QRegularExpression("^[0-9A-F]{2} $").match(line).hasMatch(), qPrintable(line));
    }

    // Two links in one process, each on its own kit, sending at the same
    // time: each kit stores only its own link's program, and each kit's
    // replies reach only the windows attached to its own link.
    void twoLinksOnTwoKits()
    {
        KitProcess secondKit;
        QString why;
        QVERIFY2(secondKit.start(&why), qPrintable(why));
        const auto first = kit->makeLink();
        const auto second = secondKit.makeLink();
        QTRY_VERIFY_WITH_TIMEOUT(first->KitPresent() && second->KitPresent(), 5000);
        QVERIFY(first->devices().value(first->kitIndex()).path != second->devices().value(second->kitIndex()).path);
        QSignalSpy firstReplies(first.get(), &DeviceLink::replyReceived);
        QSignalSpy secondReplies(second.get(), &DeviceLink::replyReceived);

        const QList<int> secondProgram{230, 2, 160, 3, 5, 231, 0};
        QVERIFY(first->Transfer(Framed(Program)));
        QVERIFY(second->Transfer(Framed(secondProgram)));
        QVERIFY(first->transferring() && second->transferring());
        QVERIFY2(waitForReady(firstReplies, 3000), "no FF from the first kit");
        QVERIFY2(waitForReady(secondReplies, 3000), "no FF from the second kit");

        Collector firstMemory;
        Collector secondMemory;
        ReplyAttachment firstAttached(first->router(), ReplyRole::Flowchart, &firstMemory);
        ReplyAttachment secondAttached(second->router(), ReplyRole::Flowchart, &secondMemory);
        QVERIFY(first->RequestMemory());
        QTRY_VERIFY_WITH_TIMEOUT(firstMemory.lines.size() > Program.size(), 5000);
        QVERIFY(secondMemory.lines.isEmpty());
        QVERIFY(second->RequestMemory());
        QTRY_VERIFY_WITH_TIMEOUT(secondMemory.lines.size() > secondProgram.size(), 5000);
        QCOMPARE(firstMemory.lines.mid(0, Program.size() + 1), ReplyLines(Program + QList<int>{kit::FrameEnd}));
        QCOMPARE(secondMemory.lines.mid(0, secondProgram.size() + 1),
                 ReplyLines(secondProgram + QList<int>{kit::FrameEnd}));
    }

    void killedKitIsUnplugged()
    {
        auto link = kit->makeLink();
        QTRY_VERIFY_WITH_TIMEOUT(link->KitPresent(), 5000);
        kit->process().kill();
        QTRY_VERIFY_WITH_TIMEOUT(!link->KitPresent(), 5000);
        QVERIFY(!link->RequestRun());
    }

    void toolCommands()
    {
        const QString tool = QCoreApplication::applicationDirPath() + "/koru-tool";
        if (!QFileInfo(tool).isExecutable())
            QSKIP("koru-tool is not built");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", kit->runtimeFolder());
        const auto run = [&](const QStringList &args, QString *out = nullptr) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(tool, args);
            p.waitForFinished(20000);
            if (out)
                *out = QString::fromUtf8(p.readAllStandardOutput());
            return p.exitCode();
        };
        QString out;
        QCOMPARE(run({"kits"}, &out), 0);
        QVERIFY2(out.startsWith(QStringLiteral("* ORBA  virtual:")) && out.count(QLatin1Char('\n')) == 1, qPrintable(out));
        QCOMPARE(run({"run", "--wait", "5"}), 0);
        QCOMPARE(run({"measure"}, &out), 0);
        QVERIFY2(QRegularExpression("^temperature -?\\d+\nhumidity \\d+\n$").match(out).hasMatch(), qPrintable(out));
        QCOMPARE(run({"stop"}), 0);

        // send: a STEP3 program, as its editor would send it; the kit's
        // memory then starts with the program's image.
        if (!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/Data/KORU.dat"))
            QSKIP("the keyword file is not beside the executables");
        QTemporaryDir files;
        const QString program = files.filePath("beep.koru");
        QVERIFY(WriteProgramLines(program, {"NG", "WORDDATA", "beep2();"}));
        QCOMPARE(run({"image", program}, &out), 0);
        const QStringList image = out.split('\n', Qt::SkipEmptyParts);
        QVERIFY(!image.isEmpty());
        QCOMPARE(run({"send", program}), 0);
        QCOMPARE(run({"memory"}, &out), 0);
        QStringList expected;
        for (const QString &value : image)
            expected.append(QStringLiteral("%1").arg(value.toInt(), 2, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(out.split('\n', Qt::SkipEmptyParts).mid(0, image.size()), expected);

        // Without a kit: refused with the program's message.
        QTemporaryDir empty;
        env.insert("XDG_RUNTIME_DIR", empty.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(tool, {"send", program});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()).trimmed(), NoKitMessage);
    }
};

KORU_TEST_ENTRY(TestKitEndToEnd)(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!KitProcess::available()) {
        std::fputs("koru-kit is not built: skipped\n", stderr);
        return 77;
    }
    TestKitEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_kitendtoend.moc"
