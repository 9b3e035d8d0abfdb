// koru-tool flow FILE OUT: the flowchart file the flowchart editor saves
// after opening FILE. A flowchart file is loaded, a file of another step is
// laid out from its instruction listing; the editor's messages go to stderr.
#include "tools/command.h"

#include "flowchart/flowfile.h"
#include "model/dialogservice.h"
#include "model/programfile.h"

namespace koru::tool {
namespace {

int RunFlow(const QStringList &args);

const KoruCommand flowCommand("flow", "FILE OUT", "open any program file as a flowchart and save it", RunFlow);

int RunFlow(const QStringList &args)
{
    if (args.size() != 2)
        return usageError(flowCommand);
    FlowDocument doc;
    const FlowLoadResult result = LoadFlowFile(doc, args[0]);
    if (!result.ok())
        return refuse(QStringLiteral("koru-tool flow: %1: %2").arg(args[0], result.message));
    ListingResult listing;
    const QStringList lines = FlowFileLines(doc, &listing);
    if (!listing.warning.isEmpty())
        err() << QString(listing.warning).replace(QLatin1String("\r\n"), QLatin1String("\n")) << Qt::endl;
    QString why;
    if (!WriteProgramLines(args[1], lines, &why))
        return refuse(SavedNothing(args[1], why));
    return Success;
}

} // namespace
} // namespace koru::tool
