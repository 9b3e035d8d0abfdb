// Start-up: the launcher (which puts up the splash), then the shared windows
// in their fixed order, all before the first event is processed.
#pragma once

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
