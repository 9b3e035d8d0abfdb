// The letters of the staff font "VELMORA" ("Data\velmora.ttf") and the size
// it is drawn at.
//
// At 30 points on a 96 dpi screen (40 pixels per em) a glyph box is 30 x 40
// pixels. A note drawn with its box's top at R + y (R the staff row's top
// line, y its S_Info offset) has its head 28 pixels below that top: on the
// bottom line for E4 (key 9) and on the top line for F5 (key 17). Rests and
// the clef are drawn with the box's top on the top line. The font draws a
// name label for a box 25 pixels below its note's; the staff layout
// (StaffLayout) places each label by its ink instead.
#pragma once

#include <QChar>
#include <QString>

namespace koru {

inline const QString StaffFontFile = QStringLiteral("Data\\velmora.ttf");
inline const QString StaffFontFamily = QStringLiteral("VELMORA");
inline constexpr int StaffFontPixelSize = 40; // 30 points at 96 dpi
inline constexpr int StaffGlyphWidth = 30;
inline constexpr int NoteHeadBelowBoxTop = 28;
inline constexpr int NameLabelBelowNote = 25;

inline constexpr QChar ClefGlyph = u'e';

// White-key note, black-key (sharp) note or rest of a length class 0-3.
inline QChar NoteGlyph(int len, bool black, bool rest)
{
    if (len < 0 || len > 3)
        len = 3;
    if (rest)
        return QChar(u"fghi"[len]);
    return QChar(black ? u"mlkj"[len] : u"dcba"[len]);
}

// Name label of a semitone within the octave (0 C ... 11 B).
inline QChar NameLabelGlyph(int semitoneInOctave)
{
    return QChar(u"toupvwqxrysz"[((semitoneInOctave % 12) + 12) % 12]);
}

} // namespace koru
