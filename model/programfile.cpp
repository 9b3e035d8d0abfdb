#include "model/programfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>

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

bool WriteProgramLines(const QString &path, const QStringList &lines, QString *error)
{
    const std::optional<QByteArray> bytes = EncodeProgramText(lines);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("the text holds characters Shift-JIS cannot hold");
        return false;
    }
    return WriteFileAtomically(path, *bytes, error);
}

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    // Read-only means read-only, also for an administrator whom the
    // system would let replace it.
    const QFileInfo target(path);
    if (target.exists() && target.isFile() && !(target.permissions() & QFileDevice::WriteOwner)) {
        if (error)
            *error = QStringLiteral("the file is read-only");
        return false;
    }
    QSaveFile file(path);
    const auto fail = [&file, error] {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered: a write the system refuses (no space, over the file size
    // limit) fails here, not later inside a buffer whose loss commit() would
    // not report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size() && file.error() == QFileDevice::NoError) {
        // A write cut short (full disk, file size limit) is no error to Qt.
        const int cause = errno;
        if (error)
            *error = cause ? QString::fromLocal8Bit(std::strerror(cause))
                           : QStringLiteral("only %1 of %2 bytes could be written").arg(qMax<qint64>(0, written)).arg(bytes.size());
        file.cancelWriting();
        return false;
    }
    if (written != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
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
