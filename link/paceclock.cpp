#include "link/paceclock.h"

#include <QTimer>

namespace koru {

TimerPaceClock::TimerPaceClock()
{
    m_started.start();
}

void TimerPaceClock::callAfter(int ms, QObject *context, std::function<void()> due)
{
    // Precise: a transfer of 122 values must stay within 3 % of 122 × 50 ms.
    QTimer::singleShot(qMax(0, ms), Qt::PreciseTimer, context, std::move(due));
}

qint64 TimerPaceClock::nowMs() const
{
    return m_started.elapsed();
}

void ManualPaceClock::callAfter(int ms, QObject *context, std::function<void()> due)
{
    m_calls.emplace(std::make_pair(m_now + qMax(0, ms), m_sequence++), Call{context, std::move(due)});
}

bool ManualPaceClock::step()
{
    if (m_calls.empty())
        return false;
    auto first = m_calls.begin();
    m_now = qMax(m_now, first->first.first);
    Call call = std::move(first->second);
    m_calls.erase(first);
    if (call.context)
        call.due();
    return true;
}

void ManualPaceClock::advance(qint64 ms)
{
    const qint64 until = m_now + qMax<qint64>(0, ms);
    while (!m_calls.empty() && m_calls.begin()->first.first <= until)
        step();
    m_now = until;
}

int ManualPaceClock::runUntilIdle(int maxCalls)
{
    int made = 0;
    while (made < maxCalls && step())
        ++made;
    return made;
}

} // namespace koru
