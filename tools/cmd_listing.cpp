// koru-tool listing FILE: the instruction listing ("START", records, "END")
// of a program file, as its editor builds it. A program that fails its
// editor's check is refused with the check's message.
#include "tools/command.h"
#include "tools/programkind.h"

namespace koru::tool {
namespace {

int RunListing(const QStringList &args);

const KoruCommand listingCommand("listing", "FILE", "print the instruction listing of a program file", RunListing);

int RunListing(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(listingCommand);
    const std::optional<QStringList> lines = ReadFileForCommand(listingCommand.name, args[0]);
    if (!lines)
        return Refused;
    const ProgramKind *kind = KindForCommand(listingCommand.name, args[0], *lines);
    if (!kind)
        return Refused;
    if (!kind->listing)
        return refuse(QStringLiteral("koru-tool listing: %1 files have no instruction listing")
                          .arg(QLatin1String(kind->name)));
    const KindResult result = kind->listing(*lines);
    if (!result.ok())
        return refuseFile(listingCommand.name, args[0], result.refusal);
    for (const QString &line : result.lines)
        out() << line << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
