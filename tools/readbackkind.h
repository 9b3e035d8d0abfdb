// What koru-tool's `readback MEMORY OUT [--KIND]` can rebuild from the kit's
// memory. Each editor that reads back registers one ReadBackKind, the way
// program files register a ProgramKind:
//
//   static const koru::tool::ReadBackKind melodyReadBack{"--melody", MelodyFromMemory};
//
// The kind without an option ("") is what `readback` rebuilds when no option
// is given (the flowchart).
#pragma once

#include "tools/programkind.h"

namespace koru::tool {

struct ReadBackKind
{
    // Reply lines (line k = the byte at address k, "XX ") -> the lines of
    // the program file the editor would save, or its message.
    using Rebuild = KindResult (*)(const QStringList &replyLines);

    ReadBackKind(const char *option, Rebuild rebuild);

    const char *option; // "--melody", or "" for the default kind
    Rebuild rebuild;
};

const QList<const ReadBackKind *> &readBackKinds();
const ReadBackKind *ReadBackKindOf(const QString &option);

} // namespace koru::tool
