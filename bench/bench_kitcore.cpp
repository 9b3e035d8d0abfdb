// The kit core: how fast the interpreter steps, and how much processor time
// the real-time kit spends on a program that loops for ever without holding.
#include "kit/firmware.h"
#include "kit/interpreter.h"
#include "kit/kitdriver.h"
#include "model/opcodes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <ctime>

using namespace koru::kit;

namespace {

struct NullSink : EffectSink
{
    qint64 count = 0;
    void effect(const Effect &) override { ++count; }
};

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    // 1. Raw stepping: "start" jumping to itself, time moved far ahead.
    {
        ManualClock clock;
        NullSink sink;
        Interpreter run(clock, sink);
        const QList<int> image{koru::opcode::Start, 0};
        run.startProgram([&image](int a) -> std::optional<int> {
            return a >= 0 && a < image.size() ? std::optional<int>(image[a]) : std::nullopt;
        });
        QElapsedTimer timer;
        timer.start();
        qint64 instructions = 0;
        for (int i = 0; i < 200; ++i) {
            clock.advanceBy(1000);
            while (true) {
                const int n = run.advance(1000000);
                instructions += n;
                const std::optional<qint64> due = run.nextDueMs();
                if (n == 0 || !due || *due > clock.nowMs())
                    break;
            }
        }
        const double s = timer.nsecsElapsed() / 1e9;
        std::printf("interpreter: %lld instructions in %.3f s = %.0f instructions/s\n", (long long)instructions, s,
                    instructions / s);
    }

    // 2. A whole fade-and-beep loop of 255 rounds in kit time.
    {
        ManualClock clock;
        NullSink sink;
        KitFirmware kit(clock, sink);
        for (int v : {240, 230, 2, 200, 255, 5, 131, 1, 248, 11, 10, 153, 12, 201, 14, 231, 250, 241})
            kit.receive(v);
        QElapsedTimer timer;
        timer.start();
        while (kit.interpreter().running()) {
            const std::optional<qint64> due = kit.nextDueMs();
            if (due)
                clock.set(*due);
            kit.advance();
        }
        std::printf("255 fades and beeps: %.1f s of kit time in %.1f ms, %lld effects\n", clock.nowMs() / 1000.0,
                    timer.nsecsElapsed() / 1e6, (long long)sink.count);
    }

    // 3. Real time: an endless loop for three seconds on the event loop.
    {
        KitDriver driver;
        for (int v : {240, 230, 0, 250, 241})
            driver.receive(v);
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(3000, &app, &QCoreApplication::quit);
        app.exec();
        const double cpu = cpuSeconds() - cpu0;
        std::printf("endless loop in real time: %.1f%% of one processor (%.2f s CPU in %.2f s)\n",
                    100.0 * cpu / (wall.elapsed() / 1000.0), cpu, wall.elapsed() / 1000.0);
    }
    return 0;
}
