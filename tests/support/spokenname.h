// What a screen reader hears for a widget: its name and description as Qt's
// accessibility reports them (header only: GUI tests alone include it).
#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace koru::test {

inline QString spokenText(QWidget *widget, QAccessible::Text what)
{
    QAccessibleInterface *face = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return face ? face->text(what) : QString();
}

inline QString spokenName(QWidget *widget)
{
    return spokenText(widget, QAccessible::Name);
}

// What a choice list is for. On Linux Qt reads a choice list's current item
// as its name, so what the list is for travels as its description.
inline QString spokenPurpose(QWidget *widget)
{
    return qobject_cast<QComboBox *>(widget) ? spokenText(widget, QAccessible::Description) : spokenName(widget);
}

// The controls under root (visible in it) that a pupil can reach with the
// keyboard, or that also match, and that nothing names: their object names.
// A scroll area's viewport is part of its area, not a control of its own.
inline QStringList unnamedControls(QWidget *root, const std::function<bool(QWidget *)> &also = {})
{
    QStringList unnamed;
    for (QWidget *control : root->findChildren<QWidget *>()) {
        auto *area = qobject_cast<QAbstractScrollArea *>(control->parentWidget());
        if (!control->isVisibleTo(root) || (area && area->viewport() == control))
            continue;
        const bool reachable = control->focusPolicy() != Qt::NoFocus || (also && also(control));
        if (reachable && spokenPurpose(control).isEmpty())
            unnamed.append(control->objectName() + QLatin1Char(':') + QLatin1String(control->metaObject()->className()));
    }
    return unnamed;
}

} // namespace koru::test
