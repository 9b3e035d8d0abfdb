#include "icons/ui/iconwindowparts.h"

#include "icons/ui/iconwindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace koru::icons {

PaletteImage::PaletteImage(int kind, IconWindow *window, QWidget *parent) : DragSourcePicture(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("DragImage%1").arg(kind));
    // The caption is drawn on the picture; a screen reader needs it as text.
    setAccessibleName(IconCaption(kind));
    connect(this, &DragSourcePicture::dragRequested, window, [this, window] { window->startDrag(this); });
    connect(this, &DragSourcePicture::chosen, window, [this, window] { window->choosePaletteKind(m_kind); });
}

SlotImage::SlotImage(int slot, IconWindow *window, QWidget *parent)
    : QLabel(parent), m_slot(slot), m_window(window)
{
    setObjectName(QStringLiteral("Drop_image%1").arg(slot));
    setScaledContents(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
}

void SlotImage::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const std::optional<KeyDirection> arrow = ArrowOf(event->key());
    if (arrow && modifiers == Qt::NoModifier) {
        QList<SlotImage *> cards;
        QList<QRect> places;
        for (auto *card : parentWidget()->findChildren<SlotImage *>(Qt::FindDirectChildrenOnly)) {
            cards << card;
            places << card->geometry();
        }
        const int to = NearestInDirection(places, int(cards.indexOf(this)), *arrow);
        if (to >= 0)
            cards.at(to)->setFocus(Qt::OtherFocusReason);
    } else if (IsEnterKey(event)) {
        m_window->enterOnSlot(m_slot);
    } else if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && modifiers == Qt::NoModifier) {
        m_window->emptySlot(m_slot);
    } else {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SlotImage::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    m_window->chooseSlot(m_slot);
    update();
}

void SlotImage::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

void SlotImage::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (hasFocus())
        PaintFocusFrame(this, rect());
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
