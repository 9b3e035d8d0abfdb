// koru-tool view FILE: the rows the sent-data viewer shows for a program
// file: the header, then number, text and code of every instruction,
// separated by tabs.
#include "tools/command.h"
#include "tools/programkind.h"

#include "model/viewerrows.h"

namespace koru::tool {
namespace {

int RunView(const QStringList &args);

const KoruCommand viewCommand("view", "FILE", "print the sent-data viewer's rows for a program file", RunView);

int RunView(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(viewCommand);
    const std::optional<QStringList> lines = ReadFileForCommand(viewCommand.name, args[0]);
    if (!lines)
        return Refused;
    const ProgramKind *kind = KindForCommand(viewCommand.name, args[0], *lines);
    if (!kind)
        return Refused;
    if (!kind->listing)
        return refuse(QStringLiteral("koru-tool view: %1 files have no instruction listing")
                          .arg(QLatin1String(kind->name)));
    const KindResult result = kind->listing(*lines);
    if (!result.ok())
        return refuseFile(viewCommand.name, args[0], result.refusal);
    out() << ViewerHeader().join(QLatin1Char('\t')) << '\n';
    for (const ViewerRow &row : ViewerRows(result.lines))
        out() << row.number << '\t' << row.text << '\t' << row.code() << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
