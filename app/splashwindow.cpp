#include "app/splashwindow.h"

#include "model/caption.h"
#include "model/paths.h"
#include "widgets/picturefile.h"
#include "widgets/placement.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace koru::shell {

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashWindow"));
    setWindowTitle(ProgramName);
    setFixedSize(Width, Height);
    // The picture covers the window: nothing is painted beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    CentreOnScreen(this);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    if (!m_read) {
        // Read when first painted: the second splash is made at start but
        // seldom shown.
        m_read = true;
        m_picture = ReadPixmap(AssetPath(QStringLiteral("Img\\Menu\\Splash.jpg")));
    }
    m_painted = true;
    QPainter painter(this);
    if (!m_picture.isNull()) {
        painter.drawPixmap(rect(), m_picture);
        return;
    }
    // Without its picture the splash still says what is starting.
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, ProgramName);
}

void CentreOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    CentreOver(window, screen->geometry());
}

} // namespace koru::shell
