// The measurement window's charts from the module koru-charts (Qt Charts,
// charts/qtmeasurecharts.cpp), loaded when the first window is made, so that
// the program starts without Qt Charts and its libraries.
#pragma once

#include "measure/ui/measurecharts.h"

#include <QString>

namespace koru::measure {

// A factory of the module's charts; it makes none (null) when the module
// `module` cannot be loaded. Tests name a module that is not there.
MeasureChartsFactory LoadedMeasureCharts(const QString &module = QStringLiteral("koru-charts"));

} // namespace koru::measure
