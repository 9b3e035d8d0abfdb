// Small widgets of the STEP1 window: palette pictures that start drags and
// slot pictures that take drops and right clicks.
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

private:
    int m_slot;
    IconWindow *m_window;
};

} // namespace koru::icons
