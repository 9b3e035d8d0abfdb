#include "preview/previewscene.h"

namespace koru::preview {

QString WaitPicture(int waitKind)
{
    switch (kit::WaitKind(waitKind)) {
    case kit::WaitKind::Sound: return QStringLiteral("Img\\Pre\\Soundwait.gif");
    case kit::WaitKind::Switch: return QStringLiteral("Img\\Pre\\swwait.gif");
    case kit::WaitKind::Bright: return QStringLiteral("Img\\Pre\\Lightwait.gif");
    case kit::WaitKind::Dark: return QStringLiteral("Img\\Pre\\Darkwait.gif");
    case kit::WaitKind::Temperature: return QStringLiteral("Img\\Pre\\Tempwait.gif");
    case kit::WaitKind::Humidity: return QStringLiteral("Img\\Pre\\Humwait.gif");
    case kit::WaitKind::None: break;
    }
    return QString();
}

std::optional<kit::Rgb> LayerKeyColour(int layer)
{
    if (layer == BackLayer)
        return kit::Rgb{255, 255, 255};
    if (layer > BackLayer && layer < LayerCount)
        return kit::Rgb{102, 102, 102};
    return std::nullopt;
}

bool PreviewScene::empty() const
{
    for (const QString &picture : layers) {
        if (!picture.isEmpty())
            return false;
    }
    return !glow;
}

PreviewScene SceneOf(const kit::KitOutputs &out)
{
    PreviewScene scene;
    if (out.ledLit) {
        scene.glow = true;
        scene.glowColour = out.led;
        scene.glowLevel = out.ledLevel;
        scene.layers[BackLayer] = pictures::Back;
        scene.layers[BodyLayer] = pictures::Body;
        scene.layers[ClockLayer] = pictures::Clock;
    }
    if (out.backlight)
        scene.layers[ClockLayer] = pictures::Backlight;
    switch (out.status) {
    case kit::KitStatus::Melody: scene.layers[StatusLayer] = pictures::Melody; break;
    case kit::KitStatus::Beep: scene.layers[StatusLayer] = pictures::Beep; break;
    case kit::KitStatus::Experiment: scene.layers[StatusLayer] = pictures::Experiment; break;
    case kit::KitStatus::Waiting: scene.layers[StatusLayer] = WaitPicture(out.statusDetail); break;
    case kit::KitStatus::None: break;
    }
    if (out.radio)
        scene.layers[RadioLayer] = pictures::Radio;
    return scene;
}

} // namespace koru::preview
