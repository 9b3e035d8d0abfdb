#include "kit/effect.h"

namespace koru::kit {

namespace {

QString onOff(int value) { return value ? QStringLiteral("on") : QStringLiteral("off"); }

QString waitName(int kind)
{
    switch (WaitKind(kind)) {
    case WaitKind::Sound: return QStringLiteral("sound");
    case WaitKind::Switch: return QStringLiteral("switch");
    case WaitKind::Bright: return QStringLiteral("bright");
    case WaitKind::Dark: return QStringLiteral("dark");
    case WaitKind::Temperature: return QStringLiteral("temperature");
    case WaitKind::Humidity: return QStringLiteral("humidity");
    case WaitKind::None: break;
    }
    return QStringLiteral("none");
}

} // namespace

QString DescribeEffect(const Effect &e)
{
    switch (e.kind) {
    case EffectKind::RunStarted:
        return RunKind(e.a) == RunKind::Melody ? QStringLiteral("run melody") : QStringLiteral("run program");
    case EffectKind::Led:
        return QStringLiteral("led %1 %2 %3 level %4").arg(e.a).arg(e.b).arg(e.c).arg(e.d);
    case EffectKind::LedOff:
        return QStringLiteral("led off");
    case EffectKind::Backlight:
        return e.a ? QStringLiteral("backlight on %1").arg(e.b) : QStringLiteral("backlight off");
    case EffectKind::BacklightLink:
        return QStringLiteral("backlight link ") + onOff(e.a);
    case EffectKind::Radio:
        return QStringLiteral("radio ") + onOff(e.a);
    case EffectKind::Status:
        switch (KitStatus(e.a)) {
        case KitStatus::Melody: return QStringLiteral("status melody");
        case KitStatus::Beep: return QStringLiteral("status beep %1").arg(e.b);
        case KitStatus::Experiment: return e.b ? QStringLiteral("status lamp") : QStringLiteral("status motor");
        case KitStatus::Waiting: return QStringLiteral("status wait ") + waitName(e.b);
        case KitStatus::None: break;
        }
        return QStringLiteral("status none");
    case EffectKind::Beep:
        return QStringLiteral("beep %1 %2ms").arg(e.a).arg(e.b);
    case EffectKind::Melody:
        return e.a ? QStringLiteral("melody start") : QStringLiteral("melody end");
    case EffectKind::Note:
        if (e.b == 0)
            return QStringLiteral("rest %1 %2ms").arg(e.a).arg(e.c);
        return QStringLiteral("note %1 %2Hz %3ms").arg(e.a).arg(e.b).arg(e.c);
    case EffectKind::Hold:
        return QStringLiteral("hold %1ms").arg(e.a);
    case EffectKind::Wait:
        if (WaitKind(e.a) == WaitKind::Temperature || WaitKind(e.a) == WaitKind::Humidity)
            return QStringLiteral("wait %1 %2").arg(waitName(e.a)).arg(e.b);
        return QStringLiteral("wait ") + waitName(e.a);
    case EffectKind::Released:
        return QStringLiteral("released ") + waitName(e.a);
    case EffectKind::Fan:
        return QStringLiteral("fan ") + onOff(e.a);
    case EffectKind::Lamp:
        return QStringLiteral("lamp ") + onOff(e.a);
    case EffectKind::Variable:
        return QStringLiteral("variable %1 %2").arg(QChar(e.a)).arg(e.b);
    case EffectKind::Ended:
        switch (EndReason(e.a)) {
        case EndReason::Stopped: return QStringLiteral("end stopped");
        case EndReason::InvalidAddress: return QStringLiteral("end invalid-address");
        case EndReason::Finished: break;
        }
        return QStringLiteral("end");
    case EffectKind::Frame:
        return QStringLiteral("frame %1 %2 bytes %3")
            .arg(FrameArea(e.a) == FrameArea::Melody ? QStringLiteral("melody") : QStringLiteral("program"))
            .arg(e.b)
            .arg(e.c ? QStringLiteral("stored") : QStringLiteral("refused"));
    case EffectKind::Reply:
        return QStringLiteral("reply ") + QStringLiteral("%1").arg(e.a & 0xFF, 2, 16, QChar('0')).toUpper();
    case EffectKind::Step:
        return QStringLiteral("step %1").arg(e.a);
    }
    return QString();
}

} // namespace koru::kit
