// Two mouse gestures several windows share: a picture that asks for a drag
// once the mouse has moved further than the system's drag distance with the
// button down (palettes), and a widget the pupil moves by dragging its
// background (panels and borderless windows).
#pragma once

#include <QLabel>
#include <QObject>
#include <QPoint>

namespace koru {

class DragSourcePicture : public QLabel
{
    Q_OBJECT
public:
    explicit DragSourcePicture(QWidget *parent);

signals:
    // The press moved far enough: start the drag now.
    void dragRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint m_pressPoint;
    bool m_pressed = false;
};

// Installed on a widget: pressing the left button on its background and
// moving the mouse moves the widget (a child within its parent, a window on
// the screen) and brings it to the front.
class BackgroundDrag : public QObject
{
public:
    explicit BackgroundDrag(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_widget;
    QPoint m_pressPoint;
    bool m_dragging = false;
};

} // namespace koru
