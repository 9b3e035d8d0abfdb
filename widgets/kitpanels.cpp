#include "widgets/kitpanels.h"

#include "widgets/dragsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace koru {

namespace {

void Colour(QFrame *panel, const QColor &back, const QColor &text)
{
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::WindowText, text);
    panel->setPalette(pal);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
}

QLabel *Caption(QWidget *parent, const QString &text, int pixels, bool bold)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

PlayingPanel::PlayingPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PlayingPanel"));
    // Taller than the bare notice by the stop button's row.
    setFixedSize(271, 89 + 30);
    Colour(this, QColor(0x00, 0x80, 0x00), Qt::white);
    setCursor(Qt::SizeAllCursor);
    new BackgroundDrag(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 10, 8, 10);
    layout->addWidget(Caption(this, QStringLiteral("プログラム実行中"), 20, true));
    layout->addWidget(Caption(this, QStringLiteral("プログラム終了後この画面は自動的に消えます。"), 11, false));
    // A program that never ends must not hold the editor hostage: the
    // pupil can always stop it here.
    m_stop = new QPushButton(QStringLiteral("プログラム停止"), this);
    m_stop->setObjectName(QStringLiteral("StopButton"));
    m_stop->setCursor(Qt::ArrowCursor);
    m_stop->setFixedWidth(120);
    layout->addWidget(m_stop, 0, Qt::AlignHCenter);
    hide();
}

GetDataPanel::GetDataPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("GetDataPanel"));
    setFixedSize(271, 73);
    Colour(this, QColor(0xff, 0xff, 0x00), Qt::black);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(2);
    layout->addWidget(Caption(this, QStringLiteral("プログラム取得中"), 20, true));
    layout->addWidget(Caption(this, QStringLiteral("プログラムの取得中は他の操作はしないで下さい。"), 11, false));
    layout->addWidget(Caption(this, QStringLiteral("プログラムの取得後この画面は自動的に消えます。"), 11, false));
    hide();
}

} // namespace koru
