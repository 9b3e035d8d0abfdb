// The kit's byte code: OpCodes, instruction lengths, the packed ColourWord
// and the encoder that turns an instruction list of the flowchart or text
// editor into a DeviceImage. Opcodes and layouts come from the catalogue's
// variant table.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace koru {

// The program as the kit stores it: byte values 0-255, addresses count from
// the first value. Frame values (240/242 ... 250) are not part of it.
using DeviceImage = QList<int>;

inline constexpr int MaxImageBytes = 120;

// Values as decimal texts, one per entry.
QStringList ImageTexts(const DeviceImage &image);
// Values joined by ",": "230,2,231".
QString ImageCommaText(const DeviceImage &image);
// True when every value is a byte (0-255).
bool ImageHoldsOnlyBytes(const DeviceImage &image);

// OpCode of an instruction as decimal text; "-1" for full_led SubKind 0 (it
// begins directly with its ColourWord). Unknown keywords count as vexo.
QString OpCodeOf(const QString &keyword, const QString &parameters);
// The same as a number (-1 for none).
int OpCodeValueOf(const QString &keyword, const QString &parameters);

// Bytes the instruction takes in the image (1 to 5), from keyword and
// ParameterString alone.
int InstructionLength(const QString &keyword, const QString &parameters);

// Colour value 0-255 -> ColourLevel 0-63 (square law; never 0 for v > 0).
int ColourLevelOf(int value);

// n as eight binary digits with a blank after the fourth ("0000 0101");
// higher bits are dropped.
QString BinaryText(int n);
// Value of binary digits, most significant first; any character other
// than '1' counts as 0.
int BinaryValue(const QString &digits);

// The ColourWord of a full_led ParameterString: 24 bits, from the top a 0,
// the red, green and blue ColourLevels (6 bits each) and the time (5 bits).
int ColourWordOf(const QString &parameters);
// The same as 24 binary digits.
QString PackColourWord(const QString &parameters);
// The three bytes of that ColourWord.
QList<int> ColourWordBytes(const QString &parameters);

// ---- Encoding an instruction list --------------------------------------

inline constexpr int NoEntry = -1;

// One instruction of the list handed to the encoder, in image order. Links
// are indices into the same list.
struct EncoderEntry
{
    QString keyword;
    QString parameters;
    int next = NoEntry;        // entry executed next (if: condition holds)
    int branch = NoEntry;      // if only: entry where the other path starts
    bool endsSubroutine = false; // end in a subroutine: written as 206 (flowchart)
    int calledEntry = NoEntry; // routine: first entry of the called subroutine
};

enum class ImageOrder {
    Flowchart, // every entry encoded; nothing appended
    Text,      // the first end is 231 followed by an extra 0; encoding stops there
};

// Address of every entry: the sum of InstructionLength over the entries
// before it.
QList<int> EntryAddresses(const QList<EncoderEntry> &entries);

// Sum of InstructionLength over all entries (the flowchart's budget figure).
int ProgramLength(const QList<EncoderEntry> &entries);

// The image of the list. Never fails: unknown keywords encode as vexo,
// missing links as address 0, values are written as they are.
DeviceImage EncodeProgram(const QList<EncoderEntry> &entries, ImageOrder order);

// One instruction's bytes given the addresses of its links (0 for none);
// exactly InstructionLength bytes. endsSubroutine makes an end 206.
DeviceImage EncodeInstruction(const QString &keyword, const QString &parameters,
                              int nextAddress, int branchAddress = 0,
                              int calledAddress = 0, bool endsSubroutine = false);

} // namespace koru
