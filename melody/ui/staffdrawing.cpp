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
QHash<QChar, QImage> &glyphCache()
{
    static QHash<QChar, QImage> cache;
    return cache;
}

const QImage &glyphImage(QChar letter)
{
    QHash<QChar, QImage> &cache = glyphCache();
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
    return *cache.insert(letter, image);
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
        painter.drawImage(left - GlyphMargin.width(), top - GlyphMargin.height(), glyphImage(letter));
    };
    glyph(StaffClefLeft, StaffFirstLine, ClefGlyph);

    for (int slot = 0; slot < melody.count(); ++slot) {
        const S_Info &info = melody.note(slot);
        const std::optional<Key> key = KeyOf(info.key, info.black);
        const StaffAnchor place = StaffPlace(info.x, width);
        const int c = place.column;
        const int R = place.rowTop;
        picture.anchors.push_back({c, R, info.y});
        if (!key)
            continue;

        if (slot == markedSlot)
            painter.fillRect(c, R - 24, StaffColumnWidth, StaffRowDistance, QColor(0xe0, 0x52, 0x7e, 56));
        const LedgerLines ledgers = LedgerLinesOf(*key);
        for (int i = 0; i < ledgers.below; ++i) {
            const int y = R + 40 + StaffLineDistance * i;
            painter.drawLine(c, y, c + StaffColumnWidth, y);
        }
        for (int n = 1; n <= ledgers.above; ++n) {
            const int y = R - StaffLineDistance * n;
            painter.drawLine(c, y, c + StaffColumnWidth, y);
        }

        const int top = R + info.y;
        glyph(c, top, NoteGlyph(info.len, key->black, key->isRest()));
        if (melody.ledLink()) {
            const LedColour &colour = LedColours()[size_t(melody.ledColour(LedSlotOf(*key)))];
            painter.setBrush(QColor(colour.red, colour.green, colour.blue));
            painter.drawRect(c, top + StaffBarTop, StaffColumnWidth, StaffBarBottom - StaffBarTop);
            painter.setBrush(Qt::NoBrush);
        }
        if (const std::optional<int> s = SemitoneOf(*key))
            glyph(c, top + NameLabelBelowNote, NameLabelGlyph(PitchClassOf(*s)));
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
