// What a screen reader says of the staff: each note's place, pitch and
// length, and while the LED link is on the colour its LED lights in.
#pragma once

#include "melody/melody.h"

#include <QString>

namespace koru {

// "3番目: ソ 四分音符 LED 赤"; "1番目: 休符 八分音符"; empty for an empty slot.
// The pitch is named within its octave, as the keyboard's keys are.
QString NoteSpokenName(const Melody &melody, int slot);

// A key of the keyboard by its pitch and octave: "低いド", "ド" (the middle
// octave, the one the piano row starts in), "高いド", "いちばん高いド";
// "休符" for the rest.
QString KeySpokenName(const Key &key);

// "音符 5 個、LEDリンク する" (or "しない"): the staff as a whole.
QString StaffSpokenSummary(const Melody &melody);

} // namespace koru
