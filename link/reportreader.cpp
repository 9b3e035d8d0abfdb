#include "link/reportreader.h"

#include <QMetaObject>
#include <QPointer>

#include <vector>

namespace koru {

// Receives the reader's hand-over calls on the user-interface thread. The
// call is posted by name, so the thread hands over no object of its own:
// the queue under the mutex is the only shared data.
class ReportReaderReceiver : public QObject
{
    Q_OBJECT
public:
    explicit ReportReaderReceiver(ReportReader *reader) : m_reader(reader) {}
    Q_INVOKABLE void drain() { m_reader->drain(); }

private:
    ReportReader *m_reader;
};

ReportReader::ReportReader(QObject *context, int reportLength, ReadFunction read, DeliverFunction deliver,
                           GoneFunction gone)
    : m_context(context), m_receiver(std::make_unique<ReportReaderReceiver>(this)),
      m_reportLength(qMax(1, reportLength)), m_read(std::move(read)), m_deliver(std::move(deliver)),
      m_gone(std::move(gone))
{
    if (m_context)
        m_receiver->moveToThread(m_context->thread());
}

ReportReader::~ReportReader()
{
    stop();
}

void ReportReader::start()
{
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void ReportReader::stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_space.notify_all();
    m_thread.join();
    std::lock_guard lock(m_mutex);
    m_queue.clear();
}

void ReportReader::run()
{
    std::vector<unsigned char> buffer(static_cast<size_t>(m_reportLength));
    while (!m_stop) {
        std::fill(buffer.begin(), buffer.end(), 0);
        const int n = m_read(buffer.data(), m_reportLength, ReadTimeoutMs);
        if (n < 0) {
            std::lock_guard lock(m_mutex);
            m_deviceGone = true;
            postDrainLocked();
            return;
        }
        if (n == 0)
            continue;
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [this] { return m_queue.size() < size_t(QueueLimit) || m_stop; });
        if (m_stop)
            return;
        m_queue.emplace_back(reinterpret_cast<const char *>(buffer.data()), qMin(n, m_reportLength));
        postDrainLocked();
    }
}

void ReportReader::postDrainLocked()
{
    if (m_drainPosted)
        return;
    m_drainPosted = true;
    // Dropped by Qt when the reader (its receiver) is destroyed first.
    QMetaObject::invokeMethod(m_receiver.get(), "drain", Qt::QueuedConnection);
}

void ReportReader::drain()
{
    QPointer<QObject> alive(m_receiver.get());
    // Copies: a handler may destroy this reader while it runs.
    const DeliverFunction deliver = m_deliver;
    const GoneFunction gone = m_gone;
    for (;;) {
        QByteArray report;
        bool goneNow = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) {
                m_drainPosted = false;
                goneNow = m_deviceGone;
                m_deviceGone = false;
            } else {
                report = std::move(m_queue.front());
                m_queue.pop_front();
                m_space.notify_all();
            }
        }
        if (report.isEmpty()) {
            if (goneNow && gone)
                gone();
            return;
        }
        // The handler may wait (and so process events) or even destroy the
        // device and this reader with it; then nothing of it is touched.
        if (deliver)
            deliver(report);
        if (!alive)
            return;
    }
}

} // namespace koru

#include "reportreader.moc"
