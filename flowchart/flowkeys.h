// The flowchart by keyboard: which block an arrow key selects next, and
// where a block placed below the selected one goes. The canvas only maps
// keys to these and to the editor's commands.
#pragma once

#include "flowchart/flowdocument.h"
#include "model/keynavigation.h"

#include <QPoint>
#include <QString>

#include <optional>

namespace koru {

// The block an arrow reaches from `from` in a routine. The arrows of the
// chart lead: Down follows the bottom arrow, Right the side arrow, Up goes
// back along a bottom arrow that ends here, Left along a side arrow that
// ends here; where there is no such arrow (or it loops to the block itself)
// the nearest block that way on the canvas. From no block (NoSlot or a free
// slot) every arrow reaches the start block, else the lowest occupied slot.
// NoSlot when nothing lies that way.
int BlockInDirection(const FlowDocument &document, int routine, int from, KeyDirection direction);

// The canvas place for a block put below `above`: the same column, a gap
// below it for the arrow, further down past any block in the way; with
// above NoSlot, TopCorner or below the blocks there. nullopt when that
// place is off the canvas (or `above` is a free slot).
std::optional<QPoint> PlaceBelow(const FlowDocument &document, int routine, int above);

// The gap left for the arrow between a block and one placed below it.
inline constexpr int BelowGap = 30;
inline constexpr QPoint TopCorner{40, 20};

// "これ以上下に配置できません。" (no room below the block on the canvas)
QString NoRoomBelowMessage();

} // namespace koru
