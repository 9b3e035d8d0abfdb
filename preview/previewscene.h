// What the preview shows of the kit: a base picture and six layers drawn over
// it in order, each with its transparent colour. Layer 0 is the LED glow (a
// solid colour seen through the mask picture at a level, 255 invisible); the
// others hold at most one picture each. The scene follows from the kit's
// outputs, so it is whatever the interpreter says the kit is doing.
#pragma once

#include "kit/interpreter.h"

#include <QString>
#include <array>
#include <optional>

namespace koru::preview {

inline constexpr int SceneWidth = 650;
inline constexpr int SceneHeight = 300;
inline constexpr int LayerCount = 6;

enum SceneLayer { GlowLayer = 0, BackLayer = 1, BodyLayer = 2, ClockLayer = 3, StatusLayer = 4, RadioLayer = 5 };

// Picture files, as AssetPath takes them.
namespace pictures {
inline const QString Base = QStringLiteral("Img\\Pre\\Off.gif");
inline const QString Mask = QStringLiteral("Img\\Pre\\Tomei.gif");
inline const QString Back = QStringLiteral("Img\\Pre\\Back.gif");
inline const QString Body = QStringLiteral("Img\\Pre\\Hontai.gif");
inline const QString Clock = QStringLiteral("Img\\Pre\\Tokei.gif");
inline const QString Backlight = QStringLiteral("Img\\Pre\\BackLight.gif");
inline const QString Radio = QStringLiteral("Img\\Pre\\AMFM.gif");
inline const QString Melody = QStringLiteral("Img\\Pre\\Melody.gif");
inline const QString Beep = QStringLiteral("Img\\Pre\\Kakunin.gif");
inline const QString Experiment = QStringLiteral("Img\\Pre\\Jikken.gif");
} // namespace pictures

// The picture of a wait (1 sound ... 6 humidity); empty for any other kind.
QString WaitPicture(int waitKind);

// The colour of a layer that lets the layers below show through; none for
// the glow layer (its transparency is the level).
std::optional<kit::Rgb> LayerKeyColour(int layer);

// A lit LED is drawn at this level; 255 is invisible.
inline constexpr int LitGlowLevel = kit::Interpreter::LitLevel;

struct PreviewScene
{
    std::array<QString, LayerCount> layers; // picture per layer; layer 0 never has one
    bool glow = false;
    kit::Rgb glowColour;
    int glowLevel = 255;

    bool empty() const;
    bool operator==(const PreviewScene &) const = default;
};

// The scene for the kit's outputs. With the LED lit: the glow, the back and
// the body, and the clock. The clock shows its backlight whenever the
// backlight is on; the status picture shows a sound, the experiment board or
// the sensor waited for; the radio picture while the radio plays.
PreviewScene SceneOf(const kit::KitOutputs &outputs);

} // namespace koru::preview
