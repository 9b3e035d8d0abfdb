#include "app/handover.h"

#include "model/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace koru::shell {

QString MeruProgramPath()
{
#ifdef Q_OS_WIN
    return AssetPath(QStringLiteral("MERU\\MERU.exe"));
#else
    return AssetPath(QStringLiteral("MERU\\MERU"));
#endif
}

bool WriteHandOverFile(const QString &appDataFolder)
{
    const QString path = HandOverFileIn(appDataFolder);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("2\r\n");
    return file.commit();
}

} // namespace koru::shell
