// A headless koru-kit started for a test or benchmark, in a private runtime
// folder so that no other running kit is seen.
#pragma once

#include "link/devicelink.h"
#include "link/virtualkitbackend.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace koru::test {

class KitProcess
{
public:
    static QString executable() { return QCoreApplication::applicationDirPath() + QStringLiteral("/koru-kit"); }
    static bool available() { return QFileInfo(executable()).isExecutable(); }

    ~KitProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel(); // the headless kit ends with its input
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(1000);
        }
    }

    // Starts the kit and waits for its first line ("kit <socket>").
    bool start(QString *why)
    {
        if (!m_runtime.isValid()) {
            *why = QStringLiteral("no temporary folder");
            return false;
        }
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(executable(), {QStringLiteral("--headless")});
        if (!m_process.waitForStarted(5000)) {
            *why = QStringLiteral("koru-kit did not start");
            return false;
        }
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000)) {
                *why = QStringLiteral("koru-kit said nothing");
                return false;
            }
        }
        const QByteArray first = m_process.readLine().trimmed();
        if (!first.startsWith("kit ")) {
            *why = QStringLiteral("koru-kit said: ") + QString::fromUtf8(first);
            return false;
        }
        return true;
    }

    QString runtimeFolder() const { return m_runtime.path(); }
    QString kitFolder() const { return m_runtime.path() + QStringLiteral("/koru-kits"); }
    QProcess &process() { return m_process; }

    // A link that sees only this kit, paced by clock (which must outlive it).
    std::unique_ptr<DeviceLink> makeLink(PaceClock &clock) const
    {
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::make_unique<VirtualKitBackend>(kitFolder()));
        return std::make_unique<DeviceLink>(clock, std::move(backends));
    }
    // The same on this object's real-time clock (the kit runs in real
    // time): the link must go before this object does.
    std::unique_ptr<DeviceLink> makeLink() { return makeLink(m_clock); }

private:
    TimerPaceClock m_clock;
    QTemporaryDir m_runtime;
    QProcess m_process;
};

} // namespace koru::test
