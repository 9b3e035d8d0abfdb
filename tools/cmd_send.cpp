// koru-tool send FILE [--verify]: transfers a program or melody file to the
// kit as its editor would (image framed by 240 or 242 and 250, one value per
// report, paced), shows the progress on stderr and waits for the kit's FF.
// With --verify it then reads the kit's memory back and fails when the kit
// does not hold exactly what was sent.
#include "tools/command.h"
#include "tools/kitsession.h"
#include "tools/programkind.h"

#include "link/devicelink.h"
#include "model/decoder.h"
#include "model/textutil.h"

namespace koru::tool {
namespace {

int RunSend(const QStringList &args);

const KoruCommand sendCommand("send", "FILE [--verify]",
                              "transfer a program or melody file to the kit and wait for its FF", RunSend);

constexpr int ReadyTimeoutMs = 5000;

constexpr int MelodyAreaStart = 128;

// The first address where the kit's memory differs from the stored frame
// (its values after the frame start, 250 included), or -1.
int FirstDifference(const QStringList &memory, const QList<int> &frame, int areaStart)
{
    for (qsizetype i = 1; i < frame.size(); ++i) {
        const int address = areaStart + int(i) - 1;
        if (address >= memory.size() || ByteValueOfLine(memory[address]) != std::optional<int>(frame[i]))
            return address;
    }
    return -1;
}

int RunSend(const QStringList &args)
{
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
        return refuse(SendFailure(link));
    if (!verify)
        return Success;

    ReplyCollector memory(link, kit::MemoryReplies);
    if (!RequestAndWait(link, [&link] { return link.RequestMemory(); }))
        return refuse(SendFailure(link));
    const QStringList held = memory.collect(5000, 500, kit::MemoryReplies);
    const int areaStart = kind->frameStart == kit::ProgramFrame ? 0 : MelodyAreaStart;
    if (const int address = FirstDifference(held, values, areaStart); address >= 0) {
        const QString sent = QStringLiteral("%1").arg(values[address - areaStart + 1], 2, 16, QLatin1Char('0')).toUpper();
        return refuse(QStringLiteral("koru-tool send: %1: the kit does not hold what was sent "
                                     "(address %2: sent %3, the kit holds %4)")
                          .arg(args[0])
                          .arg(address)
                          .arg(sent, address < held.size() ? StripSpaces(held[address]) : QStringLiteral("nothing")));
    }
    return Success;
}

} // namespace
} // namespace koru::tool
