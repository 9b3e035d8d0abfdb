// koru-tool: the command-line companion. It holds no logic of its own: every
// command calls the same libraries the windows use.
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"

#include "model/messages.h"
#include "model/programfile.h"

#include <QCoreApplication>

namespace koru::tool {

namespace {
QList<const KoruCommand *> &commandRegistry()
{
    static QList<const KoruCommand *> list;
    return list;
}
} // namespace

KoruCommand::KoruCommand(const char *name_, const char *usage_, const char *summary_, Run run_)
    : name(name_), usage(usage_), summary(summary_), run(run_)
{
    commandRegistry().append(this);
}

const QList<const KoruCommand *> &commands()
{
    return commandRegistry();
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usageError(const KoruCommand &command)
{
    err() << "usage: koru-tool " << command.name << ' ' << command.usage << Qt::endl;
    return UsageError;
}

int refuse(const QString &message)
{
    QString text = message;
    err() << text.replace(QLatin1String("\r\n"), QLatin1String("\n")) << Qt::endl;
    return Refused;
}

int refuseFile(const char *command, const QString &path, const QString &message)
{
    if (message == LoadFailed)
        return refuse(QStringLiteral("koru-tool %1: %2: %3").arg(QLatin1String(command), path, message));
    return refuse(message);
}

QString SavedNothing(const QString &path, const QString &reason)
{
    return QStringLiteral("%1\r\n%2: %3").arg(SaveFailed, path, reason);
}

static void printHelp(QTextStream &stream)
{
    stream << "usage: koru-tool COMMAND [ARGS...]\n\n"
              "The command-line companion of the KORU control radio.\n"
              "Exit codes: 0 success, 1 refused (the reason on stderr), 2 usage error.\n"
              "Kit commands take --kit ID to talk to one kit of several (IDs: koru-tool kits);\n"
              "without it they talk to the newest kit, as the program's windows do.\n"
              "send, run and stop take --all to do the same on every kit connected, all at once:\n"
              "one line per kit (its ID, then OK or the reason) and a summary line; exit 0 only\n"
              "when every kit did it.\n\n"
              "Commands:\n";
    QList<const KoruCommand *> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const KoruCommand *a, const KoruCommand *b) { return qstrcmp(a->name, b->name) < 0; });
    for (const KoruCommand *c : sorted) {
        const QString head = QStringLiteral("  %1 %2").arg(QLatin1String(c->name), QLatin1String(c->usage));
        stream << head.leftJustified(41) << ' ' << c->summary << '\n';
    }
    stream.flush();
}

} // namespace koru::tool

int main(int argc, char *argv[])
{
    using namespace koru::tool;
    koru::KeepRunningPastFileSizeLimit();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        printHelp(err());
        return UsageError;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printHelp(out());
        return Success;
    }
    // --kit ID, with any kit command: talk to that kit only (IDs as
    // `koru-tool kits` lists them), never to whichever is newest.
    QString wantedKit;
    if (const qsizetype at = args.indexOf(QLatin1String("--kit")); at >= 0) {
        if (at + 1 >= args.size() || args[at + 1].isEmpty()) {
            err() << "koru-tool: --kit needs a kit's ID (see koru-tool kits)" << Qt::endl;
            return UsageError;
        }
        wantedKit = args[at + 1];
        args.remove(at, 2);
    }
    KitSession kits(wantedKit);
    UseKitSession(&kits);
    struct Unuse
    {
        ~Unuse() { UseKitSession(nullptr); }
    } unuse;
    for (const KoruCommand *c : commands()) {
        if (name == QLatin1String(c->name)) {
            if (args.contains(QLatin1String("--help"))) {
                out() << "usage: koru-tool " << c->name << ' ' << c->usage << '\n' << c->summary << Qt::endl;
                return Success;
            }
            const int code = c->run(args);
            out().flush();
            err().flush();
            return code;
        }
    }
    err() << "koru-tool: unknown command '" << name << "' (see koru-tool --help)" << Qt::endl;
    return UsageError;
}
