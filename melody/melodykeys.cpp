#include "melody/melodykeys.h"

#include <algorithm>

namespace koru {

namespace {

constexpr char WhiteRow[] = "asdfghjk";
// The black key right of each white key of the row; ' ' where there is none.
constexpr char BlackRow[] = "we tyu";

} // namespace

std::optional<Key> PianoKeyOf(QChar letter, int octave)
{
    if (octave < 0 || octave >= PianoOctaves)
        return std::nullopt;
    const char c = letter.toLower().toLatin1();
    if (c == ' ')
        return KeyOf(QString::number(RestKey), 0);
    const int base = 7 * octave;
    for (int i = 0; WhiteRow[i]; ++i) {
        if (WhiteRow[i] == c)
            return KeyOf(QString::number(base + i), 0);
    }
    for (int i = 0; BlackRow[i]; ++i) {
        if (BlackRow[i] == c && c != ' ')
            return KeyOf(QString::number(base + i), 1);
    }
    return std::nullopt;
}

int OctaveStepOf(QChar letter)
{
    const QChar c = letter.toLower();
    return c == QLatin1Char('z') ? -1 : c == QLatin1Char('x') ? 1 : 0;
}

QString PianoKeysHint()
{
    return QStringLiteral("キーボードで入力: A S D F G H J K = ド レ ミ ファ ソ ラ シ ド、"
                          "W E T Y U = ド# レ# ファ# ソ# ラ#、スペース = 休符、Z X = オクターブ下・上\n"
                          "← → で入力位置、Delete・BackSpace で削除");
}

int MovePoint(const Melody &melody, int point, int step)
{
    return std::clamp(point + step, 0, melody.count());
}

MelodyEdit InsertAtPoint(Melody &melody, int &point, const Key &key)
{
    point = std::clamp(point, 0, melody.count());
    const MelodyEdit result = point == melody.count()
                                  ? melody.addNote(key.text(), key.black ? 1 : 0)
                                  : melody.insertNote(point, key.text(), key.black ? 1 : 0, melody.selectedLength());
    if (result == MelodyEdit::Done)
        ++point;
    return result;
}

MelodyEdit DeleteAfterPoint(Melody &melody, int point)
{
    if (point < 0 || point >= melody.count())
        return MelodyEdit::Refused;
    return melody.deleteNote(point);
}

MelodyEdit DeleteBeforePoint(Melody &melody, int &point)
{
    if (point <= 0 || point > melody.count())
        return MelodyEdit::Refused;
    const MelodyEdit result = melody.deleteNote(point - 1);
    if (result == MelodyEdit::Done)
        --point;
    return result;
}

} // namespace koru
