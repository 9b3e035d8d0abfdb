// A virtual kit started for one test (koru-kit --headless), beside the
// ones KitProcess keeps: its ID, what it says on stdout, and its process
// (to kill it half-way).
#pragma once

#include "../link/kitprocess.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace koru::test {

class HeadlessKit
{
public:
    ~HeadlessKit()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool start(const QString &runtime)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(KitProcess::executable(), {QStringLiteral("--headless")});
        while (m_process.waitForReadyRead(5000)) {
            if (m_process.canReadLine()) {
                const QByteArray first = m_process.readLine().trimmed();
                if (!first.startsWith("kit "))
                    return false;
                m_id = QStringLiteral("virtual:") + QString::fromUtf8(first.mid(4));
                return true;
            }
        }
        return false;
    }
    QString id() const { return m_id; }
    QByteArray said() { return m_said += m_process.readAllStandardOutput(); }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_id;
    QByteArray m_said;
};

} // namespace koru::test
