#include "flowchart/ui/flowaccessible.h"

#include "flowchart/floweditor.h"
#include "flowchart/flowspoken.h"
#include "flowchart/ui/flowcanvas.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace koru::flow {

namespace {

class CanvasAccessible;

// One block of the routine shown, known by its slot; it lives as long as
// the canvas's interface and is invalid while its slot is free.
class BlockAccessible : public QAccessibleInterface
{
public:
    BlockAccessible(CanvasAccessible *canvas, int slot) : m_canvas(canvas), m_slot(slot) {}

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
    QAccessible::State state() const override;

private:
    CanvasAccessible *m_canvas;
    int m_slot;
};

class CanvasAccessible : public QAccessibleWidget
{
public:
    explicit CanvasAccessible(FlowCanvas *canvas)
        : QAccessibleWidget(canvas, QAccessible::Canvas), m_canvas(canvas)
    {
        if (const FlowEditor *editor = canvas->editor()) {
            m_shown = SlotsInReadingOrder(editor->document(), editor->routine());
            m_chosen = editor->currentBlock();
            // The canvas is the connection's context: the connection ends
            // with the widget, before this interface is deleted.
            QObject::connect(editor, &FlowEditor::changed, canvas, [this] { announceChanges(); });
            QObject::connect(editor, &FlowEditor::routineShown, canvas, [this] { announceChanges(); });
        }
    }

    ~CanvasAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_ids))
            QAccessible::deleteAccessibleInterface(id);
    }

    const FlowEditor *editor() const { return m_canvas ? m_canvas->editor() : nullptr; }
    FlowCanvas *canvas() const { return m_canvas; }

    QList<int> slotsShown() const
    {
        const FlowEditor *e = editor();
        return e ? SlotsInReadingOrder(e->document(), e->routine()) : QList<int>{};
    }

    int childCount() const override { return int(slotsShown().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<int> slotList = slotsShown();
        if (index < 0 || index >= slotList.size())
            return nullptr;
        return blockInterface(slotList.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const QList<int> slotList = slotsShown();
        for (int i = 0; i < slotList.size(); ++i) {
            const auto it = m_ids.constFind(slotList.at(i));
            if (it != m_ids.constEnd() && QAccessible::accessibleInterface(*it) == child)
                return i;
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
        const FlowEditor *e = editor();
        if (!e)
            return {};
        if (t == QAccessible::Name) {
            const QStringList routines = RoutineNames();
            const int r = e->routine();
            return QStringLiteral("フローチャート: ") + (r >= 0 && r < routines.size() ? routines.at(r) : QString());
        }
        if (t == QAccessible::Description)
            return QStringLiteral("ブロック %1 個").arg(childCount());
        return QAccessibleWidget::text(t);
    }

    QAccessibleInterface *blockInterface(int slot) const
    {
        auto it = m_ids.constFind(slot);
        if (it == m_ids.constEnd())
            it = m_ids.insert(slot, QAccessible::registerAccessibleInterface(
                                        new BlockAccessible(const_cast<CanvasAccessible *>(this), slot)));
        return QAccessible::accessibleInterface(*it);
    }

private:
    // Compares what is shown with what was: a block placed or removed, the
    // chosen block, the canvas's name when another routine is shown.
    void announceChanges()
    {
        const QList<int> shown = slotsShown();
        for (int slot : shown) {
            if (!m_shown.contains(slot)) {
                QAccessibleEvent created(blockInterface(slot), QAccessible::ObjectCreated);
                QAccessible::updateAccessibility(&created);
            }
        }
        for (int slot : std::as_const(m_shown)) {
            if (!shown.contains(slot)) {
                QAccessibleEvent destroyed(blockInterface(slot), QAccessible::ObjectDestroyed);
                QAccessible::updateAccessibility(&destroyed);
            }
        }
        m_shown = shown;
        const int chosen = editor() ? editor()->currentBlock() : NoSlot;
        if (chosen != m_chosen) {
            m_chosen = chosen;
            if (chosen != NoSlot && shown.contains(chosen)) {
                QAccessibleEvent focus(blockInterface(chosen), QAccessible::Focus);
                QAccessible::updateAccessibility(&focus);
            }
        }
        QAccessibleEvent reorder(m_canvas, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }

    QPointer<FlowCanvas> m_canvas;
    mutable QHash<int, QAccessible::Id> m_ids;
    QList<int> m_shown;
    int m_chosen = NoSlot;
};

bool BlockAccessible::isValid() const
{
    const FlowEditor *e = m_canvas->editor();
    return e && e->document().isOccupied(e->routine(), m_slot);
}

QAccessibleInterface *BlockAccessible::parent() const
{
    return m_canvas;
}

QString BlockAccessible::text(QAccessible::Text t) const
{
    const FlowEditor *e = m_canvas->editor();
    if (!e)
        return {};
    if (t == QAccessible::Name)
        return BlockSpokenName(e->document(), e->routine(), m_slot);
    if (t == QAccessible::Description)
        return BlockSpokenArrows(e->document(), e->routine(), m_slot);
    return {};
}

QRect BlockAccessible::rect() const
{
    const FlowEditor *e = m_canvas->editor();
    FlowCanvas *canvas = m_canvas->canvas();
    if (!e || !canvas)
        return {};
    const FlowBlock &b = e->document().block(e->routine(), m_slot);
    return QRect(canvas->mapToGlobal(QPoint(b.x, b.y)), QSize(BlockWidth, BlockHeight));
}

QAccessible::State BlockAccessible::state() const
{
    QAccessible::State s;
    s.selectable = true;
    s.focusable = true;
    const FlowEditor *e = m_canvas->editor();
    if (!e)
        return s;
    s.selected = e->selection().contains(m_slot);
    s.focused = e->currentBlock() == m_slot && m_canvas->canvas() && m_canvas->canvas()->hasFocus();
    return s;
}

QAccessibleInterface *CanvasFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("koru::flow::FlowCanvas") && object && object->isWidgetType())
        return new CanvasAccessible(static_cast<FlowCanvas *>(object));
    return nullptr;
}

} // namespace

void InstallFlowCanvasAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(CanvasFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace koru::flow
