#include "melody/preview.h"

#include "model/paths.h"
#include "model/programfile.h"
#include "model/textutil.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace koru {

namespace {

constexpr int HeaderBytes = 44;

void appendLittleEndian32(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendLittleEndian16(QByteArray &bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

} // namespace

QStringList PreviewCodes(const Melody &melody, PreviewRange range)
{
    const QStringList codes = melody.deviceList().mid(16);
    const int keep = range == PreviewRange::Last10 ? 10 : range == PreviewRange::Last20 ? 20 : 0;
    if (keep == 0 || codes.size() <= keep)
        return codes;
    return codes.mid(codes.size() - keep);
}

namespace {

struct Tone
{
    qsizetype half;    // h, or 0 for a rest
    qsizetype periods; // n
};

// A note is n periods of h samples high and h low; a rest one stretch of
// silence.
Tone toneOf(const QString &text, int divisor)
{
    const std::optional<int> code = ToInteger(text);
    const std::optional<int> f = code ? FrequencyOfCode(*code) : std::nullopt;
    if (!f)
        return {0, 0};
    const int c = *LengthOfCode(*code) + 1;
    const int h = RoundHalfEven(24000.0 / *f);
    const int n = RoundHalfEven(c * (*f - 1) / 4.0 * 2.0 / divisor) + 1;
    return {h, n};
}

qsizetype samplesOf(const Tone &tone)
{
    return tone.half == 0 ? PreviewRestSamples : qsizetype(2) * tone.half * tone.periods;
}

// Samples of the codes, after `offset` bytes left for a header. The size is
// known first, so the buffer is filled in one pass.
QByteArray buildSamples(const QStringList &codes, MelodySpeed speed, qsizetype offset)
{
    const int divisor = SpeedDivisor(speed);
    QList<Tone> tones;
    tones.reserve(codes.size());
    qsizetype total = 0;
    for (const QString &text : codes) {
        tones.append(toneOf(text, divisor));
        total += samplesOf(tones.last());
    }

    QByteArray bytes(offset + total, Qt::Uninitialized);
    char *at = bytes.data() + offset;
    for (const Tone &tone : tones) {
        if (tone.half == 0) {
            std::memset(at, 0, PreviewRestSamples);
            at += PreviewRestSamples;
            continue;
        }
        for (qsizetype i = 0; i < tone.periods; ++i) {
            std::memset(at, 0xff, tone.half);
            std::memset(at + tone.half, 0, tone.half);
            at += 2 * tone.half;
        }
    }
    return bytes;
}

// The 44-byte RIFF header of 8-bit mono PCM at 48 kHz.
QByteArray waveHeader(qsizetype sampleCount)
{
    QByteArray bytes;
    bytes.reserve(HeaderBytes);
    bytes.append("RIFF", 4);
    appendLittleEndian32(bytes, quint32(sampleCount) + 36);
    bytes.append("WAVEfmt ", 8);
    appendLittleEndian32(bytes, 16);
    appendLittleEndian16(bytes, 1);                 // PCM
    appendLittleEndian16(bytes, 1);                 // mono
    appendLittleEndian32(bytes, PreviewSampleRate); // samples per second
    appendLittleEndian32(bytes, PreviewSampleRate); // bytes per second
    appendLittleEndian16(bytes, 1);                 // block alignment
    appendLittleEndian16(bytes, 8);                 // bits per sample
    bytes.append("data", 4);
    appendLittleEndian32(bytes, quint32(sampleCount));
    return bytes;
}

} // namespace

QList<qsizetype> PreviewSampleCounts(const QStringList &codes, MelodySpeed speed)
{
    QList<qsizetype> counts;
    counts.reserve(codes.size());
    for (const QString &text : codes)
        counts.append(samplesOf(toneOf(text, SpeedDivisor(speed))));
    return counts;
}

int ElementAtAddress(const Melody &melody, PreviewRange range, qint64 ms)
{
    constexpr qint64 samplesPerMs = PreviewSampleRate / 1000;
    if (ms < 0 || ms > std::numeric_limits<qint64>::max() / samplesPerMs)
        return -1;
    const QStringList codes = PreviewCodes(melody, range);
    const qint64 sample = ms * samplesPerMs;
    // A range keeps the last codes, so the first one sounded is this slot.
    const int first = melody.count() - int(codes.size());
    qint64 end = 0;
    const QList<qsizetype> counts = PreviewSampleCounts(codes, melody.speed());
    for (qsizetype i = 0; i < counts.size(); ++i) {
        end += counts.at(i);
        if (sample < end)
            return first + int(i);
    }
    return -1;
}

QByteArray PreviewSamples(const QStringList &codes, MelodySpeed speed)
{
    return buildSamples(codes, speed, 0);
}

QByteArray WaveFile(const QByteArray &samples)
{
    return waveHeader(samples.size()) + samples;
}

QByteArray PreviewWave(const QStringList &codes, MelodySpeed speed)
{
    QByteArray wave = buildSamples(codes, speed, HeaderBytes);
    const QByteArray header = waveHeader(wave.size() - HeaderBytes);
    std::memcpy(wave.data(), header.constData(), HeaderBytes);
    return wave;
}

bool WritePreview(const Melody &melody, PreviewRange range, const QString &path, QString *error)
{
    // Like every save: a player still reading the old sound never sees a
    // half-written file, and a failed write leaves the old one.
    return WriteFileAtomically(path, PreviewWave(PreviewCodes(melody, range), melody.speed()), error);
}

QString BuildPreview(const Melody &melody, PreviewRange range)
{
    const QString path = WorkFolder() + PreviewFileName;
    return WritePreview(melody, range, path) ? path : QString();
}

QString BuildKeySound(const Key &key)
{
    const std::optional<int> semitone = SemitoneOf(key);
    if (!semitone)
        return QString();
    const QString path = WorkFolder() + KeySoundFileName;
    const QByteArray wave = PreviewWave({QString::number(NoteCode(key, 0))}, MelodySpeed::Double);
    return WriteFileAtomically(path, wave) ? path : QString();
}

} // namespace koru
