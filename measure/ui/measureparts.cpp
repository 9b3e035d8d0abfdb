#include "measure/ui/measureparts.h"

#include <QMouseEvent>
#include <QPainter>

namespace koru::measure {

FanBlades::FanBlades(const QPixmap &blades, QWidget *parent) : QWidget(parent), m_blades(blades)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(40); // 25 pictures a second
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 24) % 360;
        update();
    });
}

void FanBlades::setTurning(bool on)
{
    if (on == turning())
        return;
    if (on)
        m_timer.start();
    else
        m_timer.stop();
}

void FanBlades::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(width() / 2.0, height() / 2.0);
    p.rotate(m_angle);
    p.drawPixmap(QPointF(-m_blades.width() / 2.0, -m_blades.height() / 2.0), m_blades);
}

PictureButton::PictureButton(const QPixmap &picture, const QString &text, QWidget *parent)
    : QLabel(parent), m_picture(picture)
{
    setAccessibleName(text);
    setToolTip(text);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(picture.isNull() ? QSize(150, 48) : picture.size());
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_down = true;
        update();
    }
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_down && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_down = false;
    update();
    if (click && isEnabled())
        emit clicked();
}

void PictureButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QLabel::changeEvent(event);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!isEnabled())
        p.setOpacity(0.4);
    p.drawPixmap(m_down ? QPoint(1, 2) : QPoint(0, 0), m_picture);
    if (m_picture.isNull()) { // pictures missing: still a usable button
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.drawText(rect(), Qt::AlignCenter, toolTip()); // the short text; the spoken name may say more
    }
}

} // namespace koru::measure
