// Two mouse gestures several windows share: a picture that asks for a drag
// once the mouse has moved further than the system's drag distance with the
// button down (palettes), and a widget the pupil moves by dragging its
// background (panels and borderless windows). Palette pictures take the
// keyboard too: Tab reaches them, arrows go to the nearest picture beside
// them, Enter or Space chooses one; the focus frame is drawn inside.
#pragma once

#include "model/keynavigation.h"

#include <QColor>
#include <QLabel>
#include <QObject>
#include <QPoint>

#include <optional>

class QKeyEvent;

namespace koru {

// The direction of an arrow key; nullopt for other keys.
std::optional<KeyDirection> ArrowOf(int key);
// Return or the keypad's Enter, without modifiers.
bool IsEnterKey(const QKeyEvent *event);
// The keyboard focus, drawn inside a control so that no layout changes.
inline const QColor FocusFrameColour{0x1e, 0x5a, 0xc8};
void PaintFocusFrame(QWidget *widget, const QRect &inside);
// Repaints the widget when it gains or loses the focus, so that a frame its
// paintEvent draws while it has the focus comes and goes.
void RepaintOnFocusChange(QWidget *widget);

class DragSourcePicture : public QLabel
{
    Q_OBJECT
public:
    explicit DragSourcePicture(QWidget *parent);

signals:
    // The press moved far enough: start the drag now.
    void dragRequested();
    // Enter or Space on the picture.
    void chosen();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
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
