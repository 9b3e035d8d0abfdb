#include "measure/ui/loadedmeasurecharts.h"

#include "widgets/loadedmodule.h"

namespace koru::measure {

MeasureChartsFactory LoadedMeasureCharts(const QString &module)
{
    return [module](const QFont &font) -> std::unique_ptr<MeasureCharts> {
        const auto make = ModuleFunctionAs<NewMeasureChartsFunction>(module, NewMeasureChartsSymbol);
        if (!make)
            return nullptr;
        return std::unique_ptr<MeasureCharts>(make(&font));
    };
}

} // namespace koru::measure
