#include "widgets/picturefile.h"

#include <QFileInfo>
#include <QImageReader>

#include <utility>

namespace koru {

QImage ReadPicture(const QString &path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1().toLower());
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (!image.isNull() || !QFileInfo::exists(path))
        return image;
    return QImageReader(path).read();
}

QPixmap ReadPixmap(const QString &path)
{
    QImage image = ReadPicture(path);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(std::move(image));
}

} // namespace koru
