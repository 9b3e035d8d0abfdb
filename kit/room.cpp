#include "kit/room.h"

namespace koru::kit {

void Room::setTemperature(int celsius, qint64 nowMs)
{
    m_setTemperature = celsius;
    m_degrees = 0;
    m_since = qMax(m_since, nowMs);
}

void Room::setHumidity(int percent, qint64 nowMs)
{
    m_setHumidity = percent;
    m_humidity = 0;
    m_since = qMax(m_since, nowMs);
}

int Room::temperature() const
{
    return qBound(0, m_setTemperature + m_degrees, 50);
}

int Room::humidity() const
{
    return qBound(0, m_setHumidity + m_humidity, 100);
}

bool Room::atRest() const
{
    if (m_mode == Mode::Cooling)
        return m_degrees <= -MaxDegrees || temperature() == 0;
    if (m_mode == Mode::Heating)
        return m_degrees >= MaxDegrees || temperature() == 50;
    return m_degrees == 0 && m_humidity == 0;
}

void Room::step()
{
    const auto towardsZero = [](int value, int by) { return value > 0 ? qMax(0, value - by) : qMin(0, value + by); };
    switch (m_mode) {
    case Mode::Cooling:
        --m_degrees;
        m_humidity += HumidityPerDegree;
        break;
    case Mode::Heating:
        ++m_degrees;
        m_humidity -= HumidityPerDegree;
        break;
    case Mode::Off:
        m_degrees = towardsZero(m_degrees, 1);
        m_humidity = towardsZero(m_humidity, HumidityPerDegree);
        break;
    }
    m_humidity = qBound(-MaxDegrees * HumidityPerDegree, m_humidity, MaxDegrees * HumidityPerDegree);
}

bool Room::advance(qint64 nowMs, Mode newMode)
{
    const int t = temperature();
    const int h = humidity();
    // Bounded: the offsets stop at their limits, so a long gap ends quickly.
    for (int n = 0; n <= 4 * MaxDegrees && !atRest() && nowMs - m_since >= periodMs(); ++n) {
        m_since += periodMs();
        step();
    }
    if (atRest() || nowMs - m_since >= periodMs())
        m_since = nowMs;
    if (newMode != m_mode) {
        m_mode = newMode;
        m_since = nowMs;
    }
    return t != temperature() || h != humidity();
}

std::optional<qint64> Room::nextDueMs() const
{
    if (atRest())
        return std::nullopt;
    return m_since + periodMs();
}

} // namespace koru::kit
