// koru-tool send FILE [--verify]: transfers a program or melody file to the
// kit as its editor would (image framed by 240 or 242 and 250, one value per
// report, paced), shows the progress on stderr and waits for the kit's FF.
// With --verify it then reads the kit's memory back and fails when the kit
// does not hold exactly what was sent. With --all it does so for every kit
// connected at once (kitjobs.h).
#include "tools/command.h"
#include "tools/kitjobs.h"
#include "tools/kitsession.h"
#include "tools/programkind.h"

#include "link/devicelink.h"
#include "model/decoder.h"
#include "model/textutil.h"

namespace koru::tool {
namespace {

int RunSend(const QStringList &args);

const KoruCommand sendCommand("send", "FILE [--verify] [--all]",
                              "transfer a program or melody file to the kit and wait for its FF", RunSend);

constexpr int ReadyTimeoutMs = 5000;

int RunSend(const QStringList &given)
{
    QStringList args = given;
    const bool all = TakeAllFlag(args);
    const bool verify = args.size() == 2 && args[1] == QLatin1String("--verify");
    if (args.size() != 1 && !verify)
        return usageError(sendCommand);
    const std::optional<QStringList> lines = ReadFileForCommand(sendCommand.name, args[0]);
    if (!lines)
        return Refused;
    const ProgramKind *kind = KindForCommand(sendCommand.name, args[0], *lines);
    if (!kind)
        return Refused;
    if (!kind->image)
        return refuse(QStringLiteral("koru-tool send: %1 files cannot be sent yet").arg(QLatin1String(kind->name)));
    const KindResult image = kind->image(*lines);
    if (!image.ok())
        return refuseFile(sendCommand.name, args[0], image.refusal);
    if (image.lines.isEmpty())
        return refuse(QStringLiteral("koru-tool send: the file holds nothing to send"));

    QList<int> values{kind->frameStart};
    for (const QString &code : image.lines)
        values.append(IntegerOr(code, 0));
    values.append(kit::FrameEnd);
    if (all)
        return RunOnEveryKit(sendCommand.name, {.transfer = values, .verify = verify});

    DeviceLink &link = SettledLink();
    ReplyCollector replies(link);
    QObject::connect(&link, &DeviceLink::transferProgress, [](int percent) {
        err() << "\r" << QString::number(percent).rightJustified(3) << '%';
        err().flush();
    });
    const bool sent = TransferAndWait(link, values);
    err() << Qt::endl;
    if (!sent || !replies.waitForReady(ReadyTimeoutMs))
        return refuse(SendFailure(link));
    if (!verify)
        return Success;

    ReplyCollector memory(link, kit::MemoryReplies);
    if (!RequestAndWait(link, [&link] { return link.RequestMemory(); }))
        return refuse(SendFailure(link));
    const QStringList held = memory.collect(5000, 500, kit::MemoryReplies);
    if (const QString difference = HeldDifference(held, values, MemoryAreaStart(kind->frameStart));
        !difference.isEmpty())
        return refuse(QStringLiteral("koru-tool send: %1: %2").arg(args[0], difference));
    return Success;
}

} // namespace
} // namespace koru::tool
