#include "widgets/layeredpicture.h"

#include <QPainter>

#include <array>

namespace koru {

LayeredPicture::LayeredPicture(QSize size, int layers) : m_size(size), m_layers(qMax(layers, 0))
{
}

QImage LayeredPicture::fit(const QImage &picture) const
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (!image.isNull() && image.size() != m_size)
        image = image.copy(QRect(QPoint(0, 0), m_size)); // pictures are drawn at the scene's size
    return image;
}

void LayeredPicture::changed(int layer)
{
    if (layer != m_hot) {
        m_hot = layer;
        m_cacheValid = false;
    }
}

void LayeredPicture::setBase(const QImage &picture)
{
    m_base = fit(picture);
    m_hot = -1;
    m_cacheValid = false;
}

void LayeredPicture::setLayer(int layer, const QImage &picture, std::optional<QColor> transparent)
{
    if (layer < 0 || layer >= layerCount())
        return;
    QImage image = fit(picture);
    if (transparent && !image.isNull()) {
        const QRgb key = transparent->rgb() & 0xFFFFFF;
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == key)
                    line[x] = 0;
            }
        }
    }
    m_layers[layer].picture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    changed(layer);
}

void LayeredPicture::setMaskedColour(int layer, const QColor &colour, const QImage &mask, int level)
{
    if (layer < 0 || layer >= layerCount())
        return;
    if (mask.isNull()) {
        m_maskGray = QImage(m_size, QImage::Format_Grayscale8);
        m_maskGray.fill(255); // no mask: the colour everywhere
        m_maskKey = 0;
    } else if (mask.cacheKey() != m_maskKey || m_maskGray.isNull()) {
        m_maskGray = fit(mask).convertToFormat(QImage::Format_Grayscale8);
        m_maskKey = mask.cacheKey();
    }
    // One premultiplied pixel for each brightness of the mask.
    const int strength = 255 - qBound(0, level, 255);
    std::array<QRgb, 256> pixelOf{};
    for (int through = 0; through < 256; ++through) {
        const int alpha = (strength * through + 127) / 255;
        pixelOf[size_t(through)] =
            qPremultiply(qRgba(colour.red(), colour.green(), colour.blue(), alpha));
    }
    QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const uchar *maskLine = m_maskGray.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            line[x] = pixelOf[maskLine[x]];
    }
    m_layers[layer].picture = image;
    changed(layer);
}

void LayeredPicture::clearLayer(int layer)
{
    if (layer >= 0 && layer < layerCount()) {
        m_layers[layer].picture = QImage();
        changed(layer);
    }
}

bool LayeredPicture::layerEmpty(int layer) const
{
    return layer < 0 || layer >= layerCount() || m_layers[layer].picture.isNull();
}

QImage LayeredPicture::composed() const
{
    if (!m_cacheValid) {
        m_below = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
        m_below.fill(Qt::white);
        m_above = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
        m_above.fill(Qt::transparent);
        QPainter below(&m_below);
        if (!m_base.isNull())
            below.drawImage(0, 0, m_base);
        QPainter above(&m_above);
        for (int k = 0; k < layerCount(); ++k) {
            if (k != m_hot && !m_layers[k].picture.isNull())
                (k < m_hot ? below : above).drawImage(0, 0, m_layers[k].picture);
        }
        m_cacheValid = true;
    }
    QImage out = m_below;
    QPainter painter(&out);
    if (m_hot >= 0 && !m_layers[m_hot].picture.isNull())
        painter.drawImage(0, 0, m_layers[m_hot].picture);
    painter.drawImage(0, 0, m_above);
    painter.end();
    return out.convertToFormat(QImage::Format_RGB32);
}

LayeredPictureView::LayeredPictureView(QSize size, int layers, QWidget *parent)
    : QWidget(parent), m_picture(size, layers)
{
    setFixedSize(size);
    redraw();
}

void LayeredPictureView::redraw()
{
    m_shown = m_picture.composed();
    update();
}

void LayeredPictureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_shown);
}

} // namespace koru
