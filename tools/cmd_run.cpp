// koru-tool run / stop: start or stop the kit's stored program (--melody:
// play its stored melody). With --wait, waits for the kit's FF. With --all,
// every kit connected at once (kitjobs.h).
#include "tools/command.h"
#include "tools/kitjobs.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"

namespace koru::tool {
namespace {

int RunRun(const QStringList &args);
int RunStop(const QStringList &args);

const KoruCommand runCommand("run", "[--melody] [--wait SECONDS] [--all]",
                             "start the kit's stored program (or melody), optionally waiting for its FF", RunRun);
const KoruCommand stopCommand("stop", "[--all]", "stop the kit's program", RunStop);

int RunRun(const QStringList &given)
{
    QStringList args = given;
    const bool all = TakeAllFlag(args);
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
    if (all) {
        KitJobPlan plan;
        plan.request = melody ? kit::Play : kit::Run;
        plan.readyWaitMs = waitSeconds < 0 ? -1 : waitSeconds * 1000;
        return RunOnEveryKit(runCommand.name, plan);
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

int RunStop(const QStringList &given)
{
    QStringList args = given;
    const bool all = TakeAllFlag(args);
    if (!args.isEmpty())
        return usageError(stopCommand);
    if (all) {
        KitJobPlan plan;
        plan.request = kit::Stop;
        return RunOnEveryKit(stopCommand.name, plan);
    }
    DeviceLink &link = SettledLink();
    if (!RequestAndWait(link, [&link] { return link.RequestStop(); }))
        return refuse(SendFailure(link));
    return Success;
}

} // namespace
} // namespace koru::tool
