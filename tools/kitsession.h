// What koru-tool's kit commands share: a device link without windows, found
// devices settled, a way to wait for what the link reports, and a way to
// collect the kit's replies. A command runs the event loop until the event
// it waits for (or its time-out): that loop is the tool's main loop.
#pragma once

#include "link/paceclock.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace koru {
class DeviceLink;
}

namespace koru::tool {

// The tool's link and its real-time clock. main() owns the one session of a
// run; its link is made when a kit command first asks for it, so commands
// that never touch a kit never look for one.
class KitSession
{
public:
    // wantedKit: only the device with this ID may be the kit (--kit);
    // empty: the newest named like the kit.
    explicit KitSession(QString wantedKit = {});
    ~KitSession();
    KitSession(const KitSession &) = delete;
    KitSession &operator=(const KitSession &) = delete;

    DeviceLink &link();
    QString wantedKit() const { return m_wantedKit; }

private:
    QString m_wantedKit;
    TimerPaceClock m_clock;
    std::unique_ptr<DeviceLink> m_link;
};

// Makes session the one the kit commands use (nullptr: none).
void UseKitSession(KitSession *session);

// The kit the session was told to talk to (--kit), or empty.
QString SessionWantedKit();

// The session's link once the devices present have been found (USB kits and
// running virtual kits).
DeviceLink &SettledLink();

// Runs the event loop until done() holds or timeoutMs have passed; done is
// checked whenever the link reports something. True when done() held.
bool RunUntil(DeviceLink &link, const std::function<bool()> &done, int timeoutMs);

// Sends values as a transfer and waits until the last one is out. False
// without a kit or when it went away meanwhile.
bool TransferAndWait(DeviceLink &link, const QList<int> &values);
// Waits until a single request started by request() is out; false when the
// request was refused (no kit) or the kit went away.
bool RequestAndWait(DeviceLink &link, const std::function<bool()> &request);

// Why a transfer or request failed: another process kept the kit
// (KitBusyMessage), else the kit is missing or went away.
QString SendFailure(const DeviceLink &link);

// Collects reply lines from the moment it is made, starting afresh when a
// transfer or request of this process starts (what came before answers
// someone else). Keeps at most maxLines lines: a kit that floods costs no
// memory beyond them.
class ReplyCollector
{
public:
    explicit ReplyCollector(DeviceLink &link, int maxLines = 1024);
    ~ReplyCollector();

    // Waits until the first reply (at most firstMs), then until expected
    // lines have come or no reply has come for quietMs (a kit that answers
    // less). At most the first expected lines, as received.
    QStringList collect(int firstMs, int quietMs, int expected);
    // Waits until a reply "FF" arrives, at most timeoutMs, or until the
    // kit goes away.
    bool waitForReady(int timeoutMs);

    QStringList lines() const { return m_lines; }

private:
    DeviceLink &m_link;
    QStringList m_lines;
    int m_maxLines;
    bool m_ready = false;
    struct Connection;
    Connection *m_connection;
};

} // namespace koru::tool
