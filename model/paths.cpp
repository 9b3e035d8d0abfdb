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

QString AssetRoot()
{
    if (!assetRootOverride().isEmpty())
        return assetRootOverride();
    return QCoreApplication::applicationDirPath();
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
