// A scripted stand-in for HID devices, for tests of the link and of the
// editors' transfer and run commands. Devices are plugged and unplugged by
// the test; each opened device runs the same background reader as a real
// one, fed from the script on its own thread. Failure switches: refused
// writes, unplugging after a number of writes, refused opens, a kit that
// never answers, and any reply bytes the test likes.
#pragma once

#include "link/hidbackend.h"

#include <QCoreApplication>

#include <QHash>
#include <QPointer>

#include <functional>
#include <memory>

namespace koru {

class FakeHidDevice;
struct FakeReportSource;

class FakeHidBackend : public HidBackend
{
    Q_OBJECT
public:
    explicit FakeHidBackend(QObject *parent = nullptr) : HidBackend(parent) {}
    ~FakeHidBackend() override;

    // A kit as the link expects it: product "ORBA", no serial.
    static HidDeviceInfo kitInfo(const QString &path, int outputReportLength = 2, int inputReportLength = 2);
    // A scripted kit exists in this process only: tests running side by
    // side with the same paths must not wait for each other.
    QString lockId(const HidDeviceInfo &info) const override
    {
        return QStringLiteral("fake-%1-%2").arg(QCoreApplication::applicationPid()).arg(info.path);
    }

    // Adds a device at the end of the enumeration order and announces the
    // change. Paths are unique; plugging a known path again replaces it.
    void plug(const HidDeviceInfo &info);
    // Removes the device: its reader sees the device gone, writes fail.
    void unplug(const QString &path);

    // What the next opens of path answer (default Opened).
    void setOpenStatus(const QString &path, OpenStatus status);
    // Every write to path is refused (the report is still recorded as tried).
    void setRefuseWrites(const QString &path, bool refuse);
    // Write numbers (from 1) that are refused.
    void refuseWriteNumbers(const QString &path, const QList<int> &numbers);
    // Unplugs the device right after its n-th write was accepted.
    void unplugAfterWrites(const QString &path, int n);
    // Called for every accepted write with the whole report; the reports it
    // returns are sent back as the kit's input reports.
    using Responder = std::function<QList<QByteArray>(const QByteArray &report)>;
    void setResponder(const QString &path, Responder responder);
    // Answers [0, FF] to every frame end and run or play request, like a
    // kit that finishes at once.
    static Responder readyResponder();

    // Sends one input report (report ID first) from the device, as if the
    // kit had sent it. Ignored when the device is not open.
    void inject(const QString &path, const QByteArray &report);

    // Every write tried on the device since it was last plugged (kept after
    // it is unplugged), report ID first.
    QList<QByteArray> writes(const QString &path) const;
    // The value of each accepted write (byte 1), in order.
    QList<int> writtenValues(const QString &path) const;
    int openCount(const QString &path) const;
    bool isOpen(const QString &path) const;

    QList<HidDeviceInfo> enumerate() override;
    OpenResult open(const HidDeviceInfo &info) override;

private:
    friend class FakeHidDevice;
    struct Device
    {
        HidDeviceInfo info;
        OpenStatus openStatus = OpenStatus::Opened;
        bool refuseWrites = false;
        QList<int> refusedNumbers;
        int unplugAfter = -1;
        Responder responder;
        int openCount = 0;
        QPointer<FakeHidDevice> open;
    };
    bool writeFrom(const QString &path, const QByteArray &report);

    QList<Device> m_devices;
    // Kept after an unplug, so a test can see what reached the device.
    QHash<QString, QList<QByteArray>> m_writes;
    QHash<QString, QList<int>> m_values;
    Device *find(const QString &path);
    const Device *find(const QString &path) const;
};

} // namespace koru
