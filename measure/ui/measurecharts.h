// The two charts of the measurement window, "温度計測" and "湿度計測": one
// line each over the measurement number, no legend. Before the first point
// the temperature runs from -10 to 100; then from the lowest logged
// temperature - 5 to the highest + 5. Humidity always 0 to 100.
// The temperature chart also shows the thermostat: the set temperature as a
// dashed line, and shaded bands where the fan (blue) or the lamp (orange) ran.
#pragma once

#include "measure/readings.h"

#include <QList>

class QChart;
class QChartView;
class QAreaSeries;
class QLineSeries;
class QValueAxis;
class QWidget;

namespace koru::measure {

class MeasureCharts
{
public:
    explicit MeasureCharts(const QFont &font);

    QChartView *temperatureView() const { return m_temperature.view; }
    QChartView *humidityView() const { return m_humidity.view; }
    QChart *temperatureChart() const;
    QChart *humidityChart() const;

    // Draws the whole log again: point k at x = k.
    void redraw(const QList<LogEntry> &log);

    QLineSeries *setTemperatureLine() const { return m_setLine; }
    const QList<QAreaSeries *> &climateBands() const { return m_bands; }

private:
    struct Chart
    {
        QChartView *view = nullptr;
        QLineSeries *series = nullptr;
        QValueAxis *x = nullptr;
        QValueAxis *y = nullptr;
    };
    static Chart make(const QFont &font, const QString &title, const QString &yTitle, const QColor &colour);

    Chart m_temperature;
    Chart m_humidity;
    QLineSeries *m_setLine = nullptr;
    QList<QAreaSeries *> m_bands;
};

} // namespace koru::measure
