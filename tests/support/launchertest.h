// The steps every window's launcher test goes through: the launcher opens
// the window in its own place, and closing the window brings it back. Used
// by tests that link the program's shell; check QTest::currentTestFailed()
// after each step.
#pragma once

#include "app/launcherwindow.h"

#include <QPointer>
#include <QTest>

namespace koru::test {

// Shows the launcher and opens target; the window must show, the launcher hide.
template<typename Window>
void OpenFromLauncher(shell::LauncherWindow &launcher, shell::LauncherTarget target, QPointer<Window> &window)
{
    launcher.show();
    launcher.open(target);
    window = qobject_cast<Window *>(launcher.openWindow(target));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!launcher.isVisible());
}

// Closes the window: it must go away and the launcher show again.
template<typename Window>
void CloseBackToLauncher(shell::LauncherWindow &launcher, QPointer<Window> &window)
{
    QVERIFY(window->close());
    QTRY_VERIFY(!window);
    QVERIFY(launcher.isVisible());
}

} // namespace koru::test
