// The preview's own time: the caller's clock at a chosen speed (½× to 4×),
// stopped while a step-by-step run holds between instructions, so a hold is
// never cut short by the time the pupil took to press "1ステップ". It never
// goes backwards: a change of speed or a pause carries on from the time reached.
#pragma once

#include "kit/clock.h"

#include <QtGlobal>

namespace koru::preview {

class SpeedClock : public kit::Clock
{
public:
    // Speeds in quarters: 2 is ½×, 4 is 1×, 8 is 2×, 16 is 4×.
    static constexpr int NormalQuarters = 4;

    explicit SpeedClock(const kit::Clock &base) : m_base(base), m_anchorBase(base.nowMs()) {}

    qint64 nowMs() const override
    {
        if (m_paused)
            return m_anchorRun;
        return m_anchorRun + (m_base.nowMs() - m_anchorBase) * m_quarters / NormalQuarters;
    }

    int quarters() const { return m_quarters; }
    void setQuarters(int quarters)
    {
        reanchor();
        m_quarters = qBound(1, quarters, 64);
    }

    bool paused() const { return m_paused; }
    void setPaused(bool paused)
    {
        if (paused == m_paused)
            return;
        reanchor();
        m_paused = paused;
    }

    // Real milliseconds until this clock reaches a time (0 when it has).
    qint64 realMsUntil(qint64 ms) const
    {
        const qint64 ahead = ms - nowMs();
        if (ahead <= 0 || m_paused)
            return qMax<qint64>(0, ahead);
        return (ahead * NormalQuarters + m_quarters - 1) / m_quarters; // rounded up: never early
    }

private:
    void reanchor()
    {
        m_anchorRun = nowMs();
        m_anchorBase = m_base.nowMs();
    }

    const kit::Clock &m_base;
    qint64 m_anchorBase = 0;
    qint64 m_anchorRun = 0;
    int m_quarters = NormalQuarters;
    bool m_paused = false;
};

} // namespace koru::preview
