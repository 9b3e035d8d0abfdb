#include "kit/kitmemory.h"

namespace koru::kit {

int KitMemory::readBack(int address) const
{
    return written(address).value_or(Unwritten);
}

std::optional<int> KitMemory::written(int address) const
{
    if (address < 0 || address >= Size || !m_written[size_t(address)])
        return std::nullopt;
    return m_bytes[size_t(address)];
}

void KitMemory::eraseArea(FrameArea area)
{
    const MemoryArea a = areaOf(area);
    for (int i = a.first; i < a.end(); ++i) {
        m_bytes[size_t(i)] = 0;
        m_written[size_t(i)] = false;
    }
}

bool KitMemory::replaceArea(FrameArea area, const QList<int> &bytes)
{
    eraseArea(area);
    const MemoryArea a = areaOf(area);
    if (bytes.size() > a.size)
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const size_t at = size_t(a.first + i);
        m_bytes[at] = bytes[i] & 0xFF;
        m_written[at] = true;
    }
    return true;
}

} // namespace koru::kit
