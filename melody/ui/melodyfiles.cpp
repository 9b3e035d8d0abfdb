#include "melody/ui/melodyfiles.h"

#include "model/dialogservice.h"
#include "model/programfile.h"

#include <QFileInfo>

namespace koru::melody {

namespace {

QString &lastFolder()
{
    static QString folder;
    return folder;
}

void remember(const QString &path)
{
    lastFolder() = QFileInfo(path).absolutePath();
}

} // namespace

std::optional<QString> SaveMelody(const Melody &melody)
{
    const QString chosen = Dialogs().saveFileName(MelodyFileFilter, lastFolder());
    if (chosen.isEmpty())
        return std::nullopt;
    const QString path = WithProgramSuffix(chosen, MelodySuffix);
    if (QFileInfo::exists(path) && !Dialogs().confirmOverwrite(OverwriteQuestion))
        return std::nullopt;
    if (!melody.save(path)) {
        Dialogs().warning(SaveFailed);
        return std::nullopt;
    }
    remember(path);
    return QFileInfo(path).absoluteFilePath();
}

std::optional<QString> OpenMelody(Melody &melody)
{
    const QString path = Dialogs().openFileName(MelodyFileFilter, lastFolder());
    if (path.isEmpty())
        return std::nullopt;
    if (!HasProgramExtension(path)) {
        Dialogs().information(WrongExtension);
        return std::nullopt;
    }
    remember(path);
    // Keep what the pupil has until the file proves to be a melody.
    Melody loaded = melody;
    switch (loaded.loadFile(path)) {
    case Melody::FileResult::Loaded:
        melody = loaded;
        return QFileInfo(path).absoluteFilePath();
    case Melody::FileResult::OtherStep:
        Dialogs().warning(OtherStepFileMessage);
        return std::nullopt;
    case Melody::FileResult::Damaged:
        melody = loaded;
        Dialogs().warning(LoadFailed);
        return std::nullopt;
    case Melody::FileResult::Unreadable:
        break;
    }
    Dialogs().warning(LoadFailed);
    return std::nullopt;
}

} // namespace koru::melody
