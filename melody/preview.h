// The preview sound: the melody's note codes as a square wave in an 8-bit
// mono RIFF WAVE file at 48 kHz.
//
// A note of frequency f and length class len lasts n periods of h samples at
// 255 and h samples at 0, with h = round(24000 / f) and
// n = round((len + 1) x (f - 1) / 2 / divisor) + 1, about half a second per
// eighth note at standard speed. A rest is 10100 samples of 0 whatever its
// length and the speed.
#pragma once

#include "melody/melody.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace koru {

inline constexpr int PreviewSampleRate = 48000;
inline constexpr int PreviewRestSamples = 10100;
inline const QString PreviewFileName = QStringLiteral("Melo.WAV");
inline const QString KeySoundFileName = QStringLiteral("Key.WAV");

// The note and rest codes of the device list (its first 16 entries dropped),
// cut to the last 10 or 20 when asked and there are more.
QStringList PreviewCodes(const Melody &melody, PreviewRange range);

// The samples of the codes; a text that is no number counts as a rest.
QByteArray PreviewSamples(const QStringList &codes, MelodySpeed speed);
// How many samples each code lasts in PreviewSamples, in order (the player
// follows the sounding note with it).
QList<qsizetype> PreviewSampleCounts(const QStringList &codes, MelodySpeed speed);
// The note (its slot in the melody) sounding ms milliseconds after the
// preview of a range began, as the sound output reports the position; -1
// before the start and once the preview has ended.
int ElementAtAddress(const Melody &melody, PreviewRange range, qint64 ms);
// RIFF header + samples.
QByteArray WaveFile(const QByteArray &samples);
// The whole file of the codes, built in one buffer.
QByteArray PreviewWave(const QStringList &codes, MelodySpeed speed);

// Writes the preview to WorkFolder() + "Melo.WAV", replacing an earlier one;
// returns its path, or an empty text when it could not be written.
QString BuildPreview(const Melody &melody, PreviewRange range);
// The same into any file (koru-tool); error, when given, receives the
// reason of a failure.
bool WritePreview(const Melody &melody, PreviewRange range, const QString &path, QString *error = nullptr);

// The short sound of one key (an eighth note at double speed, a quarter of
// a second) in WorkFolder() + "Key.WAV"; its path, or an empty text for the
// rest or when it could not be written.
QString BuildKeySound(const Key &key);

} // namespace koru
