// The editors' file commands, written once: "save to a file" asks for a
// name with the editor's filter, appends the editor's suffix, asks before
// replacing a file, writes atomically and warns on failure; "open a file"
// asks for a name, refuses other extensions and shows what the editor's
// reader answered. Dialogs start in the folder the editor used last, or in
// a "KORU" folder in the user's documents folder (created on first use);
// the last folder is remembered per editor across runs.
//
// The editors' cores stay free of dialogs: they produce lines to save and
// read files into a FileResult; the window calls these commands.
//
//   if (auto path = SaveProgramCommand(IconFiles, IconFileLines(m_program), m_program.checkLoops().message)) ...
//   if (auto path = OpenProgramCommand(IconFiles, [&](const QString &p) { return LoadIconFile(p, m_program); })) ...
//   ShowFileResult(LoadDemo(number, m_program));
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace koru {

// What an editor's files look like to the commands.
struct FileKind
{
    QString editor;      // key under which the last folder is remembered ("icons", "flowchart" ...)
    QString filter;      // "KORUファイル(*.koru)|*.koru"
    QString extension;   // ".koru", compared without regard to case
    QString suffix;      // appended when a chosen name lacks the extension ("(アイコン).koru")
    QString saveFailed;  // the warning after a failed save
    QString textSection = {}; // the line after which the pupil's own text starts, if the file has one
};

// A reader's answer: whether the document was read, and what to tell the
// pupil (nothing when message is empty).
struct FileResult
{
    bool ok = false;
    QString message;
    bool isInformation = false; // an information box rather than a warning
};

// Shows a result's message, if any, in the right kind of box.
void ShowFileResult(const FileResult &result);

// "ファイルへ保存". warningFirst, when not empty, is shown before the
// dialog (a program that fails its check is saved anyway, with the warning).
// The saved path, or nothing when cancelled or failed (the failure shown).
std::optional<QString> SaveProgramCommand(const FileKind &kind, const QStringList &lines,
                                          const QString &warningFirst = {});
// The same for any bytes (reports, pictures, tables), written through the
// same checked path.
std::optional<QString> SaveBytesCommand(const FileKind &kind, const QByteArray &bytes,
                                        const QString &warningFirst = {});

// "ファイル読み込み": the chosen path, checked for the extension, goes to
// read; its result is shown. The opened path when read succeeded.
std::optional<QString> OpenProgramCommand(const FileKind &kind,
                                          const std::function<FileResult(const QString &path)> &read);

// The folder a file dialog of this editor starts in: the last one used, if
// it still exists, else the KORU folder in the documents folder.
QString FileDialogFolder(const QString &editor);
// Remembers the folder of path for the editor's next dialog.
void RememberFileFolder(const QString &editor, const QString &path);
// "<documents>/KORU", created when missing.
QString DocumentsKoruFolder();
void SetDocumentsFolder(const QString &folder); // tests only; empty restores the user's

} // namespace koru
