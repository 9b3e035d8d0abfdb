#include "widgets/reportpicture.h"

#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace koru {

namespace {

bool writeAll(const QList<ReportPictureFile> &pictures)
{
    const QString folder = ReportPictureFolder();
    if (!QDir().mkpath(folder))
        return false;
    for (const ReportPictureFile &picture : pictures) {
        const QString path = QDir(folder).filePath(picture.name);
        if (picture.image.isNull()) {
            // A dangling link counts as a left-over too.
            const QFileInfo old(path);
            if ((old.exists() || old.isSymLink()) && !QFile::remove(path))
                return false;
            continue;
        }
        const QByteArray bytes = EncodeBitmap(picture.image);
        if (bytes.isEmpty() || !WriteFileAtomically(path, bytes))
            return false;
    }
    return true;
}

} // namespace

QByteArray EncodeBitmap(const QImage &image)
{
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    if (!writer.write(image))
        return {};
    return bytes;
}

bool SaveReportPictures(const QList<ReportPictureFile> &pictures)
{
    if (writeAll(pictures))
        return true;
    Dialogs().warning(SaveFailed);
    return false;
}

bool SaveReportPicture(const QString &name, const QImage &image)
{
    if (image.isNull()) {
        Dialogs().warning(SaveFailed);
        return false;
    }
    return SaveReportPictures({{name, image}});
}

} // namespace koru
