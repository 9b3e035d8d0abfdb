#include "model/programfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace koru {

std::optional<QStringList> DecodeProgramText(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder decoder("Shift_JIS", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line break ends the last line
    return lines;
}

std::optional<QByteArray> EncodeProgramText(const QStringList &lines)
{
    QStringEncoder encoder("Shift_JIS", QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

std::optional<QStringList> ReadProgramLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > MaxProgramFileBytes)
        return std::nullopt;
    const QByteArray bytes = file.read(MaxProgramFileBytes + 1);
    if (bytes.size() > MaxProgramFileBytes)
        return std::nullopt;
    return DecodeProgramText(bytes);
}

bool WriteProgramLines(const QString &path, const QStringList &lines)
{
    const std::optional<QByteArray> bytes = EncodeProgramText(lines);
    if (!bytes)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(*bytes) != bytes->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool HasProgramExtension(const QString &fileName)
{
    return fileName.toLower().endsWith(QLatin1String(".koru"));
}

QString WithExtension(const QString &fileName, const QString &extension, const QString &suffix)
{
    if (fileName.toLower().endsWith(extension.toLower()))
        return fileName;
    return fileName + suffix;
}

QString WithProgramSuffix(const QString &fileName, const QString &suffix)
{
    return WithExtension(fileName, QStringLiteral(".koru"), suffix);
}

} // namespace koru
