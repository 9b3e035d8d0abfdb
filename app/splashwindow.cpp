#include "app/splashwindow.h"

#include "app/picturelabel.h"
#include "model/caption.h"
#include "widgets/placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace koru::shell {

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashWindow"));
    setWindowTitle(ProgramName);
    setFixedSize(Width, Height);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
    new PictureLabel(QStringLiteral("SplashImage"), rect(), QStringLiteral("Img\\Menu\\Splash.jpg"),
                     ProgramName, PictureLabel::Role::Decoration, this);
    CentreOnScreen(this);
}

void CentreOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    CentreOver(window, screen->geometry());
}

} // namespace koru::shell
