// The report's printing from the module koru-print (Qt Print Support,
// print/qtpageprinter.cpp), loaded on the first print, so that the program
// starts without Qt Print Support and its libraries.
#pragma once

#include "report/ui/pageprinter.h"

namespace koru::report {

// A factory of the module's printer; it makes none (null) when the module
// `module` cannot be loaded. Tests name a module that is not there.
PagePrinterFactory LoadedPagePrinter(const QString &module = QStringLiteral("koru-print"));

} // namespace koru::report
