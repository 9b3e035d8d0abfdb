// koru-tool measure: asks the kit to measure (244) and prints the
// temperature (°C) and relative humidity (%) it answers, in decimal.
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"
#include "model/textutil.h"

namespace koru::tool {
namespace {

int RunMeasure(const QStringList &args);

const KoruCommand measureCommand("measure", "", "print the kit's temperature and humidity", RunMeasure);

int RunMeasure(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(measureCommand);
    DeviceLink &link = SettledLink();
    ReplyCollector replies(link);
    if (!RequestAndWait(link, [&link] { return link.RequestMeasurement(); }))
        return refuse(NoKitMessage);
    const QStringList lines = replies.collect(2000, 300, 2);
    bool okT = false, okH = false;
    const int temperature = lines.size() >= 2 ? StripSpaces(lines[0]).toInt(&okT, 16) : 0;
    const int humidity = lines.size() >= 2 ? StripSpaces(lines[1]).toInt(&okH, 16) : 0;
    if (!okT || !okH)
        return refuse(NoKitMessage);
    out() << "temperature " << temperature << '\n' << "humidity " << humidity << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
