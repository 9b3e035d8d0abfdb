// One sender per kit, across processes: the program and any number of
// koru-tool runs may see the same kit, but the kit reads one stream of
// values, and two interleaved transfers leave a splice of both in its
// memory. A KitLock is an exclusive lock on a file named after the kit's ID
// in the user's runtime folder; the system drops it when its holder ends,
// crashed or not, so no stale lock outlives a process.
#pragma once

#include <QString>

namespace koru {

// Shown when another sender kept the kit for longer than a sender waits.
inline const QString KitBusyMessage = QStringLiteral("本体は別の転送中です");

class KitLock
{
public:
    KitLock() = default;
    ~KitLock();
    KitLock(const KitLock &) = delete;
    KitLock &operator=(const KitLock &) = delete;

    // Takes the lock of the kit with this ID without waiting; true when held
    // (also when this object held it already). A lock of another kit held
    // before is released first.
    bool tryLock(const QString &kitId);
    void unlock();
    bool isLocked() const { return m_fd >= 0 || m_withoutFile; }

    // The lock file of a kit (its folder is created on first use).
    static QString pathFor(const QString &kitId);

private:
    int m_fd = -1;
    bool m_withoutFile = false;
    QString m_kitId;
};

} // namespace koru
