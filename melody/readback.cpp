#include "melody/readback.h"

#include "melody/notes.h"
#include "model/decoder.h"
#include "model/textutil.h"

#include <algorithm>

namespace koru {

namespace {

constexpr int FirstColourLine = 128;
constexpr int LedLinkLine = 141;
constexpr int SpeedLine = 142;
constexpr int FirstCodeLine = 144;
constexpr int LastCodeLine = 254;
constexpr int Unwritten = 0xFF;
constexpr int DecodedLineCount = 177;

MelodyReadBack failed(const QString &message)
{
    return MelodyReadBack{QStringList(), message};
}

} // namespace

MelodyReadBack DecodeMelodyReadBack(const QStringList &replyLines)
{
    // Lines 128 to 142 hold the colours, the link and the speed.
    if (replyLines.size() <= SpeedLine)
        return failed(MelodyReadBackFailedMessage);

    // Blanks removed, then hexadecimal; an empty line stays empty.
    auto valueAt = [&](int line) -> std::optional<int> {
        const QString text = StripSpaces(replyLines.value(line));
        if (text.isEmpty())
            return -1;
        return HexToInt(text);
    };

    QStringList lines{QStringLiteral("SOUND")};

    std::array<int, 15> head{};
    for (int line = FirstColourLine; line <= SpeedLine; ++line) {
        const std::optional<int> value = valueAt(line);
        if (!value)
            return failed(ConversionFailedMessage);
        head[line - FirstColourLine] = *value;
    }
    // A kit that never received a melody still holds FF where its first
    // colour code belongs; any other value outside the colour codes is no
    // melody of ours either.
    if (head[0] == Unwritten) {
        MelodyReadBack none = failed(NoMelodyInKitMessage);
        none.noMelody = true;
        return none;
    }
    const int firstCode = LedColours().front().deviceCode;
    for (int i = 0; i < LedSlotCount; ++i) {
        if (head[i] < firstCode || head[i] >= firstCode + LedColourCount)
            return failed(MelodyReadBackFailedMessage);
    }

    lines << (head[LedLinkLine - FirstColourLine] == LedLinkOnCode ? QStringLiteral("ON")
                                                                     : QStringLiteral("OFF"));
    for (int i = 0; i < LedSlotCount; ++i)
        lines << QString::number(head[i] - firstCode);
    const int speed = head[SpeedLine - FirstColourLine];
    lines << QStringLiteral("SPEED")
          << QString::number(speed == 3 ? 1 : speed == 2 ? 2 : 3)
          << QStringLiteral("DATA");

    int x = FirstNoteX;
    int notes = 0;
    bool ended = false;
    for (int line = FirstCodeLine; line <= LastCodeLine && line < replyLines.size() && notes < MelodySlotCount;
         ++line) {
        const std::optional<int> value = valueAt(line);
        if (!value)
            return failed(ConversionFailedMessage);
        const int v = *value;
        if (v < 0 || v == Unwritten)
            continue;
        if (v == MelodyEndCode) {
            ended = true;
            break;
        }
        // Codes above the rests (152 and up) were never sent by this program
        // but still read as a key and a length (v div 37); lengths beyond the
        // half note take the half note, whose width they have on the tape.
        int len = 0;
        if (IsRestCode(v)) {
            len = *LengthOfCode(v);
            lines << QStringLiteral("148,%1,0,%2,0").arg(len).arg(x);
        } else {
            const CodeParts parts = SplitCode(v);
            const KeyPlace place = *KeyPlaceOfSemitone(parts.semitone);
            const Key key{place.whiteKey, place.black};
            len = std::min(parts.len, LengthClassCount - 1);
            lines << QStringLiteral("%1,%2,%3,%4,%5")
                         .arg(key.number)
                         .arg(len)
                         .arg(key.black ? 1 : 0)
                         .arg(x)
                         .arg(StaffOffsetOf(key));
        }
        x += LengthWidth(len);
        ++notes;
    }
    // Without the end code the memory must still be whole (every line up to
    // the last address): a reply that stops early was cut short, and half a
    // melody is not shown as if it were the kit's. A full memory without the
    // end code is read to its last line; a 111th code finds no slot.
    if (!ended && notes < MelodySlotCount && replyLines.size() <= LastCodeLine)
        return failed(MelodyReadBackFailedMessage);

    while (lines.size() < DecodedLineCount)
        lines << QString();
    return MelodyReadBack{lines, QString()};
}

} // namespace koru
