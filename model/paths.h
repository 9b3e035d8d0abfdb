// Where the program finds its assets and keeps its per-user files.
//
// Asset paths are written as the program's data names them, with "\" as the
// separator ("Img\Icon\DD\1.bmp"); AssetPath() turns them into real paths
// below the asset root: the executable's folder when the assets are there (the
// build tree), else the installed data folder found from it
// (<prefix>/bin -> <prefix>/share/koru), unless a test moved it.
#pragma once

#include <QString>

namespace koru {

// Shell folder identifier of the per-user application-data folder.
inline constexpr int AppDataFolderId = 26;

// The path of a per-user special folder, without a trailing separator.
// Only AppDataFolderId is known; it maps to the generic data location.
QString SpecialFolderPath(int folderId);

// Folder that relative asset paths are resolved against.
QString AssetRoot();
// The asset root of a program in programFolder: that folder when it holds the
// assets, else dataFolder (relative paths are taken from programFolder) when
// that holds them, else programFolder, so that a missing file is named where
// it was looked for first.
QString AssetRootFor(const QString &programFolder, const QString &dataFolder);
void SetAssetRoot(const QString &folder); // tests only; empty restores the default
QString AssetPath(const QString &relative);

// Work folder below a given application-data folder (with or without a
// trailing separator), ending in a separator. Nothing is created.
QString WorkFolderIn(const QString &appDataFolder);
QString ReportFolderIn(const QString &appDataFolder);
QString HandOverFileIn(const QString &appDataFolder); // "MERUTemp/Product.txt"

// The work folder of the current user: created with its "Report" sub-folder
// when missing; returned with a trailing separator.
QString WorkFolder();
// Where the editors leave the pictures of a report and the report composer
// finds them: "Report/Img/" in the work folder, with a trailing separator.
// Only "Report" is created.
QString ReportPictureFolder();
void SetAppDataFolder(const QString &folder); // tests only; empty restores the default

} // namespace koru
