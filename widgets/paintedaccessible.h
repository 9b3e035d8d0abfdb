// The parts of a painted widget (the blocks of the chart, the notes of the
// staff) as a screen reader sees them. PaintedPart is a leaf interface with
// no object of its own; PartInterfaces registers one interface per part on
// first request and deletes them with the widget's interface;
// InstallAccessibleFactory installs a widget class's factory once.
#pragma once

#include <QAccessible>
#include <QHash>
#include <QList>

#include <functional>

namespace koru {

class PaintedPart : public QAccessibleInterface
{
public:
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }
};

class PartInterfaces
{
public:
    PartInterfaces() = default;
    PartInterfaces(const PartInterfaces &) = delete;
    PartInterfaces &operator=(const PartInterfaces &) = delete;
    ~PartInterfaces()
    {
        for (QAccessible::Id id : std::as_const(m_ids))
            QAccessible::deleteAccessibleInterface(id);
    }

    // The part's interface, made by make() the first time its key is asked for.
    QAccessibleInterface *get(int key, const std::function<QAccessibleInterface *()> &make) const
    {
        auto it = m_ids.constFind(key);
        if (it == m_ids.constEnd())
            it = m_ids.insert(key, QAccessible::registerAccessibleInterface(make()));
        return QAccessible::accessibleInterface(*it);
    }

    // The key of a part's interface; -1 for any other interface.
    int keyOf(const QAccessibleInterface *part) const
    {
        for (auto it = m_ids.constBegin(); it != m_ids.constEnd(); ++it) {
            if (QAccessible::accessibleInterface(*it) == part)
                return it.key();
        }
        return -1;
    }

private:
    mutable QHash<int, QAccessible::Id> m_ids;
};

// The child of parent under a point (screen coordinates), or nullptr.
inline QAccessibleInterface *ChildAtPoint(const QAccessibleInterface &parent, int x, int y)
{
    for (int i = 0; i < parent.childCount(); ++i) {
        QAccessibleInterface *c = parent.child(i);
        if (c && c->rect().contains(x, y))
            return c;
    }
    return nullptr;
}

// Qt keeps every factory installed, twice if installed twice: each goes in once.
inline void InstallAccessibleFactory(QAccessible::InterfaceFactory factory)
{
    static QList<QAccessible::InterfaceFactory> installed;
    if (installed.contains(factory))
        return;
    installed.append(factory);
    QAccessible::installFactory(factory);
}

// The factory of a painted widget class's interface: Interface(Widget *)
// for every object of that class.
template<typename Widget, typename Interface>
QAccessibleInterface *AccessibleFactoryFor(const QString &className, QObject *object)
{
    if (object && object->isWidgetType() && className == QLatin1String(Widget::staticMetaObject.className()))
        return new Interface(static_cast<Widget *>(object));
    return nullptr;
}

template<typename Widget, typename Interface>
void InstallAccessibleFactoryFor()
{
    InstallAccessibleFactory(&AccessibleFactoryFor<Widget, Interface>);
}

} // namespace koru
