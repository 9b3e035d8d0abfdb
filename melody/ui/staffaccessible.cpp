#include "melody/ui/staffaccessible.h"

#include "melody/ui/melodyparts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace koru::melody {

namespace {

class StaffAccessible;

// One note, known by its place; invalid once the melody is shorter.
class NoteAccessible : public QAccessibleInterface
{
public:
    NoteAccessible(StaffAccessible *staff, int index) : m_staff(staff), m_index(index) {}

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override { return {}; }

private:
    StaffAccessible *m_staff;
    int m_index;
};

class StaffAccessible : public QAccessibleWidget
{
public:
    explicit StaffAccessible(StaffArea *staff) : QAccessibleWidget(staff, QAccessible::Canvas), m_staff(staff) {}

    ~StaffAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_ids))
            QAccessible::deleteAccessibleInterface(id);
    }

    const StaffArea::SpokenNote *note(int index) const
    {
        if (!m_staff || index < 0 || index >= m_staff->spokenNotes().size())
            return nullptr;
        return &m_staff->spokenNotes().at(index);
    }
    StaffArea *staff() const { return m_staff; }

    int childCount() const override { return m_staff ? int(m_staff->spokenNotes().size()) : 0; }

    QAccessibleInterface *child(int index) const override
    {
        if (!note(index))
            return nullptr;
        auto it = m_ids.constFind(index);
        if (it == m_ids.constEnd())
            it = m_ids.insert(index, QAccessible::registerAccessibleInterface(
                                         new NoteAccessible(const_cast<StaffAccessible *>(this), index)));
        return QAccessible::accessibleInterface(*it);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_ids.constBegin(); it != m_ids.constEnd(); ++it) {
            if (QAccessible::accessibleInterface(*it) == child)
                return note(it.key()) ? it.key() : -1;
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface *c = child(i);
            if (c && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && m_staff) {
            const QString keys = QAccessibleWidget::text(t);
            return keys.isEmpty() ? m_staff->spokenSummary()
                                  : m_staff->spokenSummary() + QStringLiteral("。") + keys;
        }
        return QAccessibleWidget::text(t);
    }

private:
    QPointer<StaffArea> m_staff;
    mutable QHash<int, QAccessible::Id> m_ids;
};

bool NoteAccessible::isValid() const
{
    return m_staff->note(m_index) != nullptr;
}

QAccessibleInterface *NoteAccessible::parent() const
{
    return m_staff;
}

QString NoteAccessible::text(QAccessible::Text t) const
{
    const StaffArea::SpokenNote *n = m_staff->note(m_index);
    return n && t == QAccessible::Name ? n->name : QString();
}

QRect NoteAccessible::rect() const
{
    const StaffArea::SpokenNote *n = m_staff->note(m_index);
    if (!n || !m_staff->staff())
        return {};
    return QRect(m_staff->staff()->mapToGlobal(n->rect.topLeft()), n->rect.size());
}

QAccessibleInterface *StaffFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("koru::melody::StaffArea") && object && object->isWidgetType())
        return new StaffAccessible(static_cast<StaffArea *>(object));
    return nullptr;
}

} // namespace

void InstallStaffAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(StaffFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace koru::melody
