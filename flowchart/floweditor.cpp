#include "flowchart/floweditor.h"

#include "model/messages.h"
#include "model/catalogue.h"
#include "model/dialogservice.h"

#include <exception>

namespace koru {

namespace {

void WarnUnlessEmpty(const QString &message)
{
    if (!message.isEmpty())
        Dialogs().warning(message);
}

// Which budget a refusal broke is said after the step, whose own redraw
// of the budget line would otherwise hide it.
void SayExceeded(FlowEditor *editor, const std::optional<BudgetPart> &exceeded)
{
    if (exceeded)
        emit editor->budgetExceeded(*exceeded);
}

} // namespace

FlowEditor::FlowEditor(QObject *parent) : QObject(parent)
{
}

// ---- What is shown ----------------------------------------------------------

void FlowEditor::showRoutine(int routine)
{
    if (!FlowDocument::isValidRoutine(routine))
        return;
    closePanel();
    m_routine = routine;
    m_selection.clear();
    emit routineShown(routine);
    emit changed();
}

void FlowEditor::setSelection(const QList<int> &slotList)
{
    m_selection = slotList;
    emit changed();
}

void FlowEditor::pressBlock(int slot)
{
    if (!m_selection.contains(slot))
        m_selection = {slot};
    m_currentBlock = slot;
    emit changed();
}

void FlowEditor::pressBackground()
{
    closePanel();
    setSelection({});
}

void FlowEditor::selectWithin(const QRect &band)
{
    QList<int> chosen;
    if (!band.isNull()) {
        for (int s : m_doc.occupiedSlots(m_routine)) {
            const FlowBlock &b = m_doc.block(m_routine, s);
            if (band.left() < b.x + BlockWidth && b.x < band.right() && band.top() < b.y + BlockHeight
                && b.y < band.bottom())
                chosen << s;
        }
    }
    setSelection(chosen);
}

QList<int> FlowEditor::drawingOrder() const
{
    const QList<int> &raised = m_raised.at(m_routine);
    QList<int> order;
    for (int s : m_doc.occupiedSlots(m_routine)) {
        if (!raised.contains(s))
            order << s;
    }
    for (int s : raised) {
        if (m_doc.isOccupied(m_routine, s))
            order << s;
    }
    return order;
}

int FlowEditor::blockAt(QPoint p) const
{
    const QList<int> order = drawingOrder();
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        const FlowBlock &b = m_doc.block(m_routine, *it);
        if (b.x < p.x() && p.x() < b.x + BlockWidth && b.y < p.y() && p.y() < b.y + BlockHeight)
            return *it;
    }
    return NoSlot;
}

void FlowEditor::raise(int routine, const QList<int> &slotList)
{
    QList<int> &raised = m_raised[routine];
    for (int s : slotList) {
        raised.removeAll(s);
        raised << s;
    }
}

void FlowEditor::forgetFreeSlots()
{
    // A slot freed and taken again holds another block: it starts in slot order.
    for (int r = 0; r < RoutineCount; ++r)
        m_raised[r].removeIf([&](int s) { return !m_doc.isOccupied(r, s); });
}

// ---- The parameter panel --------------------------------------------------------

int FlowEditor::panelOwner() const
{
    if (m_panelSlot == NoSlot)
        return -1;
    return int(ProgramKeywords().indexOf(m_doc.block(m_routine, m_panelSlot).kind));
}

void FlowEditor::clickBlock(int slot)
{
    if (m_selection.size() != 1)
        return;
    closePanel();
    if (!m_doc.isOccupied(m_routine, slot))
        return;
    const FlowBlock &b = m_doc.block(m_routine, slot);
    if (IsStartOrEnd(b.kind))
        return;
    m_panelSlot = slot;
    emit panelOpened(b.kind, b.params);
}

void FlowEditor::closePanel()
{
    m_panelSlot = NoSlot;
    emit panelClosed();
}

void FlowEditor::confirmPanel(const QString &params)
{
    const FlowDocument before = m_doc;
    const EditResult changedParams = ChangeParams(m_doc, m_routine, m_panelSlot, params);
    WarnUnlessEmpty(changedParams.message);
    closePanel();
    setSelection({});
    commit(QStringLiteral("パラメータ"), before);
    SayExceeded(this, changedParams.exceeded);
}

// ---- Drops ------------------------------------------------------------------

void FlowEditor::dropPalette(int paletteIndex, QPoint canvasPoint)
{
    if (paletteIndex < 0 || paletteIndex >= 12)
        return;
    // A parameter window closed without its "OK" leaves the block it was
    // opened for as it stands.
    m_pending.reset();
    try {
        const int target = blockAt(canvasPoint);
        if (target != NoSlot)
            replaceBlock(target, paletteIndex);
        else
            newBlock(paletteIndex, canvasPoint);
    } catch (const std::exception &) {
        Dialogs().warning(UnexpectedError);
    }
}

