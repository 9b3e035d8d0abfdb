// Start-up of the program as a pupil sees it: wall time from starting the
// executable until the launcher window is mapped on the display, and the
// resident memory with the launcher shown. Medians of several runs.
//
//   bench_startup [runs]      (default 7; starts a private Xvfb if DISPLAY is unset)
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int LauncherWidth = 555;
constexpr int LauncherHeight = 419;

pid_t spawn(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// Starts Xvfb on a free display number and returns it.
std::optional<int> startXvfb(pid_t *server)
{
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    *server = spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24",
                     "-nolisten", "tcp", "-noreset"});
    close(fds[1]);
    if (*server < 0)
        return std::nullopt;
    char text[16] = {};
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0 || read(fds[0], text, sizeof text - 1) <= 0) {
        close(fds[0]);
        return std::nullopt;
    }
    close(fds[0]);
    return std::atoi(text);
}

long residentKiB(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Waits for the next event without spinning; nullptr after the timeout.
xcb_generic_event_t *nextEvent(xcb_connection_t *c, int timeoutMs)
{
    if (auto *e = xcb_poll_for_event(c))
        return e;
    pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return nullptr;
    return xcb_poll_for_event(c);
}

bool isLauncher(xcb_connection_t *c, xcb_window_t window)
{
    auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (!geometry)
        return false;
    const bool match = geometry->width == LauncherWidth && geometry->height == LauncherHeight;
    free(geometry);
    return match;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    char runtime[] = "/tmp/bench-startup-XXXXXX"; // private runtime folder, mode 0700
    if (mkdtemp(runtime))
        setenv("XDG_RUNTIME_DIR", runtime, 1);
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string program = QDir(QCoreApplication::applicationDirPath()).filePath("koru").toStdString();

    pid_t server = -1;
    struct ServerGuard // the private display goes with the benchmark, however it ends
    {
        pid_t &pid;
        ~ServerGuard()
        {
            if (pid > 0)
                stop(pid);
        }
    } serverGuard{server};
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        const auto display = startXvfb(&server);
        if (!display) {
            std::fprintf(stderr, "bench_startup: cannot start Xvfb\n");
            return 77;
        }
        qputenv("DISPLAY", QByteArray(":") + QByteArray::number(*display));
    }
    QTemporaryDir home; // the program's per-user folders go here
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qunsetenv("QT_QPA_PLATFORM");

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "bench_startup: no display\n");
        return 77;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> seconds, mebibytes;
    for (int run = 0; run <= runs; ++run) { // run 0 warms the caches and is not counted
        const auto t0 = Clock::now();
        const pid_t pid = spawn({program});
        if (pid < 0) {
            std::fprintf(stderr, "bench_startup: cannot start %s\n", program.c_str());
            return 1;
        }
        std::optional<double> mapped;
        while (!mapped) {
            xcb_generic_event_t *e = nextEvent(c, 15000);
            if (!e)
                break;
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(e);
                if (isLauncher(c, map->window))
                    mapped = std::chrono::duration<double>(Clock::now() - t0).count();
            }
            free(e);
        }
        if (!mapped) {
            stop(pid);
            std::fprintf(stderr, "bench_startup: the launcher did not appear\n");
            return 1;
        }
        // Let it paint and settle, then read its memory.
        const auto settle = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < settle) {
            const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(settle - Clock::now()).count());
            if (auto *e = nextEvent(c, std::max(1, left)))
                free(e);
        }
        const long kib = residentKiB(pid);
        stop(pid);
        if (run == 0)
            continue;
        seconds.push_back(*mapped);
        mebibytes.push_back(kib / 1024.0);
        std::printf("run %d: %.3f s to the launcher, %.1f MiB resident\n", run, *mapped, kib / 1024.0);
    }
    xcb_disconnect(c);
    rmdir(runtime);
    std::printf("bench_startup: median %.3f s to the launcher (target < 0.3 s), median %.1f MiB resident "
                "(target < 80 MB) over %d runs\n",
                median(seconds), median(mebibytes), runs);
    return 0;
}
