#include "melody/ui/melodyfiles.h"

#include "model/messages.h"


#include <QFileInfo>

namespace koru::melody {

FileResult ReadMelodyFile(const QString &path, Melody &melody)
{
    // Keep what the pupil has until the file proves to be a melody.
    Melody loaded = melody;
    switch (loaded.loadFile(path)) {
    case Melody::MelodyLoad::Loaded:
        melody = loaded;
        return {true, {}};
    case Melody::MelodyLoad::OtherStep:
        return {false, OtherStepFileMessage};
    case Melody::MelodyLoad::Damaged:
        melody = loaded;
        return {false, LoadFailed};
    case Melody::MelodyLoad::Unreadable:
        break;
    }
    return {false, LoadFailed};
}

std::optional<QString> SaveMelody(const Melody &melody)
{
    const std::optional<QString> path = SaveProgramCommand(MelodyFiles, melody.fileLines());
    if (!path)
        return std::nullopt;
    return QFileInfo(*path).absoluteFilePath();
}

std::optional<QString> OpenMelody(Melody &melody)
{
    const std::optional<QString> path =
        OpenProgramCommand(MelodyFiles, [&melody](const QString &file) { return ReadMelodyFile(file, melody); });
    if (!path)
        return std::nullopt;
    return QFileInfo(*path).absoluteFilePath();
}

} // namespace koru::melody
