// The background reader of one opened device. A thread reads input reports
// with a short time-out so that it notices a stop request, queues them, and
// the user-interface thread takes them out in order and hands each to the
// link. The thread never touches program state; the queue is the only thing
// both threads share.
#pragma once

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace koru {

class ReportReaderReceiver;

class ReportReader
{
public:
    // Reads one report into buffer: the byte count (> 0), 0 when nothing
    // came within timeoutMs, -1 when the device is gone. Called on the
    // reader thread only.
    using ReadFunction = std::function<int(unsigned char *buffer, int length, int timeoutMs)>;
    using DeliverFunction = std::function<void(const QByteArray &report)>;
    using GoneFunction = std::function<void()>;

    static constexpr int ReadTimeoutMs = 100;
    // Reports read but not yet handled on the user-interface thread. While
    // the queue is full the reader stops reading and the platform's own
    // queue holds what follows, so nothing is dropped in a short stall.
    static constexpr int QueueLimit = 128;

    // context: the object on whose thread deliver and gone run (the device
    // that owns the reader).
    ReportReader(QObject *context, int reportLength, ReadFunction read, DeliverFunction deliver,
                 GoneFunction gone);
    ~ReportReader();

    ReportReader(const ReportReader &) = delete;
    ReportReader(ReportReader &&) = delete;
    ReportReader &operator=(const ReportReader &) = delete;

    void start();         // harmless when running
    void stop();          // tells the thread to stop and joins it; drops unhandled reports
    bool running() const { return m_thread.joinable(); }

private:
    friend class ReportReaderReceiver;
    void run();
    void drain(); // user-interface thread
    void postDrainLocked();

    QObject *m_context;
    // Receives the hand-over events; destroyed with the reader, so an event
    // still queued then is dropped instead of reaching a dead reader.
    std::unique_ptr<ReportReaderReceiver> m_receiver;
    const int m_reportLength;
    ReadFunction m_read;
    DeliverFunction m_deliver;
    GoneFunction m_gone;

    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    // Standard primitives rather than Qt's: ThreadSanitizer sees through
    // them, so a race here would be reported.
    std::mutex m_mutex; // guards everything below
    std::condition_variable m_space;
    std::deque<QByteArray> m_queue;
    bool m_drainPosted = false;
    bool m_deviceGone = false;
};

} // namespace koru
