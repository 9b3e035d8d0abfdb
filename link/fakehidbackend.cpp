#include "link/fakehidbackend.h"

#include "link/devicelink.h"
#include "link/reportreader.h"

#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace koru {

// The device side of an opened fake: reports wait here until the reader
// thread takes them, as they would in the platform's queue.
struct FakeReportSource
{
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<QByteArray> reports;
    bool gone = false;

    void push(const QByteArray &report)
    {
        {
            std::lock_guard lock(mutex);
            reports.push_back(report);
        }
        arrived.notify_all();
    }

    void unplug()
    {
        {
            std::lock_guard lock(mutex);
            gone = true;
        }
        arrived.notify_all();
    }

    int read(unsigned char *buffer, int length, int timeoutMs)
    {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !reports.empty() || gone; });
        if (!reports.empty()) {
            const QByteArray report = reports.front();
            reports.pop_front();
            const int n = int(qMin<qsizetype>(report.size(), length));
            std::copy_n(report.constData(), n, buffer);
            return n;
        }
        return gone ? -1 : 0;
    }
};

class FakeHidDevice : public HidDevice
{
public:
    FakeHidDevice(FakeHidBackend *backend, const HidDeviceInfo &info)
        : m_backend(backend), m_path(info.path), m_source(std::make_shared<FakeReportSource>()),
          m_reader(this, qMax<int>(info.inputReportLength, 2),
                   [source = m_source](unsigned char *buffer, int length, int timeoutMs) {
                       return source->read(buffer, length, timeoutMs);
                   },
                   [this](const QByteArray &report) { emit inputReport(report); },
                   [this] { markGone(); })
    {
    }

    ~FakeHidDevice() override { m_reader.stop(); }

    bool write(const QByteArray &report) override
    {
        if (isGone() || !m_backend)
            return false;
        return m_backend->writeFrom(m_path, report);
    }

    void startReading() override { m_reader.start(); }

    void send(const QByteArray &report) { m_source->push(report); }
    void unplug()
    {
        m_source->unplug();
        if (!m_reader.running()) // nobody reads: the loss still shows
            QTimer::singleShot(0, this, [this] { markGone(); });
    }

private:
    QPointer<FakeHidBackend> m_backend;
    QString m_path;
    std::shared_ptr<FakeReportSource> m_source;
    ReportReader m_reader;
};

FakeHidBackend::~FakeHidBackend() = default;

HidDeviceInfo FakeHidBackend::kitInfo(const QString &path, int outputReportLength, int inputReportLength)
{
    HidDeviceInfo info;
    info.path = path;
    info.vendorId = 0x04D8;
    info.productId = 0x003F;
    info.product = KitDisplayName;
    info.inputReportLength = quint16(inputReportLength);
    info.outputReportLength = quint16(outputReportLength);
    return info;
}

FakeHidBackend::Device *FakeHidBackend::find(const QString &path)
{
    for (Device &d : m_devices)
        if (d.info.path == path)
            return &d;
    return nullptr;
}

const FakeHidBackend::Device *FakeHidBackend::find(const QString &path) const
{
    return const_cast<FakeHidBackend *>(this)->find(path);
}

void FakeHidBackend::plug(const HidDeviceInfo &info)
{
    if (find(info.path))
        unplug(info.path);
    Device device;
    device.info = info;
    m_writes.remove(info.path);
    m_values.remove(info.path);
    m_devices.append(device);
    emit devicesChanged();
}

void FakeHidBackend::unplug(const QString &path)
{
    for (qsizetype i = 0; i < m_devices.size(); ++i) {
        if (m_devices[i].info.path != path)
            continue;
        if (m_devices[i].open)
            m_devices[i].open->unplug();
        m_devices.removeAt(i);
        emit devicesChanged();
        return;
    }
}

void FakeHidBackend::setOpenStatus(const QString &path, OpenStatus status)
{
    if (Device *d = find(path))
        d->openStatus = status;
}

void FakeHidBackend::setRefuseWrites(const QString &path, bool refuse)
{
    if (Device *d = find(path))
        d->refuseWrites = refuse;
}

void FakeHidBackend::refuseWriteNumbers(const QString &path, const QList<int> &numbers)
{
    if (Device *d = find(path))
        d->refusedNumbers = numbers;
}

void FakeHidBackend::unplugAfterWrites(const QString &path, int n)
{
    if (Device *d = find(path))
        d->unplugAfter = n;
}

void FakeHidBackend::setResponder(const QString &path, Responder responder)
{
    if (Device *d = find(path))
        d->responder = std::move(responder);
}

FakeHidBackend::Responder FakeHidBackend::readyResponder()
{
    return [](const QByteArray &report) -> QList<QByteArray> {
        const int value = report.size() > 1 ? quint8(report[1]) : -1;
        if (value == kit::FrameEnd || value == kit::Run || value == kit::Play)
            return {QByteArray("\x00\xFF", 2)};
        return {};
    };
}

void FakeHidBackend::inject(const QString &path, const QByteArray &report)
{
    if (Device *d = find(path); d && d->open)
        d->open->send(report);
}

bool FakeHidBackend::writeFrom(const QString &path, const QByteArray &report)
{
    Device *d = find(path);
    if (!d)
        return false;
    QList<int> &values = m_values[path];
    m_writes[path].append(report);
    if (d->refuseWrites || d->refusedNumbers.contains(int(m_writes[path].size())))
        return false;
    values.append(report.size() > 1 ? quint8(report[1]) : -1);
    if (d->responder && d->open)
        for (const QByteArray &reply : d->responder(report))
            d->open->send(reply);
    if (d->unplugAfter >= 0 && values.size() >= d->unplugAfter) {
        // Pulled out a moment later, while the link waits between values.
        QTimer::singleShot(5, this, [this, path] { unplug(path); });
        d->unplugAfter = -1;
    }
    return true;
}

QList<QByteArray> FakeHidBackend::writes(const QString &path) const
{
    return m_writes.value(path);
}

QList<int> FakeHidBackend::writtenValues(const QString &path) const
{
    return m_values.value(path);
}

int FakeHidBackend::openCount(const QString &path) const
{
    const Device *d = find(path);
    return d ? d->openCount : 0;
}

bool FakeHidBackend::isOpen(const QString &path) const
{
    const Device *d = find(path);
    return d && d->open && !d->open->isGone();
}

QList<HidDeviceInfo> FakeHidBackend::enumerate()
{
    QList<HidDeviceInfo> list;
    for (const Device &d : m_devices)
        list.append(d.info);
    return list;
}

OpenResult FakeHidBackend::open(const HidDeviceInfo &info)
{
    OpenResult result;
    Device *d = find(info.path);
    if (!d)
        return result;
    result.status = d->openStatus;
    if (d->openStatus != OpenStatus::Opened)
        return result;
    ++d->openCount;
    auto device = std::make_unique<FakeHidDevice>(this, d->info);
    d->open = device.get();
    result.device = std::move(device);
    return result;
}

} // namespace koru
