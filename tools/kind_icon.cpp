// STEP1 program files for koru-tool's file commands: the row of icons after
// "DDDATA", read as the icon editor reads it.
#include "tools/programkind.h"

#include "icons/iconfile.h"
#include "model/messages.h"

namespace koru::tool {
namespace {

std::optional<icons::IconProgram> LoadIcons(const QStringList &fileLines)
{
    icons::IconProgram program;
    if (icons::ReadIconLines(fileLines, program) != icons::ReadResult::Ok)
        return std::nullopt;
    return program;
}

KindResult IconListing(const QStringList &fileLines)
{
    const std::optional<icons::IconProgram> program = LoadIcons(fileLines);
    if (!program)
        return KindResult::refused(LoadFailed);
    return {program->toRecords(), {}};
}

KindResult IconImage(const QStringList &fileLines)
{
    const std::optional<icons::IconProgram> program = LoadIcons(fileLines);
    if (!program)
        return KindResult::refused(LoadFailed);
    return KindImage(icons::SendableImage(*program));
}

const ProgramKind iconKind("icon", icons::IsIconFile, IconImage, IconListing);

} // namespace
} // namespace koru::tool
