// The kit's protocol over a scripted device: what goes out in which
// reports, how progress moves, where replies go, and what happens when the
// kit refuses writes, goes silent, sends odd replies or is pulled out.
#include "link/kitlock.h"
#include "link/replyrouter.h"
#include "linkrig.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

using namespace koru;
using koru::test::LinkRig;

namespace {

// A window that records what the router hands it.
struct RecordingReceiver : ReplyReceiver
{
    bool collecting = false;
    QStringList lines;
    int ready = 0;
    int lost = 0;
    bool collectsReplies() const override { return collecting; }
    void appendReply(const QString &line) override { lines.append(line); }
    void kitReady() override { ++ready; }
    void kitLost() override { ++lost; }
};

QList<int> progressValues(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &args : spy)
        values.append(args.at(0).toInt());
    return values;
}

} // namespace

class TestLinkProtocol : public QObject
{
    Q_OBJECT
private slots:
    void transferFramesEveryValue_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("one data byte") << 2;
        QTest::newRow("64 data bytes") << 65;
    }
    void transferFramesEveryValue()
    {
        QFETCH(int, length);
        LinkRig rig;
        QVERIFY(rig.plugKit("kit", length));
        const QList<int> values{240, 230, 2, 231, 250};
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QSignalSpy finished(rig.link.get(), &DeviceLink::transferFinished);
        QVERIFY(rig.link->Transfer(values));
        // One value per tick: the first at once, each next one 50 ms later.
        QCOMPARE(rig.fake->writtenValues("kit"), QList<int>{240});
        QVERIFY(rig.link->transferring());
        rig.clock.advance(DeviceLink::PaceMs - 1);
        QCOMPARE(rig.fake->writtenValues("kit").size(), 1);
        rig.clock.advance(1);
        QCOMPARE(rig.fake->writtenValues("kit").size(), 2);
        rig.clock.runUntilIdle();
        QCOMPARE(rig.clock.now(), 5 * DeviceLink::PaceMs);
        const QList<QByteArray> writes = rig.fake->writes("kit");
        QCOMPARE(writes.size(), values.size());
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(writes[i], OutputReportFor(values[i], length));
        QCOMPARE(progressValues(progress), (QList<int>{0, 20, 40, 60, 80, 100}));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), true);
        QVERIFY(!rig.link->transferring());
        QVERIFY(!rig.link->sending());
    }

    void progressSteps_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("last");
        QTest::newRow("three values") << 3 << 99;
        QTest::newRow("100 values") << 100 << 100;
        QTest::newRow("201 values: the bar stays") << 201 << 0;
    }
    void progressSteps()
    {
        QFETCH(int, count);
        QFETCH(int, last);
        LinkRig rig;
        QVERIFY(rig.plugKit());
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QVERIFY(rig.link->Transfer(QList<int>(count, 1)));
        rig.clock.runUntilIdle();
        const QList<int> bar = progressValues(progress);
        QCOMPARE(bar.size(), count + 1);
        QCOMPARE(bar.last(), last);
        if (count == 3)
            QCOMPARE(bar, (QList<int>{0, 33, 66, 99}));
    }

    void requestsSendTheirValue_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("value");
        QTest::newRow("run") << 0 << 241;
        QTest::newRow("play") << 1 << 243;
        QTest::newRow("stop") << 2 << 246;
        QTest::newRow("memory") << 3 << 245;
        QTest::newRow("measure") << 4 << 244;
        QTest::newRow("output 1") << 5 << 247;
        QTest::newRow("output 2") << 6 << 248;
        QTest::newRow("output off") << 7 << 249;
        QTest::newRow("output other") << 8 << 249;
    }
    void requestsSendTheirValue()
    {
        QFETCH(int, which);
        QFETCH(int, value);
        const auto send = [which](DeviceLink &link) {
            switch (which) {
            case 0: return link.RequestRun();
            case 1: return link.RequestPlay();
            case 2: return link.RequestStop();
            case 3: return link.RequestMemory();
            case 4: return link.RequestMeasurement();
            case 5: return link.RequestMeasureOutput(1);
            case 6: return link.RequestMeasureOutput(2);
            case 7: return link.RequestMeasureOutput(0);
            default: return link.RequestMeasureOutput(-7);
            }
        };
        LinkRig rig;
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QSignalSpy finished(rig.link.get(), &DeviceLink::requestFinished);
        // Without a kit: false, nothing sent, nothing to follow.
        QVERIFY(rig.settle());
        QVERIFY(!send(*rig.link));
        QCOMPARE(rig.clock.pending(), 0);
        QVERIFY(rig.plugKit("kit", 65));
        QVERIFY(send(*rig.link));
        QCOMPARE(rig.fake->writes("kit"), QList<QByteArray>{OutputReportFor(value, 65)});
        QCOMPARE(finished.size(), 0); // its pause is not over yet
        rig.clock.runUntilIdle();
        QCOMPARE(rig.clock.now(), DeviceLink::PaceMs);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0], (QList<QVariant>{value, true}));
        QCOMPARE(progress.size(), 0); // no transfer window for single requests
    }

    void transferWithoutKitSendsNothing()
    {
        LinkRig rig;
        QVERIFY(rig.settle());
        QSignalSpy started(rig.link.get(), &DeviceLink::transferStarted);
        QVERIFY(!rig.link->Transfer({240, 250}));
        QCOMPARE(started.size(), 0);
        QVERIFY(!rig.link->transferring());
    }

    void oneTransferAtATimeAndRequestsWaitForTheFrame()
    {
        // A second transfer is refused while one runs; a request made
        // meanwhile goes out after the frame's end, never inside the frame
        // (the kit would store it as part of the program).
        LinkRig rig;
        QVERIFY(rig.plugKit());
        QSignalSpy transferDone(rig.link.get(), &DeviceLink::transferFinished);
        QSignalSpy requestDone(rig.link.get(), &DeviceLink::requestFinished);
        QVERIFY(rig.link->Transfer({240, 1, 2, 250}));
        rig.clock.step();
        QVERIFY(!rig.link->Transfer({240, 9, 250}));
        QVERIFY(rig.link->RequestStop());
        rig.clock.runUntilIdle();
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 1, 2, 250, 246}));
        QCOMPARE(transferDone.size(), 1);
        QCOMPARE(requestDone.size(), 1);
        QCOMPARE(rig.clock.now(), 5 * DeviceLink::PaceMs);
        // Once it is over, the next transfer may start, also from a slot of
        // the finished signal.
        connect(rig.link.get(), &DeviceLink::transferFinished, this,
                [&] { QVERIFY(rig.link->Transfer({240, 3, 250})); }, Qt::SingleShotConnection);
        QVERIFY(rig.link->Transfer({240, 250}));
        rig.clock.runUntilIdle();
        QCOMPARE(rig.fake->writtenValues("kit").mid(5), (QList<int>{240, 250, 240, 3, 250}));
        QCOMPARE(transferDone.size(), 3);
    }

    // One sender per kit across processes: a send waits while another
    // process holds the kit, goes out once it is free, and gives up with
    // the kit busy after KitBusyWaitMs; so do the sends queued behind it.
    void waitsForAnotherSender()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        const QString id = rig.fake->lockId(FakeHidBackend::kitInfo("kit"));
        KitLock other; // another process's sender
        QVERIFY(other.tryLock(id));
        KitLock third;
        QVERIFY(!third.tryLock(id));
        QSignalSpy started(rig.link.get(), &DeviceLink::transferStarted);
        QSignalSpy transferDone(rig.link.get(), &DeviceLink::transferFinished);
        QSignalSpy requestDone(rig.link.get(), &DeviceLink::requestFinished);

        QVERIFY(rig.link->Transfer({240, 1, 250}));
        rig.clock.advance(DeviceLink::KitBusyWaitMs / 2);
        QVERIFY(rig.fake->writtenValues("kit").isEmpty());
        QCOMPARE(started.size(), 0);
        other.unlock();
        rig.clock.advance(DeviceLink::KitBusyPollMs);
        QCOMPARE(rig.fake->writtenValues("kit"), QList<int>{240});
        QVERIFY(!other.tryLock(id)); // held for the send's length
        rig.clock.runUntilIdle();
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 1, 250}));
        QCOMPARE(transferDone.size(), 1);
        QVERIFY(transferDone[0][0].toBool());
        QVERIFY(!rig.link->kitBusyElsewhere());

        // Released when no send is left: now the other one holds it.
        QVERIFY(other.tryLock(id));
        QVERIFY(rig.link->Transfer({240, 2, 250}));
        QVERIFY(rig.link->RequestRun());
        rig.clock.advance(DeviceLink::KitBusyWaitMs);
        QCOMPARE(transferDone.size(), 2);
        QVERIFY(!transferDone[1][0].toBool());
        QCOMPARE(requestDone.size(), 1);
        QVERIFY(!requestDone[0][1].toBool());
        QVERIFY(rig.link->kitBusyElsewhere());
        QCOMPARE(rig.fake->writtenValues("kit").size(), 3); // nothing of either went out
        QVERIFY(!rig.link->sending());

        // Once the kit is free, sending works as before.
        other.unlock();
        QVERIFY(rig.link->RequestStop());
        rig.clock.runUntilIdle();
        QCOMPARE(rig.fake->writtenValues("kit").last(), kit::Stop);
        QVERIFY(!rig.link->kitBusyElsewhere());
    }

    // Unplugging the kit while a send waits for it ends the wait at once
    // and leaves the lock free.
    void unplugWhileWaitingForTheKit()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        const QString id = rig.fake->lockId(FakeHidBackend::kitInfo("kit"));
        KitLock other;
        QVERIFY(other.tryLock(id));
        QSignalSpy transferDone(rig.link.get(), &DeviceLink::transferFinished);
        QVERIFY(rig.link->Transfer({240, 1, 250}));
        rig.clock.advance(DeviceLink::KitBusyPollMs);
        rig.fake->unplug("kit");
        QVERIFY(QTest::qWaitFor([&] { return transferDone.size() == 1; }, 2000));
        QVERIFY(!transferDone[0][0].toBool());
        QVERIFY(!rig.link->kitBusyElsewhere());
        rig.clock.runUntilIdle();
        QVERIFY(rig.fake->writtenValues("kit").isEmpty());
    }

    void refusedWritesAreSkipped()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->refuseWriteNumbers("kit", {2, 3});
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QVERIFY(rig.link->Transfer({240, 1, 2, 3, 250}));
        rig.clock.runUntilIdle();
        QCOMPARE(rig.fake->writes("kit").size(), 5); // each tried once, no retry
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 3, 250}));
        QCOMPARE(progressValues(progress).last(), 100);
        QCOMPARE(rig.clock.now(), 5 * DeviceLink::PaceMs);
        QVERIFY(rig.link->KitPresent());
    }

    void unplugMidTransferStopsAtOnce()
    {
        // A full program takes over six seconds; the kit goes after the
        // third value. The send must end at once, unfinished, write nothing
        // more, and end the request waiting behind it too.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver window;
        ReplyAttachment attached(rig.link->router(), ReplyRole::Flowchart, &window);
        rig.fake->unplugAfterWrites("kit", 3);
        QList<int> values{240};
        for (int i = 0; i < 120; ++i)
            values.append(i);
        values.append(250);
        QSignalSpy finished(rig.link.get(), &DeviceLink::transferFinished);
        QSignalSpy requestDone(rig.link.get(), &DeviceLink::requestFinished);
        QVERIFY(rig.link->Transfer(values));
        QVERIFY(rig.link->RequestRun());
        rig.clock.step();
        rig.clock.step();
        QVERIFY(finished.wait(2000)); // the loss, with the clock standing still
        QCOMPARE(finished[0][0].toBool(), false);
        QCOMPARE(requestDone.size(), 1);
        QCOMPARE(requestDone[0], (QList<QVariant>{int(kit::Run), false}));
        rig.clock.runUntilIdle();
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 0, 1}));
        QCOMPARE(rig.fake->writes("kit").size(), 3);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!rig.link->KitPresent());
        QVERIFY(!rig.link->sending());
        QCOMPARE(window.lost, 1);
        QVERIFY(!rig.link->RequestRun());
    }

    void unplugDuringLastPauseIsAFailure()
    {
        // The last value went out but the kit vanished before the send was
        // over: its FF will never come, so the caller must not wait for it.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->unplugAfterWrites("kit", 1);
        QSignalSpy finished(rig.link.get(), &DeviceLink::requestFinished);
        QVERIFY(rig.link->RequestRun());
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished[0], (QList<QVariant>{int(kit::Run), false}));
        QCOMPARE(rig.fake->writtenValues("kit"), QList<int>{241});
    }

    void repliesReachTheOpenWindow()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->setResponder("kit", FakeHidBackend::readyResponder());
        RecordingReceiver editor;
        ReplyAttachment attached(rig.link->router(), ReplyRole::Icon, &editor);
        QSignalSpy replies(rig.link.get(), &DeviceLink::replyReceived);
        QVERIFY(rig.link->Transfer({240, 1, 250}));
        rig.clock.runUntilIdle();
        QTRY_COMPARE(editor.ready, 1);
        QVERIFY(rig.link->RequestRun());
        QTRY_COMPARE(editor.ready, 2);
        QCOMPARE(replies.size(), 2);
        QCOMPARE(replies[0][0].toString(), QStringLiteral("FF "));
    }

    void repliesDuringTransferAreRoutedAtOnce()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver collecting;
        collecting.collecting = true;
        ReplyAttachment attached(rig.link->router(), ReplyRole::Flowchart, &collecting);
        // The kit chatters back on every value.
        rig.fake->setResponder("kit", [](const QByteArray &r) { return QList<QByteArray>{QByteArray(1, 0) + r.mid(1, 1)}; });
        QVERIFY(rig.link->Transfer({240, 7, 250}));
        // Each reply is routed while the transfer is still under way.
        QTRY_COMPARE(collecting.lines, QStringList{"F0 "});
        rig.clock.step();
        QTRY_COMPARE(collecting.lines, (QStringList{"F0 ", "07 "}));
        QVERIFY(rig.link->transferring());
        rig.clock.runUntilIdle();
        QTRY_COMPARE(collecting.lines, (QStringList{"F0 ", "07 ", "FA "}));
    }

    void oddRepliesAreHarmless_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QString>("line");
        QTest::newRow("two data bytes") << QByteArray("\x00\xFF\xFF", 3) << "FF FF ";
        QTest::newRow("report ID only") << QByteArray(1, '\0') << "";
        QTest::newRow("long") << (QByteArray(1, '\0') + QByteArray(64, char(0xFF))) << QString("FF ").repeated(64);
        QTest::newRow("other report ID") << QByteArray("\x05\xFF", 2) << "FF ";
    }
    void oddRepliesAreHarmless()
    {
        QFETCH(QByteArray, report);
        QFETCH(QString, line);
        LinkRig rig;
        rig.fake->plug(FakeHidBackend::kitInfo("kit", 2, 65));
        QVERIFY(rig.settle());
        QSignalSpy replies(rig.link.get(), &DeviceLink::replyReceived);

        // No window open: dropped without harm.
        rig.fake->inject("kit", report);
        QVERIFY(replies.wait(2000));
        QCOMPARE(replies[0][0].toString(), line);

        // A waiting editor is made ready only by exactly one FF byte.
        RecordingReceiver editor;
        ReplyAttachment attached(rig.link->router(), ReplyRole::Text, &editor);
        rig.fake->inject("kit", report);
        QVERIFY(replies.wait(2000));
        QCOMPARE(editor.ready, StripSpacesIsFF(line) ? 1 : 0);
    }

    void silentKitLeavesCallerWaiting()
    {
        // Without a reply the link reports success and nothing else happens,
        // however long the kit stays silent: the link has no time-out.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver editor;
        ReplyAttachment attached(rig.link->router(), ReplyRole::Icon, &editor);
        QSignalSpy finished(rig.link.get(), &DeviceLink::requestFinished);
        QVERIFY(rig.link->RequestRun());
        rig.clock.advance(3600 * 1000);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(rig.clock.pending(), 0);
        QCOMPARE(editor.ready, 0);
        QCOMPARE(editor.lost, 0);
    }

    void measurementWindowSlowsEveryValue()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver measurement;
        measurement.collecting = true;
        rig.fake->setResponder("kit", [](const QByteArray &r) {
            if (quint8(r[1]) == 244)
                return QList<QByteArray>{QByteArray("\x00\x19", 2), QByteArray("\x00\x37", 2)};
            return QList<QByteArray>{};
        });
        ReplyAttachment attached(rig.link->router(), ReplyRole::Measurement, &measurement);
        QSignalSpy finished(rig.link.get(), &DeviceLink::requestFinished);
        QVERIFY(rig.link->RequestMeasurement());
        // The replies come in during the pause, before the request is over.
        QTRY_COMPARE(measurement.lines, (QStringList{"19 ", "37 "}));
        rig.clock.advance(DeviceLink::MeasurementPaceMs + DeviceLink::PaceMs - 1);
        QCOMPARE(finished.size(), 0);
        rig.clock.advance(1);
        QCOMPARE(finished.size(), 1);
        // A refused write does not wait the extra second.
        rig.fake->setRefuseWrites("kit", true);
        QVERIFY(rig.link->RequestMeasureOutput(3));
        rig.clock.advance(DeviceLink::PaceMs);
        QCOMPARE(finished.size(), 2);
    }

private:
    static bool StripSpacesIsFF(const QString &line) { return QString(line).remove(' ') == QLatin1String("FF"); }
};

KORU_TEST_GUILESS_MAIN(TestLinkProtocol)
#include "tst_linkprotocol.moc"
