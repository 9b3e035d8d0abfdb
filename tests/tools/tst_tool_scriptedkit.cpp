// koru-tool against a kit that answers as a script says: one that stays
// silent after its hello, one that answers less than asked, one that floods.
// The script is this test itself, speaking the virtual kit's socket protocol.
#include "kitprotocol/virtualkitprotocol.h"
#include "link/devicelink.h"

#include "testmain.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace koru;
namespace vk = koru::virtualkit;

namespace {

// A kit in a private runtime folder; answer() gives the replies to each
// value the host sends.
class ScriptedKit : public QObject
{
public:
    std::function<QList<int>(int value)> answer = [](int) { return QList<int>{}; };

    bool start(const QString &runtime)
    {
        const QString folder = runtime + QStringLiteral("/koru-kits");
        if (!QDir().mkpath(folder))
            return false;
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *socket = m_server.nextPendingConnection()) {
                auto *reader = new vk::MessageReader;
                connect(socket, &QObject::destroyed, [reader] { delete reader; });
                vk::HelloInfo hello;
                hello.product = QStringLiteral("ORBA");
                socket->write(vk::EncodeHello(hello));
                connect(socket, &QLocalSocket::readyRead, socket, [this, socket, reader] {
                    reader->append(socket->readAll());
                    while (const auto message = reader->next()) {
                        if (message->type != vk::OutputReport || message->payload.size() < 2)
                            continue;
                        QByteArray replies;
                        for (int reply : answer(quint8(message->payload[1])))
                            replies += vk::EncodeMessage(vk::InputReport, QByteArray{"\0", 1} + char(reply));
                        socket->write(replies);
                    }
                });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return m_server.listen(folder + QStringLiteral("/kit-scripted"));
    }

private:
    QLocalServer m_server;
};

struct KitRun
{
    int exitCode = -1;
    QStringList out;
    QString err;
};

} // namespace

class TstToolScriptedKit : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_runtime;
    ScriptedKit m_kit;
    QString m_tool;

    // In the event loop, so that the scripted kit keeps answering.
    KitRun run(const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        const test::ToolRun t = test::runKoruToolInEventLoop(m_tool, args, env);
        return {t.exitCode, t.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), t.err};
    }

private slots:
    void initTestCase()
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!QFileInfo(m_tool).isExecutable())
            QSKIP("koru-tool is not built");
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(m_kit.start(m_runtime.path()));
    }

    // The memory is a known count of replies: fewer is a failure, said as
    // one; more are no part of it and cost nothing.
    void memory_data()
    {
        QTest::addColumn<int>("replies"); // to the memory request
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("lines");
        QTest::newRow("silent after the hello") << 0 << 1 << 0;
        QTest::newRow("a single reply") << 1 << 1 << 0;
        QTest::newRow("one short") << kit::MemoryReplies - 1 << 1 << 0;
        QTest::newRow("exactly the memory") << kit::MemoryReplies << 0 << kit::MemoryReplies;
        QTest::newRow("a flood") << 20000 << 0 << kit::MemoryReplies;
    }
    void memory()
    {
        QFETCH(int, replies);
        QFETCH(int, exitCode);
        QFETCH(int, lines);
        m_kit.answer = [replies](int value) {
            return value == kit::SendMemory ? QList<int>(replies, 0x12) : QList<int>{};
        };
        const KitRun r = run({QStringLiteral("memory")});
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out.size(), lines);
        if (exitCode != 0)
            QVERIFY2(r.err.contains(QStringLiteral("the kit answered %1 of 255 replies").arg(replies)), qPrintable(r.err));
        else
            QCOMPARE(r.out.value(0), QStringLiteral("12"));
    }

    // A measurement takes the two replies that answer it, and only readings
    // a sensor can give: a kit that floods FF reads as no reading, never as
    // 255 °C.
    void measure_data()
    {
        QTest::addColumn<QList<int>>("replies");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("readings") << QList<int>{0x19, 0x37} << 0;
        QTest::newRow("silent") << QList<int>{} << 1;
        QTest::newRow("one reply") << QList<int>{0x19} << 1;
        QTest::newRow("a flood of FF") << QList<int>(5000, 0xFF) << 1;
    }
    void measure()
    {
        QFETCH(QList<int>, replies);
        QFETCH(int, exitCode);
        m_kit.answer = [replies](int value) { return value == kit::Measure ? replies : QList<int>{}; };
        const KitRun r = run({QStringLiteral("measure")});
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode == 0)
            QCOMPARE(r.out, (QStringList{"temperature 25", "humidity 55"}));
        else
            QVERIFY(r.out.isEmpty());
    }
};

KORU_TEST_GUILESS_MAIN(TstToolScriptedKit)
#include "tst_tool_scriptedkit.moc"
