// The one table of instruction families and variants behind the catalogue,
// the encoder and the decoder. Internal to model/: other folders use the
// functions of catalogue.h, encoder.h and decoder.h.
#pragma once

#include "model/catalogue.h"
#include "model/opcodes.h"

#include <QList>
#include <QString>

namespace koru::detail {

// Bytes between an instruction's OpCode and its address bytes.
enum class ParameterBytes {
    None,
    ColourWord,    // three bytes packed from fields 2-5
    P1,            // field 2
    P1P2,          // fields 2 and 3
    CalledAddress, // address of the called subroutine's first instruction
};

struct Family
{
    QString keyword;
    int kindNumber;      // 0: never written as a record
    int paletteIndex;    // -1: not on the palette
    int parameterClass;  // 0: none
    QString picture;
    int fallbackSubKind; // variant used for sub-kinds the table lacks
    bool captionFallsBack; // false: unknown sub-kinds have no caption
    int countBelow;      // ParameterCountOf for sub-kinds below the table
    int countAbove;      // ... and above it
    QString paletteCaption; // the caption on the palette picture; empty off the palette
};

struct Variant
{
    QString keyword;
    int subKind;
    bool encodable;      // false: known to the viewer only
    int opCode;          // -1: the instruction begins with its ColourWord
    ParameterBytes parameterBytes;
    int addressBytes;    // 0 (end), 1, or 2 (if)
    QString offered;     // empty: not offered
    QString caption;     // "{p1}" and "{t}" are filled in
    QString viewer;
    QList<ParameterRange> parameters;

    int length() const;
};

const QList<Family> &Families();
const QList<Variant> &Variants();

// The family of a keyword; vexo for any keyword the table lacks (else and
// endif included: they are no instructions).
const Family &InstructionFamilyOf(const QString &keyword);
// Exactly this variant (viewer-only ones included), or nullptr.
const Variant *ExactVariant(const QString &keyword, int subKind);
// The variant an instruction is encoded as: the exact encodable one, else the
// family's fallback.
const Variant &EncodedVariant(const QString &keyword, int subKind);
// The encodable variant with this OpCode, or nullptr (206 is not in the table).
const Variant *VariantOfOpCode(int opCode);

inline constexpr int SubroutineEndCode = opcode::SubroutineEnd;

} // namespace koru::detail
