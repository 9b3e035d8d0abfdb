// The green panel an editor shows while the kit runs its program
// ("PlayingPanel"): it goes when the kit answers that the program has ended,
// and the pupil can drag it out of the way meanwhile.
#pragma once

#include <QFrame>
#include <QPoint>

namespace koru {

class RunningPanel : public QFrame
{
    Q_OBJECT
public:
    explicit RunningPanel(QWidget *parent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint m_pressPoint;
    bool m_dragging = false;
};

} // namespace koru
