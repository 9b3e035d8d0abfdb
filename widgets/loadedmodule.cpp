#include "widgets/loadedmodule.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibrary>

#ifndef KORU_MODULES_FROM_PROGRAMS
#define KORU_MODULES_FROM_PROGRAMS "../lib/koru"
#endif

namespace koru {

QStringList ModulePaths(const QString &name)
{
    const QString programs = QCoreApplication::applicationDirPath();
    return {programs + QLatin1Char('/') + name,
            programs + QStringLiteral("/" KORU_MODULES_FROM_PROGRAMS "/") + name};
}

QFunctionPointer ModuleFunction(const QString &name, const char *symbol)
{
    // Modules are loaded from the user-interface thread only.
    static QHash<QString, QFunctionPointer> found;
    const QString key = name + QLatin1Char(':') + QLatin1String(symbol);
    if (const auto it = found.constFind(key); it != found.cend())
        return *it;
    QFunctionPointer function = nullptr;
    for (const QString &path : ModulePaths(name)) {
        // A QLibrary going out of scope leaves its library loaded; nothing
        // here ever unloads one.
        QLibrary module(path);
        function = module.resolve(symbol);
        if (function)
            break;
    }
    found.insert(key, function);
    return function;
}

} // namespace koru
