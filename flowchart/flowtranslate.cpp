#include "flowchart/flowtranslate.h"

#include "flowchart/flowstructure.h"
#include "model/catalogue.h"

namespace koru {

namespace {

struct PendingBranch
{
    int ifSlot = 0;
    int target = NoSlot;
    int family = 0;
    int level = 0;
};

// A FlowItem with the slot of the if its marker belongs to.
struct Entry
{
    FlowItem item;
    int ifSlot = NoSlot;
};

int StartSlot(const FlowDocument &doc, int routine)
{
    int start = NoSlot;
    for (int s : doc.occupiedSlots(routine)) {
        if (doc.block(routine, s).is("start"))
            start = s;
    }
    return start;
}

qsizetype IndexOfBlock(const QList<Entry> &list, int slot)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).item.type == FlowItem::Block && list.at(i).item.slot == slot)
            return i;
    }
    return -1;
}

qsizetype IndexOfMarker(const QList<Entry> &list, FlowItem::Type type, int ifSlot)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).item.type == type && list.at(i).ifSlot == ifSlot)
            return i;
    }
    return -1;
}

// The listing must stand for the arrows that were drawn: rebuilding the
// arrows from its if / else / endif order has to give every block the
// successors it has in the flowchart. Branch structures that do not nest
// fail this test instead of yielding a listing of another program. All end
// blocks count as the same place, the end of the routine.
bool ListingMatchesArrows(const FlowDocument &doc, int routine, const QList<Entry> &list)
{
    QList<StructureEntry> entries;
    for (const Entry &e : list) {
        if (e.item.type == FlowItem::Block)
            entries << StructureEntry{StructureEntry::Block, e.item.slot, doc.block(routine, e.item.slot).is("if")};
        else
            entries << StructureEntry{e.item.type == FlowItem::Else ? StructureEntry::Else : StructureEntry::Endif, -1, false};
    }
    const auto links = StructuredLinks(entries);
    if (!links)
        return false;
    auto same = [&](int expected, int actual) {
        if (expected == actual)
            return true;
        return expected != NoSlot && actual != NoSlot && doc.block(routine, expected).is("end")
               && doc.block(routine, actual).is("end");
    };
    for (const Entry &e : list) {
        if (e.item.type != FlowItem::Block)
            continue;
        const FlowBlock &b = doc.block(routine, e.item.slot);
        if (b.is("end"))
            continue;
        const StructureLinks l = links->value(e.item.slot);
        if (!same(l.next, b.next))
            return false;
        if (b.is("if") && !same(l.branch, b.branch))
            return false;
    }
    return true;
}

} // namespace

Linearisation LineariseRoutine(const FlowDocument &doc, int routine)
{
    Linearisation result;
    const RoutineCheck check = CheckRoutine(doc, routine);
    if (check.code != FlowOk) {
        result.code = check.code;
        return result;
    }
    if (check.cycle) {
        result.code = FlowCycle;
        return result;
    }
    auto fail = [&](int code) {
        result.code = code;
        result.items.clear();
        return result;
    };

    QList<bool> inList(SlotsPerRoutine, false);
    QList<Entry> list;
    QList<PendingBranch> stack;
    auto familyOf = [&](int slot) { return ConditionFamilyOf(SubKindOf(doc.block(routine, slot).params)); };

    // Main path: start block to the block without a bottom arrow.
    int b = StartSlot(doc, routine);
    while (true) {
        list << Entry{FlowItem::block(routine, b), NoSlot};
        inList[b] = true;
        const FlowBlock &block = doc.block(routine, b);
        if (block.is("if"))
            stack << PendingBranch{b, block.branch, familyOf(b), 0};
        if (block.next == NoSlot)
            break;
        b = block.next;
        if (!FlowDocument::isValidSlot(b) || inList[b])
            return fail(FlowCycle); // the check saw no cycle; never walk one
    }
    const int mainEnd = list.last().item.slot;

    while (!stack.isEmpty()) {
        const PendingBranch e = stack.takeLast();
        if (!doc.isOccupied(routine, e.target))
            return fail(FlowNotConnected);

        QList<int> collected;
        QList<bool> inSection(SlotsPerRoutine, false);
        int merge = e.target;
        const FlowBlock &target = doc.block(routine, e.target);
        if (!target.is("end") && !inList[e.target]) {
            int t = e.target;
            while (true) {
                collected << t;
                inSection[t] = true;
                const FlowBlock &block = doc.block(routine, t);
                if (block.is("if"))
                    stack << PendingBranch{t, block.branch, familyOf(t), e.level + 1};
                if (block.next == NoSlot)
                    return fail(FlowVariableUnset); // the no-path never rejoins
                t = block.next;
                if (!FlowDocument::isValidSlot(t) || inSection[t])
                    return fail(FlowCycle);
                if (inList[t]) {
                    merge = t;
                    break;
                }
            }
        } else if (target.is("end") && !inList[e.target]) {
            // A side arrow straight into another end block: every end block
            // ends the routine, so the no-path is empty and the section closes
            // just before the end of the main path. Whether that still means
            // the drawn program is checked below.
            merge = mainEnd;
        }

        qsizetype pos = IndexOfBlock(list, merge);
        // Endif markers right before the merge block that close ifs in whose
        // no-path this if lies stay outside the new section.
        while (pos > 0 && list.at(pos - 1).item.type == FlowItem::Endif) {
            const int outer = list.at(pos - 1).ifSlot;
            const qsizetype elsePos = IndexOfMarker(list, FlowItem::Else, outer);
            const qsizetype ifPos = IndexOfBlock(list, e.ifSlot);
            if (elsePos < 0 || ifPos < elsePos || ifPos > pos - 1)
                break;
            --pos;
        }
        QList<Entry> section;
        section << Entry{FlowItem::marker(FlowItem::Else, e.family), e.ifSlot};
        for (int slot : collected) {
            section << Entry{FlowItem::block(routine, slot), NoSlot};
            inList[slot] = true;
        }
        section << Entry{FlowItem::marker(FlowItem::Endif, e.family), e.ifSlot};
        for (qsizetype i = 0; i < section.size(); ++i)
            list.insert(pos + i, section.at(i));
    }

    if (!ListingMatchesArrows(doc, routine, list))
        return fail(FlowVariableUnset);

    for (qsizetype i = 1; i + 1 < list.size(); ++i)
        result.items << list.at(i).item;
    return result;
}

