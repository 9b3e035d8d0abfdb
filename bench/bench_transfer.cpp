// Sends a 122-value transfer (a full 120-byte image with its frame values)
// to a headless virtual kit and reports the wall time against the pacing
// floor (122 x 50 ms) and the processor time this process used meanwhile.
// Targets: within 3 % of the floor, processor time under 3 % of the wall time.
#include "tests/link/kitprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <ctime>

using namespace koru;

namespace {
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!test::KitProcess::available()) {
        std::fprintf(stderr, "bench_transfer: koru-kit is not built, skipped\n");
        return 0;
    }
    const int rounds = argc > 1 ? qBound(1, atoi(argv[1]), 20) : 3;
    test::KitProcess kit;
    QString why;
    if (!kit.start(&why)) {
        std::fprintf(stderr, "bench_transfer: %s\n", qPrintable(why));
        return 1;
    }
    TimerPaceClock clock;
    auto link = kit.makeLink(clock);
    if (!QTest::qWaitFor([&] { return link->KitPresent(); }, 5000)) {
        std::fprintf(stderr, "bench_transfer: the virtual kit was not found\n");
        return 1;
    }
    QList<int> values{kit::ProgramFrame};
    for (int i = 0; i < 120; ++i)
        values.append(i % 2 ? 160 : 1); // any bytes: the kit only stores them
    values.append(kit::FrameEnd);
    const double floorMs = values.size() * double(DeviceLink::PaceMs);

    std::printf("bench_transfer: %lld values to the virtual kit, floor %.0f ms\n", qlonglong(values.size()), floorMs);
    double worstOver = 0, worstCpu = 0;
    for (int round = 1; round <= rounds; ++round) {
        QSignalSpy finished(link.get(), &DeviceLink::transferFinished);
        QElapsedTimer wall;
        const double cpu0 = processCpuMs();
        wall.start();
        bool ok = link->Transfer(values);
        ok = ok && finished.wait(30000) && finished[0][0].toBool();
        const double wallMs = wall.nsecsElapsed() / 1e6;
        const double cpuMs = processCpuMs() - cpu0;
        if (!ok) {
            std::fprintf(stderr, "bench_transfer: the transfer failed\n");
            return 1;
        }
        const double over = (wallMs / floorMs - 1) * 100;
        const double cpuShare = cpuMs / wallMs * 100;
        worstOver = qMax(worstOver, over);
        worstCpu = qMax(worstCpu, cpuShare);
        std::printf("  round %d: wall %.1f ms (+%.2f %% over the floor), cpu %.1f ms (%.2f %% of wall)\n", round,
                    wallMs, over, cpuMs, cpuShare);
        QTest::qWait(300); // let the kit's FF come in before the next round
    }
    std::printf("bench_transfer: worst +%.2f %% over the floor (target 3 %%), cpu %.2f %% (target 3 %%) %s\n",
                worstOver, worstCpu, worstOver <= 3 && worstCpu < 3 ? "OK" : "MISSED");
    return 0;
}
