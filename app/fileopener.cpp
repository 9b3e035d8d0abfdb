#include "app/fileopener.h"

#include "app/launcherwindow.h"
#include "editor/ui/editorframe.h"
#include "flowchart/flowfile.h"
#include "icons/iconfile.h"
#include "melody/melody.h"
#include "model/dialogservice.h"
#include "model/localsocket.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "text/textfile.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace koru::shell {

std::optional<LauncherTarget> EditorOfFile(const QStringList &fileLines)
{
    if (IsTextProgramFile(fileLines))
        return LauncherTarget::TextEditor;
    if (IsFlowFile(fileLines))
        return LauncherTarget::FlowchartEditor;
    if (icons::IsIconFile(fileLines))
        return LauncherTarget::IconEditor;
    if (IsMelodyFile(fileLines))
        return LauncherTarget::MelodyEditor;
    return std::nullopt;
}

FileOpener::FileOpener(LauncherWindow &launcher, QObject *parent) : QObject(parent), m_launcher(launcher)
{
}

FileOpener::~FileOpener() = default;

void FileOpener::open(const QString &path)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    const std::optional<LauncherTarget> target = lines ? EditorOfFile(*lines) : std::nullopt;
    if (!target) {
        Dialogs().warning(LoadFailed);
        return;
    }
    m_launcher.open(*target);
    QWidget *window = m_launcher.openWindow(*target);
    if (EditorFrame *frame = window ? window->findChild<EditorFrame *>() : nullptr)
        frame->openPath(QFileInfo(path).absoluteFilePath());
}

QString FileOpener::serverName()
{
    const QByteArray folder = WorkFolder().toUtf8();
    return QStringLiteral("koru-") + QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
}

bool FileOpener::listen()
{
    // A program that was killed leaves its socket behind, which listen
    // replaces; a running one would have taken the files (handOver is tried
    // first).
    m_server = new LocalServer(this);
    if (!m_server->listen(serverName()))
        return false;
    connect(m_server, &LocalServer::newConnection, this, [this] {
        while (LocalSocket *socket = m_server->nextPendingConnection()) {
            // The later start writes its list and goes: the list is whole
            // once the connection ends.
            connect(socket, &LocalSocket::disconnected, this, [this, socket] {
                const QByteArray data = socket->readAll();
                socket->deleteLater();
                if (data.size() > MaxHandOverBytes)
                    return;
                for (const QString &path : QString::fromUtf8(data).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                    open(path);
            });
            connect(socket, &LocalSocket::readyRead, socket, [socket] {
                if (socket->bytesAvailable() > MaxHandOverBytes)
                    socket->abort(); // not a list of files
            });
        }
    });
    return true;
}

bool FileOpener::handOver(const QStringList &paths)
{
    LocalSocket socket;
    if (!socket.connectToServer(serverName()))
        return false;
    QStringList absolute;
    for (const QString &path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    socket.write((absolute.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return socket.waitForWritten(1000); // the connection ends with the socket
}

} // namespace koru::shell
