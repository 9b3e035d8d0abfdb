#include "measure/readings.h"

#include "model/decoder.h"


namespace koru::measure {

QString ReadingText(int value)
{
    if (value > 100)
        return QStringLiteral("100");
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

std::optional<int> ReadingOfLine(const QString &line)
{
    const std::optional<int> value = ByteValueOfLine(line);
    // A reply is one byte; a longer line still reads as a number, which the
    // cap at 100 takes care of, but nothing beyond a 32-bit reading.
    if (!value || *value < 0)
        return std::nullopt;
    return value;
}

Reading SpikeFilter::take(const Reading &raw, bool logHasEntries)
{
    Reading shown = raw;
    if (logHasEntries && m_last) {
        if (raw.temperature - m_last->temperature > TemperatureSpike)
            shown.temperature = m_last->temperature;
        if (raw.humidity - m_last->humidity > HumiditySpike)
            shown.humidity = m_last->humidity;
    }
    m_last = raw;
    return shown;
}

QString LogEntry::line() const
{
    return QStringLiteral("%1,%2,%3,%4").arg(number).arg(time, temperature, humidity);
}

QString LogTimeText(const QTime &time)
{
    // Fixed, not the system's long format: under a Japanese locale that is
    // "16時39分38秒", which spreadsheets read as text, not as a time.
    return time.toString(QStringLiteral("H:mm:ss"));
}

void SetTemperature::setValue(int value)
{
    if (value < 0 || value > 99)
        return;
    m_tens = value / 10;
    m_ones = value % 10;
}

bool SetTemperature::press(const QString &arrowName)
{
    const bool up = arrowName.startsWith(QLatin1String("IncImage"));
    if (!up && !arrowName.startsWith(QLatin1String("DecImage")))
        return false;
    // The name after its first eight letters says which digit.
    const QString digit = arrowName.mid(8);
    int *target = digit == QLatin1String("1") ? &m_tens : digit == QLatin1String("2") ? &m_ones : nullptr;
    if (!target)
        return false;
    *target = (*target + (up ? 1 : 9)) % 10;
    return true;
}

const QList<IntervalChoice> &IntervalChoices()
{
    static const QList<IntervalChoice> choices{
        {QStringLiteral("3秒"), 3000},       {QStringLiteral("5秒"), 5000},
        {QStringLiteral("10秒"), 10000},     {QStringLiteral("30秒"), 30000},
        {QStringLiteral("1分"), 60000},      {QStringLiteral("5分"), 300000},
        {QStringLiteral("10分"), 600000},    {QStringLiteral("30分"), 1800000},
        {QStringLiteral("60分"), 3600000},
    };
    return choices;
}

Climate ClimateFor(int temperature, int setTemperature)
{
    return temperature > setTemperature   ? Climate::Cooling
           : temperature < setTemperature ? Climate::Heating
                                          : Climate::Off;
}

QList<ClimateStretch> ClimateStretches(const QList<LogEntry> &log)
{
    QList<ClimateStretch> stretches;
    for (qsizetype k = 0; k < log.size(); ++k) {
        const Climate climate = log[k].climate;
        const double x = double(k + 1);
        if (climate == Climate::Off)
            continue;
        if (!stretches.isEmpty() && stretches.last().climate == climate && stretches.last().to == x)
            stretches.last().to = x + 1;
        else
            stretches.append({x, x + 1, climate});
    }
    return stretches;
}

} // namespace koru::measure
