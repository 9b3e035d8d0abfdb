#include "app/shellservices.h"

#include <QDesktopServices>
#include <QProcess>

namespace koru::shell {

ShellServices ShellServices::desktop()
{
    ShellServices services;
    services.openPage = [](const QUrl &page) { return QDesktopServices::openUrl(page); };
    services.startProgram = [](const QString &program, const QString &workingFolder) {
        return QProcess::startDetached(program, {}, workingFolder);
    };
    return services;
}

} // namespace koru::shell
