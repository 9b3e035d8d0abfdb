#include "link/kitlock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace koru {

namespace {

QString lockFolder()
{
    // The folder the virtual kits' sockets live in is private to the user
    // and emptied at log-out; without one, a per-user folder in /tmp.
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath() + QStringLiteral("/koru-%1").arg(::getuid());
    return base + QStringLiteral("/koru-locks");
}

} // namespace

KitLock::~KitLock()
{
    unlock();
}

QString KitLock::pathFor(const QString &kitId)
{
    // A kit's ID is a device path or a socket path: hashed, it makes a
    // plain file name of fixed length.
    const QByteArray hash = QCryptographicHash::hash(kitId.toUtf8(), QCryptographicHash::Sha1).toHex();
    return lockFolder() + QLatin1Char('/') + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

bool KitLock::tryLock(const QString &kitId)
{
    if (isLocked() && kitId == m_kitId)
        return true;
    unlock();
    const QString path = pathFor(kitId);
    QDir().mkpath(QFileInfo(path).path());
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // No lock file can be made here (a read-only or full runtime
        // folder): send as before rather than never.
        m_withoutFile = true;
        m_kitId = kitId;
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_kitId = kitId;
    return true;
}

void KitLock::unlock()
{
    m_withoutFile = false;
    if (m_fd < 0) {
        m_kitId.clear();
        return;
    }
    // The file stays: removing it could let a third sender lock a new file
    // while the second still waits on the old one.
    ::close(m_fd);
    m_fd = -1;
    m_kitId.clear();
}

} // namespace koru
