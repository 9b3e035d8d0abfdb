#include "kit/app/kitserver.h"

#include "kit/kitdriver.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

namespace koru::kit {

using namespace virtualkit;

KitServer::KitServer(KitDriver &driver, QObject *parent) : QObject(parent), m_driver(driver)
{
    connect(&m_driver, &KitDriver::replied, this, &KitServer::sendReply);
}

KitServer::~KitServer()
{
    for (Connection *c : std::as_const(m_connections)) {
        c->socket->disconnect(this);
        c->socket->abort();
        delete c;
    }
    if (m_server)
        m_server->close(); // removes the socket file
}

HelloInfo KitServer::Hello()
{
    HelloInfo info;
    info.inputReportLength = 2;
    info.outputReportLength = 2;
    info.product = QStringLiteral("ORBA");
    return info;
}

bool KitServer::listen(QString *error)
{
    if (!EnsureKitFolder()) {
        if (error)
            *error = QStringLiteral("cannot create the kit folder %1").arg(KitFolder());
        return false;
    }
    m_path = KitSocketPath(QCoreApplication::applicationPid());
    QLocalServer::removeServer(m_path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1: %2").arg(m_path, m_server->errorString());
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &KitServer::accept);
    return true;
}

void KitServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        auto *c = new Connection;
        c->socket = socket;
        m_connections.append(c);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
        socket->write(EncodeHello(Hello()));
        emit connectionsChanged(connectionCount());
    }
}

void KitServer::read(QLocalSocket *socket)
{
    Connection *c = nullptr;
    for (Connection *each : std::as_const(m_connections))
        if (each->socket == socket)
            c = each;
    if (!c)
        return;
    c->reader.append(socket->readAll());
    while (std::optional<Message> message = c->reader.next()) {
        if (message->type == OutputReport && message->payload.size() >= 2) {
            m_driver.receive(quint8(message->payload[1]));
            for (Connection *each : std::as_const(m_connections))
                each->inFrame = false;
            c->inFrame = m_driver.firmware().receivingFrame();
        }
        // Anything else (an unknown type, a short report) is skipped.
    }
    if (c->reader.broken())
        socket->abort(); // disconnected() drops it
}

void KitServer::drop(QLocalSocket *socket)
{
    for (qsizetype i = 0; i < m_connections.size(); ++i) {
        if (m_connections[i]->socket == socket) {
            // A transfer cut off with its connection is not finished later
            // by somebody else's values.
            if (m_connections[i]->inFrame && m_driver.firmware().receivingFrame())
                m_driver.abandonFrame();
            delete m_connections.takeAt(i);
            break;
        }
    }
    socket->deleteLater();
    emit connectionsChanged(connectionCount());
}

void KitServer::sendReply(int value)
{
    QByteArray payload(1, char(0)); // report ID 0, then the reply
    payload.append(char(value & 0xFF));
    const QByteArray message = EncodeMessage(InputReport, payload);
    for (Connection *c : std::as_const(m_connections))
        c->socket->write(message);
}

} // namespace koru::kit
