// The instruction catalogue: the families of instructions the kit knows,
// their variants (sub-kinds), parameters, texts, colour presets and the two
// text forms an instruction travels in (ParameterString and CommandRecord).
//
// Everything here is read from one table of variants (catalogue.cpp); the
// encoder and decoder read the same table. No function fails: unknown input
// falls back to a default (an unknown keyword counts as "vexo").
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace koru {

// ---- Families ----------------------------------------------------------

// The twelve program keywords in palette order ("start" = 0 ... "vexo" = 11).
const QStringList &ProgramKeywords();
bool IsProgramKeyword(const QString &keyword);

// Palette index as text -> keyword; any text other than "0" to "10" gives "vexo".
QString KindNameOf(const QString &paletteIndex);

// Keyword -> KindNumber as text ("2" ... "12"); anything else, including
// "start", "end" and "endif", gives "13".
QString KindNumberOf(const QString &keyword);

// KindNumber -> keyword ("full_led" ... "endif"); empty for numbers without a family.
QString KeywordOfKindNumber(int kindNumber);

// Keyword -> parameter class: 255 for start/end, 2 ... 10 for the families,
// 11 for anything else.
int ParameterClassOf(const QString &keyword);

// How many of p1..p5 the user sets for a parameter class and SubKind.
int ParameterCountOf(int parameterClass, int subKind);

// The caption on the flowchart palette's picture of a palette index
// ("開始" ... "実験"); empty for any other index.
QString PaletteCaption(int paletteIndex);

// Palette index as text -> block picture file name ("start.bmp" ...); any
// text other than "0" to "10" gives "exp.bmp".
QString KindPictureFile(const QString &paletteIndex);

// ---- Variants ----------------------------------------------------------

// Caption drawn on a flowchart block for an instruction (not asked for
// start and end).
QString BlockCaption(const QString &keyword, const QString &parameters);

// Texts under which the block parameter window offers the variants, in
// offered order; empty for start, end and unknown keywords.
QStringList OfferedTexts(const QString &keyword);

// SubKind stored for an offered position (vexo: position 1 stores 2).
int SubKindOfOffered(const QString &keyword, int position);

// Offered position of a stored SubKind (vexo: 2 gives 1); -1 when the
// variant is not offered.
int OfferedPositionOf(const QString &keyword, int subKind);

// Offered text of one variant; empty when it is not offered.
QString OfferedText(const QString &keyword, int subKind);

// Text the sent-data viewer shows for a variant; includes the viewer-only
// variants (vexo 1 and 3, else and endif 0-3). Empty when unknown.
QString ViewerText(const QString &keyword, int subKind);

// ---- Parameters --------------------------------------------------------

// Range, default and unit of one user parameter. A parameter the user does
// not set but the editors store anyway (the fade time of full_led 1 and 2)
// has min == max == defaultValue.
enum class ParameterUnit {
    None,
    ColourValue,   // 0-255 channel value
    QuarterSecond, // 1 = 0.25 s
    Second,
    Percent,
    Celsius,
    Repetition,
    Subroutine,    // subroutine number
};

struct ParameterRange
{
    int min = 0;
    int max = 0;
    int defaultValue = 0;
    ParameterUnit unit = ParameterUnit::None;

    bool isFixed() const { return min == max; }
};

// The user parameters p1, p2 ... of a variant, in order; as many as
// ParameterCountOf gives for it. Empty for variants without parameters.
QList<ParameterRange> ParameterRangesOf(const QString &keyword, int subKind);

// Range of parameter pN (index 1..5); all zero when it has none.
ParameterRange ParameterRangeOf(const QString &keyword, int subKind, int index);

// SubKind (field 1) and parameter pN (field N + 1) of a ParameterString,
// 0 when the field is missing or not a number.
int SubKindOf(const QString &parameters);
int ParameterOf(const QString &parameters, int index);

// "sub,p1,p2,p3,p4,p5": the SubKind, the given values (at most five used),
// then 0 up to five parameters.
QString BuildParameterString(int subKind, const QList<int> &values = {});

// ParameterString of a newly placed block of that variant (full_led 0 starts
// dark for 0.25 s: "0,0,0,0,1,0").
QString DefaultParameterString(const QString &keyword, int subKind = 0);

// ParameterString from the parameter window: SubKindOfOffered(position), then
// ParameterCountOf(ParameterClassOf(keyword), sub) slider values (missing
// ones 0), then zeros.
QString ParameterStringFromOffered(const QString &keyword, int offeredPosition,
                                   const QList<int> &sliderValues);

// ---- Durations ----------------------------------------------------------

// A QuarterSecond count shown as seconds: 1 -> "0.25", 4 -> "1", 6 -> "1.5".
QString QuarterSecondText(int quarters);

// ---- Colours -----------------------------------------------------------

struct ColourPreset
{
    QString name;
    int red = 0;
    int green = 0;
    int blue = 0;
};

inline constexpr int ColourPresetCount = 8;
inline constexpr int DefaultColourPreset = 7; // 消灯

const QList<ColourPreset> &ColourPresets();
// The preset at an index; the dark preset (7) for any other index.
ColourPreset ColourPresetAt(int index);
// Index of the preset with exactly these channels, -1 when none.
int ColourPresetIndexOf(int red, int green, int blue);
// Preset index as text -> name; "消灯" for any text other than "0" to "6".
QString ColourNameOf(const QString &presetIndex);

// ---- Conditions --------------------------------------------------------

// if SubKind -> ConditionFamily: 0-1 -> 0, 2-3 -> 1, 4-9 -> 2, anything else 3.
int ConditionFamilyOf(int subKind);
// "sw", "cds", "temp", "Hum" for families 0 to 3 ("Hum" for anything else).
QString ConditionFamilyName(int family);

// ---- Listings ----------------------------------------------------------

// KindNumber + "," + ParameterString, e.g. "5,0,3,0,0,0,0".
QString CommandRecord(const QString &keyword, const QString &parameters);
// "12,f,0,0,0,0,0" and "13,f,0,0,0,0,0" for a ConditionFamily f.
QString ElseRecord(int conditionFamily);
QString EndifRecord(int conditionFamily);
// "START", the records, "END".
QStringList CommandListing(const QStringList &records);

} // namespace koru
