#include "app/picturelabel.h"

#include "model/paths.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace koru::shell {

PictureLabel::PictureLabel(const QString &name, const QRect &geometry, const QString &asset,
                           const QString &caption, Role role, QWidget *parent)
    : QLabel(parent), m_role(role)
{
    setObjectName(name);
    setGeometry(geometry);
    // Read past QPixmap's file cache, which would keep every picture of a
    // closed window for the rest of the program; the decoded image becomes
    // the pixmap in place, without a second copy.
    QImageReader reader(AssetPath(asset));
    QImage image = reader.read();
    if (!image.isNull())
        m_picture = QPixmap::fromImage(std::move(image));
    m_hasPicture = !m_picture.isNull();
    if (m_hasPicture) {
        setPixmap(m_picture);
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

void PictureLabel::enterEvent(QEnterEvent *event)
{
    if (m_role == Role::Pressable && m_hasPicture) {
        // Made on the first hover: most pictures are never pointed at
        // before the launcher has been waited for.
        if (m_lit.isNull()) {
            m_lit = m_picture;
            QPainter painter(&m_lit);
            painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            painter.fillRect(m_lit.rect(), QColor(255, 255, 255, 56));
        }
        setPixmap(m_lit);
    }
    QLabel::enterEvent(event);
}

void PictureLabel::leaveEvent(QEvent *event)
{
    if (!m_lit.isNull())
        setPixmap(m_picture);
    QLabel::leaveEvent(event);
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
