// The yardstick of bench_startup: the least a Qt program of the launcher's
// look can do — a frameless window of the launcher's size, centred, with one
// Japanese label in the program's font family.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(555, 419);
    auto *label = new QLabel(QStringLiteral("コントロールラジオ制御ソフト"), &window);
    label->move(32, 32);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->geometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
