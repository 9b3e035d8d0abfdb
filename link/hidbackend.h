// The lowest layer of the device link: a source of HID devices. The hidapi
// backend talks to USB devices, the virtual-kit backend to koru-kit
// processes over a local socket, and tests use a scripted fake. The link
// knows them only through this interface.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace koru {

// One device found by an enumeration.
struct HidDeviceInfo
{
    QString path;     // how the backend opens it again
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString product;  // empty when the device has none
    QString serial;   // empty when the device has none
    quint16 inputReportLength = 0;  // report ID byte included
    quint16 outputReportLength = 0; // report ID byte included

    bool operator==(const HidDeviceInfo &) const = default;
};

// The product string, or "Device VID=04D8 PID=003F" without one; then
// " (Serial=...)" when the device has a serial string.
QString DisplayName(const HidDeviceInfo &info);

// The display name that makes a device the kit.
inline const QString KitDisplayName = QStringLiteral("ORBA");

// An opened device. Lives on the user-interface thread; input reports and
// the loss of the device are signalled there.
class HidDevice : public QObject
{
    Q_OBJECT
public:
    explicit HidDevice(QObject *parent = nullptr) : QObject(parent) {}
    ~HidDevice() override = default;

    // Writes one whole output report, report ID first. False when the
    // platform refused it or the device is gone.
    virtual bool write(const QByteArray &report) = 0;

    // Starts delivering input reports through inputReport(). Harmless when
    // already started.
    virtual void startReading() = 0;

    bool isGone() const { return m_gone; }

signals:
    // One whole input report, report ID first. The next one is delivered
    // only after every slot connected to this has returned.
    void inputReport(const QByteArray &report);
    // The device went away (unplugged, connection closed). Emitted once.
    void gone();

protected:
    // For implementations: marks the device gone and signals it once.
    void markGone()
    {
        if (m_gone)
            return;
        m_gone = true;
        emit gone();
    }

private:
    bool m_gone = false;
};

enum class OpenStatus {
    Opened,
    PermissionDenied, // worth trying again shortly (access rights follow a plug-in)
    Failed,
};

struct OpenResult
{
    std::unique_ptr<HidDevice> device; // set when Opened
    OpenStatus status = OpenStatus::Failed;
};

class HidBackend : public QObject
{
    Q_OBJECT
public:
    explicit HidBackend(QObject *parent = nullptr) : QObject(parent) {}
    ~HidBackend() override = default;

    // The devices present now, in a stable order.
    virtual QList<HidDeviceInfo> enumerate() = 0;
    virtual OpenResult open(const HidDeviceInfo &info) = 0;

    // False while the backend is still finding out which devices it has
    // (virtual kits that have not said hello yet).
    virtual bool settled() const { return true; }
    // The name under which senders of every process agree on a device
    // (KitLock): its path, which every process sees the same.
    virtual QString lockId(const HidDeviceInfo &info) const { return info.path; }

signals:
    // The device list may have changed: enumerate again.
    void devicesChanged();
};

} // namespace koru
