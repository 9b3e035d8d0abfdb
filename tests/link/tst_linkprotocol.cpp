// The kit's protocol over a scripted device: what goes out in which
// reports, how progress moves, where replies go, and what happens when the
// kit refuses writes, goes silent, sends odd replies or is pulled out.
#include "linkrig.h"
#include "link/replyrouter.h"

#include <QElapsedTimer>
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

QStringList texts(const QList<int> &values)
{
    QStringList list;
    for (int v : values)
        list.append(QString::number(v));
    return list;
}

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
        rig.link->setSendList(texts(values));
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QSignalSpy finished(rig.link.get(), &DeviceLink::transferFinished);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(rig.link->Transfer());
        QVERIFY(timer.elapsed() >= 5 * DeviceLink::PaceMs);
        const QList<QByteArray> writes = rig.fake->writes("kit");
        QCOMPARE(writes.size(), values.size());
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(writes[i], OutputReportFor(values[i], length));
        QCOMPARE(progressValues(progress), (QList<int>{0, 20, 40, 60, 80, 100}));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), true);
        QVERIFY(!rig.link->transferring());
    }

    void progressOfThreeValues()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.link->setSendList({"240", "1", "250"});
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QVERIFY(rig.link->Transfer());
        QCOMPARE(progressValues(progress), (QList<int>{0, 33, 66, 99}));
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
        // Without a kit: false, nothing sent.
        QVERIFY(rig.settle());
        QVERIFY(!send(*rig.link));
        QVERIFY(rig.plugKit("kit", 65));
        QVERIFY(send(*rig.link));
        QCOMPARE(rig.fake->writes("kit"), QList<QByteArray>{OutputReportFor(value, 65)});
        QCOMPARE(rig.link->sendList(), QStringList{QString::number(value)});
        QCOMPARE(progress.size(), 0); // no transfer window for single requests
    }

    void transferWithoutKitSendsNothing()
    {
        LinkRig rig;
        QVERIFY(rig.settle());
        QSignalSpy started(rig.link.get(), &DeviceLink::transferStarted);
        rig.link->setSendList({"240", "250"});
        QVERIFY(!rig.link->Transfer());
        QCOMPARE(started.size(), 0);
    }

    void requestDuringTransferKeepsTheTransfer()
    {
        // A timer's request in the middle of a transfer replaces the send
        // list; the transfer still sends its own values, in order.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.link->setSendList({"240", "1", "2", "250"});
        bool requested = false;
        connect(rig.link.get(), &DeviceLink::transferProgress, this, [&](int percent) {
            if (percent == 50 && !requested) {
                requested = true;
                QVERIFY(rig.link->RequestStop());
            }
        });
        QVERIFY(rig.link->Transfer());
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 1, 246, 2, 250}));
    }

    void refusedWritesAreSkipped()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->refuseWriteNumbers("kit", {2, 3});
        rig.link->setSendList({"240", "1", "2", "3", "250"});
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        QVERIFY(rig.link->Transfer());
        QCOMPARE(rig.fake->writes("kit").size(), 5); // each tried once, no retry
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 3, 250}));
        QCOMPARE(progressValues(progress).last(), 100);
        QVERIFY(rig.link->KitPresent());
    }

    void unplugMidTransferStopsAtOnce()
    {
        // 122 values would take over six seconds; the kit goes after the
        // third. The send must end at once, write nothing more and say so.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver window;
        ReplyAttachment attached(ReplyRole::Flowchart, &window);
        rig.fake->unplugAfterWrites("kit", 3);
        QStringList values{"240"};
        for (int i = 0; i < 120; ++i)
            values.append(QString::number(i));
        values.append("250");
        rig.link->setSendList(values);
        QSignalSpy finished(rig.link.get(), &DeviceLink::transferFinished);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!rig.link->Transfer());
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(rig.fake->writtenValues("kit"), (QList<int>{240, 0, 1}));
        QCOMPARE(rig.fake->writes("kit").size(), 3);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), false);
        QVERIFY(!rig.link->KitPresent());
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
        QVERIFY(!rig.link->RequestRun());
        QCOMPARE(rig.fake->writtenValues("kit"), QList<int>{241});
    }

    void repliesReachTheOpenWindow()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->setResponder("kit", FakeHidBackend::readyResponder());
        RecordingReceiver editor;
        ReplyAttachment attached(ReplyRole::Icon, &editor);
        QSignalSpy replies(rig.link.get(), &DeviceLink::replyReceived);
        rig.link->setSendList({"240", "1", "250"});
        QVERIFY(rig.link->Transfer());
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
        RecordingReceiver measurement;
        measurement.collecting = true;
        ReplyAttachment attached(ReplyRole::Flowchart, &measurement);
        // The kit chatters back on every value.
        rig.fake->setResponder("kit", [](const QByteArray &r) { return QList<QByteArray>{QByteArray(1, 0) + r.mid(1, 1)}; });
        rig.link->setSendList({"240", "7", "250"});
        QSignalSpy progress(rig.link.get(), &DeviceLink::transferProgress);
        connect(rig.link.get(), &DeviceLink::transferProgress, this, [&](int percent) {
            // By the time the bar moves for a value, its reply is in.
            if (percent == 66)
                QCOMPARE(measurement.lines, (QStringList{"F0 ", "07 "}));
        });
        QVERIFY(rig.link->Transfer());
        QTRY_COMPARE(measurement.lines, (QStringList{"F0 ", "07 ", "FA "}));
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
        ReplyAttachment attached(ReplyRole::Text, &editor);
        rig.fake->inject("kit", report);
        QVERIFY(replies.wait(2000));
        QCOMPARE(editor.ready, StripSpacesIsFF(line) ? 1 : 0);
    }

    void silentKitLeavesCallerWaiting()
    {
        // Without a reply the link reports success and nothing else happens.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver editor;
        ReplyAttachment attached(ReplyRole::Icon, &editor);
        QVERIFY(rig.link->RequestRun());
        QTest::qWait(200);
        QCOMPARE(editor.ready, 0);
        QCOMPARE(editor.lost, 0);
    }

    void measurementWindowSlowsEveryValue()
    {
        LinkRig rig;
        QVERIFY(rig.plugKit());
        RecordingReceiver measurement;
        measurement.collecting = true;
        // Replies to a measurement come in while the send waits.
        rig.fake->setResponder("kit", [](const QByteArray &r) {
            if (quint8(r[1]) == 244)
                return QList<QByteArray>{QByteArray("\x00\x19", 2), QByteArray("\x00\x37", 2)};
            return QList<QByteArray>{};
        });
        ReplyAttachment attached(ReplyRole::Measurement, &measurement);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(rig.link->RequestMeasurement());
        QVERIFY(timer.elapsed() >= DeviceLink::MeasurementPaceMs + DeviceLink::PaceMs);
        QCOMPARE(measurement.lines, (QStringList{"19 ", "37 "}));
        // A refused write does not wait the extra second.
        rig.fake->setRefuseWrites("kit", true);
        timer.restart();
        QVERIFY(rig.link->RequestMeasureOutput(3));
        QVERIFY(timer.elapsed() < DeviceLink::MeasurementPaceMs);
    }

private:
    static bool StripSpacesIsFF(const QString &line) { return QString(line).remove(' ') == QLatin1String("FF"); }
};

QTEST_GUILESS_MAIN(TestLinkProtocol)
#include "tst_linkprotocol.moc"
