// The melody document: up to 110 notes and rests in playing order, the LED
// colour of each pitch, the LED link and the playing speed.
//
// Slots 0 to count - 1 are filled and every other slot is empty. Positions
// on the staff tape follow from the lengths: the first note sits at x = 80,
// each next one at the previous x plus the previous note's width, and next x
// is 80 plus the widths of all notes. Every operation keeps that, and loading
// restores it, so a damaged file can never place notes off the staff.
//
// The document shows no messages: operations report what happened and the
// window shows the text (MelodyFullMessage, LoadFailed, ...).
#pragma once

#include "melody/notes.h"
#include "model/sendable.h"

#include <QString>
#include <QStringList>
#include <array>

namespace koru {

// One note or rest, fields in the order of the original record.
struct S_Info
{
    int len = 0;   // length class 0-3
    int x = 0;     // left edge on the staff tape
    int y = 0;     // glyph offset from the staff row's top line
    QString key;   // key text; empty for an empty slot
    int black = 0; // 1 for a black key

    bool isEmpty() const { return key.isEmpty(); }
    friend bool operator==(const S_Info &, const S_Info &) = default;
};

enum class MelodyEdit {
    Done,
    Full,    // a 111th note: nothing changed, show MelodyFullMessage
    Refused, // no note in that slot, or a key or length the keyboard cannot give
};

enum class PreviewRange { All, Last10, Last20 };

class Melody
{
public:
    Melody();

    // ---- Reading -------------------------------------------------------
    const std::array<S_Info, MelodySlotCount> &notes() const { return m_notes; }
    const S_Info &note(int slot) const; // an empty record outside 0-109
    int count() const { return m_count; }
    int countNotes() const; // slots with a key text (equals count())
    bool isFull() const { return m_count >= MelodySlotCount; }
    int nextX() const { return m_nextX; }

    int ledColour(int ledSlot) const; // 0-7; LedOffColour outside 0-12
    bool ledLink() const { return m_ledLink; }
    MelodySpeed speed() const { return m_speed; }
    int selectedLength() const { return m_selectedLength; }
    int selected() const { return m_selected; } // -1 when nothing was picked

    // ---- Settings ------------------------------------------------------
    void setLedColour(int ledSlot, int colour); // ignored outside the ranges
    void setLedLink(bool on) { m_ledLink = on; }
    void setSpeed(MelodySpeed speed) { m_speed = speed; }
    void setSelectedLength(int len); // ignored outside 0-3
    void setSelected(int slot) { m_selected = slot; }

    // ---- Editing -------------------------------------------------------
    // Appends a note of the selected length at next x.
    MelodyEdit addNote(const QString &keyText, int black);
    // Puts a new note in front of the note in a filled slot; it takes that
    // note's place and every later note moves right by the new width.
    MelodyEdit insertNote(int slot, const QString &keyText, int black, int len);
    // Replaces key and length of a filled slot; later notes move by the
    // change in width.
    MelodyEdit editNote(int slot, const QString &keyText, int black, int len);
    MelodyEdit changeLength(int slot, int len);
    // Removes a filled slot; later notes move left by its width.
    MelodyEdit deleteNote(int slot);
    // Empties every slot, LED colours off, LED link off, quarter note
    // selected. The speed stays.
    void clear();

    // ---- For the kit ---------------------------------------------------
    // 13 colour codes, LED link code, speed code, "0", then one code per
    // note: 16 entries for an empty melody, 126 for a full one. The device
    // protocol frames it with 242 and 250.
    QStringList deviceList() const;

    // ---- Files ---------------------------------------------------------
    // The 128 lines of the melody file.
    QStringList fileLines() const;
    bool save(const QString &path) const; // Shift-JIS, CR LF, atomic

    // Loads melody file lines (line 0 "SOUND" was checked by the caller,
    // who also cleared the document). Files with or without the "SPEED"
    // lines are read. On failure the lines read up to the fault stay and
    // the caller shows LoadFailed. Positions are rebuilt from the order
    // and the keys; an empty line or "FF" between notes is skipped.
    bool load(const QStringList &lines);
    // ReadProgramLines + the "SOUND" check + clear + load.
    enum class MelodyLoad { Loaded, Unreadable, OtherStep, Damaged };
    MelodyLoad loadFile(const QString &path);

private:
    void place(int slot, const Key &key, int len);

    std::array<S_Info, MelodySlotCount> m_notes;
    int m_count = 0;
    int m_nextX = FirstNoteX;
    int m_selected = -1;
    std::array<int, LedSlotCount> m_ledColours{};
    bool m_ledLink = false;
    MelodySpeed m_speed = MelodySpeed::Standard;
    int m_selectedLength = DefaultLength;
};

// What F6 sends: the device list as values. A melody is never refused;
// an empty one still sends its 16 settings.
Sendable SendableImage(const Melody &melody);
// A melody file: it starts with its section name.
bool IsMelodyFile(const QStringList &fileLines);

// The message shown when a file's first line is not "SOUND".
inline const QString OtherStepFileMessage =
    QStringLiteral("指定したファイルは他のステップで作成されたファイルの為、開くことが出来ません。");

} // namespace koru
