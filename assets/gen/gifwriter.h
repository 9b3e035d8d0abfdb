// A small GIF89a writer. Qt reads GIF but cannot write it, and the simulator's
// pictures are GIF files, so the asset generator encodes them itself.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <optional>

namespace koru::assets {

// Reduces an opaque picture to at most maxColours colours (exact when it has
// no more than that) and returns an 8-bit indexed image.
QImage QuantiseImage(const QImage &image, int maxColours = 256);

// Encodes the picture as a single-frame GIF. Pixels equal to the key colour
// become the transparent colour of the file when a key is given; every
// other pixel is drawn opaque. Empty on an empty image.
QByteArray EncodeGif(const QImage &image, std::optional<QRgb> transparentKey = std::nullopt);

} // namespace koru::assets
