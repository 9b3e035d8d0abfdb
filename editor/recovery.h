// Recovery copies: what keeps a pupil's unsaved work through a crash, a
// kill, a power cut or a logout.
//
// While an editor holds work that is not in a file, its frame writes the
// document, as the program file a save would write, to
// <work folder>/Recovery/<key>.koru, with <key>.txt beside it naming the file
// the document came from (or none) and when it was written. A normal end
// (saved, or closed with the pupil's answer) removes both; only an abnormal
// end leaves them, and the next start offers them back.
//
//   RecoveryStore store(WorkFolder() + "Recovery");
//   if (!store.isOwned()) ... // another program runs on this work folder
//   store.write(QStringLiteral("STEP3"), lines, origin);   // the frame, after changes
//   store.remove(QStringLiteral("STEP3"));                 // saved or closed normally
//   for (const RecoveryCopy &copy : store.copies()) ...    // at start
//   store.archive();                                       // "No": into old/, 20 kept
//
// At start the shell calls OfferRecovery (below); an editor's frame takes
// the copy offered for its key when it first shows.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace koru {

struct RecoveryCopy
{
    QString key;        // the editor: "STEP1", "STEP2", "STEP3", "MELODY"
    QString path;       // the program file of the copy
    QString origin;     // the file the document came from; empty: none
    QDateTime savedAt;  // when the copy was written
};

class RecoveryStore
{
public:
    // Takes the folder for this program: a lock file in it keeps a second
    // program on the same work folder from taking or overwriting the first
    // one's copies (a lock left by a killed program is taken over).
    // Claim::Later leaves the lock for claim(): taking it waits for the disk
    // (the lock file is synced), which a program starting up does once its
    // window is up. Until then the store is not owned.
    enum class Claim { Now, Later };
    explicit RecoveryStore(const QString &folder, Claim claim = Claim::Now);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // False when another program holds the folder: then nothing is written,
    // listed, removed or archived.
    bool isOwned() const { return m_owned; }
    // Takes the folder if it is free (again); true when this store owns it.
    bool claim();
    QString folder() const { return m_folder; }

    // Writes the copy of one editor (atomically: a failed write leaves the
    // previous copy whole). False with the reason in error.
    bool write(const QString &key, const QStringList &fileLines, const QString &origin, QString *error = nullptr);
    void remove(const QString &key);
    bool has(const QString &key) const;

    // The copies found, newest first. Copies whose record or program file
    // is damaged or missing are left out; their keys go to damaged.
    QList<RecoveryCopy> copies(QStringList *damaged = nullptr) const;
    // Moves every copy (and anything unreadable beside them) into old/,
    // stamped with the time; keeps the newest KeptOldCopies there.
    void archive();
    // Moves one copy into old/ (a copy its editor could not read).
    void archive(const QString &key);

    // Copies the pupil chose to get back, each taken by its editor when it
    // opens (the launcher opens one editor at a time).
    void offer(const QList<RecoveryCopy> &copies);
    std::optional<RecoveryCopy> takeOffered(const QString &key);

    static constexpr int KeptOldCopies = 20;
    static const QStringList Keys;

private:
    QString programPath(const QString &key) const;
    QString recordPath(const QString &key) const;
    void archiveFiles(const QString &key, const QString &stamp);
    void pruneOld();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    bool m_owned = false;
    QHash<QString, RecoveryCopy> m_offered;
};

// The start-up question: when another program owns the folder, says once
// that this one keeps no copies; a damaged copy is set aside in old/ with
// one warning; copies found are offered ("Yes", the default: each editor
// gets its copy back when it opens, the newest one's editor is opened at
// once through openEditor; "No": the copies go to old/).
void OfferRecovery(RecoveryStore &store, const std::function<void(const QString &key)> &openEditor);

inline const QString RecoverQuestion =
    QStringLiteral("前回、保存されずに終わった作業があります。復元しますか？");
inline const QString RecoveryDamagedMessage =
    QStringLiteral("前回の作業の一部は壊れていたため、復元できませんでした。");
inline const QString RecoveryNotOwnedMessage =
    QStringLiteral("別のKORUが同じ作業フォルダで動いています。\r\nこちらのKORUでは作業の自動保存をしません。");
// The quiet note in an editor when a copy cannot be written (our wording).
inline const QString AutosaveFailedNote = QStringLiteral("作業の自動保存ができません: ");

} // namespace koru
