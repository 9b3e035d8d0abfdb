// koru-tool send FILE: transfers a program or melody file to the kit as its
// editor would (image framed by 240 or 242 and 250, one value per report,
// paced), shows the progress on stderr and waits for the kit's FF.
#include "tools/command.h"
#include "tools/kitsession.h"
#include "tools/programkind.h"

#include "link/devicelink.h"
#include "model/textutil.h"

namespace koru::tool {
namespace {

int RunSend(const QStringList &args);

const KoruCommand sendCommand("send", "FILE", "transfer a program or melody file to the kit and wait for its FF",
                              RunSend);

constexpr int ReadyTimeoutMs = 5000;

int RunSend(const QStringList &args)
{
    if (args.size() != 1)
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
        return refuse(image.refusal);
    if (image.lines.isEmpty())
        return refuse(QStringLiteral("koru-tool send: the file holds nothing to send"));

    DeviceLink &link = SettledLink();
    QList<int> values{kind->frameStart};
    for (const QString &code : image.lines)
        values.append(IntegerOr(code, 0));
    values.append(kit::FrameEnd);
    ReplyCollector replies(link);
    QObject::connect(&link, &DeviceLink::transferProgress, [](int percent) {
        err() << "\r" << QString::number(percent).rightJustified(3) << '%';
        err().flush();
    });
    const bool sent = TransferAndWait(link, values);
    err() << Qt::endl;
    if (!sent || !replies.waitForReady(ReadyTimeoutMs))
        return refuse(NoKitMessage);
    return Success;
}

} // namespace
} // namespace koru::tool
