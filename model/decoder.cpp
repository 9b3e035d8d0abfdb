#include "model/decoder.h"

namespace koru {

std::optional<int> HexToInt(const QString &) { return std::nullopt; }
std::optional<int> ByteValueOfLine(const QString &) { return std::nullopt; }
QString KindOfOpCode(const QString &) { return QStringLiteral("full_led"); }
QString ColourWordBits(const QString &, const QString &, const QString &) { return QString(24, QLatin1Char('0')); }
int ChannelValueOf(const QString &) { return 0; }
ColourWordFields UnpackColourWord(int, int, int) { return {}; }
QList<int> DecodedInstruction::successors() const { return {}; }
int SubroutineNumbering::numberOf(int address)
{
    const qsizetype i = m_addresses.indexOf(address);
    if (i >= 0)
        return int(i) + 1;
    m_addresses.append(address);
    return int(m_addresses.size());
}
DecodedInstruction DecodeInstruction(const DeviceImage &, int, SubroutineNumbering *) { return {}; }
DecodedInstruction DecodeReplyLines(const QStringList &, int, SubroutineNumbering *) { return {}; }
DecodedInstruction DecodeInstructionFrom(const ByteSource &, int, SubroutineNumbering *) { return {}; }

} // namespace koru
