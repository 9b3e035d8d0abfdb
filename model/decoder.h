// Reading the kit's byte code back: reply lines to byte values, OpCodes to
// keywords, ColourWords to colours, and one instruction at an address to its
// keyword, ParameterString and successor addresses. Walking the control flow
// is left to the callers (read-back, simulator).
//
// Nothing here reads out of range: an instruction that runs past the end of
// the image, or over a line that is not hexadecimal, is reported as such.
#pragma once

#include "model/encoder.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace koru {

// Shown when a reply line does not convert.
inline const QString ConversionFailedMessage = QStringLiteral("変換できません");

// Text read as a hexadecimal number (upper- or lower-case digits, nothing
// else); nullopt for empty, non-hexadecimal or too large texts. Callers show
// ConversionFailedMessage on nullopt.
std::optional<int> HexToInt(const QString &text);

// Byte value of one reply line: blanks removed, then HexToInt.
std::optional<int> ByteValueOfLine(const QString &line);

// First byte as decimal text -> keyword; any other text "full_led".
QString KindOfOpCode(const QString &firstByte);

// 24 binary digits: BinaryText of each byte without its blank.
QString ColourWordBits(const QString &byte1, const QString &byte2, const QString &byte3);

// Six binary digits of a ColourLevel -> colour value 0-255.
int ChannelValueOf(const QString &sixDigits);
// The same for the ColourLevel as a number (0-63).
int ChannelValueOfLevel(int level);

struct ColourWordFields
{
    int red = 0;
    int green = 0;
    int blue = 0;
    int time = 0; // QuarterSecond
};
ColourWordFields UnpackColourWord(int byte1, int byte2, int byte3);

// ---- One instruction ---------------------------------------------------

enum class DecodeStatus {
    Complete,
    Truncated,     // the instruction runs past the end of the image
    Unconvertible, // a byte it needs is not hexadecimal (reply lines only)
};

struct DecodedInstruction
{
    DecodeStatus status = DecodeStatus::Truncated;
    int address = 0;
    int firstByte = -1;          // -1 when even the first byte is missing
    QString keyword;             // set whenever the first byte was read
    QString parameters;          // complete instructions only
    int length = 0;              // InstructionLength of the result
    int next = -1;               // successor (if: condition holds); -1 none
    int branch = -1;             // if: where the other path starts
    int subroutineAddress = -1;  // routine: first instruction of the subroutine
    bool endsSubroutine = false; // 206
    int failedAddress = -1;      // the address that was missing or unconvertible

    bool complete() const { return status == DecodeStatus::Complete; }
    // Successor addresses in table order: next (and branch), or subroutine
    // start then next for a routine; empty for end.
    QList<int> successors() const;
};

// The byte at an address, or nullopt when there is none.
using ByteSource = std::function<std::optional<int>(int address)>;

// Subroutine numbers by first appearance: the first distinct called address
// gets 1, the next new one 2, ...
class SubroutineNumbering
{
public:
    int numberOf(int address);
    const QList<int> &addresses() const { return m_addresses; }

private:
    QList<int> m_addresses;
};

// A routine's ParameterString carries the number that numbering gives its
// called address (0 without numbering).
DecodedInstruction DecodeInstruction(const DeviceImage &image, int address,
                                     SubroutineNumbering *numbering = nullptr);
// Reply lines, line k = byte at address k; missing lines count as empty
// (unconvertible).
DecodedInstruction DecodeReplyLines(const QStringList &lines, int address,
                                    SubroutineNumbering *numbering = nullptr);
// Any source; missing bytes make the result Truncated.
DecodedInstruction DecodeInstructionFrom(const ByteSource &byteAt, int address,
                                         SubroutineNumbering *numbering = nullptr);

} // namespace koru
