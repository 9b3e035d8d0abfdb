#include "model/filecommands.h"

#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace koru {

namespace {

QString &documentsOverride()
{
    static QString folder;
    return folder;
}

// Kept in the work folder, so tests that move the application-data folder
// never touch the user's settings.
QSettings folderSettings()
{
    return QSettings(WorkFolder() + QStringLiteral("folders.ini"), QSettings::IniFormat);
}

QString settingsKey(const QString &editor)
{
    return QStringLiteral("lastFolder/") + editor;
}

std::optional<QString> AskSavePath(const FileKind &kind, const QString &warningFirst)
{
    if (!warningFirst.isEmpty())
        Dialogs().warning(warningFirst);
    const QString chosen = Dialogs().saveFileName(kind.filter, FileDialogFolder(kind.editor));
    if (chosen.isEmpty())
        return std::nullopt;
    const QString path = WithExtension(chosen, kind.extension, kind.suffix);
    RememberFileFolder(kind.editor, path);
    if (QFileInfo::exists(path) && !Dialogs().confirmOverwrite(OverwriteQuestion))
        return std::nullopt;
    return path;
}

} // namespace

void ShowFileResult(const FileResult &result)
{
    if (result.message.isEmpty())
        return;
    if (result.isInformation)
        Dialogs().information(result.message);
    else
        Dialogs().warning(result.message);
}

std::optional<QString> SaveBytesCommand(const FileKind &kind, const QByteArray &bytes, const QString &warningFirst)
{
    const std::optional<QString> path = AskSavePath(kind, warningFirst);
    if (!path)
        return std::nullopt;
    if (!WriteFileAtomically(*path, bytes)) {
        Dialogs().warning(kind.saveFailed);
        return std::nullopt;
    }
    return path;
}

std::optional<QString> SaveProgramCommand(const FileKind &kind, const QStringList &lines, const QString &warningFirst)
{
    const std::optional<QByteArray> bytes = EncodeProgramText(lines);
    if (!bytes) {
        // Said before a name is asked for, so nothing is written and the
        // pupil knows what to change.
        const std::optional<UnencodableCharacter> found = FirstUnencodableCharacter(lines, kind.textSection);
        Dialogs().warning(found ? kind.saveFailed + QStringLiteral("\r\n") + UnencodableMessage(*found) : kind.saveFailed);
        return std::nullopt;
    }
    const std::optional<QString> path = AskSavePath(kind, warningFirst);
    if (!path)
        return std::nullopt;
    if (!WriteFileAtomically(*path, *bytes)) {
        Dialogs().warning(kind.saveFailed);
        return std::nullopt;
    }
    return path;
}

std::optional<QString> OpenProgramCommand(const FileKind &kind,
                                          const std::function<FileResult(const QString &path)> &read)
{
    const QString path = Dialogs().openFileName(kind.filter, FileDialogFolder(kind.editor));
    if (path.isEmpty())
        return std::nullopt;
    RememberFileFolder(kind.editor, path);
    if (!path.toLower().endsWith(kind.extension.toLower())) {
        Dialogs().information(WrongExtension);
        return std::nullopt;
    }
    const FileResult result = read(path);
    ShowFileResult(result);
    if (!result.ok)
        return std::nullopt;
    return path;
}

QString DocumentsKoruFolder()
{
    QString documents = documentsOverride();
    if (documents.isEmpty())
        documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = QDir(documents).filePath(QStringLiteral("KORU"));
    QDir().mkpath(folder);
    return folder;
}

void SetDocumentsFolder(const QString &folder)
{
    documentsOverride() = folder;
}

QString FileDialogFolder(const QString &editor)
{
    const QString last = folderSettings().value(settingsKey(editor)).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return DocumentsKoruFolder();
}

void RememberFileFolder(const QString &editor, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (editor.isEmpty() || !QFileInfo(folder).isDir())
        return;
    QSettings settings = folderSettings();
    settings.setValue(settingsKey(editor), folder);
}

} // namespace koru
