// Reading the kit's byte code back. Which bytes follow an OpCode comes from
// the same variant table the encoder writes from.
#include "model/decoder.h"

#include "model/catalogue.h"
#include "model/textutil.h"
#include "model/varianttable.h"

#include <cmath>
#include <limits>

namespace koru {

using namespace detail;

std::optional<int> HexToInt(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return int(value);
}

std::optional<int> ByteValueOfLine(const QString &line)
{
    // A reply line carries one byte: anything above FF is not a reply.
    const std::optional<int> value = HexToInt(StripSpaces(line));
    if (!value || *value < 0 || *value > 0xFF)
        return std::nullopt;
    return value;
}

QString KindOfOpCode(const QString &firstByte)
{
    static const QString fullLed = QStringLiteral("full_led");
    const std::optional<int> code = ToInteger(firstByte);
    if (!code || QString::number(*code) != firstByte)
        return fullLed; // only the plain decimal texts of the codes count
    if (*code == SubroutineEndCode)
        return QStringLiteral("end");
    const Variant *variant = VariantOfOpCode(*code);
    return variant ? variant->keyword : fullLed;
}

QString ColourWordBits(const QString &byte1, const QString &byte2, const QString &byte3)
{
    QString bits;
    for (const QString *byte : {&byte1, &byte2, &byte3})
        bits += BinaryText(IntegerOr(*byte, 0)).remove(QLatin1Char(' '));
    return bits;
}

int ChannelValueOf(const QString &sixDigits)
{
    return ChannelValueOfLevel(BinaryValue(sixDigits));
}

int ChannelValueOfLevel(int level)
{
    const int percent = level < 63 ? RoundHalfEven(std::sqrt(double(std::max(level, 0))) * 12.0) : 100;
    // percent × 255 / 100 rounded half to even, in integers so that the
    // halves (70 % -> 178.5, 90 % -> 229.5) are exact.
    const qint64 scaled = qint64(percent) * 255;
    qint64 value = scaled / 100;
    const qint64 rest = scaled % 100;
    if (rest > 50 || (rest == 50 && value % 2 != 0))
        ++value;
    return int(value);
}

ColourWordFields UnpackColourWord(int byte1, int byte2, int byte3)
{
    const int word = (byte1 & 0xFF) << 16 | (byte2 & 0xFF) << 8 | (byte3 & 0xFF);
    return ColourWordFields{ChannelValueOfLevel(word >> 17 & 0x3F), ChannelValueOfLevel(word >> 11 & 0x3F),
                            ChannelValueOfLevel(word >> 5 & 0x3F), word & 0x1F};
}

QList<int> DecodedInstruction::successors() const
{
    QList<int> list;
    if (subroutineAddress >= 0)
        list.append(subroutineAddress);
    if (next >= 0)
        list.append(next);
    if (branch >= 0)
        list.append(branch);
    return list;
}

int SubroutineNumbering::numberOf(int address)
{
    const qsizetype i = m_addresses.indexOf(address);
    if (i >= 0)
        return int(i) + 1;
    m_addresses.append(address);
    return int(m_addresses.size());
}

namespace {

DecodedInstruction Decode(const ByteSource &byteAt, int address, SubroutineNumbering *numbering,
                          DecodeStatus whenMissing)
{
    DecodedInstruction result;
    result.address = address;
    // Reads the byte at offset k from the instruction's first byte.
    auto read = [&](int k) -> std::optional<int> {
        if (address < 0 || k > std::numeric_limits<int>::max() - address)
            return std::nullopt;
        return byteAt(address + k);
    };
    auto fail = [&](int k) {
        result.status = whenMissing;
        result.failedAddress = address + k;
        return result;
    };

    const std::optional<int> first = read(0);
    if (!first)
        return fail(0);
    const int b = *first;
    result.firstByte = b;

    const Variant *variant = b == SubroutineEndCode ? ExactVariant(QStringLiteral("end"), 0) : VariantOfOpCode(b);
    const bool colourOnly = !variant; // any other value begins a ColourWord
    if (colourOnly)
        variant = ExactVariant(QStringLiteral("full_led"), 0);
    result.keyword = variant->keyword;
    result.endsSubroutine = b == SubroutineEndCode;

    const int length = variant->length();
    QList<int> bytes{b};
    for (int k = 1; k < length; ++k) {
        const std::optional<int> value = read(k);
        if (!value)
            return fail(k);
        bytes.append(*value);
    }

    // Parameter bytes start after the OpCode (at the first byte for a bare ColourWord).
    int at = colourOnly ? 0 : 1;
    QList<int> values;
    switch (variant->parameterBytes) {
    case ParameterBytes::None:
        break;
    case ParameterBytes::ColourWord: {
        const ColourWordFields colour = UnpackColourWord(bytes[at], bytes[at + 1], bytes[at + 2]);
        values = {colour.red, colour.green, colour.blue, colour.time};
        at += 3;
        break;
    }
    case ParameterBytes::P1:
        values = {bytes[at++]};
        break;
    case ParameterBytes::P1P2:
        values = {bytes[at], bytes[at + 1]};
        at += 2;
        break;
    case ParameterBytes::CalledAddress:
        result.subroutineAddress = bytes[at++];
        values = {numbering ? numbering->numberOf(result.subroutineAddress) : 0};
        break;
    }
    if (variant->addressBytes >= 1)
        result.next = bytes[at++];
    if (variant->addressBytes >= 2)
        result.branch = bytes[at++];
    Q_ASSERT(at == length);

    result.parameters = BuildParameterString(variant->subKind, values);
    result.length = InstructionLength(result.keyword, result.parameters);
    Q_ASSERT(result.length == length);
    result.status = DecodeStatus::Complete;
    return result;
}

} // namespace

DecodedInstruction DecodeInstructionFrom(const ByteSource &byteAt, int address, SubroutineNumbering *numbering)
{
    return Decode(byteAt, address, numbering, DecodeStatus::Truncated);
}

DecodedInstruction DecodeInstruction(const DeviceImage &image, int address, SubroutineNumbering *numbering)
{
    const ByteSource source = [&image](int a) -> std::optional<int> {
        if (a < 0 || a >= image.size())
            return std::nullopt;
        return image[a];
    };
    return Decode(source, address, numbering, DecodeStatus::Truncated);
}

DecodedInstruction DecodeReplyLines(const QStringList &lines, int address, SubroutineNumbering *numbering)
{
    const ByteSource source = [&lines](int a) -> std::optional<int> {
        // A line that never arrived reads as an empty, unconvertible line.
        return ByteValueOfLine(a >= 0 && a < lines.size() ? lines[a] : QString());
    };
    return Decode(source, address, numbering, DecodeStatus::Unconvertible);
}

} // namespace koru
