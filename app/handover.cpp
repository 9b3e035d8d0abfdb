#include "app/handover.h"

#include "model/paths.h"
#include "model/programfile.h"

#include <QDir>
#include <QFileInfo>

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
    return WriteFileAtomically(path, QByteArrayLiteral("2\r\n"));
}

} // namespace koru::shell
