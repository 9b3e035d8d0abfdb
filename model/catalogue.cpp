// The instruction catalogue. The two tables below are the single definition
// of the instruction set; every function of catalogue.h, encoder.h and
// decoder.h reads them.
#include "model/catalogue.h"

#include "model/opcodes.h"
#include "model/textutil.h"
#include "model/varianttable.h"

namespace koru {
namespace detail {

namespace {

using PB = ParameterBytes;
namespace op = opcode;
using U = ParameterUnit;

const ParameterRange Colour{0, 255, 0, U::ColourValue};
const ParameterRange LightTime{1, 31, 1, U::QuarterSecond};
const ParameterRange FadeTime{11, 11, 11, U::QuarterSecond}; // stored, not set by the user
const ParameterRange Brightness{1, 100, 100, U::Percent};
const ParameterRange Seconds{1, 255, 1, U::Second};
const ParameterRange Temperature{0, 40, 25, U::Celsius};
const ParameterRange Humidity{0, 100, 50, U::Percent};
const ParameterRange Repetitions{1, 255, 1, U::Repetition};
const ParameterRange SubroutineNo{1, 4, 1, U::Subroutine}; // routines 0-4: four subroutines

QString u(const char16_t *text)
{
    return QString::fromUtf16(text);
}

// keyword, sub, OpCode, parameter bytes, address bytes, offered, caption, viewer, parameters
Variant V(const char *keyword, int sub, int opCode, PB bytes, int addressBytes, const char16_t *offered,
          const char16_t *caption, const char16_t *viewer, QList<ParameterRange> parameters = {})
{
    return Variant{QLatin1String(keyword), sub, true, opCode, bytes, addressBytes, u(offered), u(caption),
                   u(viewer), std::move(parameters)};
}

// A variant the sent-data viewer knows but no editor produces.
Variant ViewerOnly(const char *keyword, int sub, const char16_t *viewer, QList<ParameterRange> parameters = {})
{
    return Variant{QLatin1String(keyword), sub, false, -1, PB::None, 0, {}, {}, u(viewer), std::move(parameters)};
}

QList<Variant> BuildVariants()
{
    const QList<ParameterRange> led{Colour, Colour, Colour, LightTime};
    const QList<ParameterRange> fade{Colour, Colour, Colour, FadeTime};
    return {
        V("start", 0, op::Start, PB::None, 1, u"", u"", u""),
        V("end", 0, op::End, PB::None, 0, u"", u"", u""),

        V("full_led", 0, -1, PB::ColourWord, 1, u"フルカラーLED点灯", u"LED点灯 {t}秒", u"フルカラーLED点灯", led),
        V("full_led", 1, op::FadeIn, PB::ColourWord, 1, u"フェードイン", u"フェードイン", u"フェードイン", fade),
        V("full_led", 2, op::FadeOut, PB::ColourWord, 1, u"フェードアウト", u"フェードアウト", u"フェードアウト", fade),

        V("light_led", 0, op::Backlight, PB::P1P2, 1, u"時計バックライト点灯", u"バックライト点灯 {p1}% {t}秒",
          u"バックライト点灯", {Brightness, LightTime}),
        V("light_led", 1, op::BacklightLinkOn, PB::None, 1, u"時計バックライトリンク開始", u"ﾊﾞｯｸﾗｲﾄﾘﾝｸ開始",
          u"バックライトリンク開始"),
        V("light_led", 2, op::BacklightLinkOff, PB::None, 1, u"時計バックライトリンク終了", u"ﾊﾞｯｸﾗｲﾄﾘﾝｸ終了",
          u"バックライトリンク終了"),

        V("sound", 0, op::RadioOn, PB::None, 1, u"AM/FM　再生", u"AM/FM 再生", u"AM/FM 再生"),
        V("sound", 1, op::RadioOff, PB::None, 1, u"AM/FM　停止", u"AM/FM 停止", u"AM/FM 停止"),
        V("sound", 2, op::Melody, PB::None, 1, u"音プログラムデータ再生", u"音プログラム再生", u"音プログラム再生"),
        V("sound", 3, op::Beep1, PB::None, 1, u"確認音１を鳴らす", u"確認音１", u"確認音１"),
        V("sound", 4, op::Beep2, PB::None, 1, u"確認音２を鳴らす", u"確認音２", u"確認音２"),
        V("sound", 5, op::Beep3, PB::None, 1, u"確認音３を鳴らす", u"確認音３", u"確認音３"),

        V("timer", 0, op::Timer, PB::P1, 1, u"タイマー(待機時間)", u"タイマー {p1}秒", u"動作停止", {Seconds}),

        V("wait", 0, op::WaitSound, PB::None, 1, u"音入力があるまで停止", u"音入力があるまで停止", u"音入力があるまで停止"),
        V("wait", 1, op::WaitSwitch, PB::None, 1, u"押しボタンSWが押されるまで停止", u"SWが押されるまで停止",
          u"SWが押されるまで停止"),
        V("wait", 2, op::WaitBright, PB::None, 1, u"明るくなるまで停止", u"明るくなるまで停止", u"明るければ停止"),
        V("wait", 3, op::WaitDark, PB::None, 1, u"暗くなるまで停止", u"暗くなるまで停止", u"暗ければ停止"),
        V("wait", 4, op::WaitTemperature, PB::P1, 1, u"設定温度になるまで停止", u"温度が{p1}度になるまで停止",
          u"指定温度になるまで停止", {Temperature}),
        V("wait", 5, op::WaitHumidity, PB::P1, 1, u"設定湿度になるまで停止", u"湿度が{p1}％になるまで停止",
          u"指定湿度になるまで停止", {Humidity}),

        V("if", 0, op::IfSwitchOn, PB::None, 2, u"押しボタンSWがONなら", u"SW=ON？", u"SW=ON？"),
        V("if", 1, op::IfSwitchOff, PB::None, 2, u"押しボタンSWがOFFなら", u"SW=OFF？", u"SW=OFF？"),
        V("if", 2, op::IfBright, PB::None, 2, u"周囲が明るければ", u"明るい？", u"明るい？"),
        V("if", 3, op::IfDark, PB::None, 2, u"周囲が暗ければ", u"暗い？", u"暗い？"),
        V("if", 4, op::IfWarmerThan, PB::P1, 2, u"設定温度より高ければ", u"温度 > {p1}度？", u"指定温度より高い？", {Temperature}),
        V("if", 5, op::IfCoolerThan, PB::P1, 2, u"設定温度より低ければ", u"温度 < {p1}度？", u"指定温度より低い？", {Temperature}),
        V("if", 6, op::IfTemperatureIs, PB::P1, 2, u"設定温度と同じなら", u"温度 = {p1}度？", u"指定温度と同じ？", {Temperature}),
        V("if", 7, op::IfWarmerThanX, PB::None, 2, u"現在の温度が変数xより高ければ", u"温度 > 変数x？", u"指定温度>変数x？"),
        V("if", 8, op::IfCoolerThanX, PB::None, 2, u"現在の温度が変数xより低ければ", u"温度 < 変数x？", u"指定温度<変数x？"),
        V("if", 9, op::IfTemperatureIsX, PB::None, 2, u"現在の温度が変数xと同じなら", u"温度 = 変数x？", u"指定温度=変数x？"),
        V("if", 10, op::IfMoreHumidThan, PB::P1, 2, u"設定湿度より高ければ", u"湿度 > {p1}％？", u"指定湿度より高い？", {Humidity}),
        V("if", 11, op::IfLessHumidThan, PB::P1, 2, u"設定湿度より低ければ", u"湿度 < {p1}％？", u"指定湿度より低い？", {Humidity}),
        V("if", 12, op::IfHumidityIs, PB::P1, 2, u"設定湿度と同じなら", u"湿度 = {p1}％？", u"指定湿度と同じ？", {Humidity}),
        V("if", 13, op::IfMoreHumidThanY, PB::None, 2, u"現在の湿度が変数yより高ければ", u"湿度>変数y？", u"指定湿度>変数y？"),
        V("if", 14, op::IfLessHumidThanY, PB::None, 2, u"現在の湿度が変数yより低ければ", u"湿度<変数y？", u"指定湿度<変数y？"),
        V("if", 15, op::IfHumidityIsY, PB::None, 2, u"現在の湿度が変数yと同じなら", u"湿度=変数y？", u"指定湿度=変数y？"),

        V("loop", 0, op::LoopStart, PB::P1, 1, u"繰り返し開始", u"繰り返し {p1}回", u"繰返開始位置", {Repetitions}),
        V("loop", 1, op::LoopEnd, PB::None, 1, u"繰り返し終了", u"繰返終了位置", u"繰返終了位置"),

        V("routine", 0, op::SubroutineCall, PB::CalledAddress, 1, u"サブルーチン", u"サブルーチン {p1}", u"サブルーチン",
          {SubroutineNo}),

        V("dainyuu", 0, op::MeasureX, PB::None, 1, u"温度を計測し変数x に代入", u"温度を変数 x に代入", u"温度を変数xに代入"),
        V("dainyuu", 1, op::MeasureY, PB::None, 1, u"湿度を計測し変数y に代入", u"湿度を変数 y に代入", u"湿度を変数yに代入"),

        V("vexo", 0, op::Motor, PB::P1, 1, u"DCモータ ON", u"DCモータON {p1}秒", u"モーターON", {Seconds}),
        ViewerOnly("vexo", 1, u"モーターOFF", {Seconds}),
        V("vexo", 2, op::Bulb, PB::P1, 1, u"豆球 点灯", u"豆球点灯 {p1}秒", u"豆球ON", {Seconds}),
        ViewerOnly("vexo", 3, u"豆球OFF", {Seconds}),

        ViewerOnly("else", 0, u"else"),
        ViewerOnly("else", 1, u"else"),
        ViewerOnly("else", 2, u"else"),
        ViewerOnly("else", 3, u"else"),
        ViewerOnly("endif", 0, u"endif"),
        ViewerOnly("endif", 1, u"endif"),
        ViewerOnly("endif", 2, u"endif"),
        ViewerOnly("endif", 3, u"endif"),
    };
}

QList<Family> BuildFamilies()
{
    auto F = [](const char *keyword, int kindNumber, int palette, int parameterClass, const char *picture,
                int fallback, bool captionFallsBack, int countBelow, int countAbove, const char16_t *paletteCaption) {
        return Family{QLatin1String(keyword), kindNumber, palette, parameterClass, QLatin1String(picture),
                      fallback, captionFallsBack, countBelow, countAbove, u(paletteCaption)};
    };
    // keyword, KindNumber, palette, class, picture, fallback sub-kind, caption falls back,
    // parameter count below / above the table, caption on the palette picture
    return {
        F("start", 0, 0, 255, "start.bmp", 0, false, 0, 0, u"開始"),
        F("end", 0, 1, 255, "end.bmp", 0, false, 0, 0, u"終了"),
        F("full_led", 2, 2, 2, "full_led.bmp", 2, true, 4, 4, u"フルカラーLED"),
        F("light_led", 3, 3, 3, "light_led.bmp", 2, false, 0, 0, u"バックライト"),
        F("sound", 4, 4, 4, "sound.bmp", 5, true, 0, 0, u"サウンド"),
        F("timer", 5, 5, 5, "timer.bmp", 0, true, 1, 1, u"タイマー"),
        F("wait", 6, 6, 6, "wait.bmp", 5, true, 0, 1, u"信号待ち"),
        F("if", 7, 7, 7, "if.bmp", 15, true, 0, 0, u"条件分岐"),
        F("loop", 8, 8, 8, "loop.bmp", 1, true, 1, 1, u"繰り返し"),
        F("routine", 9, 9, 9, "routine.bmp", 0, true, 1, 1, u"サブルーチン"),
        F("dainyuu", 10, 10, 10, "input.bmp", 1, true, 0, 0, u"計測"),
        F("vexo", 11, 11, 11, "exp.bmp", 2, false, 1, 1, u"実験"),
        F("else", 12, -1, 0, "", 0, false, 0, 0, u""),
        F("endif", 13, -1, 0, "", 0, false, 0, 0, u""),
    };
}

const Family *FindFamily(const QString &keyword)
{
    for (const Family &family : Families()) {
        if (family.keyword == keyword)
            return &family;
    }
    return nullptr;
}

const Family &VexoFamily()
{
    static const Family &vexo = *FindFamily(QStringLiteral("vexo"));
    return vexo;
}

const Family *FamilyOfClass(int parameterClass)
{
    if (parameterClass <= 0 || parameterClass == 255)
        return nullptr;
    for (const Family &family : Families()) {
        if (family.parameterClass == parameterClass)
            return &family;
    }
    return nullptr;
}

const Family *FamilyOfPaletteText(const QString &text)
{
    for (const Family &family : Families()) {
        if (family.paletteIndex >= 0 && text == QString::number(family.paletteIndex))
            return &family;
    }
    return nullptr;
}

} // namespace

int Variant::length() const
{
    int bytes = opCode >= 0 ? 1 : 0;
    switch (parameterBytes) {
    case PB::None:
        break;
    case PB::ColourWord:
        bytes += 3;
        break;
    case PB::P1:
    case PB::CalledAddress:
        bytes += 1;
        break;
    case PB::P1P2:
        bytes += 2;
        break;
    }
    return bytes + addressBytes;
}

const QList<Family> &Families()
{
    static const QList<Family> families = BuildFamilies();
    return families;
}

const QList<Variant> &Variants()
{
    static const QList<Variant> variants = BuildVariants();
    return variants;
}

const Family &InstructionFamilyOf(const QString &keyword)
{
    const Family *family = FindFamily(keyword);
    if (!family || family->paletteIndex < 0)
        return VexoFamily();
    return *family;
}

const Variant *ExactVariant(const QString &keyword, int subKind)
{
    for (const Variant &variant : Variants()) {
        if (variant.subKind == subKind && variant.keyword == keyword)
            return &variant;
    }
    return nullptr;
}

const Variant &EncodedVariant(const QString &keyword, int subKind)
{
    const Family &family = InstructionFamilyOf(keyword);
    const Variant *exact = ExactVariant(family.keyword, subKind);
    if (exact && exact->encodable)
        return *exact;
    return *ExactVariant(family.keyword, family.fallbackSubKind);
}

const Variant *VariantOfOpCode(int opCode)
{
    if (opCode < 0)
        return nullptr;
    for (const Variant &variant : Variants()) {
        if (variant.encodable && variant.opCode == opCode)
            return &variant;
    }
    return nullptr;
}

} // namespace detail

using namespace detail;

// ---- Families ----------------------------------------------------------

const QStringList &ProgramKeywords()
{
    static const QStringList keywords = [] {
        QStringList list;
        for (const Family &family : Families()) {
            if (family.paletteIndex >= 0)
                list.append(family.keyword);
        }
        return list;
    }();
    return keywords;
}

bool IsProgramKeyword(const QString &keyword)
{
    return ProgramKeywords().contains(keyword);
}

QString KindNameOf(const QString &paletteIndex)
{
    const Family *family = FamilyOfPaletteText(paletteIndex);
    return family ? family->keyword : VexoFamily().keyword;
}

QString KindNumberOf(const QString &keyword)
{
    const Family *family = FindFamily(keyword);
    return QString::number(family && family->kindNumber > 0 ? family->kindNumber : 13);
}

QString KeywordOfKindNumber(int kindNumber)
{
    for (const Family &family : Families()) {
        if (family.kindNumber > 0 && family.kindNumber == kindNumber)
            return family.keyword;
    }
    return {};
}

int ParameterClassOf(const QString &keyword)
{
    return InstructionFamilyOf(keyword).parameterClass;
}

int ParameterCountOf(int parameterClass, int subKind)
{
    const Family *family = FamilyOfClass(parameterClass);
    if (!family)
        return 0;
    if (const Variant *variant = ExactVariant(family->keyword, subKind))
        return int(variant->parameters.size());
    return subKind < 0 ? family->countBelow : family->countAbove;
}

QString PaletteCaption(int paletteIndex)
{
    const Family *family = FamilyOfPaletteText(QString::number(paletteIndex));
    return family ? family->paletteCaption : QString();
}

QString KindPictureFile(const QString &paletteIndex)
{
    const Family *family = FamilyOfPaletteText(paletteIndex);
    return family ? family->picture : VexoFamily().picture;
}

// ---- Variants ----------------------------------------------------------

QString BlockCaption(const QString &keyword, const QString &parameters)
{
    const Family &family = InstructionFamilyOf(keyword);
    const int sub = SubKindOf(parameters);
    const Variant *variant = ExactVariant(family.keyword, sub);
    if (!variant && family.captionFallsBack)
        variant = ExactVariant(family.keyword, family.fallbackSubKind);
    if (!variant)
        return {};
    QString caption = variant->caption;
    caption.replace(QLatin1String("{p1}"), QString::number(ParameterOf(parameters, 1)));
    for (int i = 0; i < variant->parameters.size(); ++i) {
        if (variant->parameters[i].unit == ParameterUnit::QuarterSecond) {
            caption.replace(QLatin1String("{t}"), QuarterSecondText(ParameterOf(parameters, i + 1)));
            break;
        }
    }
    return caption;
}

namespace {
QList<const Variant *> OfferedVariants(const QString &keyword)
{
    QList<const Variant *> offered;
    for (const Variant &variant : Variants()) {
        if (variant.keyword == keyword && !variant.offered.isEmpty())
            offered.append(&variant);
    }
    return offered;
}
} // namespace

QStringList OfferedTexts(const QString &keyword)
{
    QStringList texts;
    for (const Variant *variant : OfferedVariants(keyword))
        texts.append(variant->offered);
    return texts;
}

int SubKindOfOffered(const QString &keyword, int position)
{
    const QList<const Variant *> offered = OfferedVariants(keyword);
    if (position >= 0 && position < offered.size())
        return offered[position]->subKind;
    return position;
}

int OfferedPositionOf(const QString &keyword, int subKind)
{
    const QList<const Variant *> offered = OfferedVariants(keyword);
    for (int i = 0; i < offered.size(); ++i) {
        if (offered[i]->subKind == subKind)
            return i;
    }
    return -1;
}

QString OfferedText(const QString &keyword, int subKind)
{
    const Variant *variant = ExactVariant(keyword, subKind);
    return variant ? variant->offered : QString();
}

QString ViewerText(const QString &keyword, int subKind)
{
    const Variant *variant = ExactVariant(keyword, subKind);
    return variant ? variant->viewer : QString();
}

// ---- Parameters --------------------------------------------------------

QList<ParameterRange> ParameterRangesOf(const QString &keyword, int subKind)
{
    const Family &family = InstructionFamilyOf(keyword);
    if (const Variant *variant = ExactVariant(family.keyword, subKind))
        return variant->parameters;
    // A sub-kind the table lacks: the fallback variant's ranges, as many as
    // ParameterCountOf asks for.
    QList<ParameterRange> ranges = ExactVariant(family.keyword, family.fallbackSubKind)->parameters;
    const int count = ParameterCountOf(family.parameterClass, subKind);
    while (ranges.size() < count)
        ranges.append(ParameterRange{0, 255, 0, ParameterUnit::None});
    ranges.resize(count);
    return ranges;
}

ParameterRange ParameterRangeOf(const QString &keyword, int subKind, int index)
{
    const QList<ParameterRange> ranges = ParameterRangesOf(keyword, subKind);
    if (index < 1 || index > ranges.size())
        return {};
    return ranges[index - 1];
}

int SubKindOf(const QString &parameters)
{
    return IntegerOr(FieldOf(parameters, 1, QLatin1Char(',')), 0);
}

int ParameterOf(const QString &parameters, int index)
{
    if (index < 1)
        return 0;
    return IntegerOr(FieldOf(parameters, index + 1, QLatin1Char(',')), 0);
}

QString BuildParameterString(int subKind, const QList<int> &values)
{
    QString text = QString::number(subKind);
    for (int i = 0; i < 5; ++i) {
        text += QLatin1Char(',');
        text += QString::number(i < values.size() ? values[i] : 0);
    }
    return text;
}

QString DefaultParameterString(const QString &keyword, int subKind)
{
    QList<int> values;
    for (const ParameterRange &range : ParameterRangesOf(keyword, subKind))
        values.append(range.defaultValue);
    return BuildParameterString(subKind, values);
}

QString ParameterStringFromOffered(const QString &keyword, int offeredPosition, const QList<int> &sliderValues)
{
    const int sub = SubKindOfOffered(keyword, offeredPosition);
    const int count = ParameterCountOf(ParameterClassOf(keyword), sub);
    const QList<ParameterRange> ranges = ParameterRangesOf(keyword, sub);
    QList<int> values;
    for (int i = 0; i < count; ++i) {
        // A stored-but-not-set parameter (the fade time) keeps its one value.
        if (i < ranges.size() && ranges[i].isFixed())
            values.append(ranges[i].defaultValue);
        else
            values.append(i < sliderValues.size() ? sliderValues[i] : 0);
    }
    return BuildParameterString(sub, values);
}

// ---- Durations ----------------------------------------------------------

QString QuarterSecondText(int quarters)
{
    return QString::number(quarters * 0.25, 'g', 15);
}

// ---- Colours -----------------------------------------------------------

const QList<ColourPreset> &ColourPresets()
{
    static const QList<ColourPreset> presets{
        {u(u"赤色"), 255, 0, 0},     {u(u"緑色"), 0, 255, 0},   {u(u"青色"), 0, 0, 255},
        {u(u"黄色"), 255, 255, 0},   {u(u"紫色"), 255, 0, 255}, {u(u"水色"), 0, 255, 255},
        {u(u"白色"), 255, 255, 255}, {u(u"消灯"), 0, 0, 0},
    };
    return presets;
}

ColourPreset ColourPresetAt(int index)
{
    if (index < 0 || index >= ColourPresetCount)
        index = DefaultColourPreset;
    return ColourPresets()[index];
}

int ColourPresetIndexOf(int red, int green, int blue)
{
    const QList<ColourPreset> &presets = ColourPresets();
    for (int i = 0; i < presets.size(); ++i) {
        if (presets[i].red == red && presets[i].green == green && presets[i].blue == blue)
            return i;
    }
    return -1;
}

QString ColourNameOf(const QString &presetIndex)
{
    for (int i = 0; i < ColourPresetCount; ++i) {
        if (presetIndex == QString::number(i))
            return ColourPresets()[i].name;
    }
    return ColourPresets()[DefaultColourPreset].name;
}

// ---- Conditions --------------------------------------------------------

int ConditionFamilyOf(int subKind)
{
    if (subKind == 0 || subKind == 1)
        return 0;
    if (subKind == 2 || subKind == 3)
        return 1;
    if (subKind >= 4 && subKind <= 9)
        return 2;
    return 3;
}

QString ConditionFamilyName(int family)
{
    switch (family) {
    case 0:
        return QStringLiteral("sw");
    case 1:
        return QStringLiteral("cds");
    case 2:
        return QStringLiteral("temp");
    default:
        return QStringLiteral("Hum");
    }
}

// ---- Listings ----------------------------------------------------------

QString CommandRecord(const QString &keyword, const QString &parameters)
{
    return KindNumberOf(keyword) + QLatin1Char(',') + parameters;
}

QString ElseRecord(int conditionFamily)
{
    return CommandRecord(QStringLiteral("else"), BuildParameterString(conditionFamily));
}

QString EndifRecord(int conditionFamily)
{
    return CommandRecord(QStringLiteral("endif"), BuildParameterString(conditionFamily));
}

QStringList CommandListing(const QStringList &records)
{
    QStringList lines;
    lines.reserve(records.size() + 2);
    lines.append(QStringLiteral("START"));
    lines += records;
    lines.append(QStringLiteral("END"));
    return lines;
}

} // namespace koru
