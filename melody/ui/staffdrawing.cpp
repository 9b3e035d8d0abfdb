#include "melody/ui/staffdrawing.h"

#include "melody/staffglyphs.h"
#include "model/paths.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>

namespace koru {

namespace {

int fontLeases = 0;
int fontId = -1;

// Letters drawn once into small transparent pictures, then copied: a box
// 30 wide and as high as the font, the letter centred and at its top, with
// room around it for ink that reaches out of the box (the clef). Emptied
// whenever the font comes or goes.
constexpr QSize GlyphMargin(15, 40);
struct Glyph
{
    QImage image;
    QRect ink; // relative to the box's top-left corner; null for a blank letter
};
QHash<QChar, Glyph> &glyphCache()
{
    static QHash<QChar, Glyph> cache;
    return cache;
}

QRect inkOf(const QImage &image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 48) // edge shading too faint to read as touching
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(-GlyphMargin.width(), -GlyphMargin.height());
}

const Glyph &glyphOf(QChar letter)
{
    QHash<QChar, Glyph> &cache = glyphCache();
    auto it = cache.find(letter);
    if (it != cache.end())
        return *it;
    const QFont font = StaffFont();
    const int height = QFontMetrics(font).height();
    QImage image(StaffColumnWidth + 2 * GlyphMargin.width(), height + 2 * GlyphMargin.height(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(GlyphMargin.width(), GlyphMargin.height(), StaffColumnWidth, height),
                     Qt::AlignHCenter | Qt::AlignTop, QString(letter));
    painter.end();
    const QRect ink = inkOf(image);
    return *cache.insert(letter, {image, ink});
}

// Gaps that keep a bar and a label apart from each other and from what is
// above them.
constexpr int LaneGap = 2;

// A note's LED bar and label stacked below `top`, or ending above `bottom`.
void stackBelow(StaffNoteRects &rects, int column, int top, const QRect &labelInk)
{
    // The outline's right edge is the next column's first pixel, shared
    // with a neighbour's bar as in a row of boxes.
    rects.bar = QRect(column, top, StaffColumnWidth, StaffBarHeight + 1);
    if (labelInk.isNull())
        return;
    rects.labelBox = QPoint(column, rects.bar.bottom() + 1 + LaneGap - labelInk.top());
    rects.label = labelInk.translated(rects.labelBox);
}

void stackAbove(StaffNoteRects &rects, int column, int bottom, // exclusive
                const QRect &labelInk)
{
    const int labelHeight = labelInk.isNull() ? 0 : labelInk.height() + LaneGap;
    stackBelow(rects, column, bottom - labelHeight - StaffBarHeight - 1, labelInk);
}

bool clear(const StaffNoteRects &rects, const std::vector<StaffNoteRects> &placed, size_t self,
           const std::vector<QRect> &obstacles)
{
    const auto hits = [&](const QRect &r) {
        if (r.isNull())
            return false;
        for (size_t i = 0; i < obstacles.size(); ++i)
            if (i != self && r.intersects(obstacles[i]))
                return true;
        for (size_t i = 0; i < placed.size() && i < self; ++i)
            if (r.intersects(placed[i].bar) || (!placed[i].label.isNull() && r.intersects(placed[i].label)))
                return true;
        return false;
    };
    return !hits(rects.bar) && !hits(rects.label);
}

} // namespace

StaffFontLease::StaffFontLease()
{
    if (fontLeases++ == 0) {
        fontId = QFontDatabase::addApplicationFont(AssetPath(StaffFontFile));
        glyphCache().clear();
    }
}

StaffFontLease::~StaffFontLease()
{
    if (--fontLeases == 0 && fontId >= 0) {
        QFontDatabase::removeApplicationFont(fontId);
        fontId = -1;
        glyphCache().clear();
    }
}

bool StaffFontLease::registered()
{
    return fontId >= 0;
}

QFont StaffFont()
{
    QFont font(StaffFontFamily);
    font.setPixelSize(StaffFontPixelSize);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

LedgerLines LedgerLinesOf(const Key &key)
{
    if (key.isRest())
        return {};
    // Keys 0-7 reach below the staff (two keys per line), 19-21 above it.
    const int n = key.number;
    if (n <= 7)
        return {4 - n / 2, 0};
    if (n >= 19)
        return {0, n == 21 ? 2 : 1};
    return {};
}

int StaffWrapWidth(int areaWidth)
{
    return std::max(areaWidth - StaffColumnWidth, StaffColumnWidth);
}

StaffAnchor StaffPlace(int x, int areaWidth)
{
    const int wrap = StaffWrapWidth(areaWidth);
    x = std::max(x, 0);
    return {x % wrap, StaffFirstLine + StaffRowDistance * (x / wrap), 0};
}

int StaffRowCount(const Melody &melody, int areaWidth)
{
    if (melody.count() == 0)
        return 1;
    const int lastX = std::max(melody.note(melody.count() - 1).x, 0);
    return 1 + lastX / StaffWrapWidth(areaWidth);
}

std::vector<StaffNoteRects> StaffLayout(const Melody &melody, int areaWidth)
{
    const int width = std::max(areaWidth, 1);
    const size_t count = size_t(std::max(melody.count(), 0));
    std::vector<StaffNoteRects> rects(count);
    std::vector<QRect> notes(count);
    std::vector<QRect> labelInks(count);
    std::vector<StaffAnchor> places(count);
    for (size_t slot = 0; slot < count; ++slot) {
        const S_Info &info = melody.note(int(slot));
        const std::optional<Key> key = KeyOf(info.key, info.black);
        if (!key)
            continue;
        places[slot] = StaffPlace(info.x, width);
        const int c = places[slot].column;
        const int R = places[slot].rowTop;
        QRect note = glyphOf(NoteGlyph(info.len, key->black, key->isRest())).ink.translated(c, R + info.y);
        // A ledger line's last pixel is the next column's first, as with the bars.
        const LedgerLines ledgers = LedgerLinesOf(*key);
        if (ledgers.below > 0)
            note |= QRect(c, R + 40, StaffColumnWidth, StaffLineDistance * (ledgers.below - 1) + 1);
        if (ledgers.above > 0)
            note |= QRect(c, R - StaffLineDistance * ledgers.above, StaffColumnWidth,
                          StaffLineDistance * (ledgers.above - 1) + 1);
        notes[slot] = rects[slot].note = note;
        if (const std::optional<int> s = SemitoneOf(*key))
            labelInks[slot] = glyphOf(NameLabelGlyph(PitchClassOf(*s))).ink;
    }
    for (size_t slot = 0; slot < count; ++slot) {
        if (notes[slot].isNull())
            continue;
        const int c = places[slot].column;
        const int R = places[slot].rowTop;
        const int staffFoot = R + 4 * StaffLineDistance;
        StaffNoteRects below = rects[slot];
        stackBelow(below, c, std::max(staffFoot, notes[slot].bottom()) + 1 + LaneGap, labelInks[slot]);
        if (clear(below, rects, slot, notes)) {
            rects[slot] = below;
            continue;
        }
        StaffNoteRects above = rects[slot];
        stackAbove(above, c, std::min(R, notes[slot].top()) - LaneGap, labelInks[slot]);
        rects[slot] = above.bar.top() >= 0 && clear(above, rects, slot, notes) ? above : below;
    }
    return rects;
}

StaffPicture DrawStaff(const Melody &melody, int areaWidth, int markedSlot)
{
    const int width = std::max(areaWidth, 1);
    const int rows = StaffRowCount(melody, width);
    StaffPicture picture;
    picture.image = QImage(width, StaffRowDistance * rows + StaffFirstLine, QImage::Format_RGB32);
    picture.image.fill(Qt::white);
    picture.anchors.reserve(size_t(melody.count()));

    QPainter painter(&picture.image);
    painter.setFont(StaffFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPen linePen(Qt::black, 1);
    painter.setPen(linePen);

    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < 5; ++i) {
            const int y = StaffFirstLine + StaffRowDistance * r + StaffLineDistance * i;
            painter.drawLine(0, y, width - 1, y);
        }
    }
    const auto glyph = [&](int left, int top, QChar letter) {
        painter.drawImage(left - GlyphMargin.width(), top - GlyphMargin.height(), glyphOf(letter).image);
    };
    glyph(StaffClefLeft, StaffFirstLine, ClefGlyph);

    const std::vector<StaffNoteRects> layout = StaffLayout(melody, width);
    for (int slot = 0; slot < melody.count(); ++slot) {
        const S_Info &info = melody.note(slot);
        const StaffAnchor place = StaffPlace(info.x, width);
        picture.anchors.push_back({place.column, place.rowTop, info.y});
    }
    // Bars and labels first: where rows are too close for anything better,
    // the notes stay whole on top of them.
    for (int slot = 0; slot < melody.count(); ++slot) {
        const S_Info &info = melody.note(slot);
        const std::optional<Key> key = KeyOf(info.key, info.black);
        if (!key)
            continue;
        const StaffNoteRects &rects = layout[size_t(slot)];
        if (slot == markedSlot) {
            const StaffAnchor &a = picture.anchors[size_t(slot)];
            painter.fillRect(a.column, a.rowTop - 24, StaffColumnWidth, StaffRowDistance, QColor(0xe0, 0x52, 0x7e, 56));
        }
        if (melody.ledLink()) {
            const LedColour &colour = LedColours()[size_t(melody.ledColour(LedSlotOf(*key)))];
            painter.setBrush(QColor(colour.red, colour.green, colour.blue));
            painter.drawRect(rects.bar.x(), rects.bar.y(), StaffColumnWidth, StaffBarHeight);
            painter.setBrush(Qt::NoBrush);
        }
        if (const std::optional<int> s = SemitoneOf(*key))
            glyph(rects.labelBox.x(), rects.labelBox.y(), NameLabelGlyph(PitchClassOf(*s)));
    }
    for (int slot = 0; slot < melody.count(); ++slot) {
        const S_Info &info = melody.note(slot);
        const std::optional<Key> key = KeyOf(info.key, info.black);
        if (!key)
            continue;
        const int c = picture.anchors[size_t(slot)].column;
        const int R = picture.anchors[size_t(slot)].rowTop;
        const LedgerLines ledgers = LedgerLinesOf(*key);
        for (int i = 0; i < ledgers.below; ++i) {
            const int y = R + 40 + StaffLineDistance * i;
            painter.drawLine(c, y, c + StaffColumnWidth, y);
        }
        for (int n = 1; n <= ledgers.above; ++n) {
            const int y = R - StaffLineDistance * n;
            painter.drawLine(c, y, c + StaffColumnWidth, y);
        }
        glyph(c, R + info.y, NoteGlyph(info.len, key->black, key->isRest()));
    }
    return picture;
}

int StaffHitTest(const std::vector<StaffAnchor> &anchors, QPoint point)
{
    for (size_t slot = 0; slot < anchors.size(); ++slot) {
        const StaffAnchor &a = anchors[slot];
        const int top = a.rowTop + a.offset;
        if (a.column < point.x() && point.x() < a.column + StaffColumnWidth && top < point.y()
            && point.y() < top + StaffBarTop)
            return int(slot);
    }
    return -1;
}

} // namespace koru
