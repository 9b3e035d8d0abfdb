// koru-kit: a stand-in for the kit. It listens on a local socket where the
// companion finds it as a device named "ORBA", and either shows the kit in a
// window or runs headless for tests and scripts.
#include "kit/app/headless.h"
#include "kit/app/kitserver.h"
#include "kit/app/kitwindow.h"
#include "kit/kitdriver.h"
#include "model/programfile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>


namespace {

const char *const Usage =
    "Usage: koru-kit [--headless] [--help]\n"
    "\n"
    "A virtual KORU control radio kit. The companion finds it as the device\n"
    "\"ORBA\" on a local socket in $XDG_RUNTIME_DIR/koru-kits (one socket per\n"
    "running kit, named kit-<process id>).\n"
    "\n"
    "  --headless   run without a window until standard input closes or the\n"
    "               process is terminated; read sensor commands on standard\n"
    "               input and print every effect as one line on standard\n"
    "               output: the kit's time in milliseconds, then the effect\n"
    "               (\"led 255 0 0 level 150\", \"wait switch\", \"reply FF\", ...).\n"
    "               The first line is \"kit <socket path>\".\n"
    "  --help       show this text\n"
    "\n";

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop normally, so the socket file goes
// away with the server.
void quitOnSignals()
{
    if (::pipe(signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    // A reader that went away (a closed pipe or socket) must not end the kit.
    std::signal(SIGPIPE, SIG_IGN);
}

int runHeadless(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    quitOnSignals();
    koru::kit::KitDriver driver;
    koru::kit::KitServer server(driver);
    QString error;
    if (!server.listen(&error)) {
        std::fprintf(stderr, "koru-kit: %s\n", qPrintable(error));
        return 1;
    }
    koru::kit::Headless headless(driver);
    koru::kit::Headless::printLine(QStringLiteral("kit ") + server.path());
    headless.start();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    koru::KeepRunningPastFileSizeLimit();
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            std::fputs(qPrintable(koru::kit::Headless::commandHelp()), stdout);
            return 0;
        }
        if (arg == "--headless") {
            headless = true;
        } else {
            std::fprintf(stderr, "koru-kit: unknown option %s\n%s", argv[i], Usage);
            return 2;
        }
    }
    if (headless)
        return runHeadless(argc, argv);
    return koru::kit::RunWindow(argc, argv, quitOnSignals);
}
