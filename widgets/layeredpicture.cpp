#include "widgets/layeredpicture.h"

#include <QPainter>

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

void LayeredPicture::setBase(const QImage &picture)
{
    m_base = fit(picture);
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
    m_layers[layer].picture = image;
}

void LayeredPicture::setMaskedColour(int layer, const QColor &colour, const QImage &mask, int level)
{
    if (layer < 0 || layer >= layerCount())
        return;
    const int strength = 255 - qBound(0, level, 255);
    const QImage m = mask.isNull() ? QImage() : fit(mask);
    QImage image(m_size, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const auto *maskLine = m.isNull() || y >= m.height() ? nullptr : reinterpret_cast<const QRgb *>(m.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int through = maskLine && x < m.width() ? qGray(maskLine[x]) : 255;
            const int alpha = (strength * through + 127) / 255;
            line[x] = qRgba(colour.red(), colour.green(), colour.blue(), alpha);
        }
    }
    m_layers[layer].picture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void LayeredPicture::clearLayer(int layer)
{
    if (layer >= 0 && layer < layerCount())
        m_layers[layer].picture = QImage();
}

bool LayeredPicture::layerEmpty(int layer) const
{
    return layer < 0 || layer >= layerCount() || m_layers[layer].picture.isNull();
}

QImage LayeredPicture::composed() const
{
    QImage out(m_size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    QPainter painter(&out);
    if (!m_base.isNull())
        painter.drawImage(0, 0, m_base);
    for (const Layer &layer : m_layers) {
        if (!layer.picture.isNull())
            painter.drawImage(0, 0, layer.picture);
    }
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
