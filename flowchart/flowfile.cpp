#include "flowchart/flowfile.h"

#include "flowchart/listingimport.h"
#include "model/catalogue.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/textutil.h"


namespace koru {

namespace {

std::optional<int> SlotNumber(const QString &text)
{
    const auto value = ToInteger(text);
    if (!value || !FlowDocument::isValidSlot(*value))
        return std::nullopt;
    return value;
}

// An empty text gives NoSlot.
std::optional<int> OptionalSlot(const QString &text)
{
    if (text.isEmpty())
        return NoSlot;
    return SlotNumber(text);
}

std::optional<int> Coordinate(const QString &text)
{
    const auto value = ToInteger(text);
    if (!value || *value < 0 || *value > MaxCanvasCoordinate)
        return std::nullopt;
    return value;
}

bool IsParameterString(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 6)
        return false;
    for (const QString &field : fields) {
        const auto value = ToInteger(field);
        if (!value || *value < 0 || *value > 255)
            return false;
    }
    return true;
}

// The kit and subroutine calls enter a routine at slot 0, so that is where
// its start block belongs. A file may hold the start block elsewhere, or
// another block in slot 0 (a block dropped onto the start block keeps its
// slot): such blocks are moved, arrows and all. Two start blocks are damage.
bool PutStartInSlotZero(FlowDocument &doc, int routine)
{
    QList<int> starts;
    for (int s : doc.occupiedSlots(routine)) {
        if (doc.block(routine, s).is("start"))
            starts << s;
    }
    if (starts.size() > 1)
        return false;
    if (doc.isOccupied(routine, 0) && !doc.block(routine, 0).is("start")) {
        if (!doc.moveBlock(routine, 0, doc.freeSlot(routine)))
            return false; // thirty blocks and none of them in its place
    }
    if (!starts.isEmpty() && starts.first() != 0)
        doc.moveBlock(routine, starts.first(), 0);
    return true;
}

} // namespace

bool IsFlowFile(const QStringList &fileLines)
{
    return fileLines.contains(QStringLiteral("ROUTINE"));
}

QString OtherStepMessage()
{
    return QStringLiteral("このファイルは構文が間違っている為開けません。\r\nファイルを作成したステップで開いて下さい。");
}

QString SlotLine(const FlowBlock &b)
{
    return QStringList{QString::number(b.slotNo), b.kind, QString::number(b.x), QString::number(b.y),
                       b.incomingText(), b.nextText(), b.branchText(), b.params}
        .join(QLatin1Char('-'));
}

std::optional<FlowBlock> ParseSlotLine(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char('-'));
    if (fields.size() != 8)
        return std::nullopt;
    FlowBlock b;
    const auto slotNo = SlotNumber(fields.at(0));
    const auto x = Coordinate(fields.at(2));
    const auto y = Coordinate(fields.at(3));
    const auto next = OptionalSlot(fields.at(5));
    const auto branch = OptionalSlot(fields.at(6));
    if (!slotNo || !x || !y || !next || !branch)
        return std::nullopt;
    b.slotNo = *slotNo;
    b.kind = fields.at(1);
    b.x = *x;
    b.y = *y;
    b.next = *next;
    b.branch = *branch;
    if (!fields.at(4).isEmpty()) {
        for (const QString &entry : fields.at(4).split(QLatin1Char(','))) {
            const auto source = SlotNumber(entry);
            if (!source)
                return std::nullopt;
            if (!b.incoming.contains(*source))
                b.incoming << *source;
        }
    }
    b.params = fields.at(7);
    if (!b.kind.isEmpty() && !IsProgramKeyword(b.kind))
        return std::nullopt;
    if (!b.params.isEmpty() && !IsParameterString(b.params))
        return std::nullopt;
    return b;
}

