// The program a pupil starts.
#include "widgets/qtdialogservice.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("koru"));
    QApplication::setApplicationDisplayName(QStringLiteral("コントロールラジオ制御ソフト"));
    koru::QtDialogService dialogs;
    koru::DialogService::install(&dialogs);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("コントロールラジオ制御ソフト"));
    window.setCentralWidget(new QLabel(QStringLiteral("コントロールラジオ制御ソフト"), &window));
    window.resize(555, 419);
    window.show();
    const int code = app.exec();
    koru::DialogService::install(nullptr);
    return code;
}
