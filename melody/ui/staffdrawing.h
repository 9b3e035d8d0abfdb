// The staff: a melody drawn as notes on a treble staff that wraps over as
// many rows as the tune needs, in the staff font, with an LED colour bar
// under each note while the LED link is on. The same drawing is the staff
// picture of the melody report.
//
// A note's tape position x (Melody) lies on row x div W at column x mod W,
// where W = area width - 30 is the wrap width; row r's top line is at
// y = 60 + 100 r. The drawing remembers each note's column and row (its
// anchor) so that a right click can be traced back to the note.
#pragma once

#include "melody/melody.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <vector>

namespace koru {

inline constexpr int StaffColumnWidth = 30;   // one eighth note
inline constexpr int StaffFirstLine = 60;     // top line of the first row
inline constexpr int StaffRowDistance = 100;
inline constexpr int StaffLineDistance = 8;   // five lines, 32 from top to bottom
inline constexpr int StaffClefLeft = 40;
inline constexpr int StaffBarTop = 35;        // a note's hit zone ends here, below the glyph box's top
inline constexpr int StaffBarHeight = 5;      // LED bar, outline included
inline constexpr int StaffInitialWidth = 736; // the staff area of a new window
inline constexpr int StaffInitialHeight = 800;

// Keeps the staff font ("Data\velmora.ttf") registered with the program for
// as long as any lease lives; the last one gives it back.
class StaffFontLease
{
public:
    StaffFontLease();
    ~StaffFontLease();
    StaffFontLease(const StaffFontLease &) = delete;
    StaffFontLease &operator=(const StaffFontLease &) = delete;

    // False when the font file could not be read (the staff then draws its
    // letters in another font).
    static bool registered();
};

// "VELMORA" at 30 points (40 pixels).
QFont StaffFont();

// Ledger lines of a key: below the staff for the low keys, above it for
// the high ones; none for the rest.
struct LedgerLines
{
    int below = 0;
    int above = 0;
};
LedgerLines LedgerLinesOf(const Key &key);

// Where a drawn note is: column, its row's top line and its glyph offset.
struct StaffAnchor
{
    int column = 0;
    int rowTop = 0;
    int offset = 0;
};

// Where the parts of a drawn note lie in the staff area (rectangles of
// pixels): the ink of its glyph with its ledger lines, its LED bar (drawn
// only while the LED link is on) and the ink of its name label (null for a
// rest), with the top-left corner of the label's glyph box.
struct StaffNoteRects
{
    QRect note;
    QRect bar;
    QRect label;
    QPoint labelBox;
};

// Bar and label of a note stand below whichever is lower, the staff or the
// note with its ledger lines, so that a label never sits among the staff
// lines and the bar never covers it. Where that place is taken by a high
// note of the next row, they stand above the note's own staff instead when
// that is free; where neither is free they stay below and are drawn under
// the notes (a low and a high note two octaves apart in one column: the
// rows are too close for anything better).
std::vector<StaffNoteRects> StaffLayout(const Melody &melody, int areaWidth);

struct StaffPicture
{
    QImage image;                    // areaWidth wide, 100 x rows + 60 high
    std::vector<StaffAnchor> anchors; // one per note, in slot order
};

// Column and row top line of a tape position in an area of the given width.
StaffAnchor StaffPlace(int x, int areaWidth);

// Wrap width of an area: width - 30, at least one column so that even a
// collapsed area wraps instead of dividing by zero.
int StaffWrapWidth(int areaWidth);
// 1 + (x of the last note) div wrap width; 1 for an empty melody.
int StaffRowCount(const Melody &melody, int areaWidth);

// Draws the melody into a picture of the given width. A marked slot (the
// note sounding in a preview) gets a soft highlight behind it; -1 for none.
StaffPicture DrawStaff(const Melody &melody, int areaWidth, int markedSlot = -1);

// The slot under (x, y) in the staff area, trying the notes in order: a note
// is hit strictly inside its glyph box's upper 35 pixels. -1 when none.
int StaffHitTest(const std::vector<StaffAnchor> &anchors, QPoint point);

} // namespace koru
