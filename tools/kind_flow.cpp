// STEP2 flowchart files for koru-tool's file commands (image, listing, view,
// send) and the default kind of `readback`: the same loading, check and
// translation the flowchart window uses.
#include "tools/programkind.h"
#include "tools/readbackkind.h"

#include "flowchart/flowfile.h"
#include "flowchart/flowtranslate.h"
#include "flowchart/readback.h"

namespace koru::tool {
namespace {

// The flowchart of a file, or the loader's message.
std::optional<FlowDocument> LoadFlow(const QStringList &fileLines, QString *refusal)
{
    FlowDocument doc;
    const FlowLoadResult result = LoadFlowLines(doc, fileLines);
    if (!result.ok()) {
        *refusal = result.message;
        return std::nullopt;
    }
    return doc;
}

KindResult FlowImage(const QStringList &fileLines)
{
    QString refusal;
    const auto doc = LoadFlow(fileLines, &refusal);
    if (!doc)
        return KindResult::refused(refusal);
    return KindImage(SendableImage(*doc));
}

KindResult FlowListing(const QStringList &fileLines)
{
    QString refusal;
    const auto doc = LoadFlow(fileLines, &refusal);
    if (!doc)
        return KindResult::refused(refusal);
    const ListingResult listing = BuildCommandListing(*doc);
    if (!listing.ok())
        return KindResult::refused(listing.warning.isEmpty() ? ListingUnavailableMessage() : listing.warning);
    return {listing.listing, {}};
}

KindResult FlowFromMemory(const QStringList &replyLines)
{
    FlowDocument doc;
    const ReadbackResult result = RebuildFromMemory(doc, replyLines);
    switch (result.status) {
    case ReadbackResult::Complete:
        return {FlowFileLines(doc), {}};
    case ReadbackResult::NoProgram:
        return {FlowFileLines(doc), {}, result.message};
    case ReadbackResult::Unconvertible:
        return KindResult::refused(result.message);
    case ReadbackResult::TooManySteps:
        return KindResult::refused(QStringLiteral("koru-tool readback: the walk over the memory took more than %1 steps")
                                       .arg(ReadbackStepLimit));
    case ReadbackResult::Unusable:
        break;
    }
    return KindResult::refused(QStringLiteral("koru-tool readback: the memory holds no flowchart program"));
}

const ProgramKind flowKind("flow", IsFlowFile, FlowImage, FlowListing);
const ReadBackKind flowReadBack("", FlowFromMemory);

} // namespace
} // namespace koru::tool
