// One preview run: the virtual kit's interpreter with the preview's profile
// (wait buttons instead of sensors, a stop that lets the running hold finish,
// two-second sound pictures), driven by one single-shot timer over a clock
// that tests replace. Nothing blocks and no event loop is nested: a hold is
// a timer, a wait is a state that a wait button leaves.
//
// Step by step: a run started or switched to steps holds between two
// instructions until step() lets the next one run (with its holds and
// waits) or resume() goes on at full pace; its time stands still meanwhile.
// The speed (½× to 4×) scales every hold.
//
// Subroutines: a call remembers the address after it and the routine's 206
// returns there (a 206 reached without a call ends the run). Closing the
// window ends the run at once, hold or not (close()).
#pragma once

#include "kit/clock.h"
#include "model/encoder.h"
#include "kit/interpreter.h"
#include "preview/previewscene.h"
#include "preview/speedclock.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace koru::preview {

class PreviewRun : public QObject, private kit::EffectSink
{
    Q_OBJECT
public:
    enum class State {
        Idle,     // never started, or ended
        Running,  // between instructions or in a hold
        Waiting,  // a wait holds the run until its button is pressed
        Stopping, // stop pressed: the running hold finishes, then the run ends
    };

    // Without a clock the run keeps real time.
    explicit PreviewRun(const kit::Clock *clock = nullptr, QObject *parent = nullptr);
    ~PreviewRun() override;

    enum class Pace { Continuous, Stepping };

    // The unframed image; a value that is not a byte ends the run when an
    // instruction needs it. A run in progress is dropped first. Stepping,
    // the first instruction runs and the run holds before the second.
    void start(const DeviceImage &image, Pace pace = Pace::Continuous);
    // "1ステップ": held, the next instruction runs and the run holds again;
    // running, the instruction under way finishes and the run holds.
    void step();
    // Back to full pace from steps.
    void resume();
    // Holds in quarters of real time (SpeedClock: 2 is ½×, 16 is 4×).
    void setSpeed(int quarters);
    int speed() const { return m_clock.quarters(); }
    // "プレビュー停止": the running hold finishes and the run ends before the
    // next instruction; the scene is cleared at once.
    void stop();
    // The window closed: the run ends at once.
    void close();
    // A wait button (1-6); true when it released the pending wait.
    bool pressWaitButton(int kind);
    // The switch, light and sliders the pupil sets.
    void setWorld(const kit::World &world);

    State state() const { return m_state; }
    bool playing() const { return m_state == State::Running || m_state == State::Waiting; }
    bool stepping() const { return m_stepping; }
    // Stepping and between two instructions, waiting for step() or resume().
    bool held() const;
    // The address of the instruction running, or, held, of the one to run
    // next; -1 when idle.
    int address() const { return m_reached; }
    const DeviceImage &image() const { return m_source; }
    kit::WaitKind pendingWait() const { return m_interpreter->pendingWait(); }
    PreviewScene scene() const;
    const kit::Interpreter &interpreter() const { return *m_interpreter; }

    // Runs what is due by the clock and sets the timer for the next thing.
    // The timer calls it; tests with a manual clock call it themselves.
    void advance();
    // When advance() has something to do, on the caller's clock.
    std::optional<qint64> nextDueMs() const;

signals:
    // The state or the scene may have changed.
    void changed();
    // The instruction at this address is running; -1 when the run is over
    // for the pupil (ended, stop pressed, window closed).
    void reached(int address);

private:
    void effect(const kit::Effect &effect) override;
    void settle();
    void leave();
    void mark(int address);

    std::unique_ptr<kit::Clock> m_ownClock;
    const kit::Clock &m_base;
    SpeedClock m_clock; // the run's time, over m_base
    std::unique_ptr<kit::Interpreter> m_interpreter;
    DeviceImage m_source;
    QList<std::optional<int>> m_image;
    QTimer m_timer;
    State m_state = State::Idle;
    int m_reached = -1;
    bool m_stepping = false;
    int m_stepsLeft = 0; // instructions a held run may still begin
    // The clock picture a backlight instruction (145, 147) left on its
    // layer, which stays until an instruction clears the scene.
    bool m_clockLeft = false;
};

} // namespace koru::preview
