#include "report/reportsave.h"

#include "model/messages.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "report/reportpage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool copyReplacing(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    if (target.write(bytes) != bytes.size()) {
        target.cancelWriting();
        return false;
    }
    return target.commit();
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
    const std::optional<QStringList> page = ReadProgramLines(printPage);
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

    if (!WriteProgramLines(target, lines))
        return SaveFailed;
    return {};
}

} // namespace koru::report
