// koru-tool measure: asks the kit to measure (244) and prints the
// temperature (°C) and relative humidity (%) it answers, in decimal.
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"
#include "model/textutil.h"

namespace koru::tool {
namespace {

int RunMeasure(const QStringList &args);

// Temperature in °C and relative humidity in %: the sensor gives neither
// above 100.
constexpr int MaxReading = 100;

const KoruCommand measureCommand("measure", "", "print the kit's temperature and humidity", RunMeasure);

int RunMeasure(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(measureCommand);
    DeviceLink &link = SettledLink();
    ReplyCollector replies(link, 2);
    if (!RequestAndWait(link, [&link] { return link.RequestMeasurement(); }))
        return refuse(SendFailure(link));
    // The first two replies after the request are its answer; a value no
    // sensor of the kit gives (an FF of a kit that floods) is no reading.
    const QStringList lines = replies.collect(2000, 300, 2);
    bool okT = false, okH = false;
    const int temperature = lines.size() >= 2 ? StripSpaces(lines[0]).toInt(&okT, 16) : 0;
    const int humidity = lines.size() >= 2 ? StripSpaces(lines[1]).toInt(&okH, 16) : 0;
    if (!okT || !okH)
        return refuse(NoKitMessage);
    if (temperature > MaxReading || humidity > MaxReading)
        return refuse(QStringLiteral("koru-tool measure: the kit's answer is no reading (%1 %2)")
                          .arg(StripSpaces(lines[0]), StripSpaces(lines[1])));
    out() << "temperature " << temperature << '\n' << "humidity " << humidity << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
