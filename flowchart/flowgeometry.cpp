#include "flowchart/flowgeometry.h"

#include "model/textutil.h"

#include <cstdlib>

namespace koru {

namespace {

constexpr int Half = BlockWidth / 2;        // 50
constexpr int MiddleY = BlockHeight / 2;    // 25
constexpr int Clearance = 20;               // elbow distance above a target
constexpr int ReportMargin = 35;

int HalfOf(int value)
{
    return RoundHalfEven(value / 2.0);
}

} // namespace

QList<QPoint> BottomArrowRoute(QPoint source, QPoint target)
{
    const int sx = source.x() + Half;
    const int sy = source.y() + BlockHeight;
    const int tx = target.x() + Half;
    const int ty = target.y();
    QList<QPoint> route{{sx, sy}};
    int x = sx;
    if (ty < sy + 40) {
        int g = 0;
        if (std::abs(tx - sx) > 50) {
            g = sx + HalfOf(tx - sx);
        } else if (sy < ty) {
            route << QPoint(tx, ty);
            return route;
        } else {
            // Pass beside the source on the side away from the target.
            g = sx < tx ? sx - 60 : sx + 60;
        }
        route << QPoint(sx, sy + Clearance) << QPoint(g, sy + Clearance);
        x = g;
    } else if (tx >= sx - 25 && tx <= sx + 25) {
        route << QPoint(tx, ty);
        return route;
    }
    route << QPoint(x, ty - Clearance) << QPoint(tx, ty - Clearance) << QPoint(tx, ty);
    return route;
}

QList<QPoint> SideArrowRoute(QPoint source, QPoint target)
{
    const int sx = source.x() + BlockWidth;
    const int sy = source.y() + MiddleY;
    const int tx = target.x() + Half;
    const int ty = target.y();
    int e = sx + Clearance;
    QList<QPoint> route{{sx, sy}};
    int y = sy;
    if (ty < sy + MiddleY) {
        if (tx >= sx - 30 && sx + 55 < tx)
            e = sx + HalfOf(tx - Half - sx); // halfway to the target's left edge
        if (tx >= sx - 30 && tx <= sx + 55) {
            // Up between the target's bottom and the source's top, then over.
            const int m = target.y() + BlockHeight + HalfOf(sy - target.y() - BlockHeight - MiddleY);
            route << QPoint(e, sy) << QPoint(e, m);
            y = m;
            e = tx - 60;
        }
    } else if (e < tx) {
        route << QPoint(tx, sy) << QPoint(tx, ty);
        return route;
    }
    route << QPoint(e, y) << QPoint(e, ty - Clearance) << QPoint(tx, ty - Clearance) << QPoint(tx, ty);
    return route;
}

std::array<QPoint, 3> ArrowHead(QPoint tip)
{
    return {tip, tip + QPoint(-5, -5), tip + QPoint(5, -5)};
}

BlockZone ZoneAt(QPoint p)
{
    if (p.x() > Half - 15 && p.x() < Half + 15 && p.y() > BlockHeight - 20 && p.y() < BlockHeight)
        return BlockZone::BottomHandle;
    if (p.x() > BlockWidth - 20 && p.x() < BlockWidth && p.y() > MiddleY - 15 && p.y() < MiddleY + 15)
        return BlockZone::SideHandle;
    return BlockZone::Body;
}

QPoint ParameterWindowPlace(QPoint block, QSize window, QSize panel)
{
    const int left = block.x() + window.width() <= panel.width() ? block.x() : block.x() - window.width();
    const int top = block.y() + 40 + window.height() + 40 <= panel.height() ? block.y() + 40
                                                                            : panel.height() - window.height();
    return {left, top};
}

QRect ReportPictureRect(const FlowDocument &doc, int routine)
{
    const QList<int> slotList = doc.occupiedSlots(routine);
    if (slotList.isEmpty())
        return {};
    // Only blocks count: a free slot's zero coordinates say nothing about
    // the drawing, while a block standing at 0 must not be cut off.
    const FlowBlock &first = doc.block(routine, slotList.first());
    int minX = first.x, maxX = first.x, minY = first.y, maxY = first.y;
    for (int s : slotList) {
        const FlowBlock &b = doc.block(routine, s);
        minX = qMin(minX, b.x);
        maxX = qMax(maxX, b.x);
        minY = qMin(minY, b.y);
        maxY = qMax(maxY, b.y);
    }
    const QRect cut(QPoint(minX, minY),
                    QSize(maxX + BlockWidth - minX + ReportMargin, maxY + BlockHeight - minY + ReportMargin));
    // Never beyond the canvas, whatever a document holds.
    return cut.intersected(QRect(0, 0, CanvasMaxWidth + ReportMargin, CanvasHeight + ReportMargin));
}

} // namespace koru
