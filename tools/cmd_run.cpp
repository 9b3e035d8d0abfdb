// koru-tool run / stop: start or stop the kit's stored program (--melody:
// play its stored melody). With --wait, waits for the kit's FF.
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"

namespace koru::tool {
namespace {

int RunRun(const QStringList &args);
int RunStop(const QStringList &args);

const KoruCommand runCommand("run", "[--melody] [--wait SECONDS]",
                             "start the kit's stored program (or melody), optionally waiting for its FF", RunRun);
const KoruCommand stopCommand("stop", "", "stop the kit's program", RunStop);

int RunRun(const QStringList &args)
{
    bool melody = false;
    int waitSeconds = -1;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--melody")) {
            melody = true;
        } else if (args[i] == QLatin1String("--wait") && i + 1 < args.size()) {
            bool ok = false;
            waitSeconds = args[++i].toInt(&ok);
            if (!ok || waitSeconds < 0 || waitSeconds > 3600)
                return usageError(runCommand);
        } else {
            return usageError(runCommand);
        }
    }
    DeviceLink &link = SettledLink();
    ReplyCollector replies(link);
    if (!RequestAndWait(link, [&] { return melody ? link.RequestPlay() : link.RequestRun(); }))
        return refuse(SendFailure(link));
    if (waitSeconds >= 0 && !replies.waitForReady(waitSeconds * 1000)) {
        if (!link.KitPresent())
            return refuse(SendFailure(link));
        return refuse(QStringLiteral("koru-tool run: the kit did not finish within %1 s").arg(waitSeconds));
    }
    return Success;
}

int RunStop(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(stopCommand);
    DeviceLink &link = SettledLink();
    if (!RequestAndWait(link, [&link] { return link.RequestStop(); }))
        return refuse(SendFailure(link));
    return Success;
}

} // namespace
} // namespace koru::tool
