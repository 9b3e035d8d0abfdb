// The shell's surroundings for tests that open the program's windows from
// the launcher: the shared windows on a fake kit.
#pragma once

#include "app/launcherwindow.h"
#include "tests/link/linkrig.h"

#include <memory>
#include <utility>
#include <vector>

namespace koru::test {

// What the shell hands the windows it opens, made from the program's
// shared-window table, on a fake kit (a LinkRig) instead of the real link.
// The launcher opens the program's windows on it:
//   test::ShellRig rig;
//   shell::LauncherWindow launcher(rig.launcherTable());
class ShellRig
{
public:
    ShellRig()
    {
        shared.kit = kit.context();
        for (const shell::SharedWindowEntry &entry : shell::DefaultSharedWindows())
            if (QWidget *window = entry.make(shared))
                m_windows.emplace_back(entry.name, window);
    }
    ~ShellRig()
    {
        while (!m_windows.empty()) {
            delete m_windows.back().second;
            m_windows.pop_back();
        }
    }
    ShellRig(const ShellRig &) = delete;
    ShellRig &operator=(const ShellRig &) = delete;

    // A shared window by its name in the table; nullptr if there is none.
    QWidget *window(const QString &name) const
    {
        for (const auto &[n, window] : m_windows)
            if (n == name)
                return window;
        return nullptr;
    }
    shell::LauncherTable launcherTable() const { return shell::DefaultLauncherTable(shared); }

    LinkRig kit;
    shell::SharedWindows shared;

private:
    std::vector<std::pair<QString, QWidget *>> m_windows;
};

} // namespace koru::test
