// The measurement window's charts drawn with Qt Charts: one line each over
// the measurement number, no legend; the temperature chart also shows the
// thermostat, the set temperature as a dashed line and shaded bands where
// the fan (blue) or the lamp (orange) ran. Built into the module
// koru-charts, which the program loads with the window (../measurecharts.h);
// tests link it directly and look at the charts. Empty until the first
// draw().
#pragma once

#include "measure/ui/measurecharts.h"

#include <QList>

class QChart;
class QChartView;
class QAreaSeries;
class QColor;
class QLineSeries;
class QValueAxis;

namespace koru::measure {

class QtMeasureCharts final : public MeasureCharts
{
public:
    explicit QtMeasureCharts(const QFont &font);

    QWidget *temperatureView() const override;
    QWidget *humidityView() const override;
    void draw(const ChartFigures &figures) override;

    QChart *temperatureChart() const;
    QChart *humidityChart() const;
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
