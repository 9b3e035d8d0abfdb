// koru-tool memory: asks the kit for its memory (245) and prints every reply
// line, one per line, once the replies have stopped coming.
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"

namespace koru::tool {
namespace {

int RunMemory(const QStringList &args);

const KoruCommand memoryCommand("memory", "", "print the kit's memory, one reply line per address", RunMemory);

int RunMemory(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(memoryCommand);
    DeviceLink &link = SettledLink();
    ReplyCollector replies(link, kit::MemoryReplies);
    if (!RequestAndWait(link, [&link] { return link.RequestMemory(); }))
        return refuse(SendFailure(link));
    // A kit that answers less has not given its memory: printing the part
    // that came would pass for the whole.
    const QStringList lines = replies.collect(5000, 500, kit::MemoryReplies);
    if (lines.size() < kit::MemoryReplies)
        return refuse(QStringLiteral("koru-tool memory: the kit answered %1 of %2 replies")
                          .arg(lines.size())
                          .arg(kit::MemoryReplies));
    for (const QString &line : lines)
        out() << line.trimmed() << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
