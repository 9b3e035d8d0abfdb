// What the launcher asks of the desktop: open a page in the default viewer,
// start another program. Tests put fakes in their place.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace koru::shell {

struct ShellServices
{
    // Opens a local file with the desktop's default viewer; false when the
    // desktop could not.
    std::function<bool(const QUrl &page)> openPage;
    // Starts a program detached, in the given working folder; false on failure.
    std::function<bool(const QString &program, const QString &workingFolder)> startProgram;

    static ShellServices desktop();
};

} // namespace koru::shell
