// Staff redraw of a full melody: 110 notes across the keyboard with every
// length, sharps and rests, LED link on, drawn into the off-screen picture
// as the window does after every click (736 wide: twelve rows). Prints the
// median and the slowest of several runs, and the median processor time of
// the drawing thread, which a busy machine disturbs less.
//
//   QT_QPA_PLATFORM=offscreen bench_staff [runs]      (default 201)
#include "benchmeasure.h"
#include "melody/ui/staffdrawing.h"
#include "model/paths.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace koru;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 201;
    QTemporaryDir appData;
    SetAppDataFolder(appData.path());
    const StaffFontLease font;
    if (!StaffFontLease::registered()) {
        std::fprintf(stderr, "bench_staff: the staff font was not found\n");
        return 1;
    }

    Melody melody;
    for (int i = 0; i < MelodySlotCount; ++i) {
        melody.setSelectedLength(i % 4);
        const int key = (i * 5) % 22;
        if (i % 9 == 8)
            melody.addNote(QStringLiteral("148"), 0);
        else
            melody.addNote(QString::number(key), i % 3 == 0 && HasBlackKey(key) ? 1 : 0);
    }
    for (int slot = 0; slot < LedSlotCount; ++slot)
        melody.setLedColour(slot, slot % LedColourCount);
    melody.setLedLink(true);

    int height = 0;
    std::vector<double> cpu;
    const auto threadMicroseconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
    };
    bench::measure("staff redraw, 110 notes, LED bars, 736 wide", runs, [&] {
        const double start = threadMicroseconds();
        height = DrawStaff(melody, StaffInitialWidth, 40).image.height();
        cpu.push_back(threadMicroseconds() - start);
    });
    std::sort(cpu.begin(), cpu.end());
    std::printf("  processor time of the drawing: median %.1f us\n", cpu[cpu.size() / 2]);
    std::printf("  picture 736 x %d (%d rows)\n", height, StaffRowCount(melody, StaffInitialWidth));
    return 0;
}