void FlowEditor::newBlock(int paletteIndex, QPoint canvasPoint, bool byKey, int joinFrom)
{
    const FlowDocument before = m_doc;
    const EditResult dropped = DropNewBlock(m_doc, m_routine, paletteIndex, canvasPoint);
    if (!dropped.ok()) {
        Dialogs().warning(dropped.message);
        SayExceeded(this, dropped.exceeded);
        return;
    }
    closePanel();
    m_selection.clear();
    raise(m_routine, {dropped.slot});
    m_pending = PendingDrop{false, m_routine, dropped.slot, paletteIndex, before, byKey, joinFrom};
    const QString kind = m_doc.block(m_routine, dropped.slot).kind;
    if (IsStartOrEnd(kind)) {
        confirmDrop({});
        return;
    }
    emit changed(); // the palette picture stands there while the parameters are chosen
    emit parametersWanted(dropped.slot, kind);
}

void FlowEditor::replaceBlock(int slot, int paletteIndex)
{
    const QString refusal = ReplaceRefusal(m_doc, m_routine, paletteIndex);
    if (!refusal.isEmpty()) {
        Dialogs().warning(refusal);
        return;
    }
    closePanel();
    m_pending = PendingDrop{true, m_routine, slot, paletteIndex, m_doc};
    const QString kind = KindNameOf(QString::number(paletteIndex));
    if (IsStartOrEnd(kind))
        confirmDrop({});
    else
        emit parametersWanted(slot, kind);
}

void FlowEditor::confirmDrop(const QString &params)
{
    if (!m_pending)
        return;
    const PendingDrop drop = *m_pending;
    m_pending.reset();
    try {
        if (drop.replacing) {
            const EditResult replaced = ReplaceBlock(m_doc, drop.routine, drop.slot, drop.paletteIndex, params);
            WarnUnlessEmpty(replaced.message);
            if (replaced.ok())
                raise(drop.routine, {replaced.slot}); // a new start block leaves its slot but not its place
            m_selection.clear();
            commit(QStringLiteral("置き換え"), drop.before);
            SayExceeded(this, replaced.exceeded);
        } else {
            const EditResult placed = ConfirmNewBlock(m_doc, drop.routine, drop.slot, params);
            WarnUnlessEmpty(placed.message);
            if (placed.ok() && drop.joinFrom != NoSlot) {
                const int after = m_doc.block(drop.routine, drop.joinFrom).next;
                // A start block takes no arrow in: the chart then stays as it was.
                if (m_doc.linkBottom(drop.routine, drop.joinFrom, placed.slot) && after != NoSlot && after != drop.joinFrom)
                    m_doc.linkBottom(drop.routine, placed.slot, after);
            }
            if (placed.ok() && drop.byKey && drop.routine == m_routine) {
                // The next Insert goes on below it.
                m_selection = {placed.slot};
                m_currentBlock = placed.slot;
            }
            commit(QStringLiteral("配置"), drop.before);
            SayExceeded(this, placed.exceeded);
        }
    } catch (const std::exception &) {
        Dialogs().warning(UnexpectedError);
    }
}

void FlowEditor::cancelDrop()
{
    if (!m_pending)
        return;
    m_doc = m_pending->before;
    m_pending.reset();
    forgetFreeSlots();
    emit changed();
}

// ---- The keyboard --------------------------------------------------------------

void FlowEditor::selectInDirection(KeyDirection direction)
{
    const int from = m_selection.size() == 1 ? m_selection.first()
                     : m_selection.contains(m_currentBlock) ? m_currentBlock
                                                            : NoSlot;
    const int to = BlockInDirection(m_doc, m_routine, from, direction);
    if (to == NoSlot || (to == from && m_selection.size() == 1))
        return;
    if (m_panelSlot != to)
        closePanel();
    m_selection = {to};
    m_currentBlock = to;
    emit changed();
}

void FlowEditor::openSelected()
{
    if (m_selection.size() == 1)
        clickBlock(m_selection.first());
}

void FlowEditor::placeBelow(int paletteIndex)
{
    if (paletteIndex < 0 || paletteIndex >= 12 || m_pending)
        return;
    const int above = m_selection.size() == 1 ? m_selection.first() : NoSlot;
    try {
        const std::optional<QPoint> place = PlaceBelow(m_doc, m_routine, above);
        if (!place) {
            Dialogs().warning(NoRoomBelowMessage());
            return;
        }
        newBlock(paletteIndex, *place, true, above);
    } catch (const std::exception &) {
        Dialogs().warning(UnexpectedError);
    }
}

