// Time as the kit sees it. The interpreter and the firmware never read the
// system clock themselves: the program passes a steady clock, tests a manual
// one, so a ten-second timer takes no time in a test.
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace koru::kit {

class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment; never goes backwards.
    virtual qint64 nowMs() const = 0;
};

// Real time, counted from construction.
class SteadyClock : public Clock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

// Time that moves only when told to.
class ManualClock : public Clock
{
public:
    qint64 nowMs() const override { return m_now; }
    void set(qint64 ms) { m_now = qMax(m_now, ms); }
    void advanceBy(qint64 ms) { m_now += qMax<qint64>(0, ms); }

private:
    qint64 m_now = 0;
};

} // namespace koru::kit
