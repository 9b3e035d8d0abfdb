#include "flowchart/flowedit.h"

#include "model/catalogue.h"
#include "model/encoder.h"
#include "model/textutil.h"

#include <algorithm>

namespace koru {

namespace {

const QString NoParameters = QStringLiteral("0,0,0,0,0,0");

bool HasStart(const FlowDocument &doc, int routine)
{
    for (int s : doc.occupiedSlots(routine)) {
        if (doc.block(routine, s).is("start"))
            return true;
    }
    return false;
}

BudgetPart instructionsOver(const FlowDocument &doc, int routine)
{
    return {InstructionBudget, doc.blockCount(routine) + 1, SlotsPerRoutine};
}

BudgetPart bytesOver(int total)
{
    return {ByteBudget, total, FlowByteBudget};
}

} // namespace

QString BudgetRefusalText(const BudgetPart &wouldBe)
{
    if (wouldBe.used <= wouldBe.limit)
        return QStringLiteral("残りの1つはスタート命令の場所のため追加できません");
    return QStringLiteral("%1 %2/%3 となり上限を超えるため追加できません").arg(wouldBe.name).arg(wouldBe.used).arg(wouldBe.limit);
}

QString BlockLimitMessage()
{
    return QStringLiteral("配置できる命令数は") + QString::number(SlotsPerRoutine)
           + QStringLiteral("個までです。これ以上命令を追加できません。");
}

QString StartPlacedMessage()
{
    return QStringLiteral("スタート命令はすでに配置しております。");
}

QString CallOutsideMainMessage()
{
    return QStringLiteral("サブルーチン命令はメインルーチン以外には配置出来ません。");
}

QString ByteOverflowMessage()
{
    return QStringLiteral("これ以上命令を追加できません。(バイト数オーバー)");
}

QString PasteStartMessage()
{
    return QStringLiteral("開始命令が含まれている為コピー出来ません。");
}

EditResult DropNewBlock(FlowDocument &doc, int routine, int paletteIndex, QPoint p)
{
    EditResult result;
    const QString kind = KindNameOf(QString::number(paletteIndex));
    if (doc.freeSlot(routine) == NoSlot) {
        result.message = BlockLimitMessage();
        // A start block refused with its own place free broke no budget:
        // the slots are searched first, whatever the kind.
        if (kind != QLatin1String("start") || doc.isOccupied(routine, 0))
            result.exceeded = instructionsOver(doc, routine);
        return result;
    }
    int slot = doc.freeSlot(routine);
    if (kind == QLatin1String("start")) {
        if (doc.block(routine, 0).is("start")) {
            result.message = StartPlacedMessage();
            return result;
        }
        slot = 0;
    }
    if (kind == QLatin1String("routine") && routine != 0) {
        result.message = CallOutsideMainMessage();
        return result;
    }
    if (!doc.place(routine, slot, kind, p.x(), p.y())) {
        result.message = StartPlacedMessage(); // slot 0 taken by a block that is no start
        return result;
    }
    result.slot = slot;
    return result;
}

EditResult ConfirmNewBlock(FlowDocument &doc, int routine, int slot, const QString &params)
{
    EditResult result;
    result.slot = slot;
    if (!doc.isOccupied(routine, slot))
        return result;
    doc.setParams(routine, slot, IsStartOrEnd(doc.block(routine, slot).kind) ? NoParameters : params);
    if (!doc.fitsBudget()) {
        result.exceeded = bytesOver(doc.byteTotal());
        doc.removeBlocks(routine, {slot});
        result.slot = NoSlot;
        result.message = ByteOverflowMessage();
    }
    return result;
}

QString ReplaceRefusal(const FlowDocument &doc, int routine, int paletteIndex)
{
    const QString kind = KindNameOf(QString::number(paletteIndex));
    if (kind == QLatin1String("start") && HasStart(doc, routine))
        return StartPlacedMessage();
    if (kind == QLatin1String("routine") && routine != 0)
        return CallOutsideMainMessage();
    return {};
}

EditResult ReplaceBlock(FlowDocument &doc, int routine, int slot, int paletteIndex, const QString &params)
{
    EditResult result;
    result.slot = slot;
    result.message = ReplaceRefusal(doc, routine, paletteIndex);
    if (!result.ok() || !doc.isOccupied(routine, slot))
        return result;
    const QString kind = KindNameOf(QString::number(paletteIndex));
    const QString newParams = IsStartOrEnd(kind) ? NoParameters : params;
    const FlowBlock &old = doc.block(routine, slot);
    const int total = doc.byteTotal() - InstructionLength(old.kind, old.params) + InstructionLength(kind, newParams);
    if (total > FlowByteBudget) {
        result.message = ByteOverflowMessage();
        result.exceeded = bytesOver(total);
        return result;
    }
    const int at = doc.changeKind(routine, slot, kind, newParams);
    if (at == NoSlot) {
        // A start block needs slot 0; a former start block needs a free slot.
        const bool start = kind == QLatin1String("start");
        result.message = start ? StartPlacedMessage() : BlockLimitMessage();
        if (!start)
            result.exceeded = instructionsOver(doc, routine);
        return result;
    }
    result.slot = at;
    return result;
}

EditResult ChangeParams(FlowDocument &doc, int routine, int slot, const QString &params)
{
    EditResult result;
    result.slot = slot;
    if (!doc.isOccupied(routine, slot))
        return result;
    const FlowBlock &b = doc.block(routine, slot);
    const int total = doc.byteTotal() - InstructionLength(b.kind, b.params) + InstructionLength(b.kind, params);
    if (total > FlowByteBudget) {
        result.message = ByteOverflowMessage();
        result.exceeded = bytesOver(total);
        return result;
    }
    doc.setParams(routine, slot, params);
    return result;
}

PasteResult PasteBlocks(FlowDocument &doc, int routine, const QList<int> &clipboard, int fromRoutine)
{
    PasteResult result;
    if (!FlowDocument::isValidRoutine(fromRoutine))
        fromRoutine = routine;
    QList<int> sources;
    for (int s : clipboard) {
        if (doc.isOccupied(fromRoutine, s) && !sources.contains(s))
            sources << s;
    }
    for (int s : sources) {
        if (doc.block(fromRoutine, s).is("start")) {
            result.message = PasteStartMessage();
            return result;
        }
    }
    // Copies of the originals as they were: pasting into the same routine
    // adds blocks to it while the loop runs.
    QList<FlowBlock> originals;
    for (int s : sources)
        originals << doc.block(fromRoutine, s);
    QList<int> copies;
    for (const FlowBlock &original : originals) {
        const int slot = doc.freeSlot(routine);
        if (slot == NoSlot) {
            result.message = BlockLimitMessage();
            result.exceeded = instructionsOver(doc, routine);
            break;
        }
        if (!doc.place(routine, slot, original.kind, original.x + BlockWidth, original.y + BlockHeight)) {
            result.message = CallOutsideMainMessage(); // the only kind a routine may refuse
            break;
        }
        doc.setParams(routine, slot, original.params);
        if (!doc.fitsBudget()) {
            result.exceeded = bytesOver(doc.byteTotal());
            doc.removeBlocks(routine, {slot});
            result.message = ByteOverflowMessage();
            break;
        }
        copies << slot;
    }
    // Arrows between copied blocks are copied too; arrows leaving the
    // clipboard are not.
    for (int i = 0; i < copies.size(); ++i) {
        const FlowBlock &original = originals.at(i);
        const qsizetype next = sources.indexOf(original.next);
        const qsizetype branch = sources.indexOf(original.branch);
        if (next >= 0 && next < copies.size())
            doc.linkBottom(routine, copies.at(i), copies.at(next));
        if (branch >= 0 && branch < copies.size())
            doc.linkSide(routine, copies.at(i), copies.at(branch));
    }
    result.pasted = copies;
    return result;
}

void AlignBlocks(FlowDocument &doc, int routine, const QList<int> &selection, Alignment alignment)
{
    QList<int> blocks;
    for (int s : selection) {
        if (doc.isOccupied(routine, s) && !blocks.contains(s))
            blocks << s;
    }
    if (blocks.isEmpty())
        return;
    const bool horizontal = alignment == Alignment::Left || alignment == Alignment::CentreHorizontal
                            || alignment == Alignment::Right || alignment == Alignment::SpreadHorizontal;
    auto coordinate = [&](int s) { return horizontal ? doc.block(routine, s).x : doc.block(routine, s).y; };
    auto set = [&](int s, int value) {
        const FlowBlock &b = doc.block(routine, s);
        doc.setPosition(routine, s, horizontal ? value : b.x, horizontal ? b.y : value);
    };
    int low = coordinate(blocks.first());
    int high = low;
    for (int s : blocks) {
        low = qMin(low, coordinate(s));
        high = qMax(high, coordinate(s));
    }
    switch (alignment) {
    case Alignment::Left:
    case Alignment::Top:
        for (int s : blocks)
            set(s, low);
        break;
    case Alignment::Right:
    case Alignment::Bottom:
        for (int s : blocks)
            set(s, high);
        break;
    case Alignment::CentreHorizontal:
    case Alignment::CentreVertical:
        for (int s : blocks)
            set(s, low + RoundHalfEven((high - low) / 2.0));
        break;
    case Alignment::SpreadHorizontal:
    case Alignment::SpreadVertical: {
        if (blocks.size() < 3)
            break;
        // Blocks at the same coordinate keep the order they were selected in.
        std::stable_sort(blocks.begin(), blocks.end(), [&](int a, int b) { return coordinate(a) < coordinate(b); });
        // Each place is rounded on its own, so the last block stays at the
        // far end instead of drifting by the rounded step.
        const double step = double(high - low) / double(blocks.size() - 1);
        for (int k = 0; k < blocks.size(); ++k)
            set(blocks.at(k), low + RoundHalfEven(k * step));
        break;
    }
    }
}

} // namespace koru
