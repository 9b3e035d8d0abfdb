// The panels an editor shows over itself while the kit works: the green
// PlayingPanel while a program runs (until the kit's FF; the pupil may drag
// it aside) and the yellow GetDataPanel while a program is read back.
#pragma once

#include <QFrame>

class QPushButton;

namespace koru {

class PlayingPanel : public QFrame
{
    Q_OBJECT
public:
    explicit PlayingPanel(QWidget *parent);

    // "プログラム停止": sends the kit the stop request (wired by the frame).
    QPushButton *stopButton() const { return m_stop; }

private:
    QPushButton *m_stop = nullptr;
};

class GetDataPanel : public QFrame
{
    Q_OBJECT
public:
    explicit GetDataPanel(QWidget *parent);
};

} // namespace koru
