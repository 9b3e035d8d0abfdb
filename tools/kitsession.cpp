#include "tools/kitsession.h"

#include "link/devicelink.h"
#include "model/textutil.h"
#include "model/wait.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

namespace koru::tool {

DeviceLink &SettledLink()
{
    DeviceLink &link = DeviceLink::instance();
    link.waitUntilSettled(3000);
    return link;
}

struct ReplyCollector::Connection
{
    QMetaObject::Connection handle;
    QElapsedTimer clock;
};

ReplyCollector::ReplyCollector(DeviceLink &link) : m_link(link), m_connection(new Connection)
{
    m_connection->clock.start();
    m_connection->handle = QObject::connect(&link, &DeviceLink::replyReceived, [this](const QString &line) {
        m_lines.append(line);
        m_lastReply = m_connection->clock.elapsed();
    });
}

ReplyCollector::~ReplyCollector()
{
    QObject::disconnect(m_connection->handle);
    delete m_connection;
}

QStringList ReplyCollector::collect(int firstMs, int quietMs)
{
    const QDeadlineTimer first(firstMs);
    while (m_lines.isEmpty() && !first.hasExpired())
        WaitMs(20);
    while (!m_lines.isEmpty() && m_connection->clock.elapsed() - m_lastReply < quietMs)
        WaitMs(20);
    return m_lines;
}

bool ReplyCollector::waitForReady(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        for (const QString &line : std::as_const(m_lines))
            if (StripSpaces(line) == QLatin1String("FF"))
                return true;
        if (deadline.hasExpired())
            return false;
        WaitMs(20);
    }
}

} // namespace koru::tool
