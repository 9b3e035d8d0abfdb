// Modules the program loads when a window first needs them: the parts that
// bring large Qt modules and their libraries (Qt Multimedia for the melody
// window's sound, Qt Charts for the measurement window's charts, Qt Print
// Support for the report window's printing) are MODULE libraries beside
// the programs, so that `koru` starts without them. Each module gives one
// extern "C" factory; the window reaches it through an interface of its own.
#pragma once

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

namespace koru {

// Where the module `name` is looked for, first found first: beside the
// program (the build tree), then the installed module folder
// (<libdir>/koru, reached from the programs' folder).
QStringList ModulePaths(const QString &name);

// The function `symbol` of the module `name`, loaded on the first call and
// kept loaded for the rest of the program (the objects it makes live on);
// null when no candidate path gives it. The answer, found or not, is kept:
// later calls look nowhere.
QFunctionPointer ModuleFunction(const QString &name, const char *symbol);

template<typename Function>
Function ModuleFunctionAs(const QString &name, const char *symbol)
{
    return reinterpret_cast<Function>(ModuleFunction(name, symbol));
}

} // namespace koru
