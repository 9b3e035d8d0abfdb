#include "app/picturelabel.h"

#include "model/paths.h"

#include <QMouseEvent>
#include <QPixmap>

namespace koru::shell {

PictureLabel::PictureLabel(const QString &name, const QRect &geometry, const QString &asset,
                           const QString &caption, Role role, QWidget *parent)
    : QLabel(parent), m_role(role)
{
    setObjectName(name);
    setGeometry(geometry);
    const QPixmap picture(AssetPath(asset));
    m_hasPicture = !picture.isNull();
    if (m_hasPicture) {
        setPixmap(picture);
    } else {
        setText(caption);
        setAlignment(Qt::AlignCenter);
        setWordWrap(true);
        if (role == Role::Pressable)
            setFrameStyle(QFrame::Panel | QFrame::Raised);
    }
    if (role == Role::Pressable)
        setCursor(Qt::PointingHandCursor);
}

void PictureLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    if (m_role == Role::Pressable) {
        m_pressed = true;
    } else if (m_role == Role::DragHandle) {
        m_dragging = true;
        m_grab = event->position().toPoint();
    }
    event->accept();
}

void PictureLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        const QPoint delta = event->position().toPoint() - m_grab;
        QWidget *top = window();
        top->move(top->pos() + delta);
        top->raise();
        event->accept();
        return;
    }
    QLabel::mouseMoveEvent(event);
}

void PictureLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace koru::shell
