#include "melody/melodyspoken.h"

namespace koru {

QString NoteSpokenName(const Melody &melody, int slot)
{
    const S_Info &note = melody.note(slot);
    const std::optional<Key> key = KeyOf(note.key, note.black);
    if (note.isEmpty() || !key)
        return {};
    const std::optional<int> semitone = SemitoneOf(*key);
    QString text = QStringLiteral("%1番目: ").arg(slot + 1)
                   + (semitone ? PitchName(*semitone) : QStringLiteral("休符")) + QLatin1Char(' ')
                   + LengthCaption(note.len);
    if (melody.ledLink()) {
        const int colour = melody.ledColour(LedSlotOf(*key));
        if (colour >= 0 && colour < LedColourCount)
            text += QStringLiteral(" LED ") + LedColours()[size_t(colour)].caption;
    }
    return text;
}

QString KeySpokenName(const Key &key)
{
    const std::optional<int> semitone = SemitoneOf(key);
    if (!semitone)
        return QStringLiteral("休符");
    static const QStringList octaves{QStringLiteral("低い"), QString(), QStringLiteral("高い"),
                                     QStringLiteral("いちばん高い")};
    return octaves.value(*semitone / 12) + PitchName(*semitone);
}

QString StaffSpokenSummary(const Melody &melody)
{
    return QStringLiteral("音符 %1 個、LEDリンク %2")
        .arg(melody.count())
        .arg(melody.ledLink() ? QStringLiteral("する") : QStringLiteral("しない"));
}

} // namespace koru
