// The pictures an editor leaves for its report (the flowchart's routines,
// the melody's staff), written like every other file of the program and
// failing the same way in every editor.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace koru {

struct ReportPictureFile
{
    QString name;  // RoutinePictureName(n), SoundPictureName (model/reportrequest.h)
    QImage image;  // null: the report has no such picture this time
};

// The image as a Windows bitmap, byte for byte what QImage would save;
// empty when it cannot be encoded (a null image).
QByteArray EncodeBitmap(const QImage &image);

// Writes the pictures into ReportPictureFolder() (model/paths.h), creating
// it, each through WriteFileAtomically; a null image deletes a left-over
// file of its name from an earlier report, so that no stale picture reaches
// the page. On the first failure it warns SaveFailed and returns false: the
// caller then leaves the report closed rather than show a page with an old
// or missing picture.
bool SaveReportPictures(const QList<ReportPictureFile> &pictures);
// One picture; a null image is a failure.
bool SaveReportPicture(const QString &name, const QImage &image);

} // namespace koru
