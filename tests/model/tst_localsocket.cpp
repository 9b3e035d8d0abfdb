// The program's local sockets, with Qt's own as the far end (the virtual
// kit listens with QLocalServer).
#include "model/localsocket.h"
#include "testmain.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace koru;

namespace {

// A socket file with nobody behind it, as a killed program leaves.
void LeaveDeadSocket(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    ::close(fd);
}

} // namespace

class TestLocalSocket : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // Both ways with a Qt server: bytes, a write larger than the socket's
    // buffer (sent in parts as the peer reads), and the end of the
    // connection, after which what arrived is still readable.
    void talksToQtServer()
    {
        QLocalServer server;
        QVERIFY(server.listen(path("kit")));
        LocalSocket socket;
        QSignalSpy ended(&socket, &LocalSocket::disconnected);
        QVERIFY(socket.connectToServer(path("kit")));
        QVERIFY(socket.isConnected());
        QVERIFY(server.waitForNewConnection(1000));
        QLocalSocket *peer = server.nextPendingConnection();

        const QByteArray big(3 * 1024 * 1024, 'k');
        QVERIFY(socket.write("hello"));
        QVERIFY(socket.write(big));
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT((received += peer->readAll()).size() == big.size() + 5, 10000);
        QCOMPARE(received, "hello" + big);

        peer->write("reply");
        peer->flush();
        peer->disconnectFromServer();
        QTRY_COMPARE(ended.size(), 1);
        QVERIFY(!socket.isConnected());
        QCOMPARE(socket.readAll(), QByteArray("reply"));
        QVERIFY(!socket.write("late"));
    }

    // Nothing listening, a plain file, a name too long for a socket: refused
    // at once and reported like a broken connection.
    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("nobody listens") << path("none");
        QTest::newRow("not a socket") << path("plain");
        QTest::newRow("too long") << path(QString(200, QLatin1Char('n')));
    }
    void refused()
    {
        QFETCH(QString, name);
        QFile plain(path("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        LocalSocket socket;
        QSignalSpy ended(&socket, &LocalSocket::disconnected);
        QVERIFY(!socket.connectToServer(name));
        QVERIFY(!socket.isConnected());
        QCOMPARE(ended.size(), 0); // not from inside the call
        QTRY_COMPARE(ended.size(), 1);
    }

    // The server: for this user only, replaces a socket left by a program
    // that ended, never a file that is not a socket, and hands over each
    // connection once; a Qt client's list arrives whole when it goes.
    void serves()
    {
        const QString name = path("opener");
        LeaveDeadSocket(name);

        LocalServer server;
        QVERIFY(server.listen(name));
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(name).constData(), &info), 0);
        QVERIFY(S_ISSOCK(info.st_mode));
        QCOMPARE(info.st_mode & 0777, 0600u);
        QVERIFY(!LocalServer().listen(path("plainfile/x")));

        QSignalSpy incoming(&server, &LocalServer::newConnection);
        QLocalSocket client;
        client.connectToServer(name);
        QVERIFY(client.waitForConnected(1000));
        QTRY_COMPARE(incoming.size(), 1);
        LocalSocket *socket = server.nextPendingConnection();
        QVERIFY(socket);
        QVERIFY(!server.nextPendingConnection());
        QSignalSpy ended(socket, &LocalSocket::disconnected);
        client.write("a.koru\nb.koru\n");
        client.disconnectFromServer();
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(socket->readAll(), QByteArray("a.koru\nb.koru\n"));
    }

    void doesNotReplaceAFile()
    {
        QFile plain(path("notasocket"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("keep");
        plain.close();
        QVERIFY(!LocalServer().listen(plain.fileName()));
        QVERIFY(plain.open(QIODevice::ReadOnly));
        QCOMPARE(plain.readAll(), QByteArray("keep"));
    }

    // A name without a folder is a file in the temporary folder, as Qt's.
    void namesAsQt()
    {
        const QString name = QStringLiteral("koru-localsocket-test-%1").arg(QCoreApplication::applicationPid());
        QLocalServer server;
        QVERIFY(server.listen(name));
        QCOMPARE(LocalSocketPath(name), server.fullServerName());
        LocalSocket socket;
        QVERIFY(socket.connectToServer(name));
        QVERIFY(socket.write("x"));
        QVERIFY(socket.waitForWritten(1000));
    }
};

KORU_TEST_GUILESS_MAIN(TestLocalSocket)
#include "tst_localsocket.moc"
