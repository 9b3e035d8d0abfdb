// The STEP1 program: a row of 24 icon places read left to right. Each
// occupied place is one instruction; some carry a choice (mode) and/or a
// slider position (value). This holds the row, the editing operations the
// window's gestures call, the loop check and the three translations (the
// instruction listing, the kit's byte image and the report lines).
//
// Pure logic: the window mirrors the slots into its controls.
#pragma once

#include "model/encoder.h"
#include "model/sendable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace koru::icons {

inline constexpr int SlotCount = 24;

// Icon kinds, numbered as the palette pictures and the slot picture files.
enum IconKind : int {
    Empty = -1,
    RedLed = 0,
    GreenLed = 1,
    BlueLed = 2,
    YellowLed = 3,
    PurpleLed = 4,
    LightBlueLed = 5,
    WhiteLed = 6,
    LedOff = 7,
    WaitSound = 8,
    WaitSwitch = 9,
    WaitBright = 10,
    WaitDark = 11,
    LoopStart = 12,
    LoopEnd = 13,
    Backlight = 14,
    Timer = 15,
    Beep = 16,
    DeleteTool = 17,
    WaitTemperature = 18,
    WaitHumidity = 19,
    InsertTool = 22,
};

// Kinds that can stand in a slot (not the two tools).
bool IsPlaceableKind(int kind);
// Kinds the palette offers: the placeable ones and the two tools.
bool IsPaletteKind(int kind);
bool IsLedKind(int kind); // 0-7

// What a kind's instruction carries besides its keyword and sub-kind, from
// the one table of kinds (iconprogram.cpp) that the listing, the image, the
// report and the file lines read.
enum class IconFields {
    None,            // nothing: "wait for the switch"
    Value,           // the slider position
    BrightnessValue, // full brightness, then the slider position (backlight)
    ModeIsSubKind,   // the choice is added to the sub-kind (beep)
    Colour,          // the LED kinds: preset colour, choice as sub-kind, time
};
// None for kinds that cannot stand in a slot.
IconFields FieldsOf(int kind);

enum class SliderKind { None, Duration, Seconds, Count, Temperature, Humidity };

struct SliderSpec
{
    int min = 0;
    int max = 0;
    int pageStep = 1;
    int defaultValue = 0;
};

SliderSpec SliderSpecOf(SliderKind slider);
// The caption above a slider at position p ("秒数： 0.25秒", "回数： 3回" ...):
// the slider's label ("秒数") and the position's text ("0.25秒").
QString SliderCaption(SliderKind slider, int position);
QString SliderLabel(SliderKind slider);
QString SliderValueText(SliderKind slider, int position);
// Position clamped to the slider's range.
int ClampToSlider(SliderKind slider, int position);

// The slider a kind has in a mode (None when it has none).
SliderKind SliderOf(int kind, int mode);
// The choice list of a kind; empty when it has none.
QStringList ChoicesOf(int kind);

struct IconSlot
{
    int kind = Empty;
    std::optional<int> mode;  // index into ChoicesOf(kind)
    std::optional<int> value; // slider position
    QString caption;          // caption above the slider; set exactly when value is

    bool isEmpty() const { return kind == Empty; }
    SliderKind slider() const { return value ? SliderOf(kind, mode.value_or(0)) : SliderKind::None; }
    bool operator==(const IconSlot &other) const = default;
};

// What a palette picture or a placed icon is called, as its picture reads
// ("タイマー", "赤色LED", "削除"); empty for kinds that do not exist.
QString IconCaption(int kind);
// A slot as a pupil who cannot see the row hears it: its number as the card
// shows it, the icon and its parameters ("3番目: タイマー 2秒", "0番目: 空き").
QString SlotName(int n, const IconSlot &slot);

class IconProgram
{
public:
    IconProgram() = default;

    const IconSlot &slot(int n) const;
    const std::array<IconSlot, SlotCount> &allSlots() const { return m_slots; }

    // Editing. Each answers false and changes nothing when the slot number
    // or the argument is not one the row accepts.
    bool place(int slot, int kind);
    bool deleteSlot(int slot);
    bool insert(int slot);
    bool setColour(int slot, int colour);
    bool setMode(int slot, int index);
    bool setValue(int slot, int position); // clamped to the slider's range
    void clearAll();

    // A slot exactly as given, checked: used when a file is read. False for
    // kinds, modes or values the row does not hold (values are clamped).
    bool restore(int slot, int kind, std::optional<int> mode, std::optional<int> value);

    int countUsed() const;

    // The loop check: loops are not nested and every end closes a start
    // before it. checkLoops() also gives the message for the pupil and the
    // slot to blame: a start inside a loop, an end without a start, or the
    // start a row leaves open.
    bool loopsAreValid() const;
    struct Check
    {
        bool ok = true;
        QString message; // to show when not ok
        int slot = -1;   // the slot to blame when not ok
    };
    Check checkLoops() const;

    // The instruction listing: "START", one record per occupied slot, "END".
    QStringList toRecords() const;
    // The instructions as the shared encoder takes them: start, one per
    // occupied slot, end, each running into the next.
    QList<EncoderEntry> encoderEntries() const;
    // The kit's byte image of the row (without the transfer frame): 230 2,
    // each icon with the address of the next right after it, 231 0.
    DeviceImage toImage() const;
    // One line per occupied slot for the pupil's report.
    QStringList toReportLines() const;

private:
    bool valid(int slot) const { return slot >= 0 && slot < SlotCount; }
    static IconSlot fresh(int kind);
    static void giveSlider(IconSlot &slot, SliderKind slider, int position);

    std::array<IconSlot, SlotCount> m_slots{};
};

// What F6 sends and the preview runs: the row's image, or the refusal of a
// row that fails the loop check (blaming its slot) or needs more than
// MaxImageBytes. An empty row is sendable: the kit then holds start and end.
Sendable SendableImage(const IconProgram &program);

// The slot whose instruction starts at an address of the row's image, -1
// for any other address.
int ElementAtAddress(const IconProgram &program, int address);
// The icon at an image address as SlotName says it; empty for an address
// where no icon starts (the start and end the row adds).
QString IconAtAddressName(const IconProgram &program, int address);

// The message of a failed loop check.
inline const QString LoopMessage =
    QStringLiteral("繰り返し命令の位置関係が間違っております。\r\nプログラムを確認して下さい。");

// A row of many fades can need more bytes than the kit holds; such a row is
// refused before anything is sent.
inline const QString ImageTooLargeMessage =
    QStringLiteral("プログラムが大きすぎて本体に転送できません。\r\nアイコンの数を減らして下さい。");

} // namespace koru::icons
