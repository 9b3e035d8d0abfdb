// Small widgets of the STEP1 window: palette pictures that start drags, slot
// pictures that take drops, right clicks and keys, and the row of slot cards.
#pragma once

#include "widgets/dragsupport.h"

#include <QLabel>

namespace koru::icons {

class IconWindow;

class PaletteImage : public DragSourcePicture
{
    Q_OBJECT
public:
    PaletteImage(int kind, IconWindow *window, QWidget *parent);
    int kind() const { return m_kind; }

private:
    int m_kind;
};

class SlotImage : public QLabel
{
    Q_OBJECT
public:
    SlotImage(int slot, IconWindow *window, QWidget *parent);
    int slot() const { return m_slot; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Arrows go to the nearest slot that way, Enter and Delete go to the
    // window (IconWindow::enterOnSlot, emptySlot).
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_slot;
    IconWindow *m_window;
};

// The row of slot cards. A palette picture dropped anywhere on a card (its
// picture, choice list, caption, slider or margin) goes to that card's slot;
// between the cards it is refused.
class RowArea : public QWidget
{
    Q_OBJECT
public:
    explicit RowArea(IconWindow *window);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    IconWindow *m_window;
};

} // namespace koru::icons
