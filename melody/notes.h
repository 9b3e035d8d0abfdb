// The melody editor's keyboard: key numbers, length classes, LED colours
// and speeds. The pitches and codes themselves are model/notecode.h, shared
// with the virtual kit.
//
// A key is held as its number in decimal text ("0" to "21", or "148" for the
// rest) plus a black flag; a black key carries the number of the white key it
// raises by a semitone.
#pragma once

#include "model/notecode.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace koru {

inline constexpr int MelodySlotCount = 110;
inline constexpr int FirstNoteX = 80;
inline constexpr int RestKey = 148;
inline constexpr int LedSlotCount = 13; // 12 semitones and the rest
inline constexpr int RestLedSlot = 12;
inline constexpr int LedColourCount = 8;
inline constexpr int LedOffColour = 7;
inline constexpr int DefaultLength = 1; // the quarter note
inline constexpr int LedLinkOnCode = 160;
inline constexpr int LedLinkOffCode = 161;
inline constexpr int MelodyEndCode = 250; // "FA" after the last note in the kit

// Shown when a 111th note is added or inserted.
inline const QString MelodyFullMessage = QStringLiteral("これ以上音符の追加は出来ません。");

// A key as the document holds it: checked, with its number.
struct Key
{
    int number = 0; // 0-21 or RestKey
    bool black = false;

    bool isRest() const { return number == RestKey; }
    QString text() const { return QString::number(number); }
    friend bool operator==(const Key &, const Key &) = default;
};

// Key text and black flag as a key; nullopt for anything the keyboard
// cannot produce ("22", "2" with the black flag, a rest with the black flag).
std::optional<Key> KeyOf(const QString &keyText, int blackFlag);

// Keyboard control name ("pw12", "pB0", "pw148") as a key: the key text is
// the name without its first two letters, the flag is 0 exactly when the
// name contains "pw".
std::optional<Key> KeyOfControlName(const QString &controlName);

// 0 (C3) to 36 (C6); nullopt for the rest.
std::optional<int> SemitoneOf(const Key &key);

// LED slot 0-11 by semitone within the octave, RestLedSlot for the rest.
int LedSlotOf(const Key &key);
bool IsBlackLedSlot(int slot); // 1, 3, 6, 8, 10

// Offset of the note glyph from its staff row's top line: 40 - 4 x key
// number; black keys share their white key's offset; 0 for the rest.
int StaffOffsetOf(const Key &key);

// Length class 0-3: eighth, quarter, dotted quarter, half.
bool IsLengthClass(int len);
int LengthWidth(int len); // 30 x (len + 1), the room on the staff tape
QString LengthCaption(int len); // "八分音符" ...

// One byte per note for the kit: 37 x len + semitone; 148 + len for a rest.
int NoteCode(const Key &key, int len);

// LED colour choices 0-7, in selector order.
struct LedColour
{
    QString caption;
    int deviceCode; // 162-169
    int red, green, blue;
};
const std::array<LedColour, LedColourCount> &LedColours();
QStringList LedColourCaptions();
// The picture of an LED slot in a colour: "Img\Icon\Melo\Black\3.jpg" for
// the black-key slots 1, 3, 6, 8, 10, "Img\Icon\Melo\White\3.jpg" for the
// others (an asset path, see model/paths.h).
QString LedPictureFile(int ledSlot, int colour);

// Playing speed; the enumerator values are the melody file's values.
enum class MelodySpeed { Standard = 1, Double = 2, Quadruple = 3 };
int SpeedDeviceCode(MelodySpeed speed); // 3, 2, 1
int SpeedFileValue(MelodySpeed speed);  // 1, 2, 3
int SpeedDivisor(MelodySpeed speed);    // 1, 2, 4
std::optional<MelodySpeed> SpeedOfFileValue(int value);
QString SpeedCaption(MelodySpeed speed); // "標準", "2倍速", "4倍速"

} // namespace koru
