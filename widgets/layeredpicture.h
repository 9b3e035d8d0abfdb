// A picture made of a base picture and numbered layers drawn over it in
// order. A layer holds one picture and optionally a transparent colour
// (pixels of exactly that colour let the layers below show through), or a
// solid colour seen through a mask at a level from 0 (solid) to 255
// (invisible): the mask's brightness says how much of the colour shows.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QWidget>

#include <optional>

namespace koru {

class LayeredPicture
{
public:
    LayeredPicture(QSize size, int layers);

    QSize size() const { return m_size; }
    int layerCount() const { return int(m_layers.size()); }

    void setBase(const QImage &picture);
    // An empty picture empties the layer.
    void setLayer(int layer, const QImage &picture, std::optional<QColor> transparent = std::nullopt);
    void setMaskedColour(int layer, const QColor &colour, const QImage &mask, int level);
    void clearLayer(int layer);
    bool layerEmpty(int layer) const;

    // Everything drawn together at the picture's size.
    QImage composed() const;

private:
    struct Layer
    {
        QImage picture; // premultiplied ARGB32, already keyed
    };
    QImage fit(const QImage &picture) const;
    void changed(int layer);

    QSize m_size;
    QImage m_base;
    QList<Layer> m_layers;
    // The mask's brightness, kept while the same mask comes again.
    qint64 m_maskKey = 0;
    QImage m_maskGray;
    // A layer that changes again and again (the glow during a fade) is drawn
    // between two kept pictures: everything below it and everything above.
    int m_hot = -1;
    mutable bool m_cacheValid = false;
    mutable QImage m_below;
    mutable QImage m_above;
};

// Shows a LayeredPicture at its size.
class LayeredPictureView : public QWidget
{
    Q_OBJECT
public:
    LayeredPictureView(QSize size, int layers, QWidget *parent = nullptr);

    LayeredPicture &picture() { return m_picture; }
    const LayeredPicture &picture() const { return m_picture; }
    // Draws the layers anew; call after changing them.
    void redraw();
    QSize sizeHint() const override { return m_picture.size(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    LayeredPicture m_picture;
    QImage m_shown;
};

} // namespace koru
