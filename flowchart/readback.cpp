#include "flowchart/readback.h"

#include "model/catalogue.h"
#include "model/decoder.h"

#include <QHash>
#include <QQueue>

namespace koru {

namespace {

struct PendingIf
{
    int slot = 0;
    int noAddress = 0;
};

} // namespace

QString ReadbackQuestion()
{
    return QStringLiteral("転送済みデータを取得します。\r\n作成中のプログラムは削除されます。よろしいですか？");
}

QStringList MemoryLinesOfImage(const DeviceImage &image)
{
    QStringList lines;
    for (int value : image)
        lines << QStringLiteral("%1 ").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    lines << QStringLiteral("FA ");
    return lines;
}

ReadbackResult RebuildFromMemory(FlowDocument &doc, const QStringList &lines)
{
    doc.clear();
    ReadbackResult result;

    int n = 0;         // routine being rebuilt
    int a = 0;         // address of the next instruction
    int e = 0;         // slot for the next block
    int p = 0;         // slot of the block the next arrow leaves from
    int x = LaidOutFirstX;
    int y = LaidOutFirstY;
    bool yesPath = true;
    QHash<int, int> visited; // address -> slot, for routine n
    QQueue<PendingIf> pending;
    SubroutineNumbering numbering;
    QList<int> startedSubroutines; // addresses already walked as routines 1, 2 ...
    bool complete = false;

    auto unusable = [&](ReadbackResult::Status status) {
        doc.clear();
        result.status = status;
        return result;
    };
    auto finish = [&]() {
        // Provisional bottom arrows that never got a block behind them (the
        // memory ended first) are dropped, and every incoming list matches.
        doc.repairArrows();
        return result;
    };

    // Takes the next pending no-path or the next subroutine; false when the
    // walk is complete.
    auto nextPath = [&]() {
        if (!pending.isEmpty()) {
            const PendingIf branch = pending.dequeue();
            a = branch.noAddress;
            p = branch.slot;
            yesPath = false;
            x = doc.block(n, p).x + LaidOutColumnStep;
            y = doc.block(n, p).y + LaidOutRowStep;
            return true;
        }
        if (startedSubroutines.size() < numbering.addresses().size()) {
            a = numbering.addresses().at(startedSubroutines.size());
            startedSubroutines << a;
            n = int(startedSubroutines.size());
            visited.clear();
            e = 0;
            p = 0;
            x = LaidOutFirstX;
            y = LaidOutFirstY;
            yesPath = true;
            return true;
        }
        return false;
    };

    for (result.steps = 0; result.steps < ReadbackStepLimit && !complete; ++result.steps) {
        const auto first = ByteValueOfLine(a >= 0 && a < lines.size() ? lines.at(a) : QString());
        if (!first) {
            result.status = ReadbackResult::Unconvertible;
            result.message = ConversionFailedMessage;
            return finish();
        }
        if (*first == MemoryEndByte) {
            complete = true;
            break;
        }
        // Every program the editors send begins with a start instruction;
        // FF where one belongs is memory that was never written, whose
        // bytes would read as made-up blocks.
        if (a == 0 && *first == UnwrittenByte) {
            result.status = ReadbackResult::NoProgram;
            result.message = NoProgramInKitMessage;
            return result;
        }

        if (visited.contains(a)) {
            const int l = visited.value(a);
            FlowBlock &from = doc.rawBlock(n, p);
            if (from.is("if") && !yesPath)
                from.branch = l;
            else
                from.next = l;
            if (!doc.block(n, l).incoming.contains(p))
                doc.rawBlock(n, l).incoming << p;
            complete = !nextPath();
            continue;
        }

        const DecodedInstruction decoded = DecodeReplyLines(lines, a, &numbering);
        if (!decoded.complete()) {
            result.status = ReadbackResult::Unconvertible;
            result.message = ConversionFailedMessage;
            return finish();
        }
        // A start instruction only opens a routine.
        if (decoded.keyword == QLatin1String("start") && !visited.isEmpty())
            return unusable(ReadbackResult::Unusable);
        if (decoded.keyword == QLatin1String("routine")) {
            // The document has four subroutines, called only from the main routine.
            if (n != 0 || numbering.addresses().size() > RoutineCount - 1)
                return unusable(ReadbackResult::Unusable);
        }
        // Slot 0 belongs to a start block; a routine that begins otherwise
        // (not a program of the editors) keeps it free.
        if (e == 0 && decoded.keyword != QLatin1String("start"))
            e = doc.freeSlot(n);
        if (e == NoSlot)
            return unusable(ReadbackResult::Unusable);

        visited.insert(a, e);
        FlowBlock &block = doc.rawBlock(n, e);
        block.slotNo = e;
        block.kind = decoded.keyword;
        block.params = decoded.parameters;
        block.x = x;
        block.y = y;
        y += LaidOutRowStep;

        if (!block.is("start")) {
            block.incoming << p;
            if (doc.block(n, p).is("if") && !yesPath && p != e)
                doc.rawBlock(n, p).branch = e;
        }
        if (!block.is("end") && e + 1 < SlotsPerRoutine)
            block.next = e + 1; // provisional, replaced when the address was walked already
        p = e;

        if (block.is("if")) {
            pending.enqueue(PendingIf{e, decoded.branch});
            yesPath = true;
        }

        const bool isEnd = block.is("end");
        e = doc.freeSlot(n);
        if (isEnd) {
            complete = !nextPath();
        } else {
            if (e == NoSlot)
                return unusable(ReadbackResult::Unusable);
            a = decoded.next;
        }
    }

    if (!complete)
        return unusable(ReadbackResult::TooManySteps);
    return finish();
}

} // namespace koru
