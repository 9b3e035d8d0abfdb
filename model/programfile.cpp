#include "model/programfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

QString WithCp932Forms(const QString &text)
{
    // Code page 932 maps these JIS X 0208 positions to other code points;
    // input methods produce the JIS ones (a "〜" typed is U+301C).
    static constexpr struct
    {
        char16_t jis;
        char16_t windows;
    } forms[] = {
        {u'\u301C', u'\uFF5E'}, // wave dash -> fullwidth tilde
        {u'\u2212', u'\uFF0D'}, // minus sign -> fullwidth hyphen-minus
        {u'\u2016', u'\u2225'}, // double vertical line -> parallel to
        {u'\u2014', u'\u2015'}, // em dash -> horizontal bar
        {u'\u00A2', u'\uFFE0'}, // cent sign
        {u'\u00A3', u'\uFFE1'}, // pound sign
        {u'\u00AC', u'\uFFE2'}, // not sign
        {u'\u00A6', u'\uFFE4'}, // broken bar
    };
    QString result = text;
    for (QChar &c : result) {
        for (const auto &form : forms) {
            if (c.unicode() == form.jis) {
                c = QChar(form.windows);
                break;
            }
        }
    }
    return result;
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
    QByteArray bytes = encoder.encode(WithCp932Forms(text));
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

std::optional<UnencodableCharacter> FirstUnencodableCharacter(const QStringList &lines, const QString &afterLine)
{
    const auto fits = [](const QString &text) {
        QStringEncoder encoder("Shift_JIS", QStringEncoder::Flag::Stateless);
        const QByteArray bytes = encoder.encode(WithCp932Forms(text)); // the conversion runs here
        Q_UNUSED(bytes);
        return !encoder.hasError();
    };
    const auto search = [&](qsizetype from) -> std::optional<UnencodableCharacter> {
        for (qsizetype i = from; i < lines.size(); ++i) {
            if (fits(lines[i]))
                continue;
            const QString &line = lines[i];
            for (qsizetype at = 0; at < line.size();) {
                // A character of a surrogate pair stands whole in the message.
                const qsizetype length = line[at].isHighSurrogate() && at + 1 < line.size() ? 2 : 1;
                const QString character = line.mid(at, length);
                if (!fits(character))
                    return UnencodableCharacter{int(i - from) + 1, character};
                at += length;
            }
        }
        return std::nullopt;
    };
    // The pupil's text first, counted as the pupil sees it; then the rest.
    if (!afterLine.isEmpty()) {
        if (const qsizetype section = lines.indexOf(afterLine); section >= 0) {
            if (auto found = search(section + 1))
                return found;
        }
    }
    return search(0);
}

QString UnencodableMessage(const UnencodableCharacter &found)
{
    QString shown = found.character;
    if (shown.size() == 1 && (shown[0].isSurrogate() || shown[0].category() == QChar::Other_Control))
        shown = QStringLiteral("U+%1").arg(shown[0].unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("%1行目の「%2」は保存出来ない文字です。").arg(found.line).arg(shown);
}

bool OpenRegularFile(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    // Non-blocking, so that a named pipe without a writer cannot stop us in
    // open(); the type is then checked on what was opened, not on a name a
    // moment earlier.
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#endif
}

std::optional<QByteArray> ReadRegularFile(const QString &path, qint64 maxBytes)
{
    QFile file;
    if (!OpenRegularFile(file, path) || file.size() > maxBytes)
        return std::nullopt;
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QStringList> ReadProgramLines(const QString &path)
{
    const std::optional<QByteArray> bytes = ReadRegularFile(path);
    if (!bytes)
        return std::nullopt;
    return DecodeProgramText(*bytes);
}

bool WriteProgramLines(const QString &path, const QStringList &lines, QString *error)
{
    const std::optional<QByteArray> bytes = EncodeProgramText(lines);
    if (!bytes) {
        if (error) {
            const std::optional<UnencodableCharacter> found = FirstUnencodableCharacter(lines);
            *error = found ? QStringLiteral("line %1: '%2' cannot be written in Shift-JIS")
                                 .arg(found->line)
                                 .arg(found->character)
                           : QStringLiteral("the text holds characters Shift-JIS cannot hold");
        }
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

void KeepRunningPastFileSizeLimit()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
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
