// The melody by keyboard: one row of the computer's keys as piano keys, and
// an insertion point among the notes that letters insert at and Delete and
// Backspace remove at. The window maps key presses to these.
#pragma once

#include "melody/melody.h"

#include <QChar>
#include <QString>

#include <optional>

namespace koru {

// a s d f g h j k: ド レ ミ ファ ソ ラ シ ド; w e t y u: the black keys
// between them; Space: the rest. The row plays octave 0-2 of the staff
// (octave 1, from the middle ド, by default; z and x go down and up).
inline constexpr int DefaultPianoOctave = 1;
inline constexpr int PianoOctaves = 3;
std::optional<Key> PianoKeyOf(QChar letter, int octave);
// z: -1, x: +1, 0 for other letters.
int OctaveStepOf(QChar letter);
// The keys as the staff's tooltip shows them.
QString PianoKeysHint();

// The insertion point is a place between notes: 0 before the first,
// count() after the last.
int MovePoint(const Melody &melody, int point, int step);
// The key inserted at the point with the selected length (appended at the
// end); the point moves past the new note.
MelodyEdit InsertAtPoint(Melody &melody, int &point, const Key &key);
// Delete removes the note after the point, Backspace the one before it
// (the point then moves back). Refused when there is none.
MelodyEdit DeleteAfterPoint(Melody &melody, int point);
MelodyEdit DeleteBeforePoint(Melody &melody, int &point);

} // namespace koru
