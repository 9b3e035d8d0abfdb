// The panels an editor lays over itself while the kit works: the green
// PlayingPanel while the kit runs a program or plays the melody (the pupil
// may drag it aside), and the yellow GetDataPanel during a read-back.
#pragma once

#include <QFrame>
#include <QPoint>

class QPushButton;

namespace koru {

class PlayingPanel : public QFrame
{
    Q_OBJECT
public:
    explicit PlayingPanel(QWidget *parent);

    // "プログラム停止": every editor's panel carries it, hidden.
    QPushButton *stopButton() const { return m_stop; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPushButton *m_stop = nullptr;
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
