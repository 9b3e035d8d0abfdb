#include "widgets/dragsupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace koru {

DragSourcePicture::DragSourcePicture(QWidget *parent) : QLabel(parent)
{
    setScaledContents(true);
    setCursor(Qt::OpenHandCursor);
}

void DragSourcePicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPoint = event->position().toPoint();
    m_pressed = true;
}

void DragSourcePicture::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const QPoint delta = event->position().toPoint() - m_pressPoint;
    const int threshold = QApplication::startDragDistance();
    if (qAbs(delta.x()) > threshold || qAbs(delta.y()) > threshold) {
        m_pressed = false;
        emit dragRequested();
    }
}

void DragSourcePicture::mouseReleaseEvent(QMouseEvent *)
{
    m_pressed = false;
}

BackgroundDrag::BackgroundDrag(QWidget *widget) : QObject(widget), m_widget(widget)
{
    widget->installEventFilter(this);
}

bool BackgroundDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_widget)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressPoint = mouse->position().toPoint();
            m_dragging = true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            m_widget->move(m_widget->pos() + static_cast<QMouseEvent *>(event)->position().toPoint() - m_pressPoint);
            if (!m_widget->isWindow())
                m_widget->raise(); // a window being dragged is in front already
        }
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return false;
}

} // namespace koru
