#include "melody/ui/staffaccessible.h"

#include "melody/ui/melodyparts.h"
#include "widgets/paintedaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace koru::melody {

namespace {

class StaffAccessible;

// One note, known by its place; invalid once the melody is shorter.
class NoteAccessible : public PaintedPart
{
public:
    NoteAccessible(StaffAccessible *staff, int index) : m_staff(staff), m_index(index) {}

    bool isValid() const override;
    QAccessibleInterface *parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::State state() const override { return {}; }

private:
    StaffAccessible *m_staff;
    int m_index;
};

class StaffAccessible : public QAccessibleWidget
{
public:
    explicit StaffAccessible(StaffArea *staff) : QAccessibleWidget(staff, QAccessible::Canvas), m_staff(staff) {}

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
        return m_notes.get(index, [this, index] { return new NoteAccessible(const_cast<StaffAccessible *>(this), index); });
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const int index = m_notes.keyOf(child);
        return note(index) ? index : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override { return ChildAtPoint(*this, x, y); }

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
    PartInterfaces m_notes;
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

} // namespace

void InstallStaffAccessibility()
{
    InstallAccessibleFactoryFor<StaffArea, StaffAccessible>();
}

} // namespace koru::melody
