// The canvas of the flowchart window: one painted widget inside the
// scrolling DropPanel, on which the shown routine's selection frames,
// arrows and blocks are drawn in the editor's drawing order, with the
// handles of the block under the mouse. It reads the editor and reports the
// pupil's gestures as signals (drops from the palette, pressing blocks by
// zone: move, bottom arrow, side arrow; the rubber band; the pop-up menus);
// it never changes the document itself.
#pragma once

#include "flowchart/flowdocument.h"
#include "model/keynavigation.h"
#include "widgets/dragsupport.h"

#include <QPair>
#include <QPoint>
#include <QRect>
#include <QScrollArea>
#include <QWidget>

namespace koru {
class FlowEditor;
}

namespace koru::flow {

class BlockPictures;

class FlowCanvas : public QWidget
{
    Q_OBJECT
public:
    FlowCanvas(const FlowEditor *editor, const BlockPictures *pictures, QWidget *parent);

    enum class Gesture { None, Pressed, Move, BottomArrow, SideArrow, Rubber };
    Gesture gesture() const { return m_gesture; }
    const FlowEditor *editor() const { return m_editor; }
    QRect rubberBand() const { return m_rubber; }
    // The block whose handles are shown (the mouse is over it); NoSlot when none.
    int hoveredBlock() const { return m_hovered; }

    // The preview's running block, framed (routine, slot; -1 for none).
    void setRunningBlock(QPair<int, int> running);

    static constexpr int MinimumWidth = 730;
    static constexpr int SurfaceHeight = 3100;
    // The MIME type of a dragged palette item: its index as text.
    static const QString MimeType;

signals:
    void paletteDropped(int paletteIndex, QPoint canvasPoint);
    void blockPressed(int slot);
    void backgroundPressed();
    void blockMenuRequested(QPoint globalPos);
    void canvasMenuRequested(QPoint globalPos);
    void moveStarted();
    void selectionDragged(QPoint shift, int top);
    void moveFinished();
    void arrowDrawn(bool side, int source, QPoint canvasPoint);
    void bandReleased(QRect band);
    // The left button released over the block it pressed.
    void blockClicked(int slot);
    // Keys: an arrow (with Ctrl: move the selection), Enter, Insert.
    void arrowKey(koru::KeyDirection direction, bool withCtrl);
    void enterKey();
    void insertKey();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pressBlock(int slot, QMouseEvent *event);
    void hover(QPoint p);

    const FlowEditor *m_editor;
    const BlockPictures *m_pictures;
    QPair<int, int> m_running{-1, -1};
    Gesture m_gesture = Gesture::None;
    int m_pressed = NoSlot;
    int m_hovered = NoSlot;
    QPoint m_offset; // press point inside the pressed block
    QPoint m_arrowStart;
    QPoint m_arrowEnd;
    bool m_arrowMoved = false;
    QPoint m_anchor;
    QRect m_rubber;
};

// The DropPanel around the canvas: the canvas fills its width, and each
// wheel step scrolls it 32 pixels.
class CanvasScroller : public QScrollArea
{
    Q_OBJECT
public:
    explicit CanvasScroller(QWidget *parent);

    static constexpr int WheelStep = 32;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};

// A palette picture: dragging it further than the system's drag distance
// starts a drag of its kind.
class PaletteImage : public DragSourcePicture
{
    Q_OBJECT
public:
    PaletteImage(int paletteIndex, QWidget *parent);
    int paletteIndex() const { return m_index; }

private:
    int m_index;
};

} // namespace koru::flow
