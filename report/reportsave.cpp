#include "report/reportsave.h"

#include "model/messages.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "report/reportpage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace koru::report {

namespace {

// The base name as the start of a relative URL: characters that would end
// or change a URL path are percent-encoded; other characters, Japanese ones
// included, stay as they are (browsers encode them as UTF-8).
QString urlPathPart(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || QStringLiteral(" \"#%<>?\\^`{|}").contains(c))
            result += QStringLiteral("%%1").arg(int(u), 2, 16, QLatin1Char('0')).toUpper();
        else
            result += c;
    }
    return result;
}

// Report pictures are bounded by the canvas; anything far larger is no
// picture of ours.
constexpr qint64 MaxPictureBytes = 64 * 1024 * 1024;

bool copyReplacing(const QString &from, const QString &to)
{
    const std::optional<QByteArray> bytes = ReadRegularFile(from, MaxPictureBytes);
    return bytes && WriteFileAtomically(to, *bytes);
}

// The pictures a page of the kind shows, by file name.
QStringList pictureNames(int kind, const QString &pictureFolder)
{
    QStringList names;
    if (kind == RoutineReportKind) {
        for (int n = 0; n < RoutineCount; ++n) {
            if (QFileInfo::exists(QDir(pictureFolder).filePath(RoutinePictureName(n))))
                names.append(RoutinePictureName(n));
        }
    } else if (kind == SoundReportKind) {
        names.append(SoundPictureName);
    }
    return names;
}

// The icon pictures of a STEP1 page point at the program's own files by
// absolute URL ("file:///.../Img/Icon/DD/15.bmp"), which another PC does not
// have: a saved page gets copies beside it. Returns false when a picture
// could not be copied.
bool copyIconPictures(QStringList &lines, const QString &folder, const QString &base)
{
    static const QRegularExpression source(QStringLiteral("<img src=\"(file:[^\"]*)\""));
    bool madeFolder = false;
    for (QString &line : lines) {
        QString rewritten;
        qsizetype from = 0;
        for (const QRegularExpressionMatch &m : source.globalMatch(line)) {
            QString url = m.captured(1);
            url.replace(QLatin1String("&amp;"), QLatin1String("&")).replace(QLatin1String("&quot;"), QLatin1String("\""));
            const QString path = QUrl(url).toLocalFile();
            const QString name = QFileInfo(path).fileName();
            if (name.isEmpty())
                return false;
            if (!madeFolder && !QDir().mkpath(folder))
                return false;
            madeFolder = true;
            if (!copyReplacing(path, QDir(folder).filePath(name)))
                return false;
            rewritten += line.mid(from, m.capturedStart(1) - from);
            rewritten += EscapeHtml(urlPathPart(base) + QStringLiteral("Img/") + urlPathPart(name));
            from = m.capturedEnd(1);
        }
        if (from > 0)
            line = rewritten + line.mid(from);
    }
    return true;
}

QStringList allPictureNames()
{
    QStringList names;
    for (int n = 0; n < RoutineCount; ++n)
        names.append(RoutinePictureName(n));
    names.append(SoundPictureName);
    return names;
}

} // namespace

QString WithReportExtension(const QString &fileName)
{
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1String(".html")) || lower.endsWith(QLatin1String(".htm")))
        return fileName;
    return fileName + QStringLiteral(".html");
}

QString PictureFolderFor(const QString &pagePath)
{
    const QFileInfo page(pagePath);
    return page.dir().filePath(page.completeBaseName() + QStringLiteral("Img"));
}

QString SaveReportPage(const QString &printPage, const QString &pictureFolder, int kind,
                       const QString &target)
{
    const std::optional<QStringList> page = ReadReportPage(printPage);
    if (!page)
        return LoadFailed;
    QStringList lines = *page;

    if (kind == RoutineReportKind || kind == SoundReportKind) {
        const QString base = QFileInfo(target).completeBaseName();
        const QString from = QStringLiteral("img src=\"Img/");
        const QString to = QStringLiteral("img src=\"") + EscapeHtml(urlPathPart(base)) + QStringLiteral("Img/");
        for (QString &line : lines)
            line = ShiftJisSafe(line.replace(from, to));

        const QString folder = PictureFolderFor(target);
        if (!QDir().mkpath(folder))
            return SaveFailed;
        // Saved into the work folder's own picture folder: they are there.
        const bool sameFolder = QFileInfo(folder).canonicalFilePath() == QFileInfo(pictureFolder).canonicalFilePath();
        const QStringList names = pictureNames(kind, pictureFolder);
        for (const QString &name : names) {
            if (!sameFolder && !copyReplacing(QDir(pictureFolder).filePath(name), QDir(folder).filePath(name)))
                return SaveFailed;
        }
        // Pictures of an earlier program saved under this name would
        // otherwise lie beside the new page as if they belonged to it.
        for (const QString &name : allPictureNames()) {
            if (!sameFolder && !names.contains(name))
                QFile::remove(QDir(folder).filePath(name));
        }
    }

    if (kind == IconReportKind) {
        if (!copyIconPictures(lines, PictureFolderFor(target), QFileInfo(target).completeBaseName()))
            return SaveFailed;
        for (QString &line : lines)
            line = ShiftJisSafe(line);
    }

    if (!WriteProgramLines(target, lines))
        return SaveFailed;
    return {};
}

QString SafeReportFileName(const QString &pupilName)
{
    QString name;
    for (const QChar c : pupilName) {
        // What cuts a path or a dialog's name apart, and what no file
        // system in a school takes.
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral("/\\:*?\"<>|").contains(c))
            name += QLatin1Char('_');
        else
            name += c;
    }
    // Blanks and dots at the ends: hidden files, names Windows refuses.
    while (!name.isEmpty() && (name.front().isSpace() || name.front() == QLatin1Char('.')))
        name.remove(0, 1);
    while (!name.isEmpty() && (name.back().isSpace() || name.back() == QLatin1Char('.')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("レポート") : name.left(100);
}

} // namespace koru::report
