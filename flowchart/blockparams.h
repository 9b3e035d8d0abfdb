// What the block parameter controls show, without the widgets: the sub-kind
// list of a kind, the sliders a sub-kind uses (range, position, caption,
// thumb colour), how a caption is rewritten when its slider moves, and the
// ParameterString composed on "OK". The parameter window beside a new block
// and the parameter panel of the left column differ only in small wordings,
// named by ParameterPlace.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace koru {

enum class ParameterPlace {
    Window, // the window beside a block just dropped: starts from the defaults
    Panel,  // the panel of the left column: starts from the block's params
};

inline constexpr int ParameterSliderCount = 4;

enum class SliderThumb { Red, Green, Blue, Fuchsia };

struct SliderSetup
{
    bool visible = false;
    int min = 0;
    int max = 0;
    int value = 0;        // stored even when hidden (the fade time 11)
    QString prefix;       // caption up to and including its colon
    QString caption;
    bool quarterSeconds = false;
    bool colour = false;  // one of the three colour sliders
    SliderThumb thumb = SliderThumb::Fuchsia;

    bool operator==(const SliderSetup &other) const = default;
};

struct ParameterForm
{
    QString kind;
    QStringList items;    // Command_Kind_Combo
    int item = 0;         // offered position shown
    bool colourControls = false; // Color_Combo and Color_Panel
    std::array<SliderSetup, ParameterSliderCount> sliders{};
};

// The sub-kind list of a kind as the place shows it (the panel words the
// light conditions of `if` shorter); empty for start, end and unknown kinds.
QStringList SubKindItems(const QString &kind, ParameterPlace place);

// The window's controls for a kind and offered position, at their defaults.
ParameterForm DefaultForm(const QString &kind, int item);
// The panel's controls for a block: its stored params give the sub-kind
// (unless `item` names another position) and the slider positions, kept
// within each slider's range.
ParameterForm StoredForm(const QString &kind, const QString &params, int item = -1);

// A slider's caption after it moved to value.
QString SliderCaption(ParameterPlace place, const SliderSetup &slider, int value);

// "OK": the ParameterString of the form's item and slider positions.
QString ComposeParams(const ParameterForm &form);

} // namespace koru
