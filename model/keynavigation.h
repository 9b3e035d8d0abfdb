// Arrow keys over things laid out on a surface (palette pictures, slot
// cards, flowchart blocks): which one an arrow reaches from another.
#pragma once

#include <QList>
#include <QRect>

namespace koru {

enum class KeyDirection { Left, Right, Up, Down };

// The rectangle an arrow reaches from places[from]: among those whose
// centre lies beyond from's centre in that direction, the nearest, a step
// sideways counting twice a step ahead (so Down goes to the next row
// rather than far along the same one); the lower index on a tie. -1 when
// none lies that way or from is out of range.
int NearestInDirection(const QList<QRect> &places, int from, KeyDirection direction);

} // namespace koru
