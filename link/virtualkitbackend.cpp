#include "link/virtualkitbackend.h"

#include "kitprotocol/virtualkitprotocol.h"
#include "model/localsocket.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <tuple>

namespace koru {

using namespace virtualkit;

class VirtualKitDevice;

// One connection to one kit, from connecting until it closes.
class VirtualKitConnection : public QObject
{
    Q_OBJECT
public:
    VirtualKitConnection(const QString &socketPath, QObject *parent) : QObject(parent), socketPath(socketPath)
    {
        socket = new LocalSocket(this);
        helloTimer.setSingleShot(true);
        helloTimer.setInterval(VirtualKitBackend::HelloTimeoutMs);
        connect(&helloTimer, &QTimer::timeout, this, &VirtualKitConnection::fail);
        connect(socket, &LocalSocket::readyRead, this, &VirtualKitConnection::onReadyRead);
        connect(socket, &LocalSocket::disconnected, this, &VirtualKitConnection::fail);
        helloTimer.start();
        socket->connectToServer(socketPath);
    }

    bool write(const QByteArray &report)
    {
        if (closed || !socket->isConnected())
            return false;
        return socket->write(EncodeMessage(OutputReport, report));
    }

    const QString socketPath;
    LocalSocket *socket = nullptr;
    std::optional<HelloInfo> hello;
    // When the kit's socket appeared (its start), read once: the same for
    // every program that looks, unlike the order in which hellos arrive.
    qint64 startedMs = 0;
    bool closed = false;
    QPointer<VirtualKitDevice> device; // the opened device, if any

signals:
    void helloReceived(VirtualKitConnection *self);
    void closedDown(VirtualKitConnection *self);
    void inputReport(const QByteArray &report);

private:
    void onReadyRead()
    {
        QPointer<VirtualKitConnection> alive(this);
        reader.append(socket->readAll());
        while (alive && !closed) {
            const std::optional<Message> message = reader.next();
            if (!message)
                break;
            if (!hello) {
                hello = message->type == Hello ? DecodeHello(message->payload) : std::nullopt;
                if (!hello) {
                    fail();
                    return;
                }
                helloTimer.stop();
                emit helloReceived(this);
            } else if (message->type == InputReport && !message->payload.isEmpty()) {
                emit inputReport(message->payload.left(hello->inputReportLength));
            }
        }
        if (alive && reader.broken())
            fail();
    }

    void fail()
    {
        if (closed)
            return;
        closed = true;
        helloTimer.stop();
        socket->abort();
        emit closedDown(this);
    }

    MessageReader reader;
    QTimer helloTimer;
};

class VirtualKitDevice : public HidDevice
{
    Q_OBJECT
public:
    explicit VirtualKitDevice(VirtualKitConnection *connection) : m_connection(connection)
    {
        connect(connection, &VirtualKitConnection::closedDown, this, [this] { markGone(); });
        connect(connection, &QObject::destroyed, this, [this] { markGone(); });
    }

    bool write(const QByteArray &report) override
    {
        if (isGone() || !m_connection)
            return false;
        return m_connection->write(report);
    }

    void startReading() override
    {
        if (m_reading || !m_connection)
            return;
        m_reading = true;
        connect(m_connection, &VirtualKitConnection::inputReport, this, &HidDevice::inputReport);
    }

private:
    QPointer<VirtualKitConnection> m_connection;
    bool m_reading = false;
};

VirtualKitBackend::VirtualKitBackend(const QString &folder, QObject *parent)
    : HidBackend(parent), m_folder(folder.isEmpty() ? KitFolder() : folder)
{
    if (folder.isEmpty())
        EnsureKitFolder();
    else
        QDir().mkpath(m_folder);
    m_watcher.addPath(m_folder);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        m_refused.clear();
        scan();
    });
    scan();
}

VirtualKitBackend::~VirtualKitBackend() = default;

void VirtualKitBackend::scan()
{
    const QDir dir(m_folder);
    const QStringList names = dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (m_connections.contains(path) || m_refused.contains(path))
            continue;
        auto *connection = new VirtualKitConnection(path, this);
        connect(connection, &VirtualKitConnection::helloReceived, this, &VirtualKitBackend::onHello);
        connect(connection, &VirtualKitConnection::closedDown, this, &VirtualKitBackend::onClosed);
        m_connections.insert(path, connection);
    }
}

void VirtualKitBackend::onHello(VirtualKitConnection *connection)
{
    connection->startedMs = QFileInfo(connection->socketPath).lastModified().toMSecsSinceEpoch();
    emit devicesChanged();
}

void VirtualKitBackend::onClosed(VirtualKitConnection *connection)
{
    const bool wasDevice = connection->hello.has_value();
    if (!wasDevice)
        m_refused.insert(connection->socketPath);
    m_connections.remove(connection->socketPath);
    connection->deleteLater();
    // A connection that never said hello still counts: settled() changes.
    // A kit that broke its connection is tried again only when the folder
    // changes (a kit restarting makes a new socket).
    emit devicesChanged();
}

bool VirtualKitBackend::settled() const
{
    return std::all_of(m_connections.begin(), m_connections.end(),
                       [](const QPointer<VirtualKitConnection> &c) { return !c || c->hello || c->closed; });
}

QList<HidDeviceInfo> VirtualKitBackend::enumerate()
{
    QList<VirtualKitConnection *> ready;
    for (const auto &c : std::as_const(m_connections))
        if (c && c->hello && !c->closed)
            ready.append(c);
    // In the order the kits started (their sockets' times, then their
    // paths): the newest kit comes last, for every program that looks.
    std::sort(ready.begin(), ready.end(), [](const VirtualKitConnection *a, const VirtualKitConnection *b) {
        return std::tie(a->startedMs, a->socketPath) < std::tie(b->startedMs, b->socketPath);
    });
    QList<HidDeviceInfo> devices;
    for (const VirtualKitConnection *c : ready) {
        HidDeviceInfo info;
        info.path = PathPrefix + c->socketPath;
        info.vendorId = c->hello->vendorId;
        info.productId = c->hello->productId;
        info.product = c->hello->product.left(254);
        info.serial = c->hello->serial.left(254);
        info.inputReportLength = c->hello->inputReportLength;
        info.outputReportLength = c->hello->outputReportLength;
        devices.append(info);
    }
    return devices;
}

OpenResult VirtualKitBackend::open(const HidDeviceInfo &info)
{
    OpenResult result;
    if (!info.path.startsWith(PathPrefix))
        return result;
    VirtualKitConnection *connection = m_connections.value(info.path.mid(PathPrefix.size()));
    if (!connection || !connection->hello || connection->closed)
        return result;
    auto device = std::make_unique<VirtualKitDevice>(connection);
    connection->device = device.get();
    result.device = std::move(device);
    result.status = OpenStatus::Opened;
    return result;
}

} // namespace koru

#include "virtualkitbackend.moc"
