// Handing over to the sibling panel-design program MERU: it reads which
// product started it from a small file in the application-data folder.
#pragma once

#include <QString>

namespace koru::shell {

// "MERU/MERU" beside the executable ("MERU\MERU.exe" on Windows).
QString MeruProgramPath();

// Writes the hand-over file (the single line "2") below the application-data
// folder, creating its folder; replaces an earlier file. False on failure.
bool WriteHandOverFile(const QString &appDataFolder);

inline const QString MeruMissing = QStringLiteral("MERUが見つかりません。");
inline const QString MeruNotStarted = QStringLiteral("MERUを起動できませんでした。");

} // namespace koru::shell
