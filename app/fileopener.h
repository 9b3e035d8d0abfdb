// Files handed to the program from outside: `koru FILE`, a double-click in
// the file manager, or a later start while this program runs (the later
// start hands its files over a local socket and ends). Each file opens in
// the editor of its step, read from the file as the editors read it.
#pragma once

#include "app/windowtable.h"

#include <QObject>
#include <QStringList>

#include <optional>

namespace koru {
class LocalServer;
}

namespace koru::shell {

class LauncherWindow;

// The editor whose files look like these lines; nullopt for none.
std::optional<LauncherTarget> EditorOfFile(const QStringList &fileLines);

class FileOpener : public QObject
{
    Q_OBJECT
public:
    explicit FileOpener(LauncherWindow &launcher, QObject *parent = nullptr);
    ~FileOpener() override;

    // Opens the file in its editor (asking first when that editor holds
    // work); a file that is unreadable or of no step gets the program's
    // usual message and the launcher stays.
    void open(const QString &path);

    // Takes files from later starts of the program on the same work folder.
    bool listen();
    // A later start: hands the files to the program already running. True
    // when it took them (this start then ends).
    static bool handOver(const QStringList &paths);
    // The socket's name: one per user and work folder.
    static QString serverName();

    // More than this from one start is not a list of files.
    static constexpr qint64 MaxHandOverBytes = 64 * 1024;

private:
    LauncherWindow &m_launcher;
    LocalServer *m_server = nullptr;
};

} // namespace koru::shell
