#include "flowchart/listingimport.h"

#include "flowchart/flowstructure.h"
#include "model/catalogue.h"
#include "model/messages.h"
#include "model/textutil.h"

#include <QHash>

namespace koru {

bool IsKitSideStop(const ListingLine &line)
{
    if (line.type != ListingLine::Instruction || line.kindNumber != 11)
        return false;
    const auto subKind = ToInteger(FieldOf(line.params, 1, QLatin1Char(',')));
    return subKind == 1 || subKind == 3;
}

QString ImportTooLargeMessage()
{
    return QStringLiteral("読み込む命令数が最大数を超えている為開けません。(バイト数オーバー)");
}

std::optional<ListingLine> ParseCommandRecord(const QString &text)
{
    const QString line = StripSpaces(text);
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() != 7)
        return std::nullopt;
    QList<int> values;
    for (const QString &field : fields) {
        const auto value = ToInteger(field);
        if (!value || *value < 0 || *value > 255)
            return std::nullopt;
        values << *value;
    }
    ListingLine result;
    result.kindNumber = values.first();
    if (result.kindNumber == 12 || result.kindNumber == 13) {
        result.type = result.kindNumber == 12 ? ListingLine::Else : ListingLine::Endif;
        result.family = values.at(1);
        return result;
    }
    if (result.kindNumber < 2 || result.kindNumber > 11)
        return std::nullopt; // start and end are never records
    result.type = ListingLine::Instruction;
    result.keyword = KeywordOfKindNumber(result.kindNumber);
    // Written back in their plain decimal form: "-0", "+5" or "005" would
    // otherwise reach the slot lines, where "-" separates fields.
    QStringList params;
    for (int value : values.mid(1))
        params << QString::number(value);
    result.params = params.join(QLatin1Char(','));
    return result;
}

ListingSection ReadListing(const QStringList &lines, int first, int last)
{
    ListingSection section;
    int start = -1;
    int end = -1;
    for (int i = qMax(0, first); i <= last && i < lines.size(); ++i) {
        const QString line = lines.at(i);
        if (line == QLatin1String("START"))
            start = i;
        if (line == QLatin1String("END")) {
            end = i;
            break;
        }
    }
    if (end < 0 || start < 0)
        return section;
    for (int i = start; i <= end; ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty())
            continue;
        ListingLine entry;
        if (i == start) {
            entry.type = ListingLine::Start;
        } else if (i == end) {
            entry.type = ListingLine::End;
        } else {
            const auto record = ParseCommandRecord(line);
            if (!record) {
                section.status = ListingSection::Damaged;
                section.lines.clear();
                return section;
            }
            entry = *record;
        }
        entry.lineIndex = i;
        section.lines << entry;
    }
    section.status = ListingSection::Found;
    return section;
}

ImportResult ImportListing(FlowDocument &doc, const QStringList &fileLines)
{
    doc.clear();
    ImportResult result;
    const ListingSection section = ReadListing(fileLines);
    if (section.status == ListingSection::NoEnd)
        return result; // nothing to build, and nothing to say
    auto refuse = [&](ImportResult::Status status, const QString &message) {
        doc.clear();
        result.status = status;
        result.message = message;
        return result;
    };
    if (section.status == ListingSection::Damaged)
        return refuse(ImportResult::Damaged, LoadFailed);

    // Blocks from slot 0 in listing order, and the structure they form.
    QList<StructureEntry> structure;
    int slot = 0;
    for (const ListingLine &line : section.lines) {
        if (IsKitSideStop(line))
            continue;
        if (line.type == ListingLine::Else || line.type == ListingLine::Endif) {
            structure << StructureEntry{line.type == ListingLine::Else ? StructureEntry::Else : StructureEntry::Endif, -1, false};
            continue;
        }
        if (slot >= SlotsPerRoutine)
            return refuse(ImportResult::TooLarge, ImportTooLargeMessage());
        FlowBlock &b = doc.rawBlock(0, slot);
        b.slotNo = slot;
        if (line.type == ListingLine::Start || line.type == ListingLine::End) {
            b.kind = line.type == ListingLine::Start ? QStringLiteral("start") : QStringLiteral("end");
            b.params = QStringLiteral("0,0,0,0,0,0");
        } else {
            b.kind = line.keyword;
            b.params = line.params;
        }
        structure << StructureEntry{StructureEntry::Block, slot, b.is("if")};
        ++slot;
        if (doc.byteTotal() > FlowByteBudget)
            return refuse(ImportResult::TooLarge, ImportTooLargeMessage());
    }

    // Lists whose else and endif lines do not pair with if lines have no
    // layout: they are refused as a whole rather than half built.
    const auto links = StructuredLinks(structure);
    if (!links)
        return refuse(ImportResult::Damaged, LoadFailed);

    // Layout: columns move right by an else and back by its endif; a
    // no-path starts one row below its if, and the path after an endif one
    // row below the lowest block so far.
    int x = LaidOutFirstX;
    int y = LaidOutFirstY;
    int lowest = LaidOutFirstY;
    QList<int> openIfs;
    for (const StructureEntry &entry : structure) {
        switch (entry.type) {
        case StructureEntry::Block: {
            FlowBlock &b = doc.rawBlock(0, entry.id);
            b.x = x;
            b.y = y;
            lowest = qMax(lowest, y);
            y += LaidOutRowStep;
            if (entry.isIf)
                openIfs << entry.id;
            break;
        }
        case StructureEntry::Else:
            x += LaidOutColumnStep;
            y = doc.block(0, openIfs.last()).y + LaidOutRowStep;
            break;
        case StructureEntry::Endif:
            x -= LaidOutColumnStep;
            y = lowest + LaidOutRowStep;
            openIfs.removeLast();
            break;
        }
    }

    for (auto it = links->cbegin(); it != links->cend(); ++it) {
        const int source = it.key();
        if (doc.block(0, source).is("end"))
            continue;
        if (it.value().next != -1)
            doc.linkBottom(0, source, it.value().next);
        if (doc.block(0, source).is("if") && it.value().branch != -1)
            doc.linkSide(0, source, it.value().branch);
    }
    // Incoming lists in listing order rather than hash order.
    for (int s : doc.occupiedSlots(0))
        std::sort(doc.rawBlock(0, s).incoming.begin(), doc.rawBlock(0, s).incoming.end());

    result.status = ImportResult::Built;
    return result;
}

} // namespace koru
