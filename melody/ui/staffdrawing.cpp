#include "melody/ui/staffdrawing.h"

#include "melody/staffglyphs.h"
#include "model/paths.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace koru {

namespace {

int fontLeases = 0;
int fontId = -1;

} // namespace

StaffFontLease::StaffFontLease()
{
    if (fontLeases++ == 0)
        fontId = QFontDatabase::addApplicationFont(AssetPath(StaffFontFile));
}

StaffFontLease::~StaffFontLease()
{
    if (--fontLeases == 0 && fontId >= 0) {
        QFontDatabase::removeApplicationFont(fontId);
        fontId = -1;
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
    const int glyphHeight = QFontMetrics(painter.font()).height();
    const QPen linePen(Qt::black, 1);
    painter.setPen(linePen);

    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < 5; ++i) {
            const int y = StaffFirstLine + StaffRowDistance * r + StaffLineDistance * i;
            painter.drawLine(0, y, width - 1, y);
        }
    }
    const auto glyph = [&](int left, int top, QChar letter) {
        painter.drawText(QRect(left, top, StaffColumnWidth, glyphHeight), Qt::AlignHCenter | Qt::AlignTop,
                         QString(letter));
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
            glyph(c, top + NameLabelBelowNote, NameLabelGlyph(*s % 12));
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
