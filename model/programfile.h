// Program files on disk: lines of text in Shift-JIS with CR LF endings.
//
// Every editor reads and writes its ".koru" files through these functions,
// so the encoding, the size limit and the atomic save live in one place.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

// Files larger than this are refused as unreadable.
inline constexpr qint64 MaxProgramFileBytes = 1024 * 1024;

// Splits Shift-JIS bytes into lines (CR LF or LF alone). Refuses text that
// is not valid Shift-JIS or holds NUL bytes.
std::optional<QStringList> DecodeProgramText(const QByteArray &bytes);
// Encodes lines as Shift-JIS the way Windows (code page 932) does, each
// ended by CR LF: characters whose JIS form Windows writes as another code
// point (the wave dash U+301C, the minus U+2212, ...) are written in that
// form, so the file opens the same on the pupils' other PCs. Characters it
// cannot hold make the result empty (nullopt).
std::optional<QByteArray> EncodeProgramText(const QStringList &lines);
// The text with those characters in their code page 932 forms.
QString WithCp932Forms(const QString &text);

// The first character EncodeProgramText cannot write, and its line
// (counted from 1, or from the line after the first line equal to
// afterLine when given: the pupil's own text in a file that starts with
// records). nullopt when every character can be written.
struct UnencodableCharacter
{
    int line = 0;
    QString character;
};
std::optional<UnencodableCharacter> FirstUnencodableCharacter(const QStringList &lines,
                                                              const QString &afterLine = {});
// "12行目の「😀」は保存出来ない文字です。"
QString UnencodableMessage(const UnencodableCharacter &found);

// Opens path for reading only when it is a regular file (after symbolic
// links). A named pipe, a device or a folder is refused at once: opening
// one must never wait for a writer or block the user-interface thread.
bool OpenRegularFile(QFile &file, const QString &path);
// The whole content of a regular file of at most maxBytes; nullopt when the
// file is missing, not a regular file, unreadable or larger.
std::optional<QByteArray> ReadRegularFile(const QString &path, qint64 maxBytes = MaxProgramFileBytes);

// Reads a whole program file; nullopt when the file is missing, unreadable,
// not a regular file, too large or not text.
std::optional<QStringList> ReadProgramLines(const QString &path);
// Writes atomically: on failure the earlier file stays as it was.
bool WriteProgramLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// The one way the program writes a file (program files, the hand-over file,
// the preview sound, tables, reports, pictures): the bytes go to a new file
// beside the target, every write is checked and flushed, and only a file
// written in full takes the target's place. A symbolic link keeps pointing
// at its target, which is replaced; an existing file keeps its permissions,
// a new one gets the usual ones (umask applied); a read-only file is not
// replaced. On any failure (full disk, file size limit, missing folder,
// read-only target) false comes back, the earlier file stays as it was, and
// error, when given, receives the reason.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Makes a write over the file size limit (ulimit -f) fail with EFBIG, which
// WriteFileAtomically reports, instead of the system ending the process (and
// the pupil's unsaved work with it). Every program calls it first thing.
void KeepRunningPastFileSizeLimit();

// The ".koru" extension, compared in lower case.
bool HasProgramExtension(const QString &fileName);
// A chosen save name with the editor's suffix ("(フロー).koru") appended when
// it lacks the ".koru" extension.
QString WithProgramSuffix(const QString &fileName, const QString &suffix);
// Same rule for any extension (".csv", ".html").
QString WithExtension(const QString &fileName, const QString &extension, const QString &suffix);

// Suffixes the editors append.
inline const QString FlowSuffix = QStringLiteral("(フロー).koru");
inline const QString IconSuffix = QStringLiteral("(アイコン).koru");
inline const QString TextSuffix = QStringLiteral("(文字).koru");
inline const QString MelodySuffix = QStringLiteral("(メロディ).koru");

} // namespace koru
