#include "flowchart/flowkeys.h"

#include <QRect>

namespace koru {

namespace {

QRect BlockRect(const FlowBlock &b)
{
    return QRect(b.x, b.y, BlockWidth, BlockHeight);
}

// A block whose arrow (side or bottom) ends in `slot`, the first in drawing order.
int SourceOf(const FlowDocument &doc, int routine, int slot, bool side)
{
    for (int source : doc.block(routine, slot).incoming) {
        const FlowBlock &s = doc.block(routine, source);
        if (source != slot && (side ? s.branch : s.next) == slot)
            return source;
    }
    return NoSlot;
}

} // namespace

int BlockInDirection(const FlowDocument &doc, int routine, int from, KeyDirection direction)
{
    const QList<int> occupied = doc.occupiedSlots(routine);
    if (occupied.isEmpty())
        return NoSlot;
    if (!doc.isOccupied(routine, from))
        return occupied.first(); // the start block lives in slot 0
    const FlowBlock &b = doc.block(routine, from);
    int followed = NoSlot;
    switch (direction) {
    case KeyDirection::Down: followed = b.next; break;
    case KeyDirection::Right: followed = b.branch; break;
    case KeyDirection::Up: followed = SourceOf(doc, routine, from, false); break;
    case KeyDirection::Left: followed = SourceOf(doc, routine, from, true); break;
    }
    if (followed != NoSlot && followed != from && doc.isOccupied(routine, followed))
        return followed;
    QList<QRect> places;
    for (int s : occupied)
        places << BlockRect(doc.block(routine, s));
    const int nearest = NearestInDirection(places, int(occupied.indexOf(from)), direction);
    return nearest < 0 ? NoSlot : occupied.at(nearest);
}

std::optional<QPoint> PlaceBelow(const FlowDocument &doc, int routine, int above)
{
    QRect place(TopCorner, QSize(BlockWidth, BlockHeight));
    if (above != NoSlot) {
        if (!doc.isOccupied(routine, above))
            return std::nullopt;
        const FlowBlock &b = doc.block(routine, above);
        place.moveTo(b.x, b.y + BlockHeight + BelowGap);
    }
    // Each block in the way pushes the place below it; at most one push per block.
    for (bool moved = true; moved;) {
        moved = false;
        for (int s : doc.occupiedSlots(routine)) {
            const QRect other = BlockRect(doc.block(routine, s));
            if (other.intersects(place)) {
                place.moveTop(other.bottom() + 1 + BelowGap);
                moved = true;
            }
        }
    }
    if (place.top() > MaxBlockY)
        return std::nullopt;
    return place.topLeft();
}

QString NoRoomBelowMessage()
{
    return QStringLiteral("これ以上下に配置できません。");
}

} // namespace koru
