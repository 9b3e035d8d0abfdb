// Virtual kits (koru-kit processes) reached over local sockets, found in the
// per-user kit folder and watched as they come and go. Each kit that says
// hello is one device; see VIRTUAL_KIT.md for the framing.
#pragma once

#include "link/hidbackend.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QPointer>
#include <QSet>

namespace koru {

class VirtualKitConnection;

class VirtualKitBackend : public HidBackend
{
    Q_OBJECT
public:
    // folder: where the kits' sockets are; empty for the per-user kit folder.
    explicit VirtualKitBackend(const QString &folder = {}, QObject *parent = nullptr);
    ~VirtualKitBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    OpenResult open(const HidDeviceInfo &info) override;
    bool settled() const override;

    static constexpr int HelloTimeoutMs = 2000;
    static constexpr QLatin1StringView PathPrefix{"virtual:"};

private:
    void scan();
    void onHello(VirtualKitConnection *connection);
    void onClosed(VirtualKitConnection *connection);

    QString m_folder;
    QFileSystemWatcher m_watcher;
    QHash<QString, QPointer<VirtualKitConnection>> m_connections; // by socket path
    QSet<QString> m_refused; // sockets nobody answers on, until the folder changes
};

} // namespace koru
