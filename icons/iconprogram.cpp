// The icon row, its editing operations and its translations.
#include "icons/iconprogram.h"

#include "model/catalogue.h"
#include "model/decoder.h"

namespace koru::icons {

namespace {

const IconSlot emptySlot{};

QString ledChoice(int mode)
{
    static const QStringList modes{QStringLiteral("LED点灯"), QStringLiteral("フェードイン"),
                                   QStringLiteral("フェードアウト")};
    return modes.value(mode);
}

// Fade instructions always carry this time field, whatever a slider showed.
constexpr int FadeTime = 4;

// Red, green and blue of an LED kind's colour preset.
ColourPreset presetOf(int kind)
{
    return ColourPresetAt(kind);
}

QString params(int sub, const QList<int> &values = {})
{
    return BuildParameterString(sub, values);
}

} // namespace

bool IsLedKind(int kind)
{
    return kind >= RedLed && kind <= LedOff;
}

bool IsPlaceableKind(int kind)
{
    return (kind >= RedLed && kind <= Beep) || kind == WaitTemperature || kind == WaitHumidity;
}

bool IsPaletteKind(int kind)
{
    return IsPlaceableKind(kind) || kind == DeleteTool || kind == InsertTool;
}

SliderSpec SliderSpecOf(SliderKind slider)
{
    switch (slider) {
    case SliderKind::Duration: return {1, 31, 3, 1};
    case SliderKind::Seconds: return {1, 255, 5, 1};
    case SliderKind::Count: return {1, 255, 2, 1};
    case SliderKind::Temperature: return {0, 40, 5, 25};
    case SliderKind::Humidity: return {0, 100, 5, 50};
    case SliderKind::None: break;
    }
    return {};
}

QString SliderLabel(SliderKind slider)
{
    switch (slider) {
    case SliderKind::Duration:
    case SliderKind::Seconds: return QStringLiteral("秒数");
    case SliderKind::Count: return QStringLiteral("回数");
    case SliderKind::Temperature: return QStringLiteral("温度");
    case SliderKind::Humidity: return QStringLiteral("湿度");
    case SliderKind::None: break;
    }
    return {};
}

QString SliderValueText(SliderKind slider, int p)
{
    switch (slider) {
    case SliderKind::Duration: return QStringLiteral("%1秒").arg(QuarterSecondText(p));
    case SliderKind::Seconds: return QStringLiteral("%1秒").arg(p);
    case SliderKind::Count: return QStringLiteral("%1回").arg(p);
    case SliderKind::Temperature: return QStringLiteral("%1度").arg(p);
    case SliderKind::Humidity: return QStringLiteral("%1％").arg(p);
    case SliderKind::None: break;
    }
    return {};
}

QString SliderCaption(SliderKind slider, int p)
{
    if (slider == SliderKind::None)
        return {};
    return SliderLabel(slider) + QStringLiteral("： ") + SliderValueText(slider, p);
}

int ClampToSlider(SliderKind slider, int position)
{
    const SliderSpec spec = SliderSpecOf(slider);
    return std::clamp(position, spec.min, spec.max);
}

SliderKind SliderOf(int kind, int mode)
{
    if (IsLedKind(kind))
        return mode == 0 ? SliderKind::Duration : SliderKind::None;
    switch (kind) {
    case Backlight: return SliderKind::Duration;
    case Timer: return SliderKind::Seconds;
    case LoopStart: return SliderKind::Count;
    case WaitTemperature: return SliderKind::Temperature;
    case WaitHumidity: return SliderKind::Humidity;
    default: return SliderKind::None;
    }
}

QStringList ChoicesOf(int kind)
{
    if (kind == LedOff)
        return {QStringLiteral("LED消灯")};
    if (IsLedKind(kind))
        return {ledChoice(0), ledChoice(1), ledChoice(2)};
    if (kind == Beep)
        return {QStringLiteral("確認音１"), QStringLiteral("確認音２"), QStringLiteral("確認音３")};
    return {};
}

const IconSlot &IconProgram::slot(int n) const
{
    return valid(n) ? m_slots[size_t(n)] : emptySlot;
}

void IconProgram::giveSlider(IconSlot &slot, SliderKind slider, int position)
{
    if (slider == SliderKind::None) {
        slot.value.reset();
        slot.caption.clear();
        return;
    }
    const int p = ClampToSlider(slider, position);
    slot.value = p;
    slot.caption = SliderCaption(slider, p);
}

IconSlot IconProgram::fresh(int kind)
{
    IconSlot slot;
    slot.kind = kind;
    if (!ChoicesOf(kind).isEmpty())
        slot.mode = 0;
    const SliderKind slider = SliderOf(kind, 0);
    giveSlider(slot, slider, SliderSpecOf(slider).defaultValue);
    return slot;
}

bool IconProgram::place(int slot, int kind)
{
    if (!valid(slot) || !IsPlaceableKind(kind))
        return false;
    m_slots[size_t(slot)] = fresh(kind);
    return true;
}

bool IconProgram::deleteSlot(int slot)
{
    if (!valid(slot))
        return false;
    m_slots[size_t(slot)] = IconSlot{};
    return true;
}

bool IconProgram::insert(int slot)
{
    if (!valid(slot))
        return false;
    // The icon in the last place falls off the end of the row.
    for (int b = SlotCount - 1; b > slot; --b)
        m_slots[size_t(b)] = m_slots[size_t(b - 1)];
    m_slots[size_t(slot)] = IconSlot{};
    return true;
}

bool IconProgram::setColour(int slot, int colour)
{
    if (!valid(slot) || colour < 0 || colour > LedOff)
        return false;
    IconSlot &s = m_slots[size_t(slot)];
    if (!IsLedKind(s.kind))
        return false;
    if (colour == LedOff && s.kind != LedOff) {
        // A fade has no slider: the dark LED always has one, from the start.
        if (!s.value)
            giveSlider(s, SliderKind::Duration, SliderSpecOf(SliderKind::Duration).defaultValue);
        s.mode = 0;
    } else if (colour != LedOff && s.kind == LedOff) {
        s.mode = 0; // back to "LED点灯", the slider keeps its position
    }
    s.kind = colour;
    return true;
}

bool IconProgram::setMode(int slot, int index)
{
    if (!valid(slot))
        return false;
    IconSlot &s = m_slots[size_t(slot)];
    if (index < 0 || index >= ChoicesOf(s.kind).size())
        return false;
    s.mode = index;
    // A new choice restarts the slider (going back to "LED点灯" starts at 0.25 s).
    const SliderKind slider = SliderOf(s.kind, index);
    giveSlider(s, slider, SliderSpecOf(slider).defaultValue);
    return true;
}

bool IconProgram::setValue(int slot, int position)
{
    if (!valid(slot))
        return false;
    IconSlot &s = m_slots[size_t(slot)];
    const SliderKind slider = s.slider();
    if (slider == SliderKind::None)
        return false;
    giveSlider(s, slider, position);
    return true;
}

void IconProgram::clearAll()
{
    m_slots.fill(IconSlot{});
}

bool IconProgram::restore(int slot, int kind, std::optional<int> mode, std::optional<int> value)
{
    if (!valid(slot))
        return false;
    if (kind == Empty) {
        m_slots[size_t(slot)] = IconSlot{};
        return true;
    }
    if (!IsPlaceableKind(kind))
        return false;
    IconSlot s = fresh(kind);
    if (s.mode) {
        if (!mode || *mode < 0 || *mode >= ChoicesOf(kind).size())
            return false;
        s.mode = *mode;
    }
    const SliderKind slider = SliderOf(kind, s.mode.value_or(0));
    if (slider != SliderKind::None) {
        if (!value)
            return false;
        giveSlider(s, slider, *value);
    } else {
        giveSlider(s, slider, 0);
    }
    m_slots[size_t(slot)] = s;
    return true;
}

int IconProgram::countUsed() const
{
    return int(std::count_if(m_slots.begin(), m_slots.end(),
                             [](const IconSlot &s) { return !s.isEmpty(); }));
}

bool IconProgram::loopsAreValid() const
{
    return checkLoops().ok;
}

IconProgram::Check IconProgram::checkLoops() const
{
    int openStart = -1;
    for (int n = 0; n < SlotCount; ++n) {
        const int kind = m_slots[size_t(n)].kind;
        if (kind == LoopStart) {
            if (openStart >= 0)
                return {false, LoopMessage, n};
            openStart = n;
        } else if (kind == LoopEnd) {
            if (openStart < 0)
                return {false, LoopMessage, n};
            openStart = -1;
        }
    }
    if (openStart >= 0)
        return {false, LoopMessage, openStart};
    return {};
}

namespace {

// How an icon becomes an instruction. LED kinds are full_led with the
// choice as sub-kind and their preset's colour; the others are listed here.
// Every translation (listing, image, report, file lines) reads this table.
using Fields = IconFields;

struct KindRow
{
    int kind;
    const char *keyword;
    int subKind;
    Fields fields;
    const char16_t *report; // %1: the slider position or the choice number (from 1)
    const char16_t *caption; // as written on the picture
};

constexpr KindRow KindRows[] = {
    {WaitSound, "wait", 0, Fields::None, u"音入力があるまで停止", u"音センサ 信号待ち"},
    {WaitSwitch, "wait", 1, Fields::None, u"SWが押されるまで停止", u"SWセンサ 信号待ち"},
    {WaitBright, "wait", 2, Fields::None, u"明るくなるまで停止", u"明るくなるまで待ち"},
    {WaitDark, "wait", 3, Fields::None, u"暗くなるまで停止", u"暗くなるまで待ち"},
    {WaitTemperature, "wait", 4, Fields::Value, u"%1度になるまで停止", u"温度センサ 信号待ち"},
    {WaitHumidity, "wait", 5, Fields::Value, u"%1％になるまで停止", u"湿度センサ 信号待ち"},
    {LoopStart, "loop", 0, Fields::Value, u"繰り返し開始%1回", u"繰返 開始"},
    {LoopEnd, "loop", 1, Fields::None, u"繰り返し終了", u"繰返 終了"},
    {Backlight, "light_led", 0, Fields::BrightnessValue, u"バックライト点灯%1秒", u"バックライト"},
    {Timer, "timer", 0, Fields::Value, u"タイマー%1秒", u"タイマー"},
    {Beep, "sound", 3, Fields::ModeIsSubKind, u"確認音 %1", u"確認音"},
};

const KindRow *rowOf(int kind)
{
    for (const KindRow &row : KindRows)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

constexpr int FullBrightness = 100;

} // namespace

QString IconCaption(int kind)
{
    if (kind == LedOff)
        return QStringLiteral("LED消灯");
    if (IsLedKind(kind))
        return presetOf(kind).name + QStringLiteral("LED");
    if (kind == DeleteTool)
        return QStringLiteral("削除");
    if (kind == InsertTool)
        return QStringLiteral("挿入");
    const KindRow *row = rowOf(kind);
    return row ? QString::fromUtf16(row->caption) : QString();
}

QString SlotName(int n, const IconSlot &slot)
{
    const QString place = QStringLiteral("%1番目: ").arg(n);
    if (slot.isEmpty())
        return place + QStringLiteral("空き");
    QStringList parts{IconCaption(slot.kind)};
    // A list of one choice (LED off) says nothing the caption does not.
    const QStringList choices = ChoicesOf(slot.kind);
    if (slot.mode && choices.size() > 1)
        parts.append(choices.value(*slot.mode));
    if (slot.value)
        parts.append(SliderValueText(slot.slider(), *slot.value));
    return place + parts.join(QLatin1Char(' '));
}

IconFields FieldsOf(int kind)
{
    if (IsLedKind(kind))
        return IconFields::Colour;
    const KindRow *row = rowOf(kind);
    return row ? row->fields : IconFields::None;
}

namespace {

// The slot's instruction. The listing writes a fade's time as 0, the image
// writes FadeTime there.
std::optional<EncoderEntry> instructionOf(const IconSlot &s, bool forImage)
{
    const int value = s.value.value_or(0);
    const int mode = s.mode.value_or(0);
    if (IsLedKind(s.kind)) {
        const ColourPreset c = presetOf(s.kind);
        const int time = mode == 0 ? value : forImage ? FadeTime : 0;
        return EncoderEntry{QStringLiteral("full_led"), params(mode, {c.red, c.green, c.blue, time})};
    }
    const KindRow *row = rowOf(s.kind);
    if (!row)
        return std::nullopt;
    const QString keyword = QLatin1String(row->keyword);
    switch (row->fields) {
    case Fields::None: return EncoderEntry{keyword, params(row->subKind)};
    case Fields::Value: return EncoderEntry{keyword, params(row->subKind, {value})};
    case Fields::BrightnessValue: return EncoderEntry{keyword, params(row->subKind, {FullBrightness, value})};
    case Fields::ModeIsSubKind: return EncoderEntry{keyword, params(row->subKind + mode)};
    case Fields::Colour: break; // the LED kinds, above
    }
    return std::nullopt;
}

} // namespace

QStringList IconProgram::toRecords() const
{
    QStringList records;
    for (const IconSlot &s : m_slots)
        if (const std::optional<EncoderEntry> entry = instructionOf(s, false))
            records.append(CommandRecord(entry->keyword, entry->parameters));
    return CommandListing(records);
}

QList<EncoderEntry> IconProgram::encoderEntries() const
{
    // Start, the icons in row order, end: each runs into the next.
    QList<EncoderEntry> entries{{QStringLiteral("start"), params(0)}};
    for (const IconSlot &s : m_slots)
        if (const std::optional<EncoderEntry> entry = instructionOf(s, true))
            entries.append(*entry);
    entries.append({QStringLiteral("end"), params(0)});
    for (qsizetype i = 0; i + 1 < entries.size(); ++i)
        entries[i].next = int(i + 1);
    return entries;
}

DeviceImage IconProgram::toImage() const
{
    return EncodeProgram(encoderEntries(), ImageOrder::Text);
}

QStringList IconProgram::toReportLines() const
{
    QStringList lines;
    for (const IconSlot &s : m_slots) {
        if (s.isEmpty())
            continue;
        const int value = s.value.value_or(0);
        const int mode = s.mode.value_or(0);
        QString text;
        if (IsLedKind(s.kind)) {
            const QString name = presetOf(s.kind).name;
            switch (mode) {
            case 0: text = QStringLiteral("フルカラーLED%1点灯%2秒").arg(name, QuarterSecondText(value)); break;
            case 1: text = QStringLiteral("フルカラーLED%1フェードイン").arg(name); break;
            default: text = QStringLiteral("フルカラーLED%1フェードアウト").arg(name); break;
            }
        } else if (const KindRow *row = rowOf(s.kind)) {
            text = QString::fromUtf16(row->report);
            if (row->fields == Fields::ModeIsSubKind)
                text = text.arg(mode + 1);
            else if (SliderOf(s.kind, mode) == SliderKind::Duration)
                text = text.arg(QuarterSecondText(value));
            else if (row->fields != Fields::None)
                text = text.arg(value);
        }
        lines.append(QStringLiteral("%1,%2").arg(s.kind).arg(text));
    }
    return lines;
}

Sendable SendableImage(const IconProgram &program)
{
    if (const IconProgram::Check check = program.checkLoops(); !check.ok)
        return {{}, check.message, check.slot};
    DeviceImage image = program.toImage();
    // The kit holds at most MaxImageBytes: refuse before anything is sent
    // (24 fades take 124).
    if (image.size() > MaxImageBytes)
        return {{}, ImageTooLargeMessage, -1};
    return {std::move(image), {}, -1};
}

int ElementAtAddress(const IconProgram &program, int address)
{
    if (address < 2)
        return -1;
    // The row's instructions follow one another from address 2, one per
    // occupied slot; walking the decoded image keeps the addresses those
    // of the bytes actually sent.
    const DeviceImage image = program.toImage();
    int at = 2;
    for (int n = 0; n < SlotCount && at <= address; ++n) {
        if (program.slot(n).isEmpty())
            continue;
        const DecodedInstruction d = DecodeInstruction(image, at);
        if (!d.complete() || d.next <= at)
            return -1;
        if (at == address)
            return n;
        at = d.next;
    }
    return -1;
}

QString IconAtAddressName(const IconProgram &program, int address)
{
    const int slot = ElementAtAddress(program, address);
    return slot < 0 ? QString() : SlotName(slot, program.slot(slot));
}

} // namespace koru::icons
