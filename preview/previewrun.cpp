#include "preview/previewrun.h"

#include "model/opcodes.h"
#include "model/textutil.h"

namespace koru::preview {

namespace {
// Instructions that leave the scene as it is; every other one clears it
// (LED, sounds, timer, waits, the experiment board) or ends the run.
bool KeepsTheScene(int op)
{
    using namespace opcode;
    return op == BacklightLinkOn || op == RadioOn || op == RadioOff || (op >= IfSwitchOn && op <= IfHumidityIsY)
           || op == LoopStart || op == LoopEnd || op == SubroutineCall || op == SubroutineEnd || op == MeasureX
           || op == MeasureY || op == Start;
}

const kit::Clock &clockOr(const kit::Clock *clock, std::unique_ptr<kit::Clock> &own)
{
    if (!clock)
        own = std::make_unique<kit::SteadyClock>();
    return clock ? *clock : *own;
}
} // namespace

PreviewRun::PreviewRun(const kit::Clock *clock, QObject *parent)
    : QObject(parent),
      m_base(clockOr(clock, m_ownClock)),
      m_clock(m_base),
      m_interpreter(std::make_unique<kit::Interpreter>(m_clock, static_cast<kit::EffectSink &>(*this),
                                                    kit::Profile::preview()))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PreviewRun::advance);
}

PreviewRun::~PreviewRun()
{
    m_timer.stop();
}

void PreviewRun::start(const DeviceImage &image, Pace pace)
{
    m_source = image;
    m_image.clear();
    for (const int value : image)
        m_image.append(value >= 0 && value <= 255 ? std::optional<int>(value) : std::nullopt);
    m_reached = -1;
    m_clockLeft = false;
    m_stepping = pace == Pace::Stepping;
    m_stepsLeft = 1;
    m_clock.setPaused(false);
    m_state = State::Running;
    m_interpreter->startProgram([this](int address) -> std::optional<int> {
        if (address < 0 || address >= m_image.size())
            return std::nullopt;
        return m_image[address];
    });
    advance();
}

void PreviewRun::step()
{
    if (!playing())
        return;
    if (!held()) {
        // The instruction under way (its hold, its wait) finishes first.
        m_stepping = true;
        m_stepsLeft = 0;
        settle();
        return;
    }
    m_stepsLeft = 1;
    m_clock.setPaused(false);
    advance();
}

void PreviewRun::resume()
{
    if (!playing() || !m_stepping)
        return;
    m_stepping = false;
    m_clock.setPaused(false);
    advance();
}

void PreviewRun::setSpeed(int quarters)
{
    m_clock.setQuarters(quarters);
    if (playing())
        settle(); // the timer of a hold under way follows the new speed
}

bool PreviewRun::held() const
{
    return m_stepping && m_stepsLeft == 0 && m_state == State::Running && m_interpreter->betweenInstructions();
}

std::optional<qint64> PreviewRun::nextDueMs() const
{
    const std::optional<qint64> due = m_interpreter->nextDueMs();
    if (!due || held())
        return std::nullopt;
    return m_base.nowMs() + m_clock.realMsUntil(*due);
}

void PreviewRun::stop()
{
    if (!playing())
        return;
    const bool wasHeld = held();
    m_stepping = false;
    m_clock.setPaused(false);
    m_interpreter->stop(); // a wait ends at once, a hold first finishes
    if (wasHeld)
        m_interpreter->advance(0); // nothing under way: the run ends here
    m_state = m_interpreter->running() ? State::Stopping : State::Idle;
    leave();
    settle();
}

void PreviewRun::close()
{
    m_stepping = false;
    m_clock.setPaused(false);
    m_interpreter->abort();
    m_state = State::Idle;
    leave();
    settle();
}

bool PreviewRun::pressWaitButton(int kind)
{
    if (m_state != State::Waiting || !m_interpreter->pressWaitButton(kit::WaitKind(kind)))
        return false;
    advance();
    return true;
}

void PreviewRun::setWorld(const kit::World &world)
{
    m_interpreter->setWorld(world);
}

PreviewScene PreviewRun::scene() const
{
    // Once stop is pressed the pupil sees the kit at rest, even while the
    // last hold runs out.
    if (m_state == State::Stopping || m_state == State::Idle)
        return {};
    PreviewScene scene = SceneOf(m_interpreter->outputs());
    if (m_clockLeft && scene.layers[ClockLayer].isEmpty())
        scene.layers[ClockLayer] = pictures::Clock;
    return scene;
}

void PreviewRun::advance()
{
    if (m_stepping) {
        m_stepsLeft -= m_interpreter->advance(m_stepsLeft);
    } else {
        m_interpreter->advance();
    }
    settle();
}

// Brings the state and the timer in line with the interpreter.
void PreviewRun::settle()
{
    if (!m_interpreter->running()) {
        if (m_state != State::Idle) {
            m_state = State::Idle;
            leave();
        }
    } else if (m_state != State::Stopping) {
        m_state = m_interpreter->state() == kit::RunState::Waiting ? State::Waiting : State::Running;
    }
    if (held()) {
        // Time stands still until the next step; the editor marks what runs next.
        m_clock.setPaused(true);
        mark(m_interpreter->programCounter());
    }
    const std::optional<qint64> due = nextDueMs();
    if (due)
        m_timer.start(int(qBound(qint64(0), *due - m_base.nowMs(), qint64(24 * 3600 * 1000))));
    else
        m_timer.stop();
    emit changed();
}

void PreviewRun::leave()
{
    if (m_reached == -1)
        return;
    m_reached = -1;
    emit reached(-1);
}

void PreviewRun::effect(const kit::Effect &e)
{
    if (e.kind != kit::EffectKind::Step)
        return;
    // After the backlight's time (145) and when the link ends (147) the
    // clock is shown without its light until the scene is cleared.
    if (const std::optional<int> op = m_image.value(e.a)) {
        if (*op == opcode::Backlight || *op == opcode::BacklightLinkOff)
            m_clockLeft = true;
        else if (!KeepsTheScene(*op))
            m_clockLeft = false;
    }
    if (m_state == State::Stopping)
        return;
    mark(e.a);
}

void PreviewRun::mark(int address)
{
    if (address == m_reached)
        return;
    m_reached = address;
    emit reached(address);
}

} // namespace koru::preview
