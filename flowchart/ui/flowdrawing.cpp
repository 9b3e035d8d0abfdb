#include "flowchart/ui/flowdrawing.h"

#include "flowchart/flowgeometry.h"
#include "model/catalogue.h"
#include "model/paths.h"
#include "model/reportrequest.h"
#include "widgets/picturefile.h"
#include "widgets/reportpicture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace koru::flow {

namespace {

const QString BlockFolder = QStringLiteral("Img\\Icon\\Fro\\ZU\\");
const QString PaletteFolder = QStringLiteral("Img\\Icon\\Fro\\Icon\\");
const QColor CaptionColour(0x33, 0x3d, 0x47);

QFont CaptionFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    return font;
}

void PaintRoute(QPainter &painter, const QList<QPoint> &route)
{
    painter.drawPolyline(route.constData(), int(route.size()));
    const auto head = ArrowHead(route.last());
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(head.data(), int(head.size()));
    painter.restore();
}

} // namespace

QString BlockPictures::blockFile(const QString &kind, const QString &params)
{
    if (kind == QLatin1String("loop") && SubKindOf(params) != 0)
        return BlockFolder + QStringLiteral("endloop.bmp");
    return BlockFolder + kind + QStringLiteral(".bmp");
}

QString BlockPictures::paletteFile(int paletteIndex)
{
    return PaletteFolder + KindPictureFile(QString::number(paletteIndex));
}

QPixmap BlockPictures::file(const QString &assetName) const
{
    auto it = m_files.find(assetName);
    if (it == m_files.end())
        it = m_files.insert(assetName, ReadPixmap(AssetPath(assetName)));
    return *it;
}

QPixmap BlockPictures::palette(int paletteIndex) const
{
    return file(paletteFile(paletteIndex));
}

QStringList BlockPictures::missing() const
{
    QStringList names;
    for (int i = 0; i < ProgramKeywords().size(); ++i) {
        names << paletteFile(i);
        const QString kind = ProgramKeywords().at(i);
        names << blockFile(kind, QStringLiteral("0,0,0,0,0,0"));
        if (kind == QLatin1String("loop"))
            names << blockFile(kind, QStringLiteral("1,0,0,0,0,0"));
    }
    QStringList lacking;
    for (const QString &name : names) {
        if (file(name).isNull())
            lacking << name;
    }
    return lacking;
}

QPixmap BlockPictures::block(const FlowBlock &b) const
{
    if (b.params.isEmpty()) // just dropped: the palette picture until it is set
        return palette(ProgramKeywords().indexOf(b.kind));
    const QString key = b.kind + QLatin1Char('/') + b.params;
    auto it = m_finished.find(key);
    if (it != m_finished.end())
        return *it;
    QPixmap picture(BlockWidth, BlockHeight);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        const QPixmap base = file(blockFile(b.kind, b.params));
        if (!base.isNull())
            painter.drawPixmap(picture.rect(), base);
        if (!IsStartOrEnd(b.kind)) {
            // The caption goes in the lower part. The LED's colour square sits in the lower left corner: its
            // caption keeps clear of it on both sides, so it stays centred.
            const bool square = b.kind == QLatin1String("full_led");
            // A few pixels stay free on each side for the outline.
            const QRect area = square ? QRect(15, 15, BlockWidth - 30, BlockHeight - 15)
                                      : QRect(3, 15, BlockWidth - 6, BlockHeight - 15);
            const QString caption = BlockCaption(b.kind, b.params);
            QFont font = CaptionFont();
            int flags = Qt::AlignHCenter | Qt::AlignVCenter;
            auto fits = [&](const QString &text) {
                const QRect needed = QFontMetrics(font).boundingRect(area, flags, text);
                return needed.width() <= area.width() && needed.height() <= area.height();
            };
            // One line if it fits, else two lines broken at a blank (never
            // between a number and its unit), else wrapped and a pixel or
            // two smaller.
            QString text = caption;
            if (!fits(text)) {
                bool broken = false;
                for (qsizetype i = caption.lastIndexOf(QLatin1Char(' ')); i > 0 && !broken;
                     i = caption.lastIndexOf(QLatin1Char(' '), i - 1)) {
                    const QString twoLines = caption.left(i) + QLatin1Char('\n') + caption.mid(i + 1);
                    if (fits(twoLines)) {
                        text = twoLines;
                        broken = true;
                    }
                }
                if (!broken) {
                    flags |= Qt::TextWordWrap;
                    for (int pixels = 11; pixels >= 9 && !fits(text); --pixels)
                        font.setPixelSize(pixels);
                }
            }
            painter.setFont(font);
            painter.setPen(CaptionColour);
            painter.drawText(area, flags, text);
        }
        if (b.kind == QLatin1String("full_led")) {
            painter.setPen(Qt::black);
            painter.setBrush(QColor(ParameterOf(b.params, 1) & 0xff, ParameterOf(b.params, 2) & 0xff,
                                    ParameterOf(b.params, 3) & 0xff));
            painter.drawRect(QRect(0, 35, 14, 14));
        }
    }
    m_finished.insert(key, picture);
    return picture;
}

void PaintArrows(QPainter &painter, const FlowDocument &doc, int routine)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, ArrowPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QList<int> slotList = doc.occupiedSlots(routine);
    for (int s : slotList) {
        const FlowBlock &b = doc.block(routine, s);
        if (b.next != NoSlot && doc.isOccupied(routine, b.next)) {
            const FlowBlock &t = doc.block(routine, b.next);
            PaintRoute(painter, BottomArrowRoute({b.x, b.y}, {t.x, t.y}));
        }
    }
    for (int s : slotList) {
        const FlowBlock &b = doc.block(routine, s);
        if (b.branch != NoSlot && doc.isOccupied(routine, b.branch)) {
            const FlowBlock &t = doc.block(routine, b.branch);
            PaintRoute(painter, SideArrowRoute({b.x, b.y}, {t.x, t.y}));
        }
    }
    painter.restore();
}

void PaintBlocks(QPainter &painter, const FlowDocument &doc, int routine, const BlockPictures &pictures,
                 const QRect &clip)
{
    PaintBlocks(painter, doc, routine, doc.occupiedSlots(routine), pictures, clip);
}

void PaintBlocks(QPainter &painter, const FlowDocument &doc, int routine, const QList<int> &order,
                 const BlockPictures &pictures, const QRect &clip)
{
    for (int s : order) {
        if (!doc.isOccupied(routine, s))
            continue;
        const FlowBlock &b = doc.block(routine, s);
        const QRect rect(b.x, b.y, BlockWidth, BlockHeight);
        if (rect.intersects(clip))
            painter.drawPixmap(rect.topLeft(), pictures.block(b));
    }
}

QImage RoutinePicture(const FlowDocument &doc, int routine, const BlockPictures &pictures)
{
    const QRect cut = ReportPictureRect(doc, routine);
    if (cut.isNull())
        return {};
    QImage image(cut.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-cut.topLeft());
    PaintArrows(painter, doc, routine);
    PaintBlocks(painter, doc, routine, pictures, cut);
    return image;
}

bool WriteReportPictures(const FlowDocument &doc, const BlockPictures &pictures)
{
    QList<ReportPictureFile> files;
    for (int r = 0; r < RoutineCount; ++r)
        files.append({RoutinePictureName(r), RoutinePicture(doc, r, pictures)});
    return SaveReportPictures(files);
}

} // namespace koru::flow
