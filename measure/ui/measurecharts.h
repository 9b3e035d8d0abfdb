// The measurement window's two charts, "温度計測" and "湿度計測", behind an
// interface: the window lays out two views and hands them the figures of a
// log (measure/chartfigures.h), the live one or a past one. The charts of
// Qt Charts are in the module koru-charts (charts/qtmeasurecharts.h), which
// the window loads when it is first made (loadedmeasurecharts.h), so that
// the program starts without Qt Charts; tests hand in those charts or a
// stand-in directly.
#pragma once

#include <QFont>

#include <functional>
#include <memory>

class QWidget;

namespace koru::measure {

struct ChartFigures;

class MeasureCharts
{
public:
    virtual ~MeasureCharts() = default;

    // The two views, made with the charts; the window puts them in its
    // layout and so owns them (they go with the window, after this object).
    virtual QWidget *temperatureView() const = 0;
    virtual QWidget *humidityView() const = 0;

    // Draws a whole log's figures, replacing what was drawn.
    virtual void draw(const ChartFigures &figures) = 0;
};

// Makes the charts in the window's font; null when there are none to make
// (the window then says so where the charts would be).
using MeasureChartsFactory = std::function<std::unique_ptr<MeasureCharts>(const QFont &font)>;

// The module's factory: a new MeasureCharts in the font, owned by the caller.
using NewMeasureChartsFunction = MeasureCharts *(*)(const QFont *font);
inline constexpr char NewMeasureChartsSymbol[] = "KoruNewMeasureCharts";

} // namespace koru::measure
