#include "model/localsocket.h"

#include <QDir>
#include <QDeadlineTimer>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace koru {

namespace {

constexpr int ReadChunk = 64 * 1024;
constexpr int ChunksPerWake = 16; // a peer that keeps sending does not hold up the program

// The socket address of path; false when the path does not fit in one.
bool AddressOf(const QString &path, sockaddr_un &address)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (encoded.isEmpty() || encoded.size() >= int(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, encoded.constData(), encoded.size());
    return true;
}

int NewSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

} // namespace

QString LocalSocketPath(const QString &name)
{
    if (QDir::isAbsolutePath(name))
        return name;
    return QDir::tempPath() + QLatin1Char('/') + name;
}

LocalSocket::LocalSocket(QObject *parent) : QObject(parent)
{
}

LocalSocket::~LocalSocket()
{
    closeDown(false);
}

bool LocalSocket::connectToServer(const QString &name)
{
    abort();
    m_in.clear();
    sockaddr_un address;
    int fd = AddressOf(LocalSocketPath(name), address) ? NewSocket() : -1;
    if (fd >= 0) {
        int result;
        do
            result = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        while (result < 0 && errno == EINTR);
        // A local connection is not in progress: it is made, or refused
        // (EAGAIN too: the listener's queue is full).
        if (result < 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        // Reported the way a broken connection is, once events are processed.
        QTimer::singleShot(0, this, &LocalSocket::disconnected);
        return false;
    }
    adopt(fd);
    return true;
}

void LocalSocket::adopt(int fd)
{
    m_fd = fd;
    m_readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_readable.get(), &QSocketNotifier::activated, this, &LocalSocket::readFromPeer);
    m_writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    m_writable->setEnabled(false);
    connect(m_writable.get(), &QSocketNotifier::activated, this, &LocalSocket::sendQueued);
}

bool LocalSocket::write(const QByteArray &data)
{
    if (m_fd < 0)
        return false;
    m_out.append(data);
    sendQueued();
    return true;
}

void LocalSocket::sendQueued()
{
    while (m_fd >= 0 && !m_out.isEmpty()) {
        const ssize_t sent = ::send(m_fd, m_out.constData(), size_t(m_out.size()), MSG_NOSIGNAL);
        if (sent > 0) {
            m_out.remove(0, qsizetype(sent));
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            closeDown(true);
            return;
        }
    }
    if (m_writable)
        m_writable->setEnabled(m_fd >= 0 && !m_out.isEmpty());
}

bool LocalSocket::waitForWritten(int msecs)
{
    QDeadlineTimer deadline(msecs);
    sendQueued();
    while (m_fd >= 0 && !m_out.isEmpty()) {
        pollfd waiting{m_fd, POLLOUT, 0};
        const int ready = ::poll(&waiting, 1, int(deadline.remainingTime()));
        if (ready == 0)
            return false;
        if (ready < 0 && errno != EINTR)
            return false;
        sendQueued();
    }
    return m_fd >= 0 && m_out.isEmpty();
}

void LocalSocket::readFromPeer()
{
    bool arrived = false;
    bool ended = false;
    char chunk[ReadChunk];
    for (int i = 0; i < ChunksPerWake; ++i) {
        const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (got > 0) {
            m_in.append(chunk, qsizetype(got));
            arrived = true;
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            ended = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
    }
    if (ended)
        closeDown(false); // before readyRead, so that its handler sees the end
    const QPointer<LocalSocket> alive(this);
    if (arrived)
        emit readyRead();
    if (ended && alive)
        emit disconnected();
}

QByteArray LocalSocket::readAll()
{
    return std::exchange(m_in, {});
}

void LocalSocket::abort()
{
    m_out.clear();
    closeDown(false);
}

void LocalSocket::closeDown(bool notify)
{
    if (m_fd < 0)
        return;
    m_readable.reset();
    m_writable.reset();
    ::close(m_fd);
    m_fd = -1;
    if (notify)
        QTimer::singleShot(0, this, &LocalSocket::disconnected);
}

LocalServer::LocalServer(QObject *parent) : QObject(parent)
{
}

LocalServer::~LocalServer()
{
    if (m_fd < 0)
        return;
    m_incoming.reset();
    ::close(m_fd);
    ::unlink(QFile::encodeName(m_path).constData());
}

bool LocalServer::listen(const QString &name)
{
    if (m_fd >= 0)
        return false;
    const QString path = LocalSocketPath(name);
    sockaddr_un address;
    if (!AddressOf(path, address))
        return false;
    const int fd = NewSocket();
    if (fd < 0)
        return false;
    // For this user only, from the moment the socket file appears (the
    // mode of a socket set before bind is the file's).
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    struct stat existing;
    if (::lstat(address.sun_path, &existing) == 0 && S_ISSOCK(existing.st_mode))
        ::unlink(address.sun_path); // left by a program that ended
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) < 0 || ::listen(fd, 16) < 0) {
        ::close(fd);
        return false;
    }
    ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
    m_fd = fd;
    m_path = path;
    m_incoming = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_incoming.get(), &QSocketNotifier::activated, this, &LocalServer::accept);
    return true;
}

void LocalServer::accept()
{
    bool any = false;
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        auto *socket = new LocalSocket(this);
        socket->adopt(fd);
        m_pending.append(socket);
        any = true;
    }
    if (any)
        emit newConnection();
}

LocalSocket *LocalServer::nextPendingConnection()
{
    while (!m_pending.isEmpty()) {
        if (LocalSocket *socket = m_pending.takeFirst())
            return socket;
    }
    return nullptr;
}

} // namespace koru
