// Start-up of the program as a pupil sees it, against a yardstick: wall time
// from starting the executable until the splash and the launcher are mapped
// on the display, beside the time a bare Qt window of the launcher's size
// takes (bare_window, built with this benchmark), the two started in turn
// run by run so that both see the same machine; and the resident memory with
// the launcher shown, and again after every window has been opened and
// closed once (the program's KORU_BENCH_WINDOW_TOUR, app/windowtour.h).
// Medians of several runs.
//
//   bench_startup [runs] [program]
//
// runs defaults to 7; program to the koru beside the benchmark (another
// build's, copied into this bin folder so that it finds the pictures, to
// compare two builds on the same yardstick). A private Xvfb is started when
// DISPLAY is unset.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int LauncherWidth = 555;
constexpr int LauncherHeight = 419;
constexpr int SplashWidth = 445;
constexpr int SplashHeight = 314;

constexpr double SplashTarget = 1.1;   // times the bare window
constexpr double LauncherTarget = 1.3; // times the bare window
constexpr double TourMiBTarget = 60;

// Starts a program; its standard output goes to outFd when that is given.
pid_t spawn(const std::vector<std::string> &args, int outFd = -1)
{
    std::vector<char *> argv;
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
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

double residentMiB(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024.0;
    return -1;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The display as the benchmark watches it: every top-level window mapped.
class XvfbDisplay
{
public:
    XvfbDisplay()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    ~XvfbDisplay() { xcb_disconnect(m_c); }
    bool ok() const { return !xcb_connection_has_error(m_c); }

    // Forgets what happened before now (the previous program's windows).
    void drain()
    {
        while (auto *e = xcb_poll_for_event(m_c))
            free(e);
    }

    // Waits until deadline for events and for text on textFd (when given).
    // Calls mapped(width, height) for each window mapped and text(chunk)
    // for the text read; stops early when either returns true.
    template<typename Mapped, typename Text>
    bool watch(Clock::time_point deadline, Mapped mapped, int textFd, Text text)
    {
        for (;;) {
            while (auto *e = xcb_poll_for_event(m_c)) {
                bool stop = false;
                if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                    const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(e);
                    if (auto *g = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, map->window), nullptr)) {
                        stop = mapped(g->width, g->height);
                        free(g);
                    }
                }
                free(e);
                if (stop)
                    return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p[2] = {{xcb_get_file_descriptor(m_c), POLLIN, 0}, {textFd, POLLIN, 0}};
            if (poll(p, textFd >= 0 ? 2 : 1, int(left)) <= 0)
                continue;
            if (textFd >= 0 && (p[1].revents & (POLLIN | POLLHUP))) {
                char chunk[256];
                const ssize_t n = read(textFd, chunk, sizeof chunk);
                if (n <= 0)
                    return false; // the program went
                if (text(std::string(chunk, size_t(n))))
                    return true;
            }
        }
    }
    template<typename Mapped>
    bool watch(Clock::time_point deadline, Mapped mapped)
    {
        return watch(deadline, mapped, -1, [](const std::string &) { return false; });
    }

    // Lets the program paint and settle.
    void settle(int ms)
    {
        watch(Clock::now() + std::chrono::milliseconds(ms), [](int, int) { return false; });
    }

private:
    xcb_connection_t *m_c = nullptr;
};

struct Start
{
    double splash = -1;   // seconds to the splash mapped (-1: never seen)
    double launcher = -1; // seconds to the launcher-sized window mapped
    double mib = -1;      // resident after settling
};

// Starts a program and times its windows until the launcher-sized one is
// mapped; then reads its resident memory after settling.
std::optional<Start> timeStart(XvfbDisplay &display, const std::string &program)
{
    display.drain();
    Start start;
    const auto t0 = Clock::now();
    const pid_t pid = spawn({program});
    if (pid < 0)
        return std::nullopt;
    display.watch(t0 + std::chrono::seconds(30), [&](int w, int h) {
        if (w == SplashWidth && h == SplashHeight && start.splash < 0)
            start.splash = seconds(t0);
        if (w == LauncherWidth && h == LauncherHeight)
            start.launcher = seconds(t0);
        return start.launcher >= 0;
    });
    if (start.launcher < 0) {
        stop(pid);
        return std::nullopt;
    }
    display.settle(500);
    start.mib = residentMiB(pid);
    stop(pid);
    return start;
}

