// Reading the program's pictures. A picture is read by the format its name
// ends with, so that reading a JPEG or BMP never makes Qt load every
// picture plugin it has (SVG, GIF, icons and the libraries they bring) to
// ask each whether the file is theirs: that asking cost the start-up more
// than the pictures themselves. A file whose contents are not what its
// name says is still read, by looking at its contents.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace koru {

// The picture at path; a null image when it is missing or unreadable.
QImage ReadPicture(const QString &path);
// The same as a pixmap, converted in place; past QPixmap's file cache, which
// would keep every picture of a closed window for the rest of the program.
QPixmap ReadPixmap(const QString &path);

} // namespace koru
