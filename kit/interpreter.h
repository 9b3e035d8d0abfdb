// The kit's byte-code interpreter. It walks a stored program (or plays the
// stored melody) over a Clock: every instruction turns into timed actions,
// and each change of the kit's outputs, each hold and wait and the end of the
// run is reported to an EffectSink. Nothing blocks: the owner calls advance()
// whenever time has passed or a sensor changed, and asks nextDueMs() when to
// call again, so a test runs a ten-second timer in no time and a window stays
// responsive during an endless loop.
//
// The same core drives the virtual kit and the on-screen preview; the
// Profile holds the few points where the two behave differently.
#pragma once

#include "kit/clock.h"
#include "kit/effect.h"
#include "kit/melodyscore.h"
#include "kit/world.h"
#include "model/decoder.h"

#include <deque>
#include <optional>

namespace koru::kit {

struct Profile
{
    // Kit: the sensors release waits, and temperature and humidity waits
    // compare their set value. Preview: only pressWaitButton() releases a wait.
    bool sensorsReleaseWaits = true;
    // Kit: stop() ends the run at once. Preview: a running hold (or fade)
    // finishes first and the run ends before the next instruction.
    bool stopInterruptsHold = true;
    // Kit: beeps and the melody take their own playing time. Preview: the
    // sound's status picture is shown for two seconds.
    bool playsSounds = true;
    // Preview: every instruction reached is reported as a Step effect, so the
    // editor can mark the block that runs.
    bool reportsSteps = false;

    static Profile kit() { return {}; }
    static Profile preview() { return {false, false, false, true}; }
};

// The kit's outputs as they are now.
struct KitOutputs
{
    bool ledLit = false;
    Rgb led;
    int ledLevel = 255;        // 0 solid .. 255 invisible; a lit LED uses 150
    bool backlight = false;
    int backlightPercent = 0;
    bool backlightLink = false;
    bool radio = false;
    KitStatus status = KitStatus::None;
    int statusDetail = 0;      // beep number or WaitKind
    int waitSetValue = 0;      // set temperature or humidity of a pending wait
    bool melodyPlaying = false;
    int note = -1;             // code being played, -1 none
    bool fan = false;
    bool lamp = false;
};

enum class RunState { Idle, Running, Holding, Waiting };

// A loop being run: where its body starts, the count it was given and how
// many passes are left (the current one included).
struct LoopPass
{
    int body = 0;
    int count = 0;
    int remaining = 0;

    // The pass being run, from 1 (a count of 0 runs the body once).
    int pass() const { return qMax(1, count) - qMax(1, remaining) + 1; }
    int passes() const { return qMax(1, count); }
};

class Interpreter
{
public:
    static constexpr int LitLevel = 150;
    static constexpr int InvisibleLevel = 255;
    static constexpr int StackDepth = 16;       // loops and calls; deeper drops the oldest
    static constexpr int BusyInstructions = 20; // instructions per millisecond without holds
    static constexpr int DefaultBudget = 5000;  // instructions per advance() call
    // A kit that fell further behind its clock than this (a PC that slept, a
    // stalled event loop) skips the rest instead of racing to catch up.
    static constexpr int MaxLagMs = 1000;

    Interpreter(const Clock &clock, EffectSink &sink, Profile profile = Profile::kit());

    // Starts the program at address 0; a running program or melody is ended
    // (without an Ended effect) first. Bytes the source does not have end
    // the run when an instruction needs them.
    void startProgram(ByteSource program, MelodyScore melody = {});
    void startMelody(const MelodyScore &melody);
    void stop();
    // Ends the run at once, even where the profile lets a hold finish (the
    // preview closing).
    void abort();

    // Runs everything that is due by now, at most `budget` instructions.
    // Returns the number of instructions executed.
    int advance(int budget = DefaultBudget);
    // When advance() has more to do: the end of the current hold, or now when
    // the budget ran out; nothing while waiting for a sensor or idle.
    std::optional<qint64> nextDueMs() const;

    RunState state() const { return m_state; }
    bool running() const { return m_state != RunState::Idle; }
    RunKind runKind() const { return m_kind; }
    WaitKind pendingWait() const { return m_waitKind; }
    int programCounter() const { return m_pc; }
    const KitOutputs &outputs() const { return m_out; }
    int variableX() const { return m_x; }
    int variableY() const { return m_y; }
    // The loops being run, the innermost last.
    const std::deque<LoopPass> &loops() const { return m_loops; }
    // The set temperature or humidity of a pending wait.
    int waitSetValue() const { return m_waitSet; }
    // Between two instructions: the last one's actions are done and the next
    // (at programCounter()) has not begun. advance(0) stops here.
    bool betweenInstructions() const { return m_state == RunState::Running && m_actions.empty(); }

    // Sensors. A change may release a pending wait; call advance() afterwards.
    const World &world() const { return m_world; }
    void setWorld(const World &world);
    void setSwitch(bool pressed);
    void setBright(bool bright);
    void setTemperature(int celsius);
    void setHumidity(int percent);
    void hearSound();
    // Preview: the wait button of a kind; true when it released the wait.
    bool pressWaitButton(WaitKind kind);

    // Outputs driven from outside a run (the measurement requests).
    void setFan(bool on);
    void setLamp(bool on);

private:
    enum class Op {
        Led, LedOff, Backlight, Link, Radio, Status, Beep, Melody, Note, Fan, Lamp,
        Variable, Hold, Wait, Goto, Finish
    };
    struct Action
    {
        Op op;
        int a = 0;
        int b = 0;
        int c = 0;
        int d = 0;
    };

    void begin(RunKind kind);
    void push(Op op, int a = 0, int b = 0, int c = 0, int d = 0) { m_actions.push_back({op, a, b, c, d}); }
    void pushClear();
    void pushLed(const Rgb &rgb, int level) { push(Op::Led, rgb.red, rgb.green, rgb.blue, level); }
    void pushMelody(const MelodyScore &melody);
    void executeInstruction();
    void perform(const Action &action);
    void finish(EndReason reason);
    void report(EffectKind kind, int a = 0, int b = 0, int c = 0, int d = 0);
    bool branchTaken(int opcode, int setValue) const;
    void checkWait();
    void release();

    const Clock &m_clock;
    EffectSink &m_sink;
    Profile m_profile;

    ByteSource m_program;
    MelodyScore m_melody;
    RunKind m_kind = RunKind::Program;
    RunState m_state = RunState::Idle;
    std::deque<Action> m_actions;
    qint64 m_time = 0;       // the kit's time: holds are counted from it, not from the clock
    qint64 m_holdUntil = 0;
    int m_pc = 0;
    int m_busy = 0;
    bool m_stopRequested = false;

    std::deque<LoopPass> m_loops;
    std::deque<int> m_returns;
    int m_x = 0;
    int m_y = 0;

    WaitKind m_waitKind = WaitKind::None;
    int m_waitSet = 0;
    int m_waitSide = 0;

    World m_world;
    KitOutputs m_out;
};

} // namespace koru::kit
