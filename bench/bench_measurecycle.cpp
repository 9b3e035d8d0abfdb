// The measurement cycle against a headless virtual kit in real time: how
// often a reading comes in without the CSV file (1500 ms ticks, a cycle of
// two paced requests) and at "3秒", how many ticks were skipped because a
// cycle was still running, and the processor time this process used.
#include "tests/link/kitprocess.h"

#include "measure/linkmeasurekit.h"
#include "measure/measuresession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace koru;
using namespace koru::measure;

namespace {
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void run(QCoreApplication &app, DeviceLink &link, bool csv, int seconds)
{
    LinkMeasureKit kit(link);
    TimerTicker ticker;
    MeasureSession session(kit, ticker);
    QTemporaryDir journal;
    session.setJournalFolder(journal.path());
    QElapsedTimer wall;
    QList<double> readings;
    QObject::connect(&session, &MeasureSession::logChanged, [&] {
        if (!session.log().isEmpty())
            readings.append(wall.nsecsElapsed() / 1e6);
    });
    QObject::connect(&session, &MeasureSession::warning,
                     [](const QString &m) { std::printf("  warning: %s\n", qPrintable(m)); });
    const double cpu0 = processCpuMs();
    wall.start();
    session.start(csv, 0);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpuMs = processCpuMs() - cpu0;
    session.close();
    QList<double> periods;
    for (qsizetype i = 1; i < readings.size(); ++i)
        periods.append(readings[i] - readings[i - 1]);
    std::sort(periods.begin(), periods.end());
    std::printf("  %s: %lld readings in %d s, first after %.0f ms, period median %.0f ms (min %.0f, max %.0f), "
                "%d ticks skipped, processor %.0f ms\n",
                csv ? "CSV, 3秒" : "no CSV (1500 ms ticks)", qlonglong(readings.size()), seconds,
                readings.value(0), periods.isEmpty() ? 0.0 : periods[periods.size() / 2],
                periods.isEmpty() ? 0.0 : periods.first(), periods.isEmpty() ? 0.0 : periods.last(),
                session.skippedTicks(), cpuMs);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!test::KitProcess::available()) {
        std::fprintf(stderr, "bench_measurecycle: koru-kit is not built, skipped\n");
        return 0;
    }
    const int seconds = argc > 1 ? qBound(5, atoi(argv[1]), 600) : 15;
    test::KitProcess kit;
    QString why;
    if (!kit.start(&why)) {
        std::fprintf(stderr, "bench_measurecycle: %s\n", qPrintable(why));
        return 1;
    }
    TimerPaceClock clock;
    auto link = kit.makeLink(clock);
    if (!QTest::qWaitFor([&] { return link->KitPresent(); }, 5000)) {
        std::fprintf(stderr, "bench_measurecycle: the virtual kit was not found\n");
        return 1;
    }
    std::printf("bench_measurecycle: %d s each against the virtual kit (pace %d ms a request)\n", seconds,
                DeviceLink::PaceMs + DeviceLink::MeasurementPaceMs);
    run(app, *link, false, seconds);
    // The first run's off request is still going out: let it.
    QTimer::singleShot(1500, &app, &QCoreApplication::quit);
    app.exec();
    run(app, *link, true, seconds);
    return 0;
}
