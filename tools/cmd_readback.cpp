// koru-tool readback MEMORY OUT [--melody]: rebuilds the program file that
// an editor's "送信済データの読み込み" would produce from the kit's memory.
// MEMORY holds the reply lines of a memory request, one per line (as
// `koru-tool memory` prints them); OUT is written as a program file.
#include "tools/command.h"
#include "tools/readbackkind.h"

#include "model/messages.h"
#include "model/programfile.h"


namespace koru::tool {

namespace {
QList<const ReadBackKind *> &readBackRegistry()
{
    static QList<const ReadBackKind *> list;
    return list;
}
} // namespace

ReadBackKind::ReadBackKind(const char *option_, Rebuild rebuild_) : option(option_), rebuild(rebuild_)
{
    readBackRegistry().append(this);
}

const QList<const ReadBackKind *> &readBackKinds()
{
    return readBackRegistry();
}

const ReadBackKind *ReadBackKindOf(const QString &option)
{
    for (const ReadBackKind *kind : readBackRegistry()) {
        if (option == QLatin1String(kind->option))
            return kind;
    }
    return nullptr;
}

namespace {

int RunReadBack(const QStringList &args);

const KoruCommand readBackCommand("readback", "MEMORY OUT [--melody]",
                                  "rebuild a program file from the kit's memory reply lines", RunReadBack);

// The reply lines of a memory file: one per line, CR LF or LF, at most 1 MiB.
std::optional<QStringList> ReadMemoryLines(const QString &path)
{
    const std::optional<QByteArray> bytes = ReadRegularFile(path);
    if (!bytes || bytes->contains('\0'))
        return std::nullopt;
    QString text = QString::fromLatin1(*bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int RunReadBack(const QStringList &args)
{
    if (args.size() != 2 && args.size() != 3)
        return usageError(readBackCommand);
    const QString option = args.value(2);
    const ReadBackKind *kind = ReadBackKindOf(option);
    if (!kind) {
        if (option.isEmpty() || option.startsWith(QLatin1String("--")))
            return refuse(QStringLiteral("koru-tool readback: %1 read-back is not available in this build")
                              .arg(option.isEmpty() ? QStringLiteral("program") : option.mid(2)));
        return usageError(readBackCommand);
    }
    const std::optional<QStringList> memory = ReadMemoryLines(args[0]);
    if (!memory) {
        err() << "koru-tool readback: " << args[0] << ": " << LoadFailed << Qt::endl;
        return Refused;
    }
    const KindResult result = kind->rebuild(*memory);
    if (!result.ok())
        return refuse(result.refusal);
    QString why;
    if (!WriteProgramLines(args[1], result.lines, &why))
        return refuse(SavedNothing(args[1], why));
    if (!result.note.isEmpty())
        err() << result.note << Qt::endl;
    return Success;
}

} // namespace
} // namespace koru::tool
