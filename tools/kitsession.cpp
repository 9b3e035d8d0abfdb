#include "tools/kitsession.h"

#include "link/devicelink.h"
#include "model/textutil.h"

#include <QEventLoop>
#include <QTimer>

namespace koru::tool {

namespace {
KitSession *usedSession = nullptr;
} // namespace

KitSession::KitSession(QString wantedKit) : m_wantedKit(std::move(wantedKit)) {}

KitSession::~KitSession() = default;

DeviceLink &KitSession::link()
{
    if (!m_link) {
        m_link = std::make_unique<DeviceLink>(m_clock);
        if (!m_wantedKit.isEmpty())
            m_link->setWantedKit(m_wantedKit);
    }
    return *m_link;
}

void UseKitSession(KitSession *session)
{
    usedSession = session;
}

QString SessionWantedKit()
{
    Q_ASSERT(usedSession);
    return usedSession->wantedKit();
}

DeviceLink &SettledLink()
{
    Q_ASSERT(usedSession);
    DeviceLink &link = usedSession->link();
    RunUntil(link, [&link] { return link.isSettled(); }, 3000);
    return link;
}

bool RunUntil(DeviceLink &link, const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    QObject::connect(&link, &DeviceLink::devicesChanged, &loop, check);
    QObject::connect(&link, &DeviceLink::kitChanged, &loop, check);
    QObject::connect(&link, &DeviceLink::replyReceived, &loop, check);
    QObject::connect(&link, &DeviceLink::transferFinished, &loop, check);
    QObject::connect(&link, &DeviceLink::requestFinished, &loop, check);
    deadline.start(timeoutMs);
    loop.exec();
    return done();
}

bool TransferAndWait(DeviceLink &link, const QList<int> &values)
{
    std::optional<bool> completed;
    const QMetaObject::Connection connection =
        QObject::connect(&link, &DeviceLink::transferFinished, [&completed](bool ok) { completed = ok; });
    if (link.Transfer(values)) {
        // Paced at 50 ms (1050 ms with a measurement window) per value; the
        // kit going away ends it at once.
        RunUntil(link, [&completed] { return completed.has_value(); }, int(values.size()) * 1200 + 5000);
    }
    QObject::disconnect(connection);
    return completed.value_or(false);
}

bool RequestAndWait(DeviceLink &link, const std::function<bool()> &request)
{
    std::optional<bool> completed;
    const QMetaObject::Connection connection =
        QObject::connect(&link, &DeviceLink::requestFinished, [&completed](int, bool ok) { completed = ok; });
    if (request())
        RunUntil(link, [&completed] { return completed.has_value(); }, 10000);
    QObject::disconnect(connection);
    return completed.value_or(false);
}

QString SendFailure(const DeviceLink &link)
{
    return link.kitBusyElsewhere() ? KitBusyMessage : NoKitMessage;
}

struct ReplyCollector::Connection
{
    QMetaObject::Connection reply;
    QMetaObject::Connection transfer;
    QMetaObject::Connection request;
};

ReplyCollector::ReplyCollector(DeviceLink &link, int maxLines)
    : m_link(link), m_maxLines(maxLines), m_connection(new Connection)
{
    m_connection->reply = QObject::connect(&link, &DeviceLink::replyReceived, [this](const QString &line) {
        if (StripSpaces(line) == QLatin1String("FF"))
            m_ready = true;
        if (m_lines.size() < m_maxLines)
            m_lines.append(line);
    });
    const auto restart = [this] {
        m_lines.clear();
        m_ready = false;
    };
    m_connection->transfer = QObject::connect(&link, &DeviceLink::transferStarted, restart);
    m_connection->request = QObject::connect(&link, &DeviceLink::requestStarted, restart);
}

ReplyCollector::~ReplyCollector()
{
    QObject::disconnect(m_connection->reply);
    QObject::disconnect(m_connection->transfer);
    QObject::disconnect(m_connection->request);
    delete m_connection;
}

QStringList ReplyCollector::collect(int firstMs, int quietMs, int expected)
{
    if (RunUntil(m_link, [this] { return !m_lines.isEmpty(); }, firstMs)) {
        // Each reply starts the quiet time again.
        while (m_lines.size() < expected) {
            const qsizetype seen = m_lines.size();
            if (!RunUntil(m_link, [this, seen] { return m_lines.size() > seen; }, quietMs))
                break;
        }
    }
    return m_lines.mid(0, expected);
}

bool ReplyCollector::waitForReady(int timeoutMs)
{
    const auto ready = [this] { return m_ready; };
    // A kit that goes away will never say FF: stop waiting at once.
    RunUntil(m_link, [this, &ready] { return ready() || !m_link.KitPresent(); }, timeoutMs);
    return ready();
}

} // namespace koru::tool
