#include "model/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace koru {

namespace {

QString &assetRootOverride()
{
    static QString folder;
    return folder;
}

QString &appDataOverride()
{
    static QString folder;
    return folder;
}

bool endsWithSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'));
}

QString below(const QString &folder, const QString &child)
{
    const QString sep = QString(QDir::separator());
    return endsWithSeparator(folder) ? folder + child : folder + sep + child;
}

} // namespace

QString SpecialFolderPath(int folderId)
{
    if (folderId != AppDataFolderId)
        return {};
    if (!appDataOverride().isEmpty())
        return appDataOverride();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    while (folder.size() > 1 && endsWithSeparator(folder))
        folder.chop(1);
    return QDir::toNativeSeparators(folder.left(260));
}

// The installed data folder relative to the installed programs, set by the
// build from its install directories; it is followed from wherever the
// programs are, so an unpacked package works as well as an installed one.
#ifndef KORU_DATA_FROM_PROGRAMS
#define KORU_DATA_FROM_PROGRAMS "../share/koru"
#endif

QString AssetRootFor(const QString &programFolder, const QString &dataFolder)
{
    // The picture folder is the one every window reads, so it tells a folder
    // that holds the assets from one that merely exists.
    const auto holdsAssets = [](const QString &folder) { return QDir(folder).exists(QStringLiteral("Img")); };
    if (holdsAssets(programFolder))
        return programFolder;
    const QString data = QDir::cleanPath(QDir(programFolder).absoluteFilePath(dataFolder));
    return holdsAssets(data) ? data : programFolder;
}

QString AssetRoot()
{
    if (!assetRootOverride().isEmpty())
        return assetRootOverride();
    // Not kept: callers may come before the application object (which
    // knows the program's folder) or from other threads; the look-up is two
    // folder checks next to the file read that follows it.
    return AssetRootFor(QCoreApplication::applicationDirPath(), QStringLiteral(KORU_DATA_FROM_PROGRAMS));
}

void SetAssetRoot(const QString &folder)
{
    assetRootOverride() = folder;
}

QString AssetPath(const QString &relative)
{
    QString path = relative;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir(AssetRoot()).filePath(path);
}

QString WorkFolderIn(const QString &appDataFolder)
{
    const QString sep = QString(QDir::separator());
    return below(appDataFolder, QStringLiteral("KORUv1Temp") + sep);
}

QString ReportFolderIn(const QString &appDataFolder)
{
    return WorkFolderIn(appDataFolder) + QStringLiteral("Report") + QString(QDir::separator());
}

QString HandOverFileIn(const QString &appDataFolder)
{
    const QString sep = QString(QDir::separator());
    return below(appDataFolder, QStringLiteral("MERUTemp") + sep + QStringLiteral("Product.txt"));
}

QString WorkFolder()
{
    const QString appData = SpecialFolderPath(AppDataFolderId);
    QDir().mkpath(ReportFolderIn(appData));
    return WorkFolderIn(appData);
}

QString ReportPictureFolder()
{
    const QString sep = QString(QDir::separator());
    return WorkFolder() + QStringLiteral("Report") + sep + QStringLiteral("Img") + sep;
}

void SetAppDataFolder(const QString &folder)
{
    appDataOverride() = folder;
}

} // namespace koru
