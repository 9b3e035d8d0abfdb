// What the measurement window's two charts show, worked out from a log
// without drawing anything: the points, the axes' ranges and label steps,
// the set temperature's line, the stretches the fan or the lamp ran and what
// a screen reader says of each chart. Whatever draws the charts (Qt Charts in
// the module koru-charts) only puts these figures on the screen.
#pragma once

#include "measure/readings.h"

#include <QList>
#include <QPointF>
#include <QString>

namespace koru::measure {

struct ChartAxis
{
    double low = 0;
    double high = 0;
    double step = 1; // between labels, from `low`
    bool operator==(const ChartAxis &) const = default;
};

struct ChartFigures
{
    // Point k (from 1) is the k-th measurement.
    QList<QPointF> temperatures;
    QList<QPointF> humidities;
    QList<QPointF> setTemperatures; // entries whose set temperature is known
    ChartAxis count;                // the x axis of both charts
    ChartAxis temperature;
    ChartAxis humidity;
    QList<ClimateStretch> climate;  // bands over the whole temperature axis
    QString temperatureSpoken;      // the newest point, for a screen reader
    QString humiditySpoken;
};

// Before the first point the temperature runs from -10 to 100; then from the
// lowest logged temperature - 5 to the highest + 5. Humidity always 0 to
// 100. The count axis leaves the newest point off its right edge and shows
// at least 0 to 10. Readings that are no number count as 0.
ChartFigures ChartFiguresOf(const QList<LogEntry> &log);

// A label step that keeps an axis readable: 1, 2, 5 or 10 times a power of
// ten, at least 1, giving about `labels` labels over `span`.
double NiceStep(double span, int labels);

extern const QString NothingMeasuredText;

} // namespace koru::measure