QStringList ListingOfSequence(const FlowDocument &doc, const QList<FlowItem> &sequence)
{
    QStringList records;
    for (const FlowItem &item : sequence) {
        switch (item.type) {
        case FlowItem::Block: {
            const FlowBlock &b = doc.block(item.routine, item.slot);
            if (b.is("start") || b.is("end"))
                break;
            records << CommandRecord(b.kind, b.params);
            break;
        }
        case FlowItem::Else:
            records << ElseRecord(item.family);
            break;
        case FlowItem::Endif:
            records << EndifRecord(item.family);
            break;
        }
    }
    return CommandListing(records);
}

ListingResult BuildCommandListing(const FlowDocument &doc)
{
    ListingResult result;
    const Linearisation main = LineariseRoutine(doc, 0);
    if (!main.ok()) {
        result.code = main.code;
        return result;
    }
    for (const FlowItem &item : main.items) {
        const FlowBlock &b = doc.block(item.routine, item.slot);
        if (item.type != FlowItem::Block || !b.is("routine")) {
            result.sequence << item;
            continue;
        }
        // The check of the main routine has made sure p1 names 1-4.
        const int called = ParameterOf(b.params, 1);
        const Linearisation sub = LineariseRoutine(doc, called);
        if (!sub.ok()) {
            result.code = sub.code;
            result.warning = SubroutineCheckMessage(called);
            result.sequence.clear();
            return result;
        }
        result.sequence << sub.items;
    }
    result.listing = ListingOfSequence(doc, result.sequence);
    return result;
}

DeviceImage EncodeFlowDocument(const FlowDocument &doc)
{
    DeviceImage image;
    auto addressOf = [&](int routine, int slot) {
        return doc.isOccupied(routine, slot) ? doc.byteAddress(routine, slot) : 0;
    };
    for (int r = 0; r < RoutineCount; ++r) {
        for (int s : doc.occupiedSlots(r)) {
            const FlowBlock &b = doc.block(r, s);
            int called = 0;
            if (b.is("routine")) {
                const int sub = ParameterOf(b.params, 1);
                called = FlowDocument::isValidRoutine(sub) ? doc.byteAddress(sub, 0) : 0;
            }
            image << EncodeInstruction(b.kind, b.params, addressOf(r, b.next),
                                       b.is("if") ? addressOf(r, b.branch) : 0, called,
                                       b.is("end") && r != 0);
        }
    }
    return image;
}

ImageResult BuildDeviceImage(const FlowDocument &doc)
{
    ImageResult result;
    result.check = CheckProgram(doc);
    if (result.check.ok())
        result.image = EncodeFlowDocument(doc);
    return result;
}

Sendable SendableImage(const FlowDocument &doc)
{
    ImageResult built = BuildDeviceImage(doc);
    if (!built.ok()) {
        const int element = built.check.slot == NoSlot ? -1 : built.check.routine * SlotsPerRoutine + built.check.slot;
        return {{}, built.check.message, element};
    }
    return {std::move(built.image), {}, -1};
}

int ElementAtAddress(const FlowDocument &doc, int address)
{
    // The image holds every occupied block in routine and slot order
    // (FlowDocument::byteAddress), so one walk finds the address.
    int at = 0;
    for (int r = 0; r < RoutineCount; ++r) {
        for (int s : doc.occupiedSlots(r)) {
            if (at > address)
                return -1;
            if (at == address)
                return r * SlotsPerRoutine + s;
            const FlowBlock &b = doc.block(r, s);
            at += InstructionLength(b.kind, b.params);
        }
    }
    return -1;
}

} // namespace koru
