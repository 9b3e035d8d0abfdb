// A stream connection between two of this system's programs on one
// computer, by name: the program and its virtual kits, a second start and
// the program already running. The program's own, small, so that it starts
// without Qt Network and the libraries that come with it (Kerberos, proxy
// discovery) for a few bytes that never leave the computer.
//
// A name is a socket file: a full path, or a name in the temporary folder,
// as Qt's own local sockets take it, so either end may be a QLocalServer or
// a QLocalSocket. This file is the platform's side (localsocket_unix.cpp).
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QSocketNotifier;

namespace koru {

class LocalSocket : public QObject
{
    Q_OBJECT
public:
    explicit LocalSocket(QObject *parent = nullptr);
    ~LocalSocket() override;

    // A local connection is made or refused at once. On refusal (nothing
    // listens, or the name is not a socket) this returns false and
    // disconnected() follows once events are processed.
    bool connectToServer(const QString &name);
    bool isConnected() const { return m_fd >= 0; }

    // Sends what the peer takes now and the rest as it can; false when not
    // connected.
    bool write(const QByteArray &data);
    // Waits up to msecs for everything written to be sent, for a program
    // about to end; false if it was not.
    bool waitForWritten(int msecs);
    // Everything received and not yet read.
    QByteArray readAll();
    qint64 bytesAvailable() const { return m_in.size(); }

    // Ends the connection at once; nothing more is sent or received, and
    // disconnected() is not emitted.
    void abort();

signals:
    // New bytes arrived.
    void readyRead();
    // The peer ended the connection, or it broke (or connectToServer was
    // refused). What arrived before stays readable.
    void disconnected();

private:
    friend class LocalServer;
    void adopt(int fd);
    void readFromPeer();
    void sendQueued();
    void closeDown(bool notify);

    int m_fd = -1;
    QByteArray m_in;
    QByteArray m_out;
    std::unique_ptr<QSocketNotifier> m_readable;
    std::unique_ptr<QSocketNotifier> m_writable;
};

class LocalServer : public QObject
{
    Q_OBJECT
public:
    explicit LocalServer(QObject *parent = nullptr);
    ~LocalServer() override;

    // Listens on name, for this user only. A socket file left there by a
    // program that ended is replaced. False when the name cannot be taken.
    bool listen(const QString &name);
    // The next connection made, owned by the server until given another
    // parent; nullptr when there is none.
    LocalSocket *nextPendingConnection();

signals:
    void newConnection();

private:
    void accept();

    int m_fd = -1;
    QString m_path;
    QList<QPointer<LocalSocket>> m_pending;
    std::unique_ptr<QSocketNotifier> m_incoming;
};

// The socket file of a name (see the top of this file).
QString LocalSocketPath(const QString &name);

} // namespace koru
