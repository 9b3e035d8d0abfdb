// Where things go on the flowchart canvas, without drawing them: the routes
// of the bottom and side arrows between two blocks, the arrowhead, the parts
// of a block the mouse can press, where the parameter window opens beside a
// new block, and the part of a routine a report picture shows.
#pragma once

#include "flowchart/flowdocument.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

namespace koru {

// The polyline of the bottom arrow from the block at `source` (its top-left
// corner) to the block at `target`: from the middle of the source's bottom
// edge to the middle of the target's top edge, around the source when the
// target is not far enough below it.
QList<QPoint> BottomArrowRoute(QPoint source, QPoint target);
// The side arrow of an if block: from the middle of its right edge.
QList<QPoint> SideArrowRoute(QPoint source, QPoint target);
// The filled arrowhead pointing down at the tip.
std::array<QPoint, 3> ArrowHead(QPoint tip);

enum class BlockZone { Body, BottomHandle, SideHandle };
// The part of a block at a point in the block's own coordinates.
BlockZone ZoneAt(QPoint local);

// Top-left corner (relative to the drop panel's visible area) of the
// parameter window opened beside a block whose top-left corner is at
// `block` in the same coordinates: its left edge at the block's left edge
// when it fits to the right, else its right edge there; its top 40 pixels
// below the block's top when it fits with 40 pixels to spare, else at the
// bottom of the panel.
QPoint ParameterWindowPlace(QPoint block, QSize window, QSize panel);

// The part of a routine's drawing that its report picture shows: from the
// smallest x and y of its blocks to 35 pixels beyond the right- and
// bottom-most block, never beyond the canvas (and its margin). Null for a
// routine without blocks.
QRect ReportPictureRect(const FlowDocument &document, int routine);

} // namespace koru
