#include "link/hidbackend.h"

namespace koru {

QString DisplayName(const HidDeviceInfo &info)
{
    QString name = info.product;
    if (name.isEmpty())
        name = QStringLiteral("Device VID=%1 PID=%2")
                   .arg(info.vendorId, 4, 16, QLatin1Char('0'))
                   .arg(info.productId, 4, 16, QLatin1Char('0'))
                   .toUpper()
                   .replace(QLatin1String("DEVICE"), QLatin1String("Device"));
    if (!info.serial.isEmpty())
        name += QStringLiteral(" (Serial=%1)").arg(info.serial);
    return name;
}

} // namespace koru
