// The background reader: reports cross from the reader thread to this
// thread in order and none is lost, a slow handler holds the reader back
// instead of losing reports, the device's loss arrives after the reports
// before it, and stopping never hangs. Run under ThreadSanitizer as well.
#include "link/reportreader.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <deque>

using namespace koru;

namespace {

// A device that has `count` reports ready, numbered 0 .. count-1, then
// either stays silent or is unplugged.
struct ScriptedSource
{
    std::atomic<int> next{0};
    int count = 0;
    bool goneAfter = false;
    std::atomic<int> reads{0};

    int read(unsigned char *buffer, int length, int timeoutMs)
    {
        ++reads;
        const int n = next.load();
        if (n < count) {
            buffer[0] = 0;
            if (length > 1)
                buffer[1] = quint8(n & 0xFF);
            if (length > 2)
                buffer[2] = quint8(n >> 8);
            next = n + 1;
            return qMin(length, 3);
        }
        if (goneAfter)
            return -1;
        QThread::msleep(quint64(qMin(timeoutMs, 5)));
        return 0;
    }
};

int numberOf(const QByteArray &report)
{
    return quint8(report[1]) | (quint8(report[2]) << 8);
}

} // namespace

class TestReportReader : public QObject
{
    Q_OBJECT
private slots:
    void deliversEveryReportInOrder()
    {
        QObject context;
        ScriptedSource source;
        source.count = 1000;
        source.goneAfter = true;
        QList<int> got;
        int goneCalls = 0;
        int reportsBeforeGone = -1;
        ReportReader reader(
            &context, 3, [&source](unsigned char *b, int l, int t) { return source.read(b, l, t); },
            [&got](const QByteArray &r) { got.append(numberOf(r)); },
            [&] {
                ++goneCalls;
                reportsBeforeGone = int(got.size());
            });
        reader.start();
        QTRY_COMPARE_WITH_TIMEOUT(goneCalls, 1, 10000);
        QCOMPARE(got.size(), 1000);
        for (int i = 0; i < got.size(); ++i)
            QCOMPARE(got[i], i);
        QCOMPARE(reportsBeforeGone, 1000);
        reader.stop();
        QCOMPARE(goneCalls, 1);
    }

    void slowHandlerLosesNothing()
    {
        // The handler takes a while and the user-interface thread is busy
        // (no events) for long stretches: the reader fills its queue, then
        // waits, and every report still arrives once.
        QObject context;
        ScriptedSource source;
        source.count = 300;
        QList<int> got;
        ReportReader reader(
            &context, 3, [&source](unsigned char *b, int l, int t) { return source.read(b, l, t); },
            [&got](const QByteArray &r) {
                got.append(numberOf(r));
                if (got.size() % 50 == 0)
                    QThread::msleep(30);
            },
            [] {});
        reader.start();
        QThread::msleep(200); // busy: nothing is handed over meanwhile
        QVERIFY(source.next.load() <= ReportReader::QueueLimit + 1);
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 300, 10000);
        for (int i = 0; i < got.size(); ++i)
            QCOMPARE(got[i], i);
    }

    void stopsPromptlyWhileQueueIsFull()
    {
        QObject context;
        ScriptedSource source;
        source.count = 10000;
        int delivered = 0;
        auto *reader = new ReportReader(
            &context, 3, [&source](unsigned char *b, int l, int t) { return source.read(b, l, t); },
            [&delivered](const QByteArray &) { ++delivered; }, [] {});
        reader->start();
        // No events meanwhile: nothing is handed over, the queue fills up.
        for (int i = 0; i < 200 && source.next.load() <= ReportReader::QueueLimit; ++i)
            QThread::msleep(10);
        QVERIFY(source.next.load() > ReportReader::QueueLimit);
        QElapsedTimer timer;
        timer.start();
        delete reader; // the thread is blocked on the full queue
        QVERIFY(timer.elapsed() < 1000);
        // Reports left in the queue are dropped with the reader, not
        // delivered into a dead object: its thread is joined, so whatever
        // it handed over is among the pending events.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 0);
    }

    void stopsPromptlyWhileSilent()
    {
        QObject context;
        ScriptedSource source; // nothing to read, ever
        ReportReader reader(
            &context, 2, [&source](unsigned char *b, int l, int t) { return source.read(b, l, t); },
            [](const QByteArray &) {}, [] {});
        reader.start();
        reader.start(); // harmless
        QTRY_VERIFY(source.reads.load() > 2);
        QElapsedTimer timer;
        timer.start();
        reader.stop();
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(!reader.running());
    }

    void contextDestroyedWithReportsPending()
    {
        // The handler destroys the device that owns the reader: the rest of
        // the queue is not delivered and nothing touches freed memory.
        auto *context = new QObject;
        ScriptedSource source;
        source.count = 50;
        int delivered = 0;
        ReportReader *reader = nullptr;
        reader = new ReportReader(
            context, 3, [&source](unsigned char *b, int l, int t) { return source.read(b, l, t); },
            [&](const QByteArray &) {
                if (++delivered == 3) {
                    delete reader;
                    reader = nullptr;
                    delete context;
                }
            },
            [] {});
        QObject::connect(context, &QObject::destroyed, [] {});
        reader->start();
        QTRY_COMPARE(delivered, 3);
        // The reader was joined inside the handler: nothing more can come
        // than what is pending now.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 3);
    }
};

KORU_TEST_GUILESS_MAIN(TestReportReader)
#include "tst_reportreader.moc"
