#include "melody/notes.h"

#include "model/textutil.h"

namespace koru {

std::optional<Key> KeyOf(const QString &keyText, int blackFlag)
{
    const std::optional<int> number = ToInteger(keyText);
    if (!number || (blackFlag != 0 && blackFlag != 1))
        return std::nullopt;
    const bool black = blackFlag == 1;
    if (*number == RestKey)
        return black ? std::nullopt : std::optional<Key>(Key{RestKey, false});
    if (*number < 0 || *number > HighestWhiteKey)
        return std::nullopt;
    if (black && !HasBlackKey(*number))
        return std::nullopt;
    return Key{*number, black};
}

std::optional<Key> KeyOfControlName(const QString &controlName)
{
    if (controlName.size() < 3)
        return std::nullopt;
    const int black = controlName.contains(QLatin1String("pw")) ? 0 : 1;
    return KeyOf(controlName.mid(2), black);
}

std::optional<int> SemitoneOf(const Key &key)
{
    if (key.isRest())
        return std::nullopt;
    return SemitoneOfKey(key.number, key.black);
}

int LedSlotOf(const Key &key)
{
    const std::optional<int> s = SemitoneOf(key);
    return s ? PitchClassOf(*s) : RestLedSlot;
}

bool IsBlackLedSlot(int slot)
{
    return slot == 1 || slot == 3 || slot == 6 || slot == 8 || slot == 10;
}

int StaffOffsetOf(const Key &key)
{
    return key.isRest() ? 0 : 40 - 4 * key.number;
}

bool IsLengthClass(int len)
{
    return len >= 0 && len < LengthClassCount;
}

int LengthWidth(int len)
{
    return 30 * (len + 1);
}

QString LengthCaption(int len)
{
    static const QStringList captions{QStringLiteral("八分音符"), QStringLiteral("四分音符"),
                                      QStringLiteral("付点四分音符"), QStringLiteral("二分音符")};
    return IsLengthClass(len) ? captions[len] : QString();
}

int NoteCode(const Key &key, int len)
{
    if (key.isRest())
        return RestCodeOf(len);
    return NoteCodeOf(SemitoneOf(key).value_or(0), len);
}

const std::array<LedColour, LedColourCount> &LedColours()
{
    static const std::array<LedColour, LedColourCount> colours{{
        {QStringLiteral("赤"), 162, 255, 0, 0},
        {QStringLiteral("緑"), 163, 0, 128, 0},
        {QStringLiteral("青"), 164, 0, 0, 255},
        {QStringLiteral("黄色"), 165, 255, 255, 0},
        {QStringLiteral("紫"), 166, 128, 0, 128},
        {QStringLiteral("水色"), 167, 0, 255, 255},
        {QStringLiteral("白"), 168, 255, 255, 255},
        {QStringLiteral("消灯"), 169, 192, 192, 192},
    }};
    return colours;
}

QStringList LedColourCaptions()
{
    QStringList captions;
    for (const LedColour &c : LedColours())
        captions << c.caption;
    return captions;
}

QString LedPictureFile(int ledSlot, int colour)
{
    return QStringLiteral("Img\\Icon\\Melo\\%1\\%2.jpg")
        .arg(IsBlackLedSlot(ledSlot) ? QStringLiteral("Black") : QStringLiteral("White"))
        .arg(colour);
}

int SpeedDeviceCode(MelodySpeed speed)
{
    switch (speed) {
    case MelodySpeed::Standard: return 3;
    case MelodySpeed::Double: return 2;
    case MelodySpeed::Quadruple: return 1;
    }
    return 3;
}

int SpeedFileValue(MelodySpeed speed)
{
    return static_cast<int>(speed);
}

int SpeedDivisor(MelodySpeed speed)
{
    switch (speed) {
    case MelodySpeed::Standard: return 1;
    case MelodySpeed::Double: return 2;
    case MelodySpeed::Quadruple: return 4;
    }
    return 1;
}

std::optional<MelodySpeed> SpeedOfFileValue(int value)
{
    if (value < 1 || value > 3)
        return std::nullopt;
    return static_cast<MelodySpeed>(value);
}

QString SpeedCaption(MelodySpeed speed)
{
    switch (speed) {
    case MelodySpeed::Standard: return QStringLiteral("標準");
    case MelodySpeed::Double: return QStringLiteral("2倍速");
    case MelodySpeed::Quadruple: return QStringLiteral("4倍速");
    }
    return QString();
}

} // namespace koru
