// Shared by the kit tests: a sink that records effects as lines and a rig
// that runs an interpreter over a manual clock.
#pragma once

#include "kit/effect.h"
#include "kit/interpreter.h"
#include "model/encoder.h"

#include <QList>
#include <QStringList>

namespace koru::kit::test {

struct Recorder : EffectSink
{
    QList<Effect> effects;
    void effect(const Effect &e) override { effects.append(e); }

    // "<ms> <effect>" for every recorded effect.
    QStringList lines() const
    {
        QStringList out;
        for (const Effect &e : effects)
            out.append(QString::number(e.atMs) + QLatin1Char(' ') + DescribeEffect(e));
        return out;
    }
    QList<Effect> ofKind(EffectKind kind) const
    {
        QList<Effect> out;
        for (const Effect &e : effects)
            if (e.kind == kind)
                out.append(e);
        return out;
    }
    void clear() { effects.clear(); }
};

// Steps `advance` to every due moment until the clock reaches `until`.
template <typename Machine>
void RunUntil(ManualClock &clock, Machine &machine, qint64 until)
{
    for (int guard = 0; guard < 1000000; ++guard) {
        machine.advance();
        const std::optional<qint64> due = machine.nextDueMs();
        if (!due || *due > until)
            break;
        clock.set(*due);
    }
    clock.set(until);
    machine.advance();
}

struct Rig
{
    explicit Rig(Profile profile = Profile::kit()) : interpreter(clock, recorder, profile) {}

    void start(const DeviceImage &program, const MelodyScore &melody = {})
    {
        image = program;
        interpreter.startProgram(
            [this](int address) -> std::optional<int> {
                if (address < 0 || address >= image.size())
                    return std::nullopt;
                return image[address];
            },
            melody);
        interpreter.advance();
    }
    void runFor(qint64 ms) { RunUntil(clock, interpreter, clock.nowMs() + ms); }

    ManualClock clock;
    Recorder recorder;
    Interpreter interpreter;
    DeviceImage image;
};

} // namespace koru::kit::test
