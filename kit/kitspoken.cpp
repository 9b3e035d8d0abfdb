#include "kit/kitspoken.h"

#include <QStringList>

namespace koru::kit {

QString KitSpokenState(const KitOutputs &out, const World &world)
{
    QStringList parts;
    parts << (out.ledLit ? QStringLiteral("LED 点灯 (赤%1 緑%2 青%3)").arg(out.led.red).arg(out.led.green).arg(out.led.blue)
                         : QStringLiteral("LED 消灯"));
    parts << (out.backlight ? QStringLiteral("バックライト点灯 %1%").arg(out.backlightPercent)
                            : QStringLiteral("バックライト消灯"));
    parts << (out.radio ? QStringLiteral("AM/FM 再生中") : QStringLiteral("AM/FM 停止"));
    parts << (out.fan ? QStringLiteral("DCモータ 回転中") : QStringLiteral("DCモータ 停止"));
    parts << (out.lamp ? QStringLiteral("豆球 点灯中") : QStringLiteral("豆球 消灯"));
    parts << (world.switchPressed ? QStringLiteral("押しボタンSW 押している") : QStringLiteral("押しボタンSW 押していない"));
    return parts.join(QStringLiteral("、"));
}

} // namespace koru::kit
