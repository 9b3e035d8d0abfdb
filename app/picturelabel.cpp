#include "app/picturelabel.h"

#include "model/paths.h"
#include "widgets/dragsupport.h"
#include "widgets/paintedaccessible.h"
#include "widgets/picturefile.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace koru::shell {

namespace {

// A pressable picture is a button to a screen reader, with its press action.
class PressablePicture : public QAccessibleWidget
{
public:
    explicit PressablePicture(PictureLabel *picture) : QAccessibleWidget(picture, QAccessible::Button) {}

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<PictureLabel *>(widget())->press();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *PictureFactory(const QString &key, QObject *object)
{
    auto *picture = key == QLatin1String("koru::shell::PictureLabel") ? qobject_cast<PictureLabel *>(object) : nullptr;
    return picture && picture->role() == PictureLabel::Role::Pressable ? new PressablePicture(picture) : nullptr;
}

} // namespace

PictureLabel::PictureLabel(const QString &name, const QRect &geometry, const QString &asset,
                           const QString &caption, Role role, QWidget *parent)
    : QLabel(parent), m_role(role)
{
    setObjectName(name);
    setGeometry(geometry);
    m_picture = ReadPixmap(AssetPath(asset));
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
    if (role == Role::Pressable) {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        RepaintOnFocusChange(this);
        InstallAccessibleFactory(PictureFactory);
    }
}

void PictureLabel::press()
{
    if (m_role == Role::Pressable)
        emit clicked();
}

void PictureLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (m_role == Role::Pressable && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
        && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        event->accept();
        if (!event->isAutoRepeat())
            press();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PictureLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Inside the picture: the launcher's places and sizes stay as they are.
    PaintFocusFrame(this, rect());
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
