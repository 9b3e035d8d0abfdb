#include "report/ui/loadedpageprinter.h"

#include "widgets/loadedmodule.h"

namespace koru::report {

PagePrinterFactory LoadedPagePrinter(const QString &module)
{
    return [module]() -> std::unique_ptr<PagePrinter> {
        const auto make = ModuleFunctionAs<NewPagePrinterFunction>(module, NewPagePrinterSymbol);
        if (!make)
            return nullptr;
        return std::unique_ptr<PagePrinter>(make());
    };
}

} // namespace koru::report
