// The virtual-kit backend against a stand-in kit served from this test:
// kits appear when they say hello, disappear when they close, and anything
// else on the socket (no hello, a bad hello, garbage) never becomes a device.
#include "kitprotocol/virtualkitprotocol.h"
#include "link/devicelink.h"
#include "link/virtualkitbackend.h"
#include "testmain.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::virtualkit;

namespace {

// A minimal kit: says hello, records output reports, answers on request.
class StandInKit : public QObject
{
public:
    StandInKit(const QString &path, QByteArray greeting) : m_greeting(std::move(greeting))
    {
        QLocalServer::removeServer(path);
        m_server.listen(path);
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *s = m_server.nextPendingConnection()) {
                m_clients.append(s);
                s->write(m_greeting);
                connect(s, &QLocalSocket::readyRead, this, [this, s] {
                    m_reader.append(s->readAll());
                    while (auto m = m_reader.next())
                        if (m->type == OutputReport)
                            received.append(m->payload);
                });
            }
        });
    }

    static QByteArray kitHello(int outputLength = 2)
    {
        return EncodeHello({0, 0, 2, quint16(outputLength), QStringLiteral("ORBA"), {}});
    }

    void send(const QByteArray &bytes)
    {
        for (const auto &c : std::as_const(m_clients))
            if (c)
                c->write(bytes);
    }
    void close()
    {
        for (const auto &c : std::as_const(m_clients))
            if (c)
                c->abort();
        m_server.close();
    }
    bool listening() const { return m_server.isListening(); }
    int clients() const { return int(m_clients.size()); }

    QList<QByteArray> received;

private:
    QLocalServer m_server;
    QByteArray m_greeting;
    QList<QPointer<QLocalSocket>> m_clients;
    MessageReader m_reader;
};

struct Rig
{
    QTemporaryDir folder;
    TimerPaceClock clock; // the kits run in real time
    VirtualKitBackend *backend = nullptr;
    std::unique_ptr<DeviceLink> link;

    Rig()
    {
        auto b = std::make_unique<VirtualKitBackend>(folder.path());
        backend = b.get();
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::move(b));
        link = std::make_unique<DeviceLink>(clock, std::move(backends));
    }
    QString socket(const QString &name) const { return folder.filePath(name); }
};

} // namespace

class TestVirtualKitBackend : public QObject
{
    Q_OBJECT
private slots:
    void kitComesAndGoes()
    {
        Rig rig;
        QVERIFY(QTest::qWaitFor([&] { return rig.link->isSettled(); }, 2000));
        QVERIFY(!rig.link->KitPresent());

        auto kit = std::make_unique<StandInKit>(rig.socket("kit-1"), StandInKit::kitHello(65));
        QVERIFY(kit->listening());
        QTRY_VERIFY(rig.link->KitPresent());
        QCOMPARE(rig.link->OutputReportLength(), 65);
        QCOMPARE(DisplayName(rig.link->devices().value(0)), QStringLiteral("ORBA"));

        // Output reports arrive whole; input reports become reply lines.
        QSignalSpy replies(rig.link.get(), &DeviceLink::replyReceived);
        QVERIFY(rig.link->RequestRun());
        QTRY_COMPARE(kit->received.size(), 1);
        QCOMPARE(kit->received[0], OutputReportFor(241, 65));
        kit->send(EncodeMessage(InputReport, QByteArray("\x00\xFF", 2)));
        QVERIFY(replies.wait(2000));
        QCOMPARE(replies[0][0].toString(), QStringLiteral("FF "));

        // The kit ends: unplugged.
        kit->close();
        QTRY_VERIFY(!rig.link->KitPresent());
        QTRY_COMPARE(rig.link->devices().size(), 0);
        QVERIFY(!rig.link->RequestRun());
    }

    void newestKitWins()
    {
        Rig rig;
        StandInKit first(rig.socket("kit-1"), StandInKit::kitHello(2));
        QTRY_VERIFY(rig.link->KitPresent());
        StandInKit second(rig.socket("kit-2"), StandInKit::kitHello(65));
        QTRY_COMPARE(rig.link->devices().size(), 2);
        QTRY_COMPARE(rig.link->OutputReportLength(), 65);
        QCOMPARE(rig.link->kitIndex(), 1);
    }

    void strangersNeverBecomeDevices_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::newRow("silent") << QByteArray();
        QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\n\r\n");
        QTest::newRow("report before hello") << EncodeMessage(InputReport, QByteArray("\x00\xFF", 2));
        QTest::newRow("bad hello") << EncodeMessage(Hello, QByteArray("KORU"));
        QTest::newRow("oversized") << QByteArray::fromHex("48ffff");
    }
    void strangersNeverBecomeDevices()
    {
        QFETCH(QByteArray, greeting);
        Rig rig;
        StandInKit stranger(rig.socket("kit-9"), greeting);
        // Settles once the stranger is given up (silent ones after the
        // hello time-out).
        QVERIFY(QTest::qWaitFor([&] { return rig.link->isSettled(); }, VirtualKitBackend::HelloTimeoutMs + 2000));
        QCOMPARE(rig.link->devices().size(), 0);
        QVERIFY(!rig.link->KitPresent());
    }

    void staleSocketFileIsIgnored()
    {
        Rig rig;
        QFile stale(rig.socket("kit-404"));
        QVERIFY(stale.open(QIODevice::WriteOnly)); // a file nobody listens on
        stale.close();
        StandInKit kit(rig.socket("kit-5"), StandInKit::kitHello());
        QTRY_VERIFY(rig.link->KitPresent());
        QVERIFY(QTest::qWaitFor([&] { return rig.link->isSettled(); }, 2000));
        QCOMPARE(rig.link->devices().size(), 1);
    }

    void garbageAfterHelloUnplugs()
    {
        Rig rig;
        StandInKit kit(rig.socket("kit-1"), StandInKit::kitHello());
        QTRY_VERIFY(rig.link->KitPresent());
        kit.send(QByteArray::fromHex("49ffff00"));
        QTRY_VERIFY(!rig.link->KitPresent());
        // Once the link has looked again, the kit stays out.
        QVERIFY(QTest::qWaitFor([&] { return rig.link->isSettled(); }, 2000));
        QVERIFY(!rig.link->KitPresent());
    }
};

KORU_TEST_GUILESS_MAIN(TestVirtualKitBackend)
#include "tst_virtualkitbackend.moc"
