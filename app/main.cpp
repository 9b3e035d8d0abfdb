// The program a pupil starts.
#include "app/shell.h"
#include "app/windowtour.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/qtjapanese.h"
#include "widgets/picturefile.h"
#include "widgets/qtdialogservice.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    koru::KeepRunningPastFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("koru"));
    // No application display name: the platform would append it to every
    // window title, and the captions are exactly the program's own.
    QApplication::setDesktopFileName(QStringLiteral("koru"));
    koru::InstallQtJapanese();
    koru::shell::UseProgramFont();
    koru::QtDialogService dialogs;
    koru::DialogService::install(&dialogs);

    // `koru FILE...`: the files open in their editors; while a program runs
    // on this work folder, it opens them instead and this start ends.
    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty() && koru::shell::FileOpener::handOver(files))
        return 0;

    int code = 0;
    {
        koru::shell::Shell shell; // closing its launcher ends the program
        shell.start(files);
        // Decoded once the launcher is on its way to the screen, which it
        // reaches sooner without; every window takes it from the application
        // (those already made, the launcher too, are given it then).
        QTimer::singleShot(0, [] {
            QApplication::setWindowIcon(QIcon(koru::ReadPixmap(koru::AssetPath(QStringLiteral("Img\\koru.png")))));
        });
        if (qEnvironmentVariableIsSet("KORU_BENCH_WINDOW_TOUR")) // bench_startup's memory figure
            koru::shell::TourEveryWindow(shell, [] {
                std::printf("window tour done\n");
                std::fflush(stdout);
            });
        code = app.exec();
    }
    koru::DialogService::install(nullptr);
    return code;
}
