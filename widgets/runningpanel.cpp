#include "widgets/runningpanel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace koru {

RunningPanel::RunningPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PlayingPanel"));
    setFixedSize(271, 89);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x80, 0x00));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setCursor(Qt::SizeAllCursor);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 10, 8, 10);
    auto *title = new QLabel(QStringLiteral("プログラム実行中"), this);
    QFont big = title->font();
    big.setPixelSize(20);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto *note = new QLabel(QStringLiteral("プログラム終了後この画面は自動的に消えます。"), this);
    QFont small = note->font();
    small.setPixelSize(11);
    note->setFont(small);
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    layout->addWidget(note);
    // Every editor's panel carries a stop button that is never shown.
    auto *stop = new QPushButton(QStringLiteral("プログラム停止"), this);
    stop->setObjectName(QStringLiteral("StopButton"));
    stop->setVisible(false);
    hide();
}

void RunningPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPoint = event->position().toPoint();
    m_dragging = true;
}

void RunningPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    move(pos() + event->position().toPoint() - m_pressPoint);
    raise();
}

void RunningPanel::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

} // namespace koru
