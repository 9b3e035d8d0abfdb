// What koru-tool's kit commands share: the program's device link without
// windows, found devices settled, and a way to collect the kit's replies.
#pragma once

#include <QString>
#include <QStringList>

namespace koru {
class DeviceLink;
}

namespace koru::tool {

// The device link once the devices present have been found (USB kits and
// running virtual kits).
DeviceLink &SettledLink();

// Collects reply lines from the moment it is made.
class ReplyCollector
{
public:
    explicit ReplyCollector(DeviceLink &link);
    ~ReplyCollector();

    // Waits until the first reply (at most firstMs), then until no reply has
    // come for quietMs. The lines as received.
    QStringList collect(int firstMs, int quietMs);
    // Waits until a reply "FF" arrives, at most timeoutMs.
    bool waitForReady(int timeoutMs);

    QStringList lines() const { return m_lines; }

private:
    DeviceLink &m_link;
    QStringList m_lines;
    qint64 m_lastReply = -1;
    struct Connection;
    Connection *m_connection;
};

} // namespace koru::tool
