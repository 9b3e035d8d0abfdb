#include "flowchart/ui/flowcanvas.h"

#include "flowchart/floweditor.h"
#include "flowchart/flowgeometry.h"
#include "flowchart/ui/flowaccessible.h"
#include "flowchart/ui/flowdrawing.h"
#include "model/catalogue.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace koru::flow {

const QString FlowCanvas::MimeType = QStringLiteral("application/x-koru-flow-kind");

namespace {

const QColor SelectionColour(0, 255, 255);
const QColor RunningColour(0xf0, 0x8a, 0x24);
const QColor HandleColour(0x1e, 0x78, 0xd2);
constexpr int HandleRadius = 4;

QRect BlockRect(const FlowBlock &b)
{
    return QRect(b.x, b.y, BlockWidth, BlockHeight);
}

bool Accepts(const QMimeData *mime)
{
    return mime && mime->hasFormat(FlowCanvas::MimeType);
}

// The handles a block's kind can draw arrows from, in block coordinates.
QList<QPoint> Handles(const FlowBlock &b)
{
    QList<QPoint> handles;
    if (!b.is("end"))
        handles << QPoint(BlockWidth / 2, BlockHeight - 6);
    if (b.is("if"))
        handles << QPoint(BlockWidth - 6, BlockHeight / 2);
    return handles;
}

bool CanLinkFrom(const FlowBlock &b, QPoint local)
{
    switch (ZoneAt(local)) {
    case BlockZone::BottomHandle:
        return !b.is("end");
    case BlockZone::SideHandle:
        return b.is("if");
    case BlockZone::Body:
        break;
    }
    return false;
}

} // namespace

FlowCanvas::FlowCanvas(const FlowEditor *editor, const BlockPictures *pictures, QWidget *parent)
    : QWidget(parent), m_editor(editor), m_pictures(pictures)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    RepaintOnFocusChange(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the handles show under the mouse
    resize(MinimumWidth, SurfaceHeight);
    InstallFlowCanvasAccessibility();
}

void FlowCanvas::setRunningBlock(QPair<int, int> running)
{
    m_running = running;
    update();
}

void FlowCanvas::paintEvent(QPaintEvent *event)
{
    const FlowDocument &doc = m_editor->document();
    const int routine = m_editor->routine();
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);

    // Frames first: the block pictures cover their inside.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(SelectionColour, 6));
    for (int s : m_editor->selection()) {
        if (doc.isOccupied(routine, s))
            painter.drawRect(BlockRect(doc.block(routine, s)));
    }
    if (m_running.first == routine && doc.isOccupied(routine, m_running.second)) {
        painter.setPen(QPen(RunningColour, 10));
        painter.drawRect(BlockRect(doc.block(routine, m_running.second)));
    }

    PaintArrows(painter, doc, routine);
    PaintBlocks(painter, doc, routine, m_editor->drawingOrder(), *m_pictures, event->rect());

    if (m_gesture == Gesture::None && doc.isOccupied(routine, m_hovered)) {
        const FlowBlock &b = doc.block(routine, m_hovered);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(HandleColour);
        for (const QPoint &handle : Handles(b))
            painter.drawEllipse(QPoint(b.x, b.y) + handle, HandleRadius, HandleRadius);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if ((m_gesture == Gesture::BottomArrow || m_gesture == Gesture::SideArrow) && m_arrowMoved) {
        painter.setPen(QPen(Qt::black, ArrowPenWidth));
        painter.drawLine(m_arrowStart, m_arrowEnd);
    }
    if (m_gesture == Gesture::Rubber && !m_rubber.isNull()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_rubber);
    }
    painter.end();
    if (hasFocus())
        PaintFocusFrame(this, visibleRegion().boundingRect());
}

void FlowCanvas::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const std::optional<KeyDirection> arrow = ArrowOf(event->key());
    if (arrow && (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier)) {
        emit arrowKey(*arrow, modifiers == Qt::ControlModifier);
    } else if (IsEnterKey(event)) {
        emit enterKey();
    } else if (event->key() == Qt::Key_Insert && modifiers == Qt::NoModifier) {
        emit insertKey();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void FlowCanvas::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const int slot = m_editor->blockAt(p);
    if (slot != NoSlot) {
        pressBlock(slot, event);
        return;
    }
    if (event->button() == Qt::RightButton) {
        emit canvasMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    emit backgroundPressed();
    m_anchor = p;
    m_rubber = QRect();
    m_gesture = Gesture::Rubber;
    setFocus(Qt::MouseFocusReason);
    update();
}

void FlowCanvas::pressBlock(int slot, QMouseEvent *event)
{
    emit blockPressed(slot);
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::RightButton) {
        emit blockMenuRequested(event->globalPosition().toPoint());
        return;
    }
    const FlowBlock &b = m_editor->document().block(m_editor->routine(), slot);
    const QPoint p = event->position().toPoint();
    m_pressed = slot;
    m_offset = p - QPoint(b.x, b.y);
    m_arrowStart = m_arrowEnd = p;
    m_arrowMoved = false;
    m_gesture = Gesture::Pressed; // a handle the kind lacks does nothing
    switch (ZoneAt(m_offset)) {
    case BlockZone::BottomHandle:
        if (!b.is("end"))
            m_gesture = Gesture::BottomArrow;
        break;
    case BlockZone::SideHandle:
        if (b.is("if"))
            m_gesture = Gesture::SideArrow;
        break;
    case BlockZone::Body:
        m_gesture = Gesture::Move;
        emit moveStarted();
        break;
    }
    update();
}

