#include "link/ui/transferwindow.h"

#include "link/devicelink.h"
#include "widgets/placement.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace koru {

TransferWindow::TransferWindow(DeviceLink &link, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TransferWindow"));
    setFixedSize(Width, Height);
    // Progress only: the editor keeps the keyboard, so F7 works right after F6.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    layout->addWidget(m_bar);
    follow(link);
}

void TransferWindow::follow(DeviceLink &link)
{
    if (m_link == &link)
        return;
    if (m_link)
        disconnect(m_link, nullptr, this, nullptr);
    m_link = &link;
    connect(&link, &DeviceLink::transferStarted, this, [this] { m_bar->setValue(0); });
    connect(&link, &DeviceLink::transferProgress, this, [this](int percent) { m_bar->setValue(percent); });
    connect(&link, &DeviceLink::transferFinished, this, &QWidget::hide);
}

void TransferWindow::showCentredOver(const QWidget *editor)
{
    m_bar->setValue(0);
    CentreOver(this, editor);
    show();
    raise();
}

} // namespace koru
