// STEP1 program files for koru-tool's file commands: the row of icons after
// "DDDATA", read as the icon editor reads it.
#include "tools/programkind.h"

#include "icons/iconfile.h"
#include "model/messages.h"

namespace koru::tool {
namespace {

bool IsIconFile(const QStringList &fileLines)
{
    return fileLines.contains(icons::IconSection);
}

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

// What F6 would send: refused when the loop check fails or the row needs
// more bytes than the kit holds.
KindResult IconImage(const QStringList &fileLines)
{
    const std::optional<icons::IconProgram> program = LoadIcons(fileLines);
    if (!program)
        return KindResult::refused(LoadFailed);
    if (!program->loopsAreValid())
        return KindResult::refused(icons::LoopMessage);
    const DeviceImage image = program->toImage();
    if (image.size() > MaxImageBytes)
        return KindResult::refused(icons::ImageTooLargeMessage);
    return {ImageTexts(image), {}};
}

const ProgramKind iconKind("icon", IsIconFile, IconImage, IconListing);

} // namespace
} // namespace koru::tool
