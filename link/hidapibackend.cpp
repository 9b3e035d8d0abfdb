#include "link/hidapibackend.h"

#include "link/reportdescriptor.h"
#include "link/reportreader.h"

#include <QFile>
#include <QFileInfo>

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <tuple>
#include <unistd.h>

namespace koru {

namespace {

QString fromWide(const wchar_t *text)
{
    return text ? QString::fromWCharArray(text).left(254) : QString();
}

// /dev/hidraw3 -> the kernel's copy of that node's report descriptor. When
// it cannot be read, one unnumbered data byte each way (what the kit's
// protocol needs) is assumed.
ReportLengths lengthsOf(const QString &devicePath)
{
    const QString node = QFileInfo(devicePath).fileName();
    QFile file(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(node));
    if (!file.open(QIODevice::ReadOnly))
        return {2, 2, false};
    return ParseReportDescriptor(file.read(4096));
}

// One opened hidraw device. Writes go through one handle on the
// user-interface thread; the reader thread has a second handle of its own,
// so no hidapi handle is ever used by two threads.
class HidapiDevice : public HidDevice
{
public:
    HidapiDevice(const HidDeviceInfo &info, bool numbered, hid_device *writeHandle, hid_device *readHandle)
        : m_path(info.path), m_writeHandle(writeHandle),
          m_readHandle(readHandle),
          m_reader(this, qMax<int>(info.inputReportLength, 2),
                   WithReportIdByte(
                       [handle = readHandle](unsigned char *buffer, int length, int timeoutMs) {
                           return hid_read_timeout(handle, buffer, size_t(length), timeoutMs);
                       },
                       numbered),
                   [this](const QByteArray &report) { emit inputReport(report); },
                   [this] { markGone(); })
    {
    }

    ~HidapiDevice() override
    {
        m_reader.stop(); // joined before its handle is closed
        hid_close(m_readHandle);
        hid_close(m_writeHandle);
    }

    bool write(const QByteArray &report) override
    {
        if (isGone())
            return false;
        const int n = hid_write(m_writeHandle, reinterpret_cast<const unsigned char *>(report.constData()),
                                size_t(report.size()));
        if (n < 0 && !QFileInfo::exists(m_path))
            markGone();
        return n == report.size();
    }

    void startReading() override { m_reader.start(); }

private:
    QString m_path;
    hid_device *m_writeHandle;
    hid_device *m_readHandle;
    ReportReader m_reader;
};

} // namespace

ReportReader::ReadFunction WithReportIdByte(ReportReader::ReadFunction raw, bool numbered)
{
    if (numbered)
        return raw;
    return [raw = std::move(raw)](unsigned char *buffer, int length, int timeoutMs) {
        if (length < 2)
            return raw(buffer, length, timeoutMs);
        const int n = raw(buffer + 1, length - 1, timeoutMs);
        if (n <= 0)
            return n;
        buffer[0] = 0;
        return n + 1;
    };
}

HidapiBackend::HidapiBackend(QObject *parent) : HidBackend(parent)
{
    m_initialised = hid_init() == 0;
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor && udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) >= 0
        && udev_monitor_enable_receiving(m_monitor) >= 0) {
        const int fd = udev_monitor_get_fd(m_monitor);
        if (fd >= 0) {
            m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            connect(m_notifier.get(), &QSocketNotifier::activated, this, &HidapiBackend::onUdevActivity);
        }
    }
}

HidapiBackend::~HidapiBackend()
{
    m_notifier.reset();
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
    if (m_initialised)
        hid_exit();
}

void HidapiBackend::onUdevActivity()
{
    // Take every waiting event; the list is read afresh anyway.
    while (udev_device *device = udev_monitor_receive_device(m_monitor))
        udev_device_unref(device);
    emit devicesChanged();
}

QList<HidDeviceInfo> HidapiBackend::enumerate()
{
    QList<HidDeviceInfo> devices;
    if (!m_initialised)
        return devices;
    hid_device_info *list = hid_enumerate(0, 0);
    for (hid_device_info *d = list; d; d = d->next) {
        if (!d->path)
            continue;
        HidDeviceInfo info;
        info.path = QString::fromLocal8Bit(d->path);
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.product = fromWide(d->product_string);
        info.serial = fromWide(d->serial_number);
        const ReportLengths lengths = lengthsOf(info.path);
        info.inputReportLength = quint16(lengths.input);
        info.outputReportLength = quint16(lengths.output);
        devices.append(info);
    }
    hid_free_enumeration(list);
    // In the order the devices were plugged in (their nodes' times, then
    // their paths), not the order the system lists them in: the newest comes
    // last, for every program that looks.
    std::stable_sort(devices.begin(), devices.end(), [](const HidDeviceInfo &a, const HidDeviceInfo &b) {
        const qint64 ta = QFileInfo(a.path).lastModified().toMSecsSinceEpoch();
        const qint64 tb = QFileInfo(b.path).lastModified().toMSecsSinceEpoch();
        return std::tie(ta, a.path) < std::tie(tb, b.path);
    });
    return devices;
}

OpenResult HidapiBackend::open(const HidDeviceInfo &info)
{
    OpenResult result;
    if (!m_initialised)
        return result;
    const QByteArray path = info.path.toLocal8Bit();
    hid_device *writeHandle = hid_open_path(path.constData());
    hid_device *readHandle = writeHandle ? hid_open_path(path.constData()) : nullptr;
    if (!writeHandle || !readHandle) {
        if (writeHandle)
            hid_close(writeHandle);
        if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES)
            result.status = OpenStatus::PermissionDenied;
        return result;
    }
    result.device = std::make_unique<HidapiDevice>(info, lengthsOf(info.path).numbered, writeHandle, readHandle);
    result.status = OpenStatus::Opened;
    return result;
}

} // namespace koru
