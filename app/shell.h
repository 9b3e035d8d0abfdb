// Start-up: the kit's clock and link, the launcher (which puts up the
// splash); then, as the launcher is shown, the shared windows in their fixed
// order, all before the first event is processed. The shell owns them all
// and hands the kit and the shared windows to every window the launcher
// opens. Once the launcher shows, work left unsaved by a program that ended
// abnormally is offered back (editor/recovery.h).
#pragma once

#include "app/fileopener.h"
#include "app/launcherwindow.h"
#include "app/windowtable.h"
#include "widgets/programfont.h"

#include <memory>
#include <vector>

namespace koru::shell {

// The program's font (widgets/programfont.h), under the shell's name too.
using koru::UseProgramFont;

class Shell
{
public:
    // The program's windows (DefaultLauncherTable, DefaultSharedWindows).
    explicit Shell(ShellServices services = ShellServices::desktop());
    // Other windows; the kit is still the shell's own.
    Shell(LauncherTable launcherTable, const SharedWindowTable &sharedWindows, ShellServices services);
    ~Shell();

    LauncherWindow &launcher() { return *m_launcher; }
    // The kit and the shared windows the opened windows are handed.
    const SharedWindows &shared() const { return m_windows; }
    // A shared window by its name in the table; nullptr if there is none.
    QWidget *sharedWindow(const QString &name) const;
    // Names of the shared windows in the order they were created.
    QStringList sharedWindowNames() const;

    // Shows the launcher on page 1 and makes the shared windows; the launcher
    // appears once events are processed, and then the recovery question,
    // when there is work to get back.
    // Files from the command line open in their editors after that.
    void start(const QStringList &files = {});

private:
    Shell(std::function<LauncherTable(const SharedWindows &)> launcherTable, const SharedWindowTable &sharedWindows,
          ShellServices services);

    // Declared first: they outlive every window.
    std::unique_ptr<PaceClock> m_clock;
    std::unique_ptr<DeviceLink> m_link;
    std::unique_ptr<RecoveryStore> m_recovery;
    SharedWindows m_windows;
    std::unique_ptr<LauncherWindow> m_launcher;
    std::vector<std::pair<QString, QWidget *>> m_shared;
    std::unique_ptr<FileOpener> m_files;
    SharedWindowTable m_sharedToMake; // until start()
};

} // namespace koru::shell