void FlowEditor::nudgeSelection(QPoint shift)
{
    const FlowDocument before = m_doc;
    for (int s : m_selection) {
        if (!m_doc.isOccupied(m_routine, s))
            continue;
        const FlowBlock &b = m_doc.block(m_routine, s);
        m_doc.setPosition(m_routine, s, qBound(0, b.x + shift.x(), MaxBlockX), qBound(0, b.y + shift.y(), MaxBlockY));
    }
    raise(m_routine, m_selection);
    commit(QStringLiteral("移動"), before);
}

// ---- Block menu and canvas gestures ------------------------------------------

void FlowEditor::deleteSelection()
{
    if (m_selection.isEmpty())
        return;
    const FlowDocument before = m_doc;
    m_doc.removeBlocks(m_routine, m_selection);
    closePanel();
    m_selection.clear();
    commit(QStringLiteral("削除"), before);
}

void FlowEditor::removeArrows()
{
    if (!m_doc.isOccupied(m_routine, m_currentBlock))
        return;
    const FlowDocument before = m_doc;
    m_doc.removeArrows(m_routine, m_currentBlock);
    commit(QStringLiteral("矢印を消す"), before);
}

void FlowEditor::copySelection()
{
    m_clipboard = m_selection;
    m_clipboardRoutine = m_routine;
}

void FlowEditor::paste()
{
    if (m_clipboard.isEmpty())
        return;
    const FlowDocument before = m_doc;
    const PasteResult result = PasteBlocks(m_doc, m_routine, m_clipboard, m_clipboardRoutine);
    WarnUnlessEmpty(result.message);
    closePanel();
    raise(m_routine, result.pasted);
    m_selection = result.pasted;
    commit(QStringLiteral("貼り付け"), before);
    SayExceeded(this, result.exceeded);
}

void FlowEditor::align(Alignment alignment)
{
    const FlowDocument before = m_doc;
    AlignBlocks(m_doc, m_routine, m_selection, alignment);
    m_selection.clear();
    commit(QStringLiteral("位置揃え"), before);
}

void FlowEditor::linkArrow(bool side, int source, QPoint canvasPoint)
{
    const FlowDocument before = m_doc;
    const int target = blockAt(canvasPoint);
    if (side)
        m_doc.linkSide(m_routine, source, target);
    else
        m_doc.linkBottom(m_routine, source, target);
    commit(QStringLiteral("矢印"), before);
}

void FlowEditor::beginMove()
{
    m_moveStart = m_doc;
}

void FlowEditor::moveSelection(QPoint shift, int top)
{
    if (!m_moveStart || shift.isNull())
        return;
    // Each block stops at the edge on its own while the others keep moving.
    for (int s : m_selection) {
        if (!m_doc.isOccupied(m_routine, s))
            continue;
        const FlowBlock &b = m_doc.block(m_routine, s);
        m_doc.setPosition(m_routine, s, qMax(0, b.x + shift.x()), qMax(top, b.y + shift.y()));
    }
    raise(m_routine, m_selection);
    emit changed();
}

void FlowEditor::finishMove()
{
    if (!m_moveStart)
        return;
    const FlowDocument before = std::move(*m_moveStart);
    m_moveStart.reset();
    commit(QStringLiteral("移動"), before);
}

void FlowEditor::replaceDocument(const QString &text, const std::function<bool(FlowDocument &)> &change, int mergeId)
{
    const FlowDocument before = m_doc;
    if (!change(m_doc) && m_doc == before)
        return;
    m_pending.reset();
    m_moveStart.reset();
    m_clipboard.clear();
    m_currentBlock = NoSlot;
    for (QList<int> &raised : m_raised)
        raised.clear();
    closePanel();
    showRoutine(0);
    commit(text, before, mergeId);
}

// ---- Undo -------------------------------------------------------------------

void FlowEditor::commit(const QString &text, const FlowDocument &before, int mergeId)
{
    forgetFreeSlots();
    emit changed();
    if (before == m_doc)
        return;
    emit stepMade(FlowStep{text, before, m_doc, m_routine, mergeId});
}

void FlowEditor::restore(const FlowDocument &document, int routine)
{
    m_doc = document;
    m_pending.reset();
    m_moveStart.reset();
    m_selection.clear();
    forgetFreeSlots();
    if (routine != m_routine)
        showRoutine(routine);
    closePanel();
    emit changed();
}

} // namespace koru
