#include "editor/recovery.h"

#include "model/dialogservice.h"
#include "model/programfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace koru {

const QStringList RecoveryStore::Keys{QStringLiteral("STEP1"), QStringLiteral("STEP2"), QStringLiteral("STEP3"),
                                      QStringLiteral("MELODY")};

namespace {

const QString OriginField = QStringLiteral("origin=");
const QString SavedField = QStringLiteral("saved=");
const QString OldFolder = QStringLiteral("old");

// A small record file is all that is read from the folder besides the
// copies: anything larger is not ours.
constexpr qint64 MaxRecordBytes = 64 * 1024;

} // namespace

RecoveryStore::RecoveryStore(const QString &folder, Claim claim) : m_folder(QDir::cleanPath(folder))
{
    if (claim == Claim::Now)
        this->claim();
}

bool RecoveryStore::claim()
{
    if (m_owned)
        return true;
    if (!QDir().mkpath(m_folder))
        return false;
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("owner.lock")));
        // A program that was killed leaves its lock: QLockFile sees that its
        // process is gone and takes the lock over.
        m_lock->setStaleLockTime(0);
    }
    m_owned = m_lock->tryLock(0);
    return m_owned;
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::programPath(const QString &key) const
{
    return QDir(m_folder).filePath(key + QStringLiteral(".koru"));
}

QString RecoveryStore::recordPath(const QString &key) const
{
    return QDir(m_folder).filePath(key + QStringLiteral(".txt"));
}

bool RecoveryStore::write(const QString &key, const QStringList &fileLines, const QString &origin, QString *error)
{
    if (!m_owned || !Keys.contains(key)) {
        if (error)
            *error = QStringLiteral("another program keeps the recovery folder");
        return false;
    }
    // The program file first: a record without its copy is never left newer
    // than the copy it describes.
    if (!WriteProgramLines(programPath(key), fileLines, error))
        return false;
    const QByteArray record = (OriginField + origin + QStringLiteral("\n") + SavedField
                               + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) + QStringLiteral("\n"))
                                  .toUtf8();
    return WriteFileAtomically(recordPath(key), record, error);
}

void RecoveryStore::remove(const QString &key)
{
    if (!m_owned)
        return;
    QFile::remove(programPath(key));
    QFile::remove(recordPath(key));
}

bool RecoveryStore::has(const QString &key) const
{
    return m_owned && QFileInfo(programPath(key)).isFile();
}

QList<RecoveryCopy> RecoveryStore::copies(QStringList *damaged) const
{
    QList<RecoveryCopy> found;
    QStringList bad;
    if (m_owned) {
        for (const QString &key : Keys) {
            const QFileInfo program(programPath(key));
            const QFileInfo recordInfo(recordPath(key));
            if (!program.exists() && !recordInfo.exists())
                continue;
            RecoveryCopy copy{key, program.filePath(), {}, {}};
            QFile record(recordInfo.filePath());
            bool ok = program.isFile() && recordInfo.isFile() && recordInfo.size() <= MaxRecordBytes
                      && record.open(QIODevice::ReadOnly);
            if (ok) {
                const QStringList lines = QString::fromUtf8(record.readAll()).split(QLatin1Char('\n'));
                for (const QString &line : lines) {
                    if (line.startsWith(OriginField))
                        copy.origin = line.mid(OriginField.size());
                    else if (line.startsWith(SavedField))
                        copy.savedAt = QDateTime::fromString(line.mid(SavedField.size()), Qt::ISODateWithMs);
                }
                ok = copy.savedAt.isValid();
            }
            if (ok)
                found.append(copy);
            else
                bad.append(key);
        }
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.savedAt > b.savedAt; });
    if (damaged)
        *damaged = bad;
    return found;
}

void RecoveryStore::offer(const QList<RecoveryCopy> &copies)
{
    m_offered.clear();
    for (const RecoveryCopy &copy : copies)
        m_offered.insert(copy.key, copy);
}

std::optional<RecoveryCopy> RecoveryStore::takeOffered(const QString &key)
{
    const auto it = m_offered.constFind(key);
    if (it == m_offered.cend())
        return std::nullopt;
    const RecoveryCopy copy = *it;
    m_offered.erase(it);
    return copy;
}

void OfferRecovery(RecoveryStore &store, const std::function<void(const QString &key)> &openEditor)
{
    if (!store.isOwned()) {
        Dialogs().information(RecoveryNotOwnedMessage);
        return;
    }
    QStringList damaged;
    const QList<RecoveryCopy> found = store.copies(&damaged);
    if (!damaged.isEmpty()) {
        for (const QString &key : damaged)
            store.archive(key);
        Dialogs().warning(RecoveryDamagedMessage);
    }
    if (found.isEmpty())
        return;
    if (!Dialogs().question(RecoverQuestion)) {
        store.archive();
        return;
    }
    store.offer(found);
    if (openEditor)
        openEditor(found.first().key);
}

void RecoveryStore::archiveFiles(const QString &key, const QString &stamp)
{
    const QDir old(QDir(m_folder).filePath(OldFolder));
    for (const QString &path : {programPath(key), recordPath(key)}) {
        if (!QFileInfo::exists(path))
            continue;
        const QString target = old.filePath(stamp + QLatin1Char('-') + QFileInfo(path).fileName());
        QFile::remove(target);
        if (!QFile::rename(path, target))
            QFile::remove(path); // a copy that cannot be kept must still not come back
    }
}

void RecoveryStore::archive()
{
    if (!m_owned)
        return;
    QDir().mkpath(QDir(m_folder).filePath(OldFolder));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &key : Keys)
        archiveFiles(key, stamp);
    pruneOld();
}

void RecoveryStore::archive(const QString &key)
{
    if (!m_owned)
        return;
    QDir().mkpath(QDir(m_folder).filePath(OldFolder));
    archiveFiles(key, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    pruneOld();
}

void RecoveryStore::pruneOld()
{
    // One kept copy is its program file with its record: keep the newest
    // KeptOldCopies program files and the records that go with them.
    QDir old(QDir(m_folder).filePath(OldFolder));
    const QFileInfoList programs =
        old.entryInfoList({QStringLiteral("*.koru")}, QDir::Files, QDir::Time); // newest first
    for (qsizetype i = KeptOldCopies; i < programs.size(); ++i) {
        const QString base = programs[i].completeBaseName();
        QFile::remove(programs[i].filePath());
        QFile::remove(old.filePath(base + QStringLiteral(".txt")));
    }
}

} // namespace koru
