#include "measure/chartfigures.h"

#include "model/textutil.h"

#include <algorithm>

namespace koru::measure {

const QString NothingMeasuredText = QStringLiteral("まだ計測していません");

double NiceStep(double span, int labels)
{
    const double raw = std::max(1.0, span / std::max(1, labels));
    double power = 1;
    while (power * 10 <= raw)
        power *= 10;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

ChartFigures ChartFiguresOf(const QList<LogEntry> &log)
{
    ChartFigures f;
    int low = 0;
    int high = 0;
    for (qsizetype k = 0; k < log.size(); ++k) {
        const double x = double(k + 1);
        const int t = IntegerOr(log[k].temperature);
        f.temperatures.append(QPointF(x, t));
        f.humidities.append(QPointF(x, IntegerOr(log[k].humidity)));
        if (log[k].setTemperature >= 0)
            f.setTemperatures.append(QPointF(x, log[k].setTemperature));
        low = k == 0 ? t : std::min(low, t);
        high = k == 0 ? t : std::max(high, t);
    }
    const int right = std::max(10, int(log.size()) + 1); // the newest point off the edge
    f.count = {0, double(right), NiceStep(right, 10)};
    if (log.isEmpty())
        f.temperature = {-10, 100, 10};
    else
        f.temperature = {double(low - 5), double(high + 5), NiceStep(high - low + 10, 8)};
    f.humidity = {0, 100, 10};
    f.climate = ClimateStretches(log);

    const auto latest = [&log](const QString &value, const QString &unit) {
        return log.isEmpty() ? NothingMeasuredText
                             : QStringLiteral("%1回目の計測: %2%3").arg(log.size()).arg(value, unit);
    };
    f.temperatureSpoken = latest(log.isEmpty() ? QString() : log.last().temperature, QStringLiteral("℃"));
    f.humiditySpoken = latest(log.isEmpty() ? QString() : log.last().humidity, QStringLiteral("%"));
    return f;
}

} // namespace koru::measure
