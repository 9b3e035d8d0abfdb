#include "flowchart/flowdocument.h"

#include "model/catalogue.h"
#include "model/encoder.h"

namespace koru {

namespace {

QString slotText(int slot)
{
    return slot == NoSlot ? QString() : QString::number(slot);
}

const FlowBlock &freeBlock()
{
    static const FlowBlock block;
    return block;
}

} // namespace

QStringList RoutineNames()
{
    return {QStringLiteral("メインルーチン"), QStringLiteral("サブルーチン１"), QStringLiteral("サブルーチン２"),
            QStringLiteral("サブルーチン３"), QStringLiteral("サブルーチン４")};
}

QString FlowBlock::incomingText() const
{
    QStringList parts;
    for (int slot : incoming)
        parts << QString::number(slot);
    return parts.join(QLatin1Char(','));
}

QString FlowBlock::nextText() const
{
    return slotText(next);
}

QString FlowBlock::branchText() const
{
    return slotText(branch);
}

FlowDocument::FlowDocument()
    : m_blocks(RoutineCount * SlotsPerRoutine)
{
}

const FlowBlock &FlowDocument::block(int routine, int slot) const
{
    return isValid(routine, slot) ? m_blocks.at(indexOf(routine, slot)) : freeBlock();
}

FlowBlock &FlowDocument::rawBlock(int routine, int slot)
{
    Q_ASSERT(isValid(routine, slot));
    return m_blocks[indexOf(routine, slot)];
}

QList<int> FlowDocument::occupiedSlots(int routine) const
{
    QList<int> slotList;
    for (int s = 0; s < SlotsPerRoutine; ++s) {
        if (isOccupied(routine, s))
            slotList << s;
    }
    return slotList;
}

int FlowDocument::freeSlot(int routine) const
{
    if (!isValidRoutine(routine))
        return NoSlot;
    for (int s = 1; s < SlotsPerRoutine; ++s) {
        if (!isOccupied(routine, s))
            return s;
    }
    return NoSlot;
}

bool FlowDocument::place(int routine, int slot, const QString &kind, int x, int y)
{
    if (!isValid(routine, slot) || !IsProgramKeyword(kind) || isOccupied(routine, slot))
        return false;
    if ((kind == QLatin1String("start")) != (slot == 0))
        return false;
    if (kind == QLatin1String("routine") && routine != 0)
        return false;
    FlowBlock &b = rawBlock(routine, slot);
    b = FlowBlock();
    b.slotNo = slot;
    b.kind = kind;
    b.x = qMax(0, x);
    b.y = qMax(0, y);
    if (IsStartOrEnd(kind))
        b.params = QStringLiteral("0,0,0,0,0,0");
    return true;
}

void FlowDocument::setParams(int routine, int slot, const QString &params)
{
    if (isOccupied(routine, slot))
        rawBlock(routine, slot).params = params;
}

void FlowDocument::setPosition(int routine, int slot, int x, int y)
{
    if (!isOccupied(routine, slot))
        return;
    FlowBlock &b = rawBlock(routine, slot);
    b.x = qMax(0, x);
    b.y = qMax(0, y);
}

int FlowDocument::changeKind(int routine, int slot, const QString &kind, const QString &params)
{
    if (!isOccupied(routine, slot) || !IsProgramKeyword(kind))
        return NoSlot;
    if (kind == QLatin1String("routine") && routine != 0)
        return NoSlot;
    const bool toStart = kind == QLatin1String("start");
    if (toStart) {
        for (int s : occupiedSlots(routine)) {
            if (s != slot && block(routine, s).is("start"))
                return NoSlot;
        }
        if (slot != 0 && isOccupied(routine, 0))
            return NoSlot;
    } else if (slot == 0 && freeSlot(routine) == NoSlot) {
        return NoSlot; // slot 0 stays the start block's place and no other is free
    }

    if (kind != QLatin1String("if") && block(routine, slot).branch != NoSlot) {
        const int old = block(routine, slot).branch;
        rawBlock(routine, slot).branch = NoSlot;
        unlinkTarget(routine, slot, old);
    }
    if (kind == QLatin1String("end") && block(routine, slot).next != NoSlot) {
        const int old = block(routine, slot).next;
        rawBlock(routine, slot).next = NoSlot;
        unlinkTarget(routine, slot, old);
    }
    if (toStart) {
        const QList<int> sources = block(routine, slot).incoming;
        for (int source : sources) {
            FlowBlock &s = rawBlock(routine, source);
            if (s.next == slot)
                s.next = NoSlot;
            if (s.branch == slot)
                s.branch = NoSlot;
        }
        rawBlock(routine, slot).incoming.clear();
    }
    rawBlock(routine, slot).kind = kind;
    rawBlock(routine, slot).params = params;

    if (toStart && slot != 0)
        return relocate(routine, slot, 0);
    if (!toStart && slot == 0)
        return relocate(routine, 0, freeSlot(routine));
    return slot;
}

int FlowDocument::relocate(int routine, int from, int to)
{
    FlowBlock moved = block(routine, from);
    moved.slotNo = to;
    rawBlock(routine, from) = FlowBlock();
    rawBlock(routine, to) = moved;
    for (int s : occupiedSlots(routine)) {
        FlowBlock &b = rawBlock(routine, s);
        for (int &entry : b.incoming) {
            if (entry == from)
                entry = to;
        }
        if (b.next == from)
            b.next = to;
        if (b.branch == from)
            b.branch = to;
    }
    return to;
}

bool FlowDocument::moveBlock(int routine, int from, int to)
{
    if (!isOccupied(routine, from) || !isValid(routine, to) || isOccupied(routine, to))
        return false;
    relocate(routine, from, to);
    return true;
}

void FlowDocument::clearSlot(int routine, int slot)
{
    if (isValid(routine, slot))
        rawBlock(routine, slot) = FlowBlock();
}

void FlowDocument::removeBlocks(int routine, const QList<int> &slotList)
{
    if (!isValidRoutine(routine))
        return;
    QList<int> removed;
    for (int s : slotList) {
        if (isValidSlot(s)) {
            clearSlot(routine, s);
            removed << s;
        }
    }
    for (int s : occupiedSlots(routine)) {
        FlowBlock &b = rawBlock(routine, s);
        if (removed.contains(b.next))
            b.next = NoSlot;
        if (removed.contains(b.branch))
            b.branch = NoSlot;
        b.incoming.removeIf([&](int entry) { return removed.contains(entry); });
    }
}

void FlowDocument::unlinkTarget(int routine, int source, int oldTarget)
{
    if (!isValid(routine, oldTarget))
        return;
    const FlowBlock &s = block(routine, source);
    // The source may still reach the old target with its other arrow.
    if (s.next == oldTarget || s.branch == oldTarget)
        return;
    rawBlock(routine, oldTarget).incoming.removeAll(source);
}

bool FlowDocument::link(int routine, int source, int target, bool side)
{
    if (!isOccupied(routine, source) || !isOccupied(routine, target))
        return false;
    const FlowBlock &s = block(routine, source);
    if (block(routine, target).is("start"))
        return false;
    if (side ? !s.is("if") : s.is("end"))
        return false;
    const int old = side ? s.branch : s.next;
    (side ? rawBlock(routine, source).branch : rawBlock(routine, source).next) = target;
    if (old != NoSlot && old != target)
        unlinkTarget(routine, source, old);
    QList<int> &incoming = rawBlock(routine, target).incoming;
    if (!incoming.contains(source))
        incoming << source;
    return true;
}

bool FlowDocument::linkBottom(int routine, int source, int target)
{
    return link(routine, source, target, false);
}

bool FlowDocument::linkSide(int routine, int source, int target)
{
    return link(routine, source, target, true);
}

int FlowDocument::blockAt(int routine, QPoint p) const
{
    int found = NoSlot;
    for (int s : occupiedSlots(routine)) {
        const FlowBlock &b = block(routine, s);
        if (b.x < p.x() && p.x() < b.x + BlockWidth && b.y < p.y() && p.y() < b.y + BlockHeight)
            found = s;
    }
    return found;
}

bool FlowDocument::linkBottomAt(int routine, int source, QPoint canvasPoint)
{
    return linkBottom(routine, source, blockAt(routine, canvasPoint));
}

bool FlowDocument::linkSideAt(int routine, int source, QPoint canvasPoint)
{
    return linkSide(routine, source, blockAt(routine, canvasPoint));
}

void FlowDocument::removeArrows(int routine, int slot)
{
    if (!isOccupied(routine, slot))
        return;
    FlowBlock &b = rawBlock(routine, slot);
    const int oldNext = b.next;
    const int oldBranch = b.branch;
    b.next = NoSlot;
    b.branch = NoSlot;
    unlinkTarget(routine, slot, oldNext);
    unlinkTarget(routine, slot, oldBranch);
}

void FlowDocument::clear()
{
    for (FlowBlock &b : m_blocks)
        b = FlowBlock();
}

int FlowDocument::blockCount() const
{
    int count = 0;
    for (const FlowBlock &b : m_blocks)
        count += b.isOccupied() ? 1 : 0;
    return count;
}

int FlowDocument::blockCount(int routine) const
{
    return occupiedSlots(routine).size();
}

int FlowDocument::byteTotal() const
{
    int total = 0;
    for (const FlowBlock &b : m_blocks) {
        if (b.isOccupied())
            total += InstructionLength(b.kind, b.params);
    }
    return total;
}

int FlowDocument::byteAddress(int routine, int slot) const
{
    const int end = isValid(routine, slot) ? indexOf(routine, slot) : int(m_blocks.size());
    int address = 0;
    for (int i = 0; i < end; ++i) {
        const FlowBlock &b = m_blocks.at(i);
        if (b.isOccupied())
            address += InstructionLength(b.kind, b.params);
    }
    return address;
}

void FlowDocument::repairArrows()
{
    for (int r = 0; r < RoutineCount; ++r) {
        auto usable = [&](int target) { return isOccupied(r, target) && !block(r, target).is("start"); };
        for (int s : occupiedSlots(r)) {
            FlowBlock &b = rawBlock(r, s);
            if (b.next != NoSlot && (b.is("end") || !usable(b.next)))
                b.next = NoSlot;
            if (b.branch != NoSlot && (!b.is("if") || !usable(b.branch)))
                b.branch = NoSlot;
        }
        QList<QList<int>> sources(SlotsPerRoutine);
        for (int s : occupiedSlots(r)) {
            const FlowBlock &b = block(r, s);
            if (b.next != NoSlot)
                sources[b.next] << s;
            if (b.branch != NoSlot && b.branch != b.next)
                sources[b.branch] << s;
        }
        for (int t = 0; t < SlotsPerRoutine; ++t) {
            FlowBlock &b = rawBlock(r, t);
            if (!b.isOccupied()) {
                b.incoming.clear();
                continue;
            }
            QList<int> kept;
            for (int entry : b.incoming) {
                if (sources[t].contains(entry) && !kept.contains(entry))
                    kept << entry;
            }
            for (int entry : sources[t]) {
                if (!kept.contains(entry))
                    kept << entry;
            }
            b.incoming = kept;
        }
    }
}

QStringList FlowDocument::invariantViolations() const
{
    QStringList problems;
    if (byteTotal() > FlowByteBudget)
        problems << QStringLiteral("byte total %1 above %2").arg(byteTotal()).arg(FlowByteBudget);
    for (int r = 0; r < RoutineCount; ++r) {
        const QString where = QStringLiteral("routine %1").arg(r);
        QList<QList<int>> sources(SlotsPerRoutine);
        for (int s = 0; s < SlotsPerRoutine; ++s) {
            const FlowBlock &b = block(r, s);
            const QString at = QStringLiteral("%1 slot %2: ").arg(where).arg(s);
            if (!b.isOccupied()) {
                if (b != FlowBlock())
                    problems << at + QStringLiteral("free slot not cleared");
                continue;
            }
            if (!IsProgramKeyword(b.kind))
                problems << at + QStringLiteral("unknown kind ") + b.kind;
            if (b.slotNo != s)
                problems << at + QStringLiteral("SlotNo %1").arg(b.slotNo);
            if (b.x < 0 || b.y < 0)
                problems << at + QStringLiteral("negative position");
            if (b.is("start") != (s == 0))
                problems << at + QStringLiteral("start block outside slot 0 or other block in slot 0");
            if (b.is("routine") && r != 0)
                problems << at + QStringLiteral("subroutine call outside the main routine");
            if (b.is("end") && b.next != NoSlot)
                problems << at + QStringLiteral("end block with a bottom arrow");
            if (!b.is("if") && b.branch != NoSlot)
                problems << at + QStringLiteral("side arrow on a block that is not an if");
            for (int target : {b.next, b.branch}) {
                if (target == NoSlot)
                    continue;
                if (!isOccupied(r, target))
                    problems << at + QStringLiteral("arrow to free slot %1").arg(target);
                else if (block(r, target).is("start"))
                    problems << at + QStringLiteral("arrow into the start block");
                else if (!sources[target].contains(s))
                    sources[target] << s;
            }
        }
        for (int t = 0; t < SlotsPerRoutine; ++t) {
            const FlowBlock &b = block(r, t);
            if (!b.isOccupied())
                continue;
            QList<int> listed = b.incoming;
            std::sort(listed.begin(), listed.end());
            QList<int> expected = sources[t];
            std::sort(expected.begin(), expected.end());
            if (listed != expected)
                problems << QStringLiteral("%1 slot %2: incoming %3 does not match the arrows")
                                .arg(where).arg(t).arg(b.incomingText());
        }
    }
    return problems;
}

} // namespace koru
