// koru-tool's sub-commands. Each lives in its own file and registers itself
// with a static KoruCommand object; main.cpp dispatches on the first argument.
//
// Exit codes: 0 success; 1 the program, file or kit refused the request (the
// program's own message on stderr); 2 usage error.
//
// Commands that take any step's program file (image, listing, view, send)
// ask the ProgramKind that the step registers (programkind.h,
// kind_<step>.cpp) instead of one command per step.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace koru::tool {

enum ExitCode { Success = 0, Refused = 1, UsageError = 2 };

struct KoruCommand
{
    using Run = int (*)(const QStringList &args);
    KoruCommand(const char *name, const char *usage, const char *summary, Run run);

    const char *name;
    const char *usage;   // arguments after the name, e.g. "FILE OUT"
    const char *summary; // one line for --help
    Run run;
};

const QList<const KoruCommand *> &commands();

QTextStream &out();
QTextStream &err();

// Prints the command's usage line to stderr and returns UsageError.
int usageError(const KoruCommand &command);
// Prints a message to stderr and returns Refused.
int refuse(const QString &message);
// The same for a file's content: a file that cannot be read as its kind
// (LoadFailed) is named as "koru-tool COMMAND: FILE: message";
// the editors' own check messages stay as the editor words them.
int refuseFile(const char *command, const QString &path, const QString &message);
// The message of a failed save: the program's own words, then the file and
// the reason ("No space left on device").
QString SavedNothing(const QString &path, const QString &reason);

} // namespace koru::tool
