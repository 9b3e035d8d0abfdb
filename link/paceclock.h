// Time for the link's pacing and for the waits of the kit commands. Each
// DeviceLink is given its clock: the program and koru-tool a TimerPaceClock,
// tests a ManualPaceClock that they move on by hand, so a 122-value transfer
// or a five-second read-back takes no real time and happens in a known order.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

namespace koru {

class PaceClock
{
public:
    virtual ~PaceClock() = default;
    // Calls due once, ms milliseconds from now, from the event loop. Nothing
    // is called once context has been destroyed.
    virtual void callAfter(int ms, QObject *context, std::function<void()> due) = 0;
    // Milliseconds since some fixed moment; never goes back.
    virtual qint64 nowMs() const = 0;
};

// Real timers.
class TimerPaceClock : public PaceClock
{
public:
    TimerPaceClock();
    void callAfter(int ms, QObject *context, std::function<void()> due) override;
    qint64 nowMs() const override;

private:
    QElapsedTimer m_started;
};

// A clock that only moves when told to.
class ManualPaceClock : public PaceClock
{
public:
    ManualPaceClock() = default;
    ManualPaceClock(const ManualPaceClock &) = delete;
    ManualPaceClock &operator=(const ManualPaceClock &) = delete;

    void callAfter(int ms, QObject *context, std::function<void()> due) override;
    qint64 nowMs() const override { return m_now; }

    // Moves time on by ms, making every call that falls due meanwhile in the
    // order of its time (calls scheduled by those calls included).
    void advance(qint64 ms);
    // Moves time on to the next pending call and makes it (and any other
    // call due at that moment). False when nothing is pending.
    bool step();
    // Steps until nothing is pending, at most maxCalls calls. The number made.
    int runUntilIdle(int maxCalls = 100000);

    qint64 now() const { return m_now; }
    int pending() const { return int(m_calls.size()); }

private:
    struct Call
    {
        QPointer<QObject> context;
        std::function<void()> due;
    };
    // Keyed by (time, sequence): calls due at the same moment keep their order.
    std::map<std::pair<qint64, quint64>, Call> m_calls;
    qint64 m_now = 0;
    quint64 m_sequence = 0;
};

} // namespace koru
