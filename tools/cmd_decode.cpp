// koru-tool decode: lists a byte image instruction by instruction, as the
// kit's decoder reads it, from address 0 to the end.
//
//   address<TAB>keyword<TAB>ParameterString<TAB>successors ("," joined, "-" for none)
#include "tools/command.h"

#include "model/decoder.h"
#include "model/encoder.h"

#include <QFile>
#include <QRegularExpression>

namespace koru::tool {
namespace {

int RunDecode(const QStringList &args);

const KoruCommand decodeCommand("decode", "V1 V2 ... | -",
                                "list the instructions of a byte image (decimal values; - reads them from stdin)",
                                RunDecode);

constexpr qint64 MaxInputBytes = 1 << 20;

// Splits text at blanks, commas and line breaks and reads every piece as a
// byte value. On failure, returns the offending piece in `bad`.
std::optional<DeviceImage> ParseValues(const QString &text, QString *bad)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    DeviceImage values;
    for (const QString &piece : text.split(separators, Qt::SkipEmptyParts)) {
        bool digitsOnly = piece.size() <= 3;
        for (QChar c : piece)
            digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const int value = digitsOnly ? piece.toInt() : -1;
        if (value < 0 || value > 255) {
            *bad = piece;
            return std::nullopt;
        }
        values.append(value);
    }
    return values;
}

constexpr int ShownPieceChars = 20;

QString NotAByte(const QString &piece)
{
    // A piece may be a whole megabyte of digits: show its start only.
    const QString shown = piece.size() > ShownPieceChars ? piece.left(ShownPieceChars) + QStringLiteral("...") : piece;
    return QStringLiteral("koru-tool decode: '%1' is not a byte value (0-255)").arg(shown);
}

int RunDecode(const QStringList &args)
{
    if (args.isEmpty())
        return usageError(decodeCommand);

    DeviceImage image;
    bool readStdin = false;
    for (const QString &arg : args) {
        QString bad;
        if (arg == QLatin1String("-")) {
            if (readStdin) {
                err() << "koru-tool decode: '-' may be given once" << Qt::endl;
                return usageError(decodeCommand);
            }
            readStdin = true;
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly))
                return refuse(QStringLiteral("koru-tool decode: cannot read standard input"));
            // A pipe hands over what its writer has written so far: read on
            // to the end, not just the first part.
            QByteArray data;
            while (data.size() <= MaxInputBytes) {
                const QByteArray part = in.read(MaxInputBytes + 1 - data.size());
                if (part.isEmpty())
                    break;
                data += part;
            }
            if (in.error() != QFileDevice::NoError)
                return refuse(QStringLiteral("koru-tool decode: cannot read standard input"));
            if (data.size() > MaxInputBytes)
                return refuse(QStringLiteral("koru-tool decode: standard input is too long for a byte image"));
            const std::optional<DeviceImage> values = ParseValues(QString::fromLatin1(data), &bad);
            if (!values)
                return refuse(NotAByte(bad));
            image += *values;
        } else {
            const std::optional<DeviceImage> values = ParseValues(arg, &bad);
            if (!values || arg.trimmed().isEmpty()) {
                err() << NotAByte(values ? arg : bad) << Qt::endl;
                return usageError(decodeCommand);
            }
            image += *values;
        }
    }
    if (image.isEmpty())
        return refuse(QStringLiteral("koru-tool decode: the image is empty"));

    SubroutineNumbering numbering;
    bool afterMainEnd = false;
    for (int address = 0; address < image.size();) {
        // The text and icon editors put one 0 after their final 231; it
        // belongs to no instruction.
        if (afterMainEnd && address == image.size() - 1 && image[address] == 0)
            break;
        const DecodedInstruction decoded = DecodeInstruction(image, address, &numbering);
        if (!decoded.complete()) {
            out().flush();
            return refuse(QStringLiteral("koru-tool decode: the image ends inside the %1 instruction at address %2 "
                                         "(byte %3 is missing)")
                              .arg(decoded.keyword)
                              .arg(address)
                              .arg(decoded.failedAddress));
        }
        QStringList successors;
        for (int successor : decoded.successors())
            successors.append(QString::number(successor));
        out() << address << '\t' << decoded.keyword << '\t' << decoded.parameters << '\t'
              << (successors.isEmpty() ? QStringLiteral("-") : successors.join(QLatin1Char(','))) << '\n';
        afterMainEnd = decoded.keyword == QLatin1String("end") && !decoded.endsSubroutine;
        address += decoded.length;
    }
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
