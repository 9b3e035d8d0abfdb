// Start-up: the launcher (which puts up the splash), then the shared windows
// in their fixed order, all before the first event is processed.
#pragma once

#include "app/launcherwindow.h"
#include "app/windowtable.h"

#include <memory>
#include <vector>

namespace koru::shell {

// The program's font "ＭＳ Ｐゴシック" at 12 pixels, drawn with the installed
// Japanese P-gothic, and the editors' "FixedSys" drawn with the installed
// Japanese monospaced gothic. The one place where the stand-ins are named.
void UseProgramFont();

class Shell
{
public:
    Shell(LauncherTable launcherTable = DefaultLauncherTable(),
          const SharedWindowTable &sharedWindows = DefaultSharedWindows(),
          ShellServices services = ShellServices::desktop());
    ~Shell();

    LauncherWindow &launcher() { return *m_launcher; }
    // A shared window by its name in the table; nullptr if there is none.
    QWidget *sharedWindow(const QString &name) const;
    // Names of the shared windows in the order they were created.
    QStringList sharedWindowNames() const;

    // Shows the launcher on page 1; it appears once events are processed.
    void start();

private:
    std::unique_ptr<LauncherWindow> m_launcher;
    std::vector<std::pair<QString, QWidget *>> m_shared;
};

} // namespace koru::shell
