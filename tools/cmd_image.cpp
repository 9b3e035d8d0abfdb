// koru-tool image FILE: the byte image the file's editor would send (without
// the frame values), one decimal value per line. A program that fails its
// editor's check is refused with the check's message.
#include "tools/command.h"
#include "tools/programkind.h"

namespace koru::tool {
namespace {

int RunImage(const QStringList &args);

const KoruCommand imageCommand("image", "FILE", "print the byte image a program file's editor sends", RunImage);

int RunImage(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(imageCommand);
    const std::optional<QStringList> lines = ReadFileForCommand(imageCommand.name, args[0]);
    if (!lines)
        return Refused;
    const ProgramKind *kind = KindForCommand(imageCommand.name, args[0], *lines);
    if (!kind)
        return Refused;
    if (!kind->image)
        return refuse(QStringLiteral("koru-tool image: %1 files have no image").arg(QLatin1String(kind->name)));
    const KindResult result = kind->image(*lines);
    if (!result.ok())
        return refuseFile(imageCommand.name, args[0], result.refusal);
    for (const QString &value : result.lines)
        out() << value << '\n';
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
