// The melody's one-byte note codes and the pitches behind them. The melody
// editor writes, reads back and previews these codes and the virtual kit
// plays and shows them; both use this one reckoning so that they cannot
// drift apart.
//
// Semitones count from C3 (0) to C6 (36). White key k is degree k mod 7 of
// octave k div 7, from C3 (key 0) to C6 (key 21); a black key raises the
// white key below it by a semitone. A note is 37 x len + semitone, len being
// the length class 0-3 (eighth, quarter, dotted quarter, half), so 0-147; a
// rest is 148 + len, so 148-151. Other byte values are neither.
#pragma once

#include <QString>
#include <optional>

namespace koru {

inline constexpr int HighestSemitone = 36;
inline constexpr int HighestWhiteKey = 21;
inline constexpr int LengthClassCount = 4;
inline constexpr int CodesPerLength = HighestSemitone + 1;
inline constexpr int LastNoteCode = CodesPerLength * LengthClassCount - 1; // 147
inline constexpr int RestCodeBase = 148;                                   // 148 + length class
inline constexpr int LastRestCode = RestCodeBase + LengthClassCount - 1;   // 151

// The white keys that have a black key above them: degrees 0, 1, 3, 4, 5.
bool HasBlackKey(int whiteKey);
// 0-36 for a key 0-21 and its black flag; nullopt for a key off the keyboard
// or a black key that does not exist.
std::optional<int> SemitoneOfKey(int whiteKey, bool black);

// Where a semitone 0-36 lies on the keyboard: the inverse of SemitoneOfKey.
struct KeyPlace
{
    int whiteKey = 0;
    bool black = false;
    friend bool operator==(const KeyPlace &, const KeyPlace &) = default;
};
std::optional<KeyPlace> KeyPlaceOfSemitone(int semitone);

// Position within the octave, 0 (C) to 11 (B); the LED slot of a note.
int PitchClassOf(int semitone);
// "ド", "ド♯", "レ" ... "シ" by pitch class.
QString PitchName(int semitone);

bool IsNoteCode(int code); // 0-147
bool IsRestCode(int code); // 148-151
int NoteCodeOf(int semitone, int len);
int RestCodeOf(int len);
// Semitone of a note code; nullopt for rests and other values.
std::optional<int> SemitoneOfCode(int code);
// Length class of a note or rest code; nullopt for other values.
std::optional<int> LengthOfCode(int code);

// Any non-negative byte split as 37 x len + semitone without a range check on
// len: how a byte above the rests, never written by the editor, still reads.
struct CodeParts
{
    int semitone = 0;
    int len = 0;
};
CodeParts SplitCode(int code);

// 440 x 2^((s - 21) / 12) Hz rounded: 131 Hz for 0, 440 Hz for 21 (A4),
// 1047 Hz for 36; 0 outside 0-36.
int FrequencyOfSemitone(int semitone);
// The frequency of a note code; nullopt for rests and other values.
std::optional<int> FrequencyOfCode(int code);

} // namespace koru
