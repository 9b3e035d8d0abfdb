#include "kit/interpreter.h"

#include "model/opcodes.h"
#include "model/textutil.h"

namespace koru::kit {

namespace op = koru::opcode;

namespace {

constexpr int QuarterSecondMs = 250;
constexpr int FadeSteps = 22;
constexpr int FadeStepLevel = 5;
constexpr int FadeFinalHoldMs = 1000;
constexpr int RadioHoldMs = 2000;
constexpr int PreviewSoundMs = 2000;
constexpr int BeepToneMs = 150;
constexpr int BeepGapMs = 100;
constexpr int ProgramEndMark = 250; // stored after the program by its frame

int sign(int v) { return (v > 0) - (v < 0); }

int beepDurationMs(int n) { return n * BeepToneMs + (n - 1) * BeepGapMs; }

} // namespace

Interpreter::Interpreter(const Clock &clock, EffectSink &sink, Profile profile)
    : m_clock(clock), m_sink(sink), m_profile(profile)
{
}

// ---- Starting and stopping ------------------------------------------------

void Interpreter::begin(RunKind kind)
{
    m_actions.clear();
    m_kind = kind;
    m_state = RunState::Running;
    m_time = qMax(m_time, m_clock.nowMs());
    m_pc = 0;
    m_busy = 0;
    m_stopRequested = false;
    m_loops.clear();
    m_returns.clear();
    m_waitKind = WaitKind::None;
    report(EffectKind::RunStarted, int(kind));
}

void Interpreter::startProgram(ByteSource program, MelodyScore melody)
{
    m_program = std::move(program);
    m_melody = std::move(melody);
    begin(RunKind::Program);
}

void Interpreter::startMelody(const MelodyScore &melody)
{
    m_melody = melody;
    m_program = {};
    begin(RunKind::Melody);
    pushMelody(m_melody);
    push(Op::Finish, int(EndReason::Finished));
}

void Interpreter::stop()
{
    if (m_state == RunState::Idle)
        return;
    if (m_profile.stopInterruptsHold || m_state == RunState::Waiting) {
        m_time = qMax(m_time, m_clock.nowMs());
        finish(EndReason::Stopped);
        return;
    }
    m_stopRequested = true;
}

void Interpreter::abort()
{
    if (m_state == RunState::Idle)
        return;
    m_time = qMax(m_time, m_clock.nowMs());
    finish(EndReason::Stopped);
}

void Interpreter::finish(EndReason reason)
{
    m_actions.clear();
    m_waitKind = WaitKind::None;
    // Everything the run switched on goes off with it.
    perform({Op::Note, -1});
    perform({Op::Melody, 0});
    perform({Op::Status, int(KitStatus::None)});
    perform({Op::LedOff});
    perform({Op::Link, 0});
    perform({Op::Backlight, 0});
    perform({Op::Radio, 0});
    perform({Op::Fan, 0});
    perform({Op::Lamp, 0});
    m_state = RunState::Idle;
    m_stopRequested = false;
    report(EffectKind::Ended, int(reason));
}

// ---- Time ----------------------------------------------------------------

int Interpreter::advance(int budget)
{
    const qint64 now = m_clock.nowMs();
    int executed = 0;
    while (m_state == RunState::Running || m_state == RunState::Holding) {
        if (m_state == RunState::Holding) {
            if (now < m_holdUntil)
                break;
            m_time = m_holdUntil;
            m_state = RunState::Running;
        }
        if (m_actions.empty()) {
            if (m_stopRequested) {
                finish(EndReason::Stopped);
                break;
            }
            if (m_kind == RunKind::Melody) { // never without its Finish; kept for safety
                finish(EndReason::Finished);
                break;
            }
            if (executed >= budget)
                break;
            m_time = qMax(m_time, now - MaxLagMs);
            executeInstruction();
            ++executed;
            // A kit's processor needs time too: an endless loop without holds
            // runs BusyInstructions per millisecond instead of freezing time.
            if (++m_busy >= BusyInstructions)
                push(Op::Hold, 1);
            continue;
        }
        const Action action = m_actions.front();
        m_actions.pop_front();
        perform(action);
    }
    return executed;
}

std::optional<qint64> Interpreter::nextDueMs() const
{
    switch (m_state) {
    case RunState::Holding: return m_holdUntil;
    case RunState::Running: return m_time;
    case RunState::Waiting:
    case RunState::Idle: break;
    }
    return std::nullopt;
}

// ---- Instructions ---------------------------------------------------------

void Interpreter::pushClear()
{
    push(Op::LedOff);
    push(Op::Status, int(KitStatus::None));
}

void Interpreter::pushMelody(const MelodyScore &melody)
{
    push(Op::Status, int(KitStatus::Melody));
    push(Op::Melody, 1);
    for (int code : melody.codes) {
        const int ms = melody.durationMs(code);
        if (ms <= 0)
            continue; // not a note or rest code: skipped
        push(Op::Note, code, MelodyScore::frequencyOf(code), ms);
        if (melody.ledLink) {
            if (const std::optional<Rgb> colour = melody.slotColour(MelodyScore::slotOf(code)))
                pushLed(*colour, LitLevel);
            else
                push(Op::LedOff);
        }
        push(Op::Hold, ms);
    }
    push(Op::Note, -1);
    push(Op::Melody, 0);
    if (melody.ledLink)
        push(Op::LedOff);
    push(Op::Status, int(KitStatus::None));
}

void Interpreter::executeInstruction()
{
    const DecodedInstruction d = DecodeInstructionFrom(m_program, m_pc);
    if (!d.complete() || d.firstByte == ProgramEndMark) {
        push(Op::Finish, int(EndReason::InvalidAddress));
        return;
    }
    if (m_profile.reportsSteps)
        report(EffectKind::Step, m_pc);
    const auto byte = [this](int offset) { return m_program(m_pc + offset).value_or(0); };
    const int v = d.firstByte;
    const int next = d.next;

    const auto colourOf = [](int b0, int b1, int b2, int *time) {
        const ColourWordFields f = UnpackColourWord(b0, b1, b2);
        *time = f.time;
        return Rgb{f.red, f.green, f.blue};
    };

    switch (v) {
    case op::Start:
        break;
    case op::End:
        push(Op::Finish, int(EndReason::Finished));
        return;
    case op::SubroutineEnd:
        if (m_returns.empty()) {
            push(Op::Finish, int(EndReason::Finished));
            return;
        }
        push(Op::Goto, m_returns.back());
        m_returns.pop_back();
        return;
    case op::FadeIn:
    case op::FadeOut: {
        int time = 0;
        const Rgb rgb = colourOf(byte(1), byte(2), byte(3), &time);
        const int stepMs = RoundHalfEven(time * 250.0 / 21.0);
        push(Op::Status, int(KitStatus::None));
        pushLed(rgb, v == op::FadeIn ? InvisibleLevel : LitLevel);
        for (int k = 0; k < FadeSteps; ++k) {
            pushLed(rgb, v == op::FadeIn ? InvisibleLevel - FadeStepLevel * k : LitLevel + FadeStepLevel * k);
            push(Op::Hold, stepMs);
        }
        push(Op::Hold, FadeFinalHoldMs, 1);
        break;
    }
    case op::Backlight: // for a time
        pushClear();
        push(Op::Backlight, 1, byte(1));
        push(Op::Hold, byte(2) * QuarterSecondMs, 1);
        push(Op::Backlight, 0); // back to what the link says (see perform)
        break;
    case op::BacklightLinkOn:
        push(Op::Link, 1);
        break;
    case op::BacklightLinkOff:
        push(Op::Link, 0);
        break;
    case op::RadioOn:
        push(Op::Radio, 1);
        push(Op::Hold, RadioHoldMs, 1);
        break;
    case op::RadioOff:
        push(Op::Radio, 0);
        break;
    case op::Melody: // the stored one
        push(Op::LedOff);
        if (m_profile.playsSounds) {
            pushMelody(m_melody);
        } else {
            push(Op::Status, int(KitStatus::Melody));
            push(Op::Hold, PreviewSoundMs, 1);
        }
        pushClear();
        break;
    case op::Beep1:
    case op::Beep2:
    case op::Beep3: { // confirmation sounds 1-3
        const int n = v - op::Beep1 + 1;
        const int ms = m_profile.playsSounds ? beepDurationMs(n) : PreviewSoundMs;
        push(Op::LedOff);
        push(Op::Status, int(KitStatus::Beep), n);
        push(Op::Beep, n, ms);
        push(Op::Hold, ms);
        pushClear();
        break;
    }
    case op::Timer:
        pushClear();
        push(Op::Hold, byte(1) * 1000, 1);
        break;
    case op::WaitSound:
    case op::WaitSwitch:
    case op::WaitBright:
    case op::WaitDark:
    case op::WaitTemperature:
    case op::WaitHumidity:
        push(Op::LedOff);
        push(Op::Wait, v - op::WaitSound + 1, v >= op::WaitTemperature ? byte(1) : 0);
        break;
    case op::LoopStart: // the body follows
        if (int(m_loops.size()) >= StackDepth)
            m_loops.pop_front();
        m_loops.push_back({next, byte(1), byte(1)});
        break;
    case op::LoopEnd:
        if (!m_loops.empty()) {
            LoopPass &loop = m_loops.back();
            if (loop.remaining > 1) {
                --loop.remaining;
                push(Op::Goto, loop.body);
                return;
            }
            m_loops.pop_back();
        }
        break;
    case op::SubroutineCall:
        if (int(m_returns.size()) >= StackDepth)
            m_returns.pop_front();
        m_returns.push_back(next);
        push(Op::Goto, d.subroutineAddress);
        return;
    case op::MeasureX:
        push(Op::Variable, 'x', m_world.temperature);
        break;
    case op::MeasureY:
        push(Op::Variable, 'y', m_world.humidity);
        break;
    case op::Motor:
    case op::Bulb: { // experiment board: motor or bulb for a time
        const Op device = v == op::Motor ? Op::Fan : Op::Lamp;
        push(Op::LedOff);
        push(Op::Status, int(KitStatus::Experiment), v - op::Motor);
        push(device, 1);
        push(Op::Hold, byte(1) * 1000, 1);
        push(device, 0);
        break;
    }
    default:
        if (v >= op::IfSwitchOn && v <= op::IfHumidityIsY) {
            const bool withSetValue =
                (v >= op::IfWarmerThan && v <= op::IfTemperatureIs) || (v >= op::IfMoreHumidThan && v <= op::IfHumidityIs);
            push(Op::Goto, branchTaken(v, withSetValue ? byte(1) : 0) ? next : d.branch);
            return;
        }
        // Anything else is the LED lit in the colour of its ColourWord.
        int time = 0;
        const Rgb rgb = colourOf(byte(0), byte(1), byte(2), &time);
        push(Op::Status, int(KitStatus::None));
        pushLed(rgb, LitLevel);
        push(Op::Hold, time * QuarterSecondMs, 1);
        break;
    }
    push(Op::Goto, next);
}

bool Interpreter::branchTaken(int opcode, int setValue) const
{
    const bool sw = m_world.switchPressed;
    const bool bright = m_world.bright;
    const int t = m_world.temperature;
    const int h = m_world.humidity;
    switch (opcode) {
    case op::IfSwitchOn: return sw;
    case op::IfSwitchOff: return !sw;
    case op::IfBright: return bright;
    case op::IfDark: return !bright;
    case op::IfWarmerThan: return t > setValue;
    case op::IfCoolerThan: return t <= setValue;
    case op::IfTemperatureIs: return t == setValue;
    case op::IfWarmerThanX: return t > m_x;
    case op::IfCoolerThanX: return t <= m_x;
    case op::IfTemperatureIsX: return t == m_x;
    case op::IfMoreHumidThan: return h > setValue;
    case op::IfLessHumidThan: return h <= setValue;
    case op::IfHumidityIs: return h == setValue;
    case op::IfMoreHumidThanY: return h > m_y;
    case op::IfLessHumidThanY: return h <= m_y;
    default: return h == m_y; // op::IfHumidityIsY
    }
}

// ---- Actions --------------------------------------------------------------

void Interpreter::report(EffectKind kind, int a, int b, int c, int d)
{
    m_sink.effect(Effect{kind, m_time, a, b, c, d});
}

void Interpreter::perform(const Action &x)
{
    switch (x.op) {
    case Op::Led: {
        const Rgb rgb{x.a, x.b, x.c};
        if (m_out.ledLit && m_out.led == rgb && m_out.ledLevel == x.d)
            return;
        m_out.ledLit = true;
        m_out.led = rgb;
        m_out.ledLevel = x.d;
        report(EffectKind::Led, x.a, x.b, x.c, x.d);
        return;
    }
    case Op::LedOff:
        if (!m_out.ledLit)
            return;
        m_out.ledLit = false;
        m_out.ledLevel = InvisibleLevel;
        report(EffectKind::LedOff);
        return;
    case Op::Backlight: {
        // Off means: back to what the backlight link asks for.
        const bool on = x.a || m_out.backlightLink;
        const int percent = x.a ? x.b : (on ? 100 : 0);
        if (m_out.backlight == on && m_out.backlightPercent == percent)
            return;
        m_out.backlight = on;
        m_out.backlightPercent = percent;
        report(EffectKind::Backlight, on, percent);
        return;
    }
    case Op::Link:
        if (m_out.backlightLink != bool(x.a)) {
            m_out.backlightLink = x.a;
            report(EffectKind::BacklightLink, x.a);
        }
        perform({Op::Backlight, 0});
        return;
    case Op::Radio:
        if (m_out.radio != bool(x.a)) {
            m_out.radio = x.a;
            report(EffectKind::Radio, x.a);
        }
        return;
    case Op::Status:
        if (m_out.status != KitStatus(x.a) || m_out.statusDetail != x.b) {
            m_out.status = KitStatus(x.a);
            m_out.statusDetail = x.b;
            report(EffectKind::Status, x.a, x.b);
        }
        return;
    case Op::Beep:
        report(EffectKind::Beep, x.a, x.b);
        return;
    case Op::Melody:
        if (m_out.melodyPlaying != bool(x.a)) {
            m_out.melodyPlaying = x.a;
            report(EffectKind::Melody, x.a);
        }
        return;
    case Op::Note:
        m_out.note = x.a;
        if (x.a >= 0)
            report(EffectKind::Note, x.a, x.b, x.c);
        return;
    case Op::Fan:
        if (m_out.fan != bool(x.a)) {
            m_out.fan = x.a;
            report(EffectKind::Fan, x.a);
        }
        return;
    case Op::Lamp:
        if (m_out.lamp != bool(x.a)) {
            m_out.lamp = x.a;
            report(EffectKind::Lamp, x.a);
        }
        return;
    case Op::Variable:
        (x.a == 'x' ? m_x : m_y) = x.b;
        report(EffectKind::Variable, x.a, x.b);
        return;
    case Op::Hold:
        if (x.a <= 0)
            return;
        if (x.b)
            report(EffectKind::Hold, x.a);
        m_busy = 0;
        m_holdUntil = m_time + x.a;
        m_state = RunState::Holding;
        return;
    case Op::Wait:
        m_waitKind = WaitKind(x.a);
        m_waitSet = x.b;
        m_out.waitSetValue = x.b;
        m_waitSide = 0;
        if (m_waitKind == WaitKind::Temperature)
            m_waitSide = sign(m_world.temperature - m_waitSet);
        else if (m_waitKind == WaitKind::Humidity)
            m_waitSide = sign(m_world.humidity - m_waitSet);
        perform({Op::Status, int(KitStatus::Waiting), x.a});
        m_busy = 0;
        m_state = RunState::Waiting;
        report(EffectKind::Wait, x.a, x.b);
        checkWait();
        return;
    case Op::Goto:
        m_pc = x.a;
        return;
    case Op::Finish:
        finish(EndReason(x.a));
        return;
    }
}

// ---- Sensors and waits ----------------------------------------------------

void Interpreter::release()
{
    const WaitKind kind = m_waitKind;
    m_waitKind = WaitKind::None;
    m_state = RunState::Running;
    m_time = qMax(m_time, m_clock.nowMs());
    report(EffectKind::Released, int(kind));
    perform({Op::Status, int(KitStatus::None)});
}

// A temperature or humidity wait is released when the value equals the set
// value or has passed it since the wait began (a slider may jump over it).
void Interpreter::checkWait()
{
    if (m_state != RunState::Waiting || !m_profile.sensorsReleaseWaits)
        return;
    bool done = false;
    switch (m_waitKind) {
    case WaitKind::Switch: done = m_world.switchPressed; break;
    case WaitKind::Bright: done = m_world.bright; break;
    case WaitKind::Dark: done = !m_world.bright; break;
    case WaitKind::Temperature: {
        const int side = sign(m_world.temperature - m_waitSet);
        done = side == 0 || side != m_waitSide;
        break;
    }
    case WaitKind::Humidity: {
        const int side = sign(m_world.humidity - m_waitSet);
        done = side == 0 || side != m_waitSide;
        break;
    }
    case WaitKind::Sound: // only a sound heard during the wait
    case WaitKind::None: break;
    }
    if (done)
        release();
}

void Interpreter::setWorld(const World &world)
{
    m_world = world;
    checkWait();
}

void Interpreter::setSwitch(bool pressed)
{
    m_world.switchPressed = pressed;
    checkWait();
}

void Interpreter::setBright(bool bright)
{
    m_world.bright = bright;
    checkWait();
}

void Interpreter::setTemperature(int celsius)
{
    m_world.temperature = celsius;
    checkWait();
}

void Interpreter::setHumidity(int percent)
{
    m_world.humidity = percent;
    checkWait();
}

void Interpreter::hearSound()
{
    if (m_state == RunState::Waiting && m_waitKind == WaitKind::Sound && m_profile.sensorsReleaseWaits)
        release();
}

bool Interpreter::pressWaitButton(WaitKind kind)
{
    if (m_profile.sensorsReleaseWaits || m_state != RunState::Waiting || kind != m_waitKind)
        return false;
    release();
    return true;
}

void Interpreter::setFan(bool on)
{
    m_time = qMax(m_time, m_clock.nowMs());
    perform({Op::Fan, on});
}

void Interpreter::setLamp(bool on)
{
    m_time = qMax(m_time, m_clock.nowMs());
    perform({Op::Lamp, on});
}

} // namespace koru::kit
