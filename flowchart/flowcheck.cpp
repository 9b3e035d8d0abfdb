#include "flowchart/flowcheck.h"

#include "model/catalogue.h"

#include <QQueue>
#include <functional>

namespace koru {

QString FlowCodeMessage(int code)
{
    switch (code) {
    case FlowNotConnected:
        return QStringLiteral("プログラムがきちんと結ばれておりません。\r\nプログラムを確認して下さい。");
    case FlowNoStart:
        return QStringLiteral("プログラム開始命令がありません。\r\nプログラムを確認して下さい。");
    case FlowLoopMisplaced:
        return QStringLiteral("繰り返し命令の位置関係が間違っております。\r\nプログラムを確認して下さい。");
    case FlowVariableUnset:
        return QStringLiteral("変数x,yを使った条件分岐命令は事前に変数に代入する命令が必要です。\r\nプログラムを確認して下さい。");
    default:
        return {};
    }
}

QString SubroutineCheckMessage(int routine)
{
    return QStringLiteral("サブルーチン") + QString::number(routine) + QStringLiteral("のプログラムを確認して下さい。");
}

QString ListingUnavailableMessage()
{
    return QStringLiteral("プログラムが正しくないため表示できません。");
}

namespace {

// True when `to` can be reached from `from` over bottom and side arrows
// without entering a block for which `blocked` holds (`from` itself is
// always left). Each block is entered once, so any graph is fine.
bool Reaches(const FlowDocument &doc, int routine, int from, int to,
             const std::function<bool(const FlowBlock &)> &blocked = {})
{
    QList<bool> seen(SlotsPerRoutine, false);
    QQueue<int> pending;
    pending.enqueue(from);
    seen[from] = true;
    while (!pending.isEmpty()) {
        const FlowBlock &b = doc.block(routine, pending.dequeue());
        for (int target : {b.next, b.branch}) {
            if (!FlowDocument::isValidSlot(target) || seen[target])
                continue;
            if (target == to)
                return true;
            seen[target] = true;
            if (!blocked || !blocked(doc.block(routine, target)))
                pending.enqueue(target);
        }
    }
    return false;
}

// Sub-kind of dainyuu that must come before an if comparing with a variable,
// or -1 when the if needs none (7-9 read x, 13-15 read y).
int NeededMeasurement(int ifSubKind)
{
    if (ifSubKind >= 7 && ifSubKind <= 9)
        return 0;
    if (ifSubKind >= 13 && ifSubKind <= 15)
        return 1;
    return -1;
}

} // namespace

RoutineCheck CheckRoutine(const FlowDocument &doc, int routine)
{
    RoutineCheck result;
    auto fail = [&](int code, int blamed = NoSlot) {
        result.code = code;
        result.slot = blamed;
        return result;
    };
    if (!FlowDocument::isValidRoutine(routine))
        return fail(FlowNoStart);

    int start = NoSlot;
    for (int s : doc.occupiedSlots(routine)) {
        if (doc.block(routine, s).is("start"))
            start = s;
    }
    if (start == NoSlot)
        return fail(FlowNoStart);

    QList<bool> visited(SlotsPerRoutine, false);
    QQueue<int> pendingBranches;
    bool loopOpen = false;
    int loopStart = NoSlot; // the open loop's start block
    int previous = 0;
    int a = start;

    // Every pass either enters a new block or takes a queued branch; both
    // happen at most 30 times, so the walk cannot run longer than this.
    for (int guard = 0; guard < 4 * SlotsPerRoutine + 4; ++guard) {
        const FlowBlock &block = doc.block(routine, a);
        // An arrow to a free slot leads nowhere: -1.
        if (!block.isOccupied())
            return fail(FlowNotConnected, previous);
        if (block.next == NoSlot && !block.is("end"))
            return fail(FlowNotConnected, a);

        if (visited[a]) {
            // An arrow from `previous` into a block already walked: it closes a
            // cycle exactly when that block leads on to `previous`. (A search
            // back over incoming lists that gives up at the start block or
            // after a fixed number of steps misses cycles behind merging
            // paths, and takes programs with many merging branches for cycles.)
            if (a == previous || Reaches(doc, routine, a, previous))
                result.cycle = true;
            if (loopOpen)
                return fail(FlowLoopMisplaced, loopStart);
            if (pendingBranches.isEmpty())
                break;
            // The walk goes on from the if whose side path is taken now, so
            // that is the block the next arrow leaves from.
            previous = pendingBranches.dequeue();
            a = doc.block(routine, previous).branch;
            continue;
        }

        result.reached << a;
        if (!block.is("end")) {
            if (block.is("routine")) {
                // Calls stand only in the main routine and name subroutines
                // 1-4; anything else leads nowhere and counts as unconnected,
                // which also keeps the program check from running in circles.
                const int called = ParameterOf(block.params, 1);
                if (routine != 0 || called < 1 || called >= RoutineCount)
                    return fail(FlowNotConnected, a);
                result.calledSubroutines << called;
            } else if (block.is("loop")) {
                if (SubKindOf(block.params) == 0) {
                    if (loopOpen)
                        return fail(FlowLoopMisplaced, a);
                    loopOpen = true;
                    loopStart = a;
                } else {
                    if (!loopOpen)
                        return fail(FlowLoopMisplaced, a);
                    loopOpen = false;
                }
            } else if (block.is("if")) {
                if (block.branch == NoSlot)
                    return fail(FlowNotConnected, a);
                pendingBranches.enqueue(a);
                // A block may be entered by several arrows. The variable must
                // have been measured on every way from the start block to the
                // if: the test fails when the if can be reached from the start
                // without passing a block that measures into that variable.
                const int needed = NeededMeasurement(SubKindOf(block.params));
                if (needed >= 0) {
                    auto measures = [needed](const FlowBlock &b) {
                        return b.is("dainyuu") && SubKindOf(b.params) == needed;
                    };
                    if (a == start || Reaches(doc, routine, start, a, measures))
                        return fail(FlowVariableUnset, a);
                }
            }
            visited[a] = true;
            previous = a;
            a = block.next;
        } else {
            if (loopOpen)
                return fail(FlowLoopMisplaced, loopStart);
            if (pendingBranches.isEmpty())
                break;
            visited[a] = true;
            previous = pendingBranches.dequeue();
            a = doc.block(routine, previous).branch;
        }
        // The arrow just followed left `previous` for no slot at all.
        if (!FlowDocument::isValidSlot(a))
            return fail(FlowNotConnected, previous);
    }

    if (loopOpen)
        return fail(FlowLoopMisplaced, loopStart);
    result.code = FlowOk;
    return result;
}

ProgramCheck CheckProgram(const FlowDocument &doc)
{
    ProgramCheck result;
    QList<int> toCheck{0};
    while (!toCheck.isEmpty()) {
        const int routine = toCheck.takeFirst();
        const RoutineCheck check = CheckRoutine(doc, routine);
        if (check.code != FlowOk) {
            result.code = check.code;
            result.routine = routine;
            result.slot = check.slot;
            result.message = FlowCodeMessage(check.code);
            return result;
        }
        // Only the main routine calls (CheckRoutine refuses calls elsewhere),
        // so the list cannot grow without end.
        toCheck << check.calledSubroutines;
    }
    return result;
}

} // namespace koru
