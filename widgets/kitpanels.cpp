#include "widgets/kitpanels.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace koru {

namespace {

void setUpPanel(QFrame *panel, const QColor &back, const QColor &text, const QString &title,
                const QStringList &notes)
{
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::WindowText, text);
    panel->setPalette(pal);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 10, 8, 10);
    auto *heading = new QLabel(title, panel);
    QFont big = heading->font();
    big.setPixelSize(20);
    big.setBold(true);
    heading->setFont(big);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    for (const QString &text : notes) {
        auto *note = new QLabel(text, panel);
        QFont small = note->font();
        small.setPixelSize(11);
        note->setFont(small);
        note->setAlignment(Qt::AlignCenter);
        layout->addWidget(note);
    }
    panel->hide();
}

} // namespace

PlayingPanel::PlayingPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PlayingPanel"));
    setFixedSize(271, 89);
    setCursor(Qt::SizeAllCursor);
    setUpPanel(this, QColor(0x00, 0x80, 0x00), Qt::white, QStringLiteral("プログラム実行中"),
               {QStringLiteral("プログラム終了後この画面は自動的に消えます。")});
    m_stop = new QPushButton(QStringLiteral("プログラム停止"), this);
    m_stop->setObjectName(QStringLiteral("StopButton"));
    m_stop->setVisible(false);
}

void PlayingPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPoint = event->position().toPoint();
    m_dragging = true;
}

void PlayingPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    move(pos() + event->position().toPoint() - m_pressPoint);
    raise();
}

void PlayingPanel::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

GetDataPanel::GetDataPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("GetDataPanel"));
    setFixedSize(320, 96);
    setUpPanel(this, QColor(0xff, 0xff, 0x80), Qt::black, QStringLiteral("プログラム取得中"),
               {QStringLiteral("プログラムの取得中は他の操作はしないで下さい。"),
                QStringLiteral("プログラムの取得後この画面は自動的に消えます。")});
}

} // namespace koru
