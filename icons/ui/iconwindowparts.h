// Small widgets of the STEP1 window: palette pictures that start drags and
// slot pictures that take drops and right clicks.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPoint>

namespace koru::icons {

class IconWindow;

class PaletteImage : public QLabel
{
    Q_OBJECT
public:
    PaletteImage(int kind, IconWindow *window, QWidget *parent);
    int kind() const { return m_kind; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_kind;
    IconWindow *m_window;
    QPoint m_pressPoint;
    bool m_pressed = false;
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
