#include "flowchart/ui/flowaccessible.h"

#include "flowchart/floweditor.h"
#include "flowchart/flowspoken.h"
#include "flowchart/ui/flowcanvas.h"
#include "widgets/paintedaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace koru::flow {

namespace {

class CanvasAccessible;

// One block of the routine shown, known by its slot; it lives as long as
// the canvas's interface and is invalid while its slot is free.
class BlockAccessible : public PaintedPart
{
public:
    BlockAccessible(CanvasAccessible *canvas, int slot) : m_canvas(canvas), m_slot(slot) {}

    bool isValid() const override;
    QAccessibleInterface *parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
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
        const int slot = m_blocks.keyOf(child);
        return slot < 0 ? -1 : int(slotsShown().indexOf(slot));
    }

    QAccessibleInterface *childAt(int x, int y) const override { return ChildAtPoint(*this, x, y); }

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
        return m_blocks.get(slot, [this, slot] { return new BlockAccessible(const_cast<CanvasAccessible *>(this), slot); });
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
    PartInterfaces m_blocks;
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

} // namespace

void InstallFlowCanvasAccessibility()
{
    InstallAccessibleFactoryFor<FlowCanvas, CanvasAccessible>();
}

} // namespace koru::flow
