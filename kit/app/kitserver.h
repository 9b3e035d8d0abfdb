// The kit's end of the local socket: one QLocalServer in the kit folder,
// a hello on every connection, output reports in, input reports (the kit's
// replies) out to every connection.
#pragma once

#include "kitprotocol/virtualkitprotocol.h"

#include <QList>
#include <QObject>

class QLocalServer;
class QLocalSocket;

namespace koru::kit {

class KitDriver;

class KitServer : public QObject
{
    Q_OBJECT
public:
    explicit KitServer(KitDriver &driver, QObject *parent = nullptr);
    ~KitServer() override;

    // Listens on the socket of this process; false with a message on failure.
    bool listen(QString *error);
    QString path() const { return m_path; }
    int connectionCount() const { return int(m_connections.size()); }

    static virtualkit::HelloInfo Hello();

signals:
    void connectionsChanged(int count);

private:
    struct Connection
    {
        QLocalSocket *socket = nullptr;
        virtualkit::MessageReader reader;
        bool inFrame = false; // its last value left a frame open
    };

    void accept();
    void read(QLocalSocket *socket);
    void drop(QLocalSocket *socket);
    void sendReply(int value);

    KitDriver &m_driver;
    QLocalServer *m_server = nullptr;
    QString m_path;
    QList<Connection *> m_connections;
};

} // namespace koru::kit
