#include "flowchart/ui/flowcanvas.h"

#include "flowchart/flowgeometry.h"
#include "flowchart/ui/flowwindow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace koru::flow {

namespace {

const QColor SelectionColour(0, 255, 255);
const QColor RunningColour(0xf0, 0x8a, 0x24);

QRect BlockRect(const FlowBlock &b)
{
    return QRect(b.x, b.y, BlockWidth, BlockHeight);
}

bool Accepts(const QMimeData *mime)
{
    return mime && mime->hasFormat(FlowWindow::MimeType);
}

} // namespace

FlowCanvas::FlowCanvas(FlowWindow *window, QWidget *parent) : QWidget(parent), m_window(window)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(MinimumWidth, SurfaceHeight);
}

void FlowCanvas::paintEvent(QPaintEvent *event)
{
    const FlowDocument &doc = m_window->document();
    const int routine = m_window->currentRoutine();
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);

    // Frames first: the block pictures cover their inside.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(SelectionColour, 6));
    for (int s : doc.state().selection) {
        if (doc.isOccupied(routine, s))
            painter.drawRect(BlockRect(doc.block(routine, s)));
    }
    const auto running = m_window->runningBlock();
    if (running.first == routine && doc.isOccupied(routine, running.second)) {
        painter.setPen(QPen(RunningColour, 10));
        painter.drawRect(BlockRect(doc.block(routine, running.second)));
    }

    PaintArrows(painter, doc, routine);
    PaintBlocks(painter, doc, routine, m_window->pictures(), event->rect());

    if ((m_gesture == Gesture::BottomArrow || m_gesture == Gesture::SideArrow) && m_arrowMoved) {
        painter.setPen(QPen(Qt::black, ArrowPenWidth));
        painter.drawLine(m_arrowStart, m_arrowEnd);
    }
    if (m_gesture == Gesture::Rubber && !m_rubber.isNull()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_rubber);
    }
}

void FlowCanvas::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    FlowDocument &doc = m_window->editableDocument();
    const int slot = doc.blockAt(m_window->currentRoutine(), p);
    if (slot != NoSlot) {
        pressBlock(slot, event);
        return;
    }
    if (event->button() == Qt::RightButton) {
        m_window->openCanvasMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_window->closePanel();
    m_window->setSelection({});
    m_anchor = p;
    m_rubber = QRect();
    m_gesture = Gesture::Rubber;
    setFocus(Qt::MouseFocusReason);
}

void FlowCanvas::pressBlock(int slot, QMouseEvent *event)
{
    FlowDocument &doc = m_window->editableDocument();
    const int routine = m_window->currentRoutine();
    QList<int> selection = doc.state().selection;
    if (!selection.contains(slot))
        selection = {slot};
    m_window->setSelection(selection);
    doc.state().currentBlock = slot;
    setFocus(Qt::MouseFocusReason);

    if (event->button() == Qt::RightButton) {
        m_window->openBlockMenu(event->globalPosition().toPoint());
        return;
    }
    const FlowBlock &b = doc.block(routine, slot);
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
        m_before = doc;
        break;
    }
    update();
}

void FlowCanvas::moveSelection(QPoint mouse)
{
    FlowDocument &doc = m_window->editableDocument();
    const int routine = m_window->currentRoutine();
    const FlowBlock &pressed = doc.block(routine, m_pressed);
    const QPoint shift = mouse - (QPoint(pressed.x, pressed.y) + m_offset);
    if (shift.isNull())
        return;
    // No picture goes above or left of the visible area's corner; each block
    // stops there on its own while the others keep moving.
    const int top = m_window->scrollY();
    for (int s : doc.state().selection) {
        if (!doc.isOccupied(routine, s))
            continue;
        const FlowBlock &b = doc.block(routine, s);
        doc.setPosition(routine, s, qMax(0, b.x + shift.x()), qMax(top, b.y + shift.y()));
    }
    update();
}

void FlowCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    switch (m_gesture) {
    case Gesture::Move:
        moveSelection(p);
        break;
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
    case Gesture::Pressed:
        break;
    }
}

void FlowCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const Gesture gesture = m_gesture;
    m_gesture = Gesture::None;
    const int routine = m_window->currentRoutine();
    switch (gesture) {
    case Gesture::Move:
        m_window->finishMove(m_before);
        m_before = FlowDocument();
        break;
    case Gesture::BottomArrow:
    case Gesture::SideArrow:
        if (m_arrowMoved)
            m_window->linkArrow(gesture == Gesture::SideArrow, m_pressed, p);
        break;
    case Gesture::Rubber: {
        const FlowDocument &doc = m_window->document();
        QList<int> chosen;
        if (!m_rubber.isNull()) {
            for (int s : doc.occupiedSlots(routine)) {
                const FlowBlock &b = doc.block(routine, s);
                if (m_rubber.left() < b.x + BlockWidth && b.x < m_rubber.right() && m_rubber.top() < b.y + BlockHeight
                    && b.y < m_rubber.bottom())
                    chosen << s;
            }
        }
        m_rubber = QRect();
        m_window->setSelection(chosen);
        break;
    }
    case Gesture::None:
    case Gesture::Pressed:
        break;
    }
    if (event->button() == Qt::LeftButton && gesture != Gesture::None && gesture != Gesture::Rubber
        && m_window->document().isOccupied(routine, m_pressed)
        && BlockRect(m_window->document().block(routine, m_pressed)).contains(p)
        && m_window->selection().size() == 1) {
        m_window->closePanel();
        m_window->openPanel(m_pressed);
    }
    update();
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
    const int index = event->mimeData()->data(FlowWindow::MimeType).toInt(&ok);
    if (!ok || index < 0 || index > 11)
        return;
    event->acceptProposedAction();
    m_window->dropPalette(index, event->position().toPoint());
}

PaletteImage::PaletteImage(int paletteIndex, FlowWindow *window, QWidget *parent)
    : DragSourcePicture(parent), m_index(paletteIndex)
{
    setObjectName(QStringLiteral("DragImage%1").arg(paletteIndex));
    connect(this, &DragSourcePicture::dragRequested, window, [this, window] { window->startDrag(this); });
}

} // namespace koru::flow
