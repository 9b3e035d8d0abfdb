#include "icons/ui/iconwindowparts.h"

#include "icons/ui/iconwindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace koru::icons {

PaletteImage::PaletteImage(int kind, IconWindow *window, QWidget *parent) : DragSourcePicture(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("DragImage%1").arg(kind));
    // The caption is drawn on the picture; a screen reader needs it as text.
    setAccessibleName(IconCaption(kind));
    connect(this, &DragSourcePicture::dragRequested, window, [this, window] { window->startDrag(this); });
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
