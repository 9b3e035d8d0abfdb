// What the measurement makes of the kit's two replies: the texts shown and
// logged, the filter against sudden rises, the set temperature with its
// digit arrows, and the measuring intervals. Pure functions and values.
#pragma once

#include <QList>
#include <QString>
#include <QTime>

#include <optional>

namespace koru::measure {

// A reply byte as shown and logged: at least two decimal digits ("05"),
// values above 100 as "100".
QString ReadingText(int value);

// Reading of one reply line (blanks removed, hexadecimal); nullopt when the
// line is not hexadecimal or too large to be a reading.
std::optional<int> ReadingOfLine(const QString &line);

// A sensor that jumps up by more than this between two measurements is
// taken to have misread: the earlier reading is shown instead.
inline constexpr int TemperatureSpike = 20;
inline constexpr int HumiditySpike = 40;

struct Reading
{
    int temperature = 0;
    int humidity = 0;
    bool operator==(const Reading &) const = default;
};

// Keeps the last raw reading. Only rises are filtered, and only when the
// measurement has logged something already.
class SpikeFilter
{
public:
    // The reading to show and log; remembers raw as the last raw reading.
    Reading take(const Reading &raw, bool logHasEntries);

private:
    std::optional<Reading> m_last;
};

// What the room's devices do: the fan cools, the lamp heats.
enum class Climate { Off, Cooling, Heating };

// The thermostat: cool above the set temperature, heat below it.
Climate ClimateFor(int temperature, int setTemperature);

// One line of the log: "3,10:15:42,24,55". The set temperature and what the
// devices were told after this reading are kept beside it for the chart;
// the log's lines and the CSV file do not hold them.
struct LogEntry
{
    int number = 0;
    QString time;
    QString temperature;
    QString humidity;
    int setTemperature = -1; // -1: not known
    Climate climate = Climate::Off;

    QString line() const;
};

// A stretch of the chart in which the fan or the lamp ran: from the reading
// that switched it on (at x = its place in the log, from 1) to the next
// reading, joined while it stays on; the last one reaches one step past the
// last reading (it is still on).
struct ClimateStretch
{
    double from = 0;
    double to = 0;
    Climate climate = Climate::Off;
    bool operator==(const ClimateStretch &) const = default;
};
QList<ClimateStretch> ClimateStretches(const QList<LogEntry> &log);

// The time of day as the log writes it, "H:mm:ss" whatever the system's
// language ("9:05:03"), so a spreadsheet reads it as a time.
QString LogTimeText(const QTime &time);

// The set temperature: two digits that the arrows turn independently, so
// it runs from 00 to 99.
class SetTemperature
{
public:
    int tens() const { return m_tens; }
    int ones() const { return m_ones; }
    int value() const { return m_tens * 10 + m_ones; }
    void setValue(int value); // 0-99; other values are ignored

    // An arrow: "IncImage1"/"DecImage1" turn the tens, "IncImage2"/
    // "DecImage2" the ones. Up from 9 gives 0, down from 0 gives 9. False
    // for any other name.
    bool press(const QString &arrowName);

private:
    int m_tens = 2;
    int m_ones = 5;
};

struct IntervalChoice
{
    QString text;
    int ms;
};

// The drop-down "計測する間隔", in order.
const QList<IntervalChoice> &IntervalChoices();
// Without the CSV file the kit is asked this often.
inline constexpr int QuickIntervalMs = 1500;

} // namespace koru::measure
