// How a flowchart looks, shared by the canvas and the report pictures: the
// block pictures (the kind's picture with the block's caption and, for the
// full-colour LED, its colour), the arrows along their routes, and the
// routine pictures written for the report.
#pragma once

#include "flowchart/flowdocument.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QPainter;

namespace koru::flow {

// The pictures of the blocks, loaded once from the program folder, and the
// finished pictures of blocks, kept while their kind and parameters stay.
class BlockPictures
{
public:
    // The picture of a block: its kind's picture with the caption, or the
    // palette picture while its parameters are not set yet.
    QPixmap block(const FlowBlock &block) const;
    // A palette picture (index 0-11).
    QPixmap palette(int paletteIndex) const;
    // The asset names that are missing (empty when every picture loads).
    QStringList missing() const;

    static QString blockFile(const QString &kind, const QString &params);
    static QString paletteFile(int paletteIndex);

private:
    QPixmap file(const QString &assetName) const;

    mutable QHash<QString, QPixmap> m_files;
    mutable QHash<QString, QPixmap> m_finished;
};

// Every bottom arrow (slots 0-29), then every side arrow of a routine.
void PaintArrows(QPainter &painter, const FlowDocument &document, int routine);
// The blocks of a routine that meet the clip rectangle, in slot order.
void PaintBlocks(QPainter &painter, const FlowDocument &document, int routine, const BlockPictures &pictures,
                 const QRect &clip);
// The same in a given order, bottom to top (the editor's drawing order).
void PaintBlocks(QPainter &painter, const FlowDocument &document, int routine, const QList<int> &order,
                 const BlockPictures &pictures, const QRect &clip);

// The report picture of a routine (null for a routine without blocks).
QImage RoutinePicture(const FlowDocument &document, int routine, const BlockPictures &pictures);
// Leaves "Routine0.bmp" ... "Routine4.bmp" for the report (SaveReportPictures,
// widgets/reportpicture.h) for the routines that hold blocks and deletes the
// others' left-over pictures. False, after the warning, when that failed.
bool WriteReportPictures(const FlowDocument &document, const BlockPictures &pictures);

} // namespace koru::flow
