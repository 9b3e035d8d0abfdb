// koru-tool memory: asks the kit for its memory (245) and prints every reply
// line, one per line, once the replies have stopped coming.
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"

namespace koru::tool {
namespace {

int RunMemory(const QStringList &args);

// One reply per address 0-254.
constexpr int MemoryReplies = 255;

const KoruCommand memoryCommand("memory", "", "print the kit's memory, one reply line per address", RunMemory);

int RunMemory(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(memoryCommand);
    DeviceLink &link = SettledLink();
    ReplyCollector replies(link);
    if (!RequestAndWait(link, [&link] { return link.RequestMemory(); }))
        return refuse(NoKitMessage);
    for (const QString &line : replies.collect(5000, 500, MemoryReplies))
        out() << line.trimmed() << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
