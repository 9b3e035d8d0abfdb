// The kit's memory: 255 readable bytes split into the program area (0-127)
// and the melody area (128-254). Every byte remembers whether it was ever
// written; a byte never written reads back as FF, and the interpreter treats
// it as the end of the stored program.
#pragma once

#include "kit/effect.h"

#include <QList>
#include <array>
#include <optional>

namespace koru::kit {

struct MemoryArea
{
    int first = 0;
    int size = 0;
    int end() const { return first + size; }
    bool contains(int address) const { return address >= first && address < end(); }
};

class KitMemory
{
public:
    static constexpr int Size = 255; // addresses 0-254, as the read-back asks for them
    static constexpr MemoryArea ProgramArea{0, 128};
    static constexpr MemoryArea MelodyArea{128, 127};
    static constexpr int Unwritten = 0xFF;

    static MemoryArea areaOf(FrameArea area) { return area == FrameArea::Melody ? MelodyArea : ProgramArea; }

    // What a read-back reports for the address: the stored byte, FF when it
    // was never written or lies outside the memory.
    int readBack(int address) const;
    // The stored byte, or nothing when the address was never written or lies
    // outside the memory.
    std::optional<int> written(int address) const;

    // Forgets the area, then stores bytes from its first address on; bytes
    // beyond the area are dropped and false is returned (the area then stays
    // empty). The other area is never touched.
    bool replaceArea(FrameArea area, const QList<int> &bytes);
    void eraseArea(FrameArea area);

private:
    std::array<int, Size> m_bytes{};
    std::array<bool, Size> m_written{};
};

} // namespace koru::kit
