// The canvas of the flowchart window: one painted widget inside the
// scrolling DropPanel, on which the shown routine's selection frames,
// arrows and blocks are drawn, and the mouse gestures of the editor: drops
// from the palette, pressing blocks by zone (move, bottom arrow, side
// arrow), rubber-band selection and the pop-up menus. Document changes go
// through the window, which keeps the undo steps.
#pragma once

#include "flowchart/flowdocument.h"
#include "widgets/dragsupport.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace koru::flow {

class FlowWindow;

class FlowCanvas : public QWidget
{
    Q_OBJECT
public:
    FlowCanvas(FlowWindow *window, QWidget *parent);

    enum class Gesture { None, Pressed, Move, BottomArrow, SideArrow, Rubber };
    Gesture gesture() const { return m_gesture; }
    QRect rubberBand() const { return m_rubber; }

    static constexpr int MinimumWidth = 730;
    static constexpr int SurfaceHeight = 3100;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pressBlock(int slot, QMouseEvent *event);
    void moveSelection(QPoint mouse);

    FlowWindow *m_window;
    Gesture m_gesture = Gesture::None;
    int m_pressed = NoSlot;
    QPoint m_offset;       // press point inside the pressed block
    QPoint m_arrowStart;
    QPoint m_arrowEnd;
    bool m_arrowMoved = false;
    QPoint m_anchor;
    QRect m_rubber;
    FlowDocument m_before; // the document when a move began
};

// A palette picture: dragging it further than the system's drag distance
// starts a drag of its kind.
class PaletteImage : public DragSourcePicture
{
    Q_OBJECT
public:
    PaletteImage(int paletteIndex, FlowWindow *window, QWidget *parent);
    int paletteIndex() const { return m_index; }

private:
    int m_index;
};

} // namespace koru::flow
