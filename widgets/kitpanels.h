// The panels an editor shows over itself while the kit works: the green
// PlayingPanel while a program runs (until the kit's FF; the pupil may drag
// it aside) and the yellow GetDataPanel while a program is read back.
#pragma once

#include <QFrame>
#include <QPoint>

namespace koru {

class PlayingPanel : public QFrame
{
    Q_OBJECT
public:
    explicit PlayingPanel(QWidget *parent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint m_pressPoint;
    bool m_dragging = false;
};

class GetDataPanel : public QFrame
{
    Q_OBJECT
public:
    explicit GetDataPanel(QWidget *parent);
};

} // namespace koru
