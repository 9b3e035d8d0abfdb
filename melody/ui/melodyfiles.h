// "保存ファイルの読み込み" and "ファイルへ保存" of the melody window: the
// dialogs and messages around the melody file functions. Kept apart from
// the window so that the program's common file commands can take their
// place in one spot.
#pragma once

#include "melody/melody.h"

#include <optional>

namespace koru::melody {

inline const QString MelodyFileFilter = QStringLiteral("KORUメロディファイル(*.koru)|*.koru");

// Asks for a name, appends "(メロディ).koru" when the extension is missing,
// asks before replacing a file, writes atomically. The saved path, or
// nothing when cancelled or failed (the failure shown).
std::optional<QString> SaveMelody(const Melody &melody);

// Asks for a file, refuses other extensions and other steps' files (the
// melody stays), clears the melody and loads. The opened path when the
// whole file was read; nothing when cancelled, refused or failed (the
// message shown; a damaged file leaves the notes read before the fault).
std::optional<QString> OpenMelody(Melody &melody);

} // namespace koru::melody
