#include "widgets/dragsupport.h"

#include "model/keynavigation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace koru {

std::optional<KeyDirection> ArrowOf(int key)
{
    switch (key) {
    case Qt::Key_Left: return KeyDirection::Left;
    case Qt::Key_Right: return KeyDirection::Right;
    case Qt::Key_Up: return KeyDirection::Up;
    case Qt::Key_Down: return KeyDirection::Down;
    default: return std::nullopt;
    }
}

bool IsEnterKey(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

void PaintFocusFrame(QWidget *widget, const QRect &inside)
{
    QPainter painter(widget);
    QPen pen(FocusFrameColour, 2, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(inside).adjusted(1, 1, -1, -1));
}

namespace {

class FocusRepainter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            static_cast<QWidget *>(watched)->update();
        return false;
    }
};

} // namespace

void RepaintOnFocusChange(QWidget *widget)
{
    static FocusRepainter *const repainter = new FocusRepainter(QCoreApplication::instance());
    widget->installEventFilter(repainter);
}

DragSourcePicture::DragSourcePicture(QWidget *parent) : QLabel(parent)
{
    RepaintOnFocusChange(this);
    setScaledContents(true);
    setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void DragSourcePicture::keyPressEvent(QKeyEvent *event)
{
    if (IsEnterKey(event) || (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)) {
        event->accept();
        emit chosen();
        return;
    }
    const std::optional<KeyDirection> arrow = ArrowOf(event->key());
    if (arrow && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && parentWidget()) {
        QList<DragSourcePicture *> pictures;
        QList<QRect> places;
        for (auto *picture : parentWidget()->findChildren<DragSourcePicture *>(Qt::FindDirectChildrenOnly)) {
            if (picture->isVisibleTo(parentWidget())) {
                pictures << picture;
                places << picture->geometry();
            }
        }
        const int to = NearestInDirection(places, int(pictures.indexOf(this)), *arrow);
        if (to >= 0)
            pictures.at(to)->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void DragSourcePicture::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (hasFocus())
        PaintFocusFrame(this, rect());
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
