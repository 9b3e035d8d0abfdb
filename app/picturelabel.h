// A picture of the launcher: shows one asset at a fixed place and size, and
// is either pressable (hand cursor, clicked on release inside; reached with
// Tab, pressed with Enter or Space, a button to screen readers) or a
// background that moves its window when dragged.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPoint>

namespace koru::shell {

class PictureLabel : public QLabel
{
    Q_OBJECT
public:
    enum class Role { Pressable, DragHandle, Decoration };

    // asset is a program path such as "Img\Menu\Close.png"; caption is shown
    // instead when the picture cannot be read, so the window stays usable.
    PictureLabel(const QString &name, const QRect &geometry, const QString &asset,
                 const QString &caption, Role role, QWidget *parent);

    bool hasPicture() const { return m_hasPicture; }
    Role role() const { return m_role; }
    // What a click does (Enter, Space, a screen reader's press action).
    void press();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Role m_role;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_grab; // pointer position inside the picture when the drag began
    bool m_hasPicture = false;
    QPixmap m_picture;
    QPixmap m_lit; // the picture a little lighter, under the pointer; made on the first hover
};

} // namespace koru::shell
