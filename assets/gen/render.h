// Rendering one generated picture: an SVG (or raster) source drawn at the
// exact pixel size a window expects, then written in the format that the
// output's extension names (.bmp, .jpg, .gif, .png).
#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QString>
#include <optional>

namespace koru::assets {

struct RenderOptions
{
    QSize size;
    QColor background = Qt::white;  // under transparent parts of .bmp, .jpg, .gif
    std::optional<QRgb> key;        // colour for transparent parts, kept exact
    int quality = 95;               // .jpg
    QMap<QString, QString> values;  // {{name}} in the SVG text is replaced by value
};

// Reads "WxH" and "name=value" words; the known names are bg, key and quality,
// every other name becomes a text value. Empty error text on success.
RenderOptions ParseOptions(const QString &size, const QStringList &words, QString *error);

// Substitutes {{name}} placeholders; error names any placeholder left over.
QByteArray SubstituteValues(QByteArray svg, const QMap<QString, QString> &values, QString *error);

// Draws the source at the requested size on a transparent picture.
QImage RenderSource(const QString &sourcePath, const RenderOptions &options, QString *error);

// Writes the picture in the output's format. Opaque formats get the
// background under transparent pixels, or the key colour where a pixel is
// mostly transparent; a .gif marks the key colour as transparent.
bool WritePicture(const QImage &picture, const QString &outputPath, const RenderOptions &options,
                  QString *error);

} // namespace koru::assets
