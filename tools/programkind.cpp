#include "tools/programkind.h"

#include "tools/command.h"

#include "model/messages.h"
#include "model/programfile.h"

#include <QList>

namespace koru::tool {

namespace {
QList<const ProgramKind *> &kindRegistry()
{
    static QList<const ProgramKind *> list;
    return list;
}
} // namespace

ProgramKind::ProgramKind(const char *name_, Recognise recognises_, Produce image_, Produce listing_,
                         int frameStart_)
    : name(name_), recognises(recognises_), image(image_), listing(listing_), frameStart(frameStart_)
{
    kindRegistry().append(this);
}

KindResult KindImage(const Sendable &sendable)
{
    if (!sendable.message.isEmpty())
        return KindResult::refused(sendable.message);
    return {ImageTexts(sendable.image), {}};
}

const QList<const ProgramKind *> &programKinds()
{
    return kindRegistry();
}

const ProgramKind *KindOfFile(const QStringList &fileLines)
{
    for (const ProgramKind *kind : kindRegistry()) {
        if (kind->recognises(fileLines))
            return kind;
    }
    return nullptr;
}

std::optional<QStringList> ReadFileForCommand(const char *command, const QString &path)
{
    std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines)
        err() << "koru-tool " << command << ": " << path << ": " << LoadFailed << Qt::endl;
    return lines;
}

const ProgramKind *KindForCommand(const char *command, const QString &path, const QStringList &fileLines)
{
    const ProgramKind *kind = KindOfFile(fileLines);
    if (!kind) {
        QStringList names;
        for (const ProgramKind *known : kindRegistry())
            names << QLatin1String(known->name);
        err() << "koru-tool " << command << ": " << path << " is not a program file of a supported kind ("
              << names.join(QLatin1String(", ")) << ")" << Qt::endl;
    }
    return kind;
}

} // namespace koru::tool