QStringList FlowFileLines(const FlowDocument &doc, ListingResult *listing)
{
    const ListingResult translated = BuildCommandListing(doc);
    if (listing)
        *listing = translated;
    QStringList lines;
    if (translated.listing.isEmpty())
        lines << QStringLiteral("NG");
    else
        lines << QStringLiteral("OK") << translated.listing;
    lines << QStringLiteral("ROUTINE");
    for (int r = 0; r < RoutineCount; ++r) {
        for (int s = 0; s < SlotsPerRoutine; ++s)
            lines << SlotLine(doc.block(r, s));
    }
    return lines;
}

FlowLoadResult LoadFlowLines(FlowDocument &doc, const QStringList &lines)
{
    doc.clear();
    FlowLoadResult result;
    const qsizetype k = lines.indexOf(QStringLiteral("ROUTINE"));
    if (k < 0) {
        if (!lines.isEmpty() && lines.first() == QLatin1String("OK")) {
            const ImportResult imported = ImportListing(doc, lines);
            result.status = imported.ok() ? FlowLoadResult::Imported
                            : imported.status == ImportResult::TooLarge ? FlowLoadResult::TooLarge
                                                                       : FlowLoadResult::Failed;
            result.message = imported.message;
            return result;
        }
        result.status = FlowLoadResult::OtherStep;
        result.message = OtherStepMessage();
        result.isInformation = true;
        return result;
    }

    auto fail = [&]() {
        doc.clear();
        result.status = FlowLoadResult::Failed;
        result.message = LoadFailed;
        return result;
    };
    // Everything is read into a separate document first: a damaged file
    // leaves the editor empty rather than holding half a flowchart.
    FlowDocument loaded;
    if (lines.size() < k + 1 + RoutineCount * SlotsPerRoutine)
        return fail();
    for (int r = 0; r < RoutineCount; ++r) {
        for (int s = 0; s < SlotsPerRoutine; ++s) {
            const auto parsed = ParseSlotLine(lines.at(k + 1 + r * SlotsPerRoutine + s));
            if (!parsed)
                return fail();
            FlowBlock b = *parsed;
            if (!b.isOccupied()) {
                b = FlowBlock(); // a free slot keeps nothing
            } else {
                // Subroutine calls stand only in the main routine.
                if (b.is("routine") && r != 0)
                    return fail();
                b.slotNo = s;
                // A file may place a block far off the canvas (another
                // program wrote it, or a hand did): bring it onto the canvas
                // so that drawing and report pictures stay canvas-sized.
                b.x = qBound(0, b.x, MaxBlockX);
                b.y = qBound(0, b.y, MaxBlockY);
                if (b.params.isEmpty())
                    b.params = DefaultParameterString(b.kind, 0);
            }
            loaded.rawBlock(r, s) = b;
        }
        if (!PutStartInSlotZero(loaded, r))
            return fail();
    }
    // Arrows that name free slots, end in the start block or leave blocks
    // that cannot carry them are dropped; incoming lists are made to match
    // the arrows. The check then reports any block left unconnected.
    loaded.repairArrows();
    if (loaded.byteTotal() > FlowByteBudget) {
        result.status = FlowLoadResult::TooLarge;
        result.message = ImportTooLargeMessage();
        return result;
    }
    doc = loaded;
    result.status = FlowLoadResult::Loaded;
    return result;
}

FlowLoadResult LoadFlowFile(FlowDocument &doc, const QString &path)
{
    const auto lines = ReadProgramLines(path);
    if (!lines) {
        doc.clear();
        FlowLoadResult result;
        result.status = FlowLoadResult::Failed;
        result.message = LoadFailed;
        return result;
    }
    return LoadFlowLines(doc, *lines);
}

QString FlowDemoPath(int number)
{
    return AssetPath(QStringLiteral("Data\\Demo\\fro\\demo%1(フロー).koru").arg(number));
}

FlowLoadResult LoadFlowDemo(FlowDocument &doc, int number)
{
    if (number < 1 || number > FlowDemoCount) {
        FlowLoadResult result;
        result.message = LoadFailed;
        return result;
    }
    return LoadFlowFile(doc, FlowDemoPath(number));
}

} // namespace koru