void FlowCanvas::hover(QPoint p)
{
    const int slot = m_editor->blockAt(p);
    bool linkable = false;
    if (slot != NoSlot) {
        const FlowBlock &b = m_editor->document().block(m_editor->routine(), slot);
        linkable = CanLinkFrom(b, p - QPoint(b.x, b.y));
    }
    if (linkable)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
    if (slot != m_hovered) {
        m_hovered = slot;
        update();
    }
}

void FlowCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    switch (m_gesture) {
    case Gesture::Move: {
        const FlowBlock &pressed = m_editor->document().block(m_editor->routine(), m_pressed);
        // No picture goes above or left of the visible area's corner (the
        // scroll area moves the canvas up by its scroll position).
        emit selectionDragged(p - (QPoint(pressed.x, pressed.y) + m_offset), qMax(0, -y()));
        break;
    }
    case Gesture::BottomArrow:
    case Gesture::SideArrow:
        m_arrowEnd = p;
        m_arrowMoved = true;
        update();
        break;
    case Gesture::Rubber:
        m_rubber = QRect(QPoint(qMin(m_anchor.x(), p.x()), qMin(m_anchor.y(), p.y())),
                         QPoint(qMax(m_anchor.x(), p.x()), qMax(m_anchor.y(), p.y())));
        update();
        break;
    case Gesture::None:
        hover(p);
        break;
    case Gesture::Pressed:
        break;
    }
}

void FlowCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const Gesture gesture = m_gesture;
    m_gesture = Gesture::None;
    switch (gesture) {
    case Gesture::Move:
        emit moveFinished();
        break;
    case Gesture::BottomArrow:
    case Gesture::SideArrow:
        if (m_arrowMoved)
            emit arrowDrawn(gesture == Gesture::SideArrow, m_pressed, p);
        break;
    case Gesture::Rubber: {
        const QRect band = m_rubber;
        m_rubber = QRect();
        emit bandReleased(band);
        break;
    }
    case Gesture::None:
    case Gesture::Pressed:
        break;
    }
    const FlowDocument &doc = m_editor->document();
    const int routine = m_editor->routine();
    if (event->button() == Qt::LeftButton && gesture != Gesture::None && gesture != Gesture::Rubber
        && doc.isOccupied(routine, m_pressed) && BlockRect(doc.block(routine, m_pressed)).contains(p))
        emit blockClicked(m_pressed);
    hover(p);
    update();
}

void FlowCanvas::leaveEvent(QEvent *event)
{
    m_hovered = NoSlot;
    unsetCursor();
    update();
    QWidget::leaveEvent(event);
}

void FlowCanvas::wheelEvent(QWheelEvent *event)
{
    // The scroll area scrolls; a turn sent to the canvas alone would not reach it.
    if (QWidget *viewport = parentWidget())
        QApplication::sendEvent(viewport, event);
    else
        event->ignore();
}

void FlowCanvas::dragEnterEvent(QDragEnterEvent *event)
{
    if (Accepts(event->mimeData()))
        event->acceptProposedAction();
}

void FlowCanvas::dragMoveEvent(QDragMoveEvent *event)
{
    if (Accepts(event->mimeData()))
        event->acceptProposedAction();
}

void FlowCanvas::dropEvent(QDropEvent *event)
{
    if (!Accepts(event->mimeData()))
        return;
    bool ok = false;
    const int index = event->mimeData()->data(MimeType).toInt(&ok);
    if (!ok || index < 0 || index > 11)
        return;
    event->acceptProposedAction();
    emit paletteDropped(index, event->position().toPoint());
}

CanvasScroller::CanvasScroller(QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("DropPanel"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::StyledPanel);
    setWidgetResizable(false);
}

void CanvasScroller::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    if (QWidget *canvas = widget())
        canvas->resize(std::max(int(FlowCanvas::MinimumWidth), viewport()->width()), FlowCanvas::SurfaceHeight);
}

void CanvasScroller::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    const int steps = delta / 120;
    const int direction = steps != 0 ? steps : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->value() - direction * WheelStep);
    event->accept();
}

PaletteImage::PaletteImage(int paletteIndex, QWidget *parent) : DragSourcePicture(parent), m_index(paletteIndex)
{
    setObjectName(QStringLiteral("DragImage%1").arg(paletteIndex));
    // The picture carries its caption only as pixels: a screen reader needs it as text.
    setAccessibleName(PaletteCaption(paletteIndex));
}

} // namespace koru::flow