// The program with its window tour: resident memory once every window has
// been opened and closed; -1 when the tour does not finish.
double tourMiB(XvfbDisplay &display, const std::string &program)
{
    display.drain();
    int out[2];
    if (pipe(out) != 0)
        return -1;
    setenv("KORU_BENCH_WINDOW_TOUR", "1", 1);
    const pid_t pid = spawn({program}, out[1]);
    unsetenv("KORU_BENCH_WINDOW_TOUR");
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        return -1;
    }
    std::string said;
    const bool done = display.watch(Clock::now() + std::chrono::seconds(60), [](int, int) { return false; }, out[0],
                                    [&said](const std::string &chunk) {
                                        said += chunk;
                                        return said.find("window tour done") != std::string::npos;
                                    });
    double mib = -1;
    if (done) {
        display.settle(500);
        mib = residentMiB(pid);
    }
    stop(pid);
    close(out[0]);
    return mib;
}

} // namespace

int main(int argc, char *argv[])
{
    char runtime[] = "/tmp/bench-startup-XXXXXX"; // private runtime folder, mode 0700
    if (mkdtemp(runtime))
        setenv("XDG_RUNTIME_DIR", runtime, 1);
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const QDir bin(QCoreApplication::applicationDirPath());
    const std::string program = argc > 2 ? argv[2] : bin.filePath("koru").toStdString();
    const std::string bare = bin.filePath("bare_window").toStdString();

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

    XvfbDisplay display;
    if (!display.ok()) {
        std::fprintf(stderr, "bench_startup: no display\n");
        return 77;
    }

    std::vector<double> bareSeconds, splashSeconds, launcherSeconds, splashRatios, launcherRatios, startMiB,
        tourMiBs, bareMiB;
    for (int run = 0; run <= runs; ++run) { // run 0 warms the caches and is not counted
        // Which of the two goes first alternates, so neither always finds
        // the other's pages in the cache.
        std::optional<Start> yardstick, koru;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (run % 2 == 0))
                yardstick = timeStart(display, bare);
            else
                koru = timeStart(display, program);
        }
        if (!yardstick) {
            std::fprintf(stderr, "bench_startup: the bare window (%s) did not appear\n", bare.c_str());
            return 1;
        }
        if (!koru) {
            std::fprintf(stderr, "bench_startup: the launcher did not appear\n");
            return 1;
        }
        const double toured = tourMiB(display, program);
        if (toured < 0) {
            std::fprintf(stderr, "bench_startup: the window tour did not finish\n");
            return 1;
        }
        if (run == 0)
            continue;
        bareSeconds.push_back(yardstick->launcher);
        bareMiB.push_back(yardstick->mib);
        launcherSeconds.push_back(koru->launcher);
        launcherRatios.push_back(koru->launcher / yardstick->launcher);
        if (koru->splash >= 0) {
            splashSeconds.push_back(koru->splash);
            splashRatios.push_back(koru->splash / yardstick->launcher);
        }
        startMiB.push_back(koru->mib);
        tourMiBs.push_back(toured);
        std::printf("run %d: bare %.3f s; splash %.3f s (%.2fx), launcher %.3f s (%.2fx); %.1f MiB after start, "
                    "%.1f MiB after every window (bare %.1f MiB)\n",
                    run, yardstick->launcher, koru->splash, koru->splash / yardstick->launcher, koru->launcher,
                    koru->launcher / yardstick->launcher, koru->mib, toured, yardstick->mib);
    }
    rmdir(runtime);
    const double splashRatio = median(splashRatios), launcherRatio = median(launcherRatios);
    const double toured = median(tourMiBs);
    std::printf("bench_startup: medians over %d runs: bare window %.3f s, splash %.3f s, launcher %.3f s\n", runs,
                median(bareSeconds), median(splashSeconds), median(launcherSeconds));
    std::printf("bench_startup: ratio to the bare window: splash %.2fx (target %.1fx)%s, launcher %.2fx "
                "(target %.1fx)%s\n",
                splashRatio, SplashTarget, splashRatio <= SplashTarget ? "" : " MISSED", launcherRatio,
                LauncherTarget, launcherRatio <= LauncherTarget ? "" : " MISSED");
    std::printf("bench_startup: resident %.1f MiB after start, %.1f MiB after every window (target %.0f MiB)%s, "
                "bare window %.1f MiB\n",
                median(startMiB), toured, TourMiBTarget, toured <= TourMiBTarget ? "" : " MISSED", median(bareMiB));
    return 0;
}
