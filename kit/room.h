// The room around the virtual kit, so that a thermostat has something to
// work against: while the fan runs the room cools by a degree at a time,
// while the lamp burns it warms, and with both off it drifts back to the
// temperature and humidity the sensors were last set to. Relative humidity
// moves the other way, two percent per degree, as it does in a closed room.
// Time comes from the caller, so a test runs an afternoon in no time.
#pragma once

#include <QtGlobal>

#include <optional>

namespace koru::kit {

class Room
{
public:
    // One degree per step while the fan or the lamp is on...
    static constexpr qint64 ActiveStepMs = 4000;
    // ... and one back towards the set values per step with both off.
    static constexpr qint64 SettleStepMs = 8000;
    // How far the devices can move the room from its set values.
    static constexpr int MaxDegrees = 15;
    static constexpr int HumidityPerDegree = 2;

    enum class Mode { Off, Cooling, Heating };

    // A sensor command at nowMs: the room is at this value now and settles
    // back to it; the next step is a whole step away.
    void setTemperature(int celsius, qint64 nowMs);
    void setHumidity(int percent, qint64 nowMs);

    // Lets the room follow mode (what the devices did since the last call)
    // up to nowMs, then switches to newMode from nowMs on. True when the
    // temperature or humidity changed.
    bool advance(qint64 nowMs, Mode newMode);
    // When the room next changes, if it will.
    std::optional<qint64> nextDueMs() const;

    int temperature() const;
    int humidity() const;

private:
    qint64 periodMs() const { return m_mode == Mode::Off ? SettleStepMs : ActiveStepMs; }
    bool atRest() const;
    void step();

    int m_setTemperature = 25;
    int m_setHumidity = 50;
    int m_degrees = 0;  // offset of the temperature from the set value
    int m_humidity = 0; // offset of the humidity from the set value
    Mode m_mode = Mode::Off;
    qint64 m_since = 0; // the last step, or the last change of mode
};

} // namespace koru::kit
