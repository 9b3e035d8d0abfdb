#include "icons/ui/iconwindowparts.h"

#include "icons/ui/iconwindow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace koru::icons {

PaletteImage::PaletteImage(int kind, IconWindow *window, QWidget *parent)
    : QLabel(parent), m_kind(kind), m_window(window)
{
    setObjectName(QStringLiteral("DragImage%1").arg(kind));
    setScaledContents(true);
    setCursor(Qt::OpenHandCursor);
}

void PaletteImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPoint = event->position().toPoint();
    m_pressed = true;
}

void PaletteImage::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const QPoint delta = event->position().toPoint() - m_pressPoint;
    const int threshold = QApplication::startDragDistance();
    if (qAbs(delta.x()) > threshold || qAbs(delta.y()) > threshold) {
        m_pressed = false;
        m_window->startDrag(this);
    }
}

void PaletteImage::mouseReleaseEvent(QMouseEvent *)
{
    m_pressed = false;
}

SlotImage::SlotImage(int slot, IconWindow *window, QWidget *parent)
    : QLabel(parent), m_slot(slot), m_window(window)
{
    setObjectName(QStringLiteral("Drop_image%1").arg(slot));
    setScaledContents(true);
    setAcceptDrops(true);
}

void SlotImage::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(IconWindow::MimeType))
        event->acceptProposedAction();
}

void SlotImage::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(IconWindow::MimeType))
        event->acceptProposedAction();
}

void SlotImage::dropEvent(QDropEvent *event)
{
    bool ok = false;
    const int kind = event->mimeData()->data(IconWindow::MimeType).toInt(&ok);
    if (!ok)
        return;
    event->acceptProposedAction();
    m_window->dropOnSlot(m_slot, kind);
}

void SlotImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        m_window->openColourMenu(m_slot, event->globalPosition().toPoint());
}

RowArea::RowArea(IconWindow *window) : m_window(window)
{
    setObjectName(QStringLiteral("RowArea"));
    setAcceptDrops(true);
}

void RowArea::dragEnterEvent(QDragEnterEvent *event)
{
    // Entered anywhere: moves over the gaps are refused one by one.
    if (event->mimeData()->hasFormat(IconWindow::MimeType))
        event->acceptProposedAction();
}

void RowArea::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(IconWindow::MimeType) && m_window->slotAt(event->position().toPoint()) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void RowArea::dropEvent(QDropEvent *event)
{
    const int slot = m_window->slotAt(event->position().toPoint());
    bool ok = false;
    const int kind = event->mimeData()->data(IconWindow::MimeType).toInt(&ok);
    if (slot < 0 || !ok) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_window->dropOnSlot(slot, kind);
}

} // namespace koru::icons
