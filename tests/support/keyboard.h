// Reaching a control the way a pupil without a mouse does: Tab from the
// window's focus until the control has it (header only: GUI tests alone
// include it).
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace koru::test {

// Presses Tab (sent to whatever has the focus) until target has the focus;
// false when it never comes round.
inline bool tabTo(QWidget *window, QWidget *target, int presses = 80)
{
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    for (int i = 0; i < presses && QApplication::focusWidget() != target; ++i) {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window, Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

// Keys pressed on whatever has the focus now.
inline void keyOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace koru::test
