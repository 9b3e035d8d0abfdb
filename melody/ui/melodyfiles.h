// "保存ファイルの読み込み" and "ファイルへ保存" of the melody window, on the
// program's file commands (model/filecommands.h).
#pragma once

#include "melody/melody.h"
#include "model/filecommands.h"
#include "model/messages.h"
#include "model/programfile.h"

#include <optional>

namespace koru::melody {

inline const QString MelodyFileFilter = QStringLiteral("KORUメロディファイル(*.koru)|*.koru");
inline const FileKind MelodyFiles{QStringLiteral("melody"), MelodyFileFilter, QStringLiteral(".koru"), MelodySuffix,
                                  SaveFailed};

// Reads a melody file into the melody. Another step's file leaves the
// melody as it was; a damaged one leaves the notes read before the fault.
FileResult ReadMelodyFile(const QString &path, Melody &melody);

// The commands: the saved or opened path, or nothing (the reason shown).
std::optional<QString> SaveMelody(const Melody &melody);
std::optional<QString> OpenMelody(Melody &melody);

} // namespace koru::melody
