// Encoding instructions into the kit's byte code. OpCodes, parameter bytes
// and lengths come from the variant table, so the length of an instruction
// and the bytes written for it cannot disagree.
#include "model/encoder.h"

#include "model/catalogue.h"
#include "model/opcodes.h"
#include "model/varianttable.h"

#include <algorithm>
#include <cmath>

namespace koru {

using namespace detail;

QStringList ImageTexts(const DeviceImage &image)
{
    QStringList texts;
    texts.reserve(image.size());
    for (int value : image)
        texts.append(QString::number(value));
    return texts;
}

QString ImageCommaText(const DeviceImage &image)
{
    return ImageTexts(image).join(QLatin1Char(','));
}

bool ImageHoldsOnlyBytes(const DeviceImage &image)
{
    return std::all_of(image.cbegin(), image.cend(), [](int v) { return v >= 0 && v <= 255; });
}

int OpCodeValueOf(const QString &keyword, const QString &parameters)
{
    return EncodedVariant(keyword, SubKindOf(parameters)).opCode;
}

QString OpCodeOf(const QString &keyword, const QString &parameters)
{
    return QString::number(OpCodeValueOf(keyword, parameters));
}

int InstructionLength(const QString &keyword, const QString &parameters)
{
    return EncodedVariant(keyword, SubKindOf(parameters)).length();
}

int ColourLevelOf(int value)
{
    if (value <= 0)
        return 0;
    // The kit's square law: the factor is held in single precision.
    const float f = float(double(value) * 100.0 / 255.0 / 12.0);
    const double level = std::ceil(double(f) * double(f));
    return level > 63.0 ? 63 : int(level);
}

QString BinaryText(int n)
{
    const unsigned byte = unsigned(n) & 0xFFu;
    QString digits = QString::number(byte, 2).rightJustified(8, QLatin1Char('0'));
    digits.insert(4, QLatin1Char(' '));
    return digits;
}

int BinaryValue(const QString &digits)
{
    quint32 value = 0;
    for (QChar c : digits)
        value = (value << 1) | (c == QLatin1Char('1') ? 1u : 0u);
    return int(value);
}

int ColourWordOf(const QString &parameters)
{
    // 0, then the red, green and blue ColourLevels (six bits each), then the
    // time in quarter seconds (five bits).
    const auto level = [&parameters](int field) { return ColourLevelOf(ParameterOf(parameters, field)) & 0x3F; };
    return level(1) << 17 | level(2) << 11 | level(3) << 5 | (ParameterOf(parameters, 4) & 0x1F);
}

QString PackColourWord(const QString &parameters)
{
    return QString::number(ColourWordOf(parameters), 2).rightJustified(24, QLatin1Char('0'));
}

QList<int> ColourWordBytes(const QString &parameters)
{
    const int word = ColourWordOf(parameters);
    return {word >> 16 & 0xFF, word >> 8 & 0xFF, word & 0xFF};
}

DeviceImage EncodeInstruction(const QString &keyword, const QString &parameters, int nextAddress,
                              int branchAddress, int calledAddress, bool endsSubroutine)
{
    const Variant &variant = EncodedVariant(keyword, SubKindOf(parameters));
    DeviceImage bytes;
    if (variant.opCode >= 0)
        bytes.append(variant.addressBytes == 0 && endsSubroutine ? SubroutineEndCode : variant.opCode);
    switch (variant.parameterBytes) {
    case ParameterBytes::None:
        break;
    case ParameterBytes::ColourWord:
        bytes += ColourWordBytes(parameters);
        break;
    case ParameterBytes::P1:
        bytes.append(ParameterOf(parameters, 1));
        break;
    case ParameterBytes::P1P2:
        bytes.append(ParameterOf(parameters, 1));
        bytes.append(ParameterOf(parameters, 2));
        break;
    case ParameterBytes::CalledAddress:
        bytes.append(calledAddress);
        break;
    }
    if (variant.addressBytes >= 1)
        bytes.append(nextAddress);
    if (variant.addressBytes >= 2)
        bytes.append(branchAddress);
    Q_ASSERT(bytes.size() == variant.length());
    return bytes;
}

QList<int> EntryAddresses(const QList<EncoderEntry> &entries)
{
    QList<int> addresses;
    addresses.reserve(entries.size());
    int address = 0;
    for (const EncoderEntry &entry : entries) {
        addresses.append(address);
        address += InstructionLength(entry.keyword, entry.parameters);
    }
    return addresses;
}

int ProgramLength(const QList<EncoderEntry> &entries)
{
    int total = 0;
    for (const EncoderEntry &entry : entries)
        total += InstructionLength(entry.keyword, entry.parameters);
    return total;
}

DeviceImage EncodeProgram(const QList<EncoderEntry> &entries, ImageOrder order)
{
    const QList<int> addresses = EntryAddresses(entries);
    // A link that leads nowhere (or outside the list) is written as 0.
    auto addressOf = [&](int entry) { return entry >= 0 && entry < addresses.size() ? addresses[entry] : 0; };
    static const QString end = QStringLiteral("end");

    DeviceImage image;
    for (const EncoderEntry &entry : entries) {
        if (order == ImageOrder::Text && entry.keyword == end) {
            image.append(opcode::End);
            image.append(0); // lies outside every instruction
            break;
        }
        image += EncodeInstruction(entry.keyword, entry.parameters, addressOf(entry.next), addressOf(entry.branch),
                                   addressOf(entry.calledEntry),
                                   order == ImageOrder::Flowchart && entry.endsSubroutine);
    }
    return image;
}

} // namespace koru
