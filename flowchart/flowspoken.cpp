#include "flowchart/flowspoken.h"

#include "flowchart/flowtranslate.h"
#include "model/catalogue.h"

#include <algorithm>

namespace koru::flow {

namespace {

// The palette's caption of a keyword ("フルカラーLED"); the palette holds one
// picture per kind.
QString KindTitle(const QString &keyword)
{
    for (int index = 0; !PaletteCaption(index).isEmpty(); ++index) {
        if (KindNameOf(QString::number(index)) == keyword)
            return PaletteCaption(index);
    }
    return {};
}

} // namespace

QString BlockSpokenName(const FlowDocument &document, int routine, int slot)
{
    const FlowBlock &block = document.block(routine, slot);
    if (!block.isOccupied())
        return {};
    const QString title = KindTitle(block.kind);
    if (block.is("start") || block.is("end"))
        return title;
    const QString caption = BlockCaption(block.kind, block.params).simplified();
    if (title.isEmpty() || caption.isEmpty() || caption == title)
        return title.isEmpty() ? caption : title;
    if (caption.startsWith(title)) // "タイマー 2秒", not "タイマー タイマー 2秒"
        return caption;
    return title + QLatin1Char(' ') + caption;
}

QString BlockSpokenArrows(const FlowDocument &document, int routine, int slot)
{
    const FlowBlock &block = document.block(routine, slot);
    QStringList parts;
    if (block.next != NoSlot && document.isOccupied(routine, block.next))
        parts << QStringLiteral("下の矢印: ") + BlockSpokenName(document, routine, block.next);
    if (block.branch != NoSlot && document.isOccupied(routine, block.branch))
        parts << QStringLiteral("横の矢印: ") + BlockSpokenName(document, routine, block.branch);
    return parts.isEmpty() ? QStringLiteral("矢印なし") : parts.join(QStringLiteral("、"));
}

QList<int> SlotsInReadingOrder(const FlowDocument &document, int routine)
{
    QList<int> slotList = document.occupiedSlots(routine);
    std::stable_sort(slotList.begin(), slotList.end(), [&](int a, int b) {
        const FlowBlock &p = document.block(routine, a);
        const FlowBlock &q = document.block(routine, b);
        return p.y != q.y ? p.y < q.y : p.x < q.x;
    });
    return slotList;
}

QString BlockAtAddressName(const FlowDocument &document, int address)
{
    const int element = ElementAtAddress(document, address);
    if (element < 0)
        return {};
    const int routine = element / SlotsPerRoutine;
    return RoutineNames().value(routine) + QStringLiteral(": ")
           + BlockSpokenName(document, routine, element % SlotsPerRoutine);
}

} // namespace koru::flow
