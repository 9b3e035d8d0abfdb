#include "kit/melodyscore.h"

#include "kit/kitmemory.h"
#include "model/notecode.h"

namespace koru::kit {

namespace {

// Screen colours of the LED colour codes 162-168 (169 is off).
constexpr std::array<Rgb, 7> CodeColours = {{
    {255, 0, 0},     // 赤
    {0, 128, 0},     // 緑
    {0, 0, 255},     // 青
    {255, 255, 0},   // 黄色
    {128, 0, 128},   // 紫
    {0, 255, 255},   // 水色
    {255, 255, 255}, // 白
}};

// A quarter note lasts one second at standard speed, an eighth half of it.
constexpr int EighthMs = 500;

} // namespace

MelodyScore MelodyScore::fromBytes(const ByteSource &byteAt)
{
    MelodyScore score;
    score.slotColourCodes.fill(OffColourCode);
    const auto at = [&byteAt](int address) -> std::optional<int> {
        return byteAt ? byteAt(address) : std::nullopt;
    };
    for (int slot = 0; slot < 13; ++slot) {
        const std::optional<int> code = at(First + slot);
        if (!code)
            return score;
        score.slotColourCodes[size_t(slot)] = *code;
    }
    score.ledLink = at(First + 13) == LedLinkOn;
    score.speedCode = at(First + 14).value_or(3);
    for (int address = FirstNote; address < KitMemory::MelodyArea.end(); ++address) {
        const std::optional<int> code = at(address);
        if (!code || *code == EndCode)
            break;
        score.codes.append(*code);
    }
    return score;
}

int MelodyScore::speedDivisor() const
{
    switch (speedCode) {
    case 3: return 1;
    case 2: return 2;
    default: return 4;
    }
}

int MelodyScore::durationMs(int code) const
{
    const std::optional<int> lengthClass = LengthOfCode(code);
    if (!lengthClass)
        return 0;
    return EighthMs * (*lengthClass + 1) / speedDivisor();
}

int MelodyScore::slotOf(int code)
{
    if (const std::optional<int> semitone = SemitoneOfCode(code))
        return PitchClassOf(*semitone);
    return IsRestCode(code) ? RestSlot : -1;
}

int MelodyScore::frequencyOf(int code)
{
    return FrequencyOfCode(code).value_or(0);
}

std::optional<Rgb> MelodyScore::slotColour(int slot) const
{
    if (slot < 0 || slot > 12)
        return std::nullopt;
    const int index = slotColourCodes[size_t(slot)] - FirstColourCode;
    if (index < 0 || index >= int(CodeColours.size()))
        return std::nullopt;
    return CodeColours[size_t(index)];
}

} // namespace koru::kit
