// The stored melody as the kit plays it: the LED colour of each of the 13
// pitch slots, the LED link, the speed and the note codes, read from the
// melody area (colour codes 162-169 at 128-140, link 160 at 141, speed at
// 142, a 0 at 143, then note codes ended by 250).
#pragma once

#include "model/decoder.h"

#include <QList>
#include <array>

namespace koru::kit {

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb &) const = default;
};

struct MelodyScore
{
    static constexpr int First = 128;
    static constexpr int LedLinkOn = 160;
    static constexpr int FirstColourCode = 162;
    static constexpr int OffColourCode = 169;
    static constexpr int FirstNote = 144;
    static constexpr int EndCode = 250;
    static constexpr int RestSlot = 12;

    std::array<int, 13> slotColourCodes{}; // 162-169 (anything else: off)
    bool ledLink = false;
    int speedCode = 3;     // 3 standard, 2 double, anything else quadruple
    QList<int> codes;      // 0-147 notes, 148-151 rests, as stored

    // Reads the area; bytes that are missing end the notes (and leave the
    // header at its defaults: no link, every slot off, standard speed).
    static MelodyScore fromBytes(const ByteSource &byteAt);

    int speedDivisor() const;
    // Playing time of one note or rest code at this speed; 0 for a code that
    // is neither.
    int durationMs(int code) const;
    // LED slot 0-11 of a note, 12 for a rest, -1 for anything else.
    static int slotOf(int code);
    // Tone of a note code (model/notecode.h); 0 for rests and other codes.
    static int frequencyOf(int code);
    // The colour a slot shows when the LED follows the notes; nullopt = off.
    std::optional<Rgb> slotColour(int slot) const;
};

} // namespace koru::kit
