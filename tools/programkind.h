// Program files as koru-tool's file commands see them. Every step that has
// program files registers one ProgramKind in tools/kind_<step>.cpp; the
// commands `image`, `listing` and `view` (and `send`, for the frame values)
// find the kind that recognises a file and ask it, so they serve every step
// without knowing any.
//
//   static const koru::tool::ProgramKind textKind{"text", IsTextFile, TextImage, TextListing};
#pragma once

#include "model/sendable.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru::tool {

// What a kind produces for a file: lines, or the editor's own refusal (its
// check's message, for instance).
struct KindResult
{
    QStringList lines;
    QString refusal;
    QString note {}; // said beside lines that were produced (an empty read-back)

    static KindResult refused(const QString &message) { return {{}, message}; }
    bool ok() const { return refusal.isEmpty(); }
};

// A core's decision on what F6 sends, as the image command prints it.
KindResult KindImage(const Sendable &sendable);

struct ProgramKind
{
    using Recognise = bool (*)(const QStringList &fileLines);
    using Produce = KindResult (*)(const QStringList &fileLines);

    ProgramKind(const char *name, Recognise recognises, Produce image, Produce listing,
                int frameStart = 240);

    const char *name;     // "flow", "icon", "text", "melody"
    Recognise recognises; // the file's lines are of this kind
    Produce image;        // the image the editor sends, one decimal value per line, unframed
    Produce listing;      // the CommandListing; nullptr when the kind has none (melodies)
    int frameStart;       // value sent before the image (240 programs, 242 melodies)
};

const QList<const ProgramKind *> &programKinds();

// The kind that recognises the lines, nullptr when none does.
const ProgramKind *KindOfFile(const QStringList &fileLines);

// Reads a program file for a command. On failure prints the reason on stderr
// and returns nullopt; the command then returns Refused.
std::optional<QStringList> ReadFileForCommand(const char *command, const QString &path);

// The kind of a file for a command, or nullptr after printing why not.
const ProgramKind *KindForCommand(const char *command, const QString &path, const QStringList &fileLines);

} // namespace koru::tool
