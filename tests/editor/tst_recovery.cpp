// The recovery folder on its own: copies written and found, damaged ones
// told apart, "No" keeping them in old/ (the newest 20), and a second
// program on the same folder kept from the first one's copies.
#include "editor/recovery.h"

#include "scripteddialogs.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace koru;

class TstRecovery : public QObject
{
    Q_OBJECT
private slots:
    void writtenFoundAndRemoved()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.filePath(QStringLiteral("Recovery")));
        QVERIFY(store.isOwned());
        QVERIFY(store.write(QStringLiteral("STEP3"), {QStringLiteral("beep1();")}, QStringLiteral("/home/pupil/a.koru")));
        QTest::qWait(5); // two copies written in the same millisecond would have no order
        QVERIFY(store.write(QStringLiteral("MELODY"), {QStringLiteral("x")}, {}));
        const QList<RecoveryCopy> copies = store.copies();
        QCOMPARE(copies.size(), 2);
        QCOMPARE(copies[0].key, QStringLiteral("MELODY")); // newest first
        QCOMPARE(copies[1].origin, QStringLiteral("/home/pupil/a.koru"));
        QCOMPARE(copies[0].origin, QString());
        store.remove(QStringLiteral("MELODY"));
        QCOMPARE(store.copies().size(), 1);
        QVERIFY(!store.write(QStringLiteral("STEP9"), {}, {})); // not an editor of ours
    }

    void damagedCopiesAreSetAside()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Recovery"));
        RecoveryStore store(folder);
        QVERIFY(store.write(QStringLiteral("STEP1"), {QStringLiteral("ok")}, {}));
        QVERIFY(store.write(QStringLiteral("STEP2"), {QStringLiteral("ok")}, {}));
        // A record without its time, a copy without its record, a folder where a copy belongs.
        QFile record(QDir(folder).filePath(QStringLiteral("STEP2.txt")));
        QVERIFY(record.open(QIODevice::WriteOnly | QIODevice::Truncate));
        record.write("origin=\n\xff\xfe garbage");
        record.close();
        QFile lonely(QDir(folder).filePath(QStringLiteral("STEP3.koru")));
        QVERIFY(lonely.open(QIODevice::WriteOnly));
        lonely.close();
        QVERIFY(QDir(folder).mkdir(QStringLiteral("MELODY.koru")));

        test::ScriptedDialogs dialogs;
        dialogs.answerQuestion(true);
        QStringList opened;
        OfferRecovery(store, [&](const QString &key) { opened << key; });
        QCOMPARE(dialogs.texts(), (QStringList{RecoveryDamagedMessage, RecoverQuestion}));
        QCOMPARE(opened, QStringList{QStringLiteral("STEP1")});
        QVERIFY(store.takeOffered(QStringLiteral("STEP1")));
        QVERIFY(!store.takeOffered(QStringLiteral("STEP1"))); // taken once
        QVERIFY(!QFile::exists(record.fileName()));
        QVERIFY(!QFile::exists(lonely.fileName()));
    }

    void noKeepsTheNewestTwentyInOld()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Recovery"));
        RecoveryStore store(folder);
        QDir old(QDir(folder).filePath(QStringLiteral("old")));
        QVERIFY(old.mkpath(QStringLiteral(".")));
        for (int i = 0; i < RecoveryStore::KeptOldCopies; ++i) {
            QFile earlier(old.filePath(QStringLiteral("20200101-0000%1-STEP1.koru").arg(i, 2, 10, QLatin1Char('0'))));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.close();
            // Older than anything written now.
            QVERIFY(earlier.open(QIODevice::ReadWrite));
            QVERIFY(earlier.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0, i)), QFileDevice::FileModificationTime));
            earlier.close();
        }
        QVERIFY(store.write(QStringLiteral("STEP2"), {QStringLiteral("mine")}, {}));
        test::ScriptedDialogs dialogs;
        dialogs.answerQuestion(false);
        OfferRecovery(store, {});
        QCOMPARE(dialogs.texts(), QStringList{RecoverQuestion});
        QVERIFY(store.copies().isEmpty());
        const QStringList kept = old.entryList({QStringLiteral("*.koru")}, QDir::Files);
        QCOMPARE(kept.size(), RecoveryStore::KeptOldCopies);
        QVERIFY(kept.filter(QStringLiteral("STEP2")).size() == 1);                  // the pupil's is kept
        QVERIFY(!kept.contains(QStringLiteral("20200101-000000-STEP1.koru")));      // the oldest went
        QVERIFY(!old.entryList({QStringLiteral("*STEP2.txt")}, QDir::Files).isEmpty());
    }

    void secondProgramLeavesTheCopiesAlone()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Recovery"));
        auto first = std::make_unique<RecoveryStore>(folder);
        QVERIFY(first->write(QStringLiteral("STEP1"), {QStringLiteral("first")}, {}));
        RecoveryStore second(folder);
        QVERIFY(!second.isOwned());
        QVERIFY(second.copies().isEmpty());
        QVERIFY(!second.write(QStringLiteral("STEP1"), {QStringLiteral("second")}, {}));
        second.archive();
        second.remove(QStringLiteral("STEP1"));
        test::ScriptedDialogs dialogs;
        OfferRecovery(second, {});
        QCOMPARE(dialogs.texts(), QStringList{RecoveryNotOwnedMessage});
        QCOMPARE(first->copies().size(), 1);
        // Once the first program has gone, the folder is free again.
        first.reset();
        RecoveryStore third(folder);
        QVERIFY(third.isOwned());
        QCOMPARE(third.copies().size(), 1);
    }

    // A store claimed later (the program's, once its window is up) keeps
    // nothing until then, and then only if no other program holds the folder.
    void claimedLater()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Recovery"));
        RecoveryStore later(folder, RecoveryStore::Claim::Later);
        QVERIFY(!later.isOwned());
        QVERIFY(!later.write(QStringLiteral("STEP1"), {QStringLiteral("early")}, {}));
        auto other = std::make_unique<RecoveryStore>(folder);
        QVERIFY(other->isOwned());
        QVERIFY(!later.claim());
        QVERIFY(!later.write(QStringLiteral("STEP1"), {QStringLiteral("early")}, {}));
        other.reset();
        QVERIFY(later.claim());
        QVERIFY(later.claim()); // once owned, stays owned
        QVERIFY(later.write(QStringLiteral("STEP1"), {QStringLiteral("mine")}, {}));
        QCOMPARE(later.copies().size(), 1);
        RecoveryStore next(folder);
        QVERIFY(!next.isOwned());
    }

    // A program killed while it held the folder leaves its lock behind; the
    // next program takes the folder over, and with it the copies.
    void killedProgramsLockIsTakenOver()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Recovery"));
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            RecoveryStore store(folder);
            const bool ok = store.isOwned() && store.write(QStringLiteral("STEP3"), {QStringLiteral("beep1();")}, {});
            _exit(ok ? 0 : 1); // no destructors: the lock stays as after a kill
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("owner.lock"))));
        RecoveryStore next(folder);
        QVERIFY(next.isOwned());
        QCOMPARE(next.copies().size(), 1);
    }
};

KORU_TEST_GUILESS_MAIN(TstRecovery)
#include "tst_recovery.moc"
