// The editors' file commands: names, suffixes, the overwrite question,
// failures, the extension check, the reader's messages, and the folder the
// dialogs start in.
#include "model/dialogservice.h"
#include "model/filecommands.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using koru::test::ScriptedDialogs;

namespace {

const FileKind Kind{QStringLiteral("lesson"), QStringLiteral("KORUファイル(*.koru)|*.koru"), QStringLiteral(".koru"),
                    QStringLiteral("(テスト).koru"), QStringLiteral("保存できません")};

FileResult readLines(const QString &path, QStringList *into)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines)
        return {false, LoadFailed};
    *into = *lines;
    return {true, {}};
}

} // namespace

class TstFileCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void saveAppendsTheSuffix_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("bare name") << "lesson" << "lesson(テスト).koru";
        QTest::newRow("extension in any case") << "Lesson.KORU" << "Lesson.KORU";
        QTest::newRow("other extension") << "lesson.txt" << "lesson.txt(テスト).koru";
    }
    void saveAppendsTheSuffix()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        dialogs.answerFileName(dir.filePath(chosen));
        QCOMPARE(SaveProgramCommand(Kind, {"OK", "END"}), dir.filePath(saved));
        QCOMPARE(ReadProgramLines(dir.filePath(saved)), (QStringList{"OK", "END"}));
        QCOMPARE(dialogs.texts(), QStringList{Kind.filter});
    }

    void saveAsksBeforeReplacingAndWarnsOnFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("old(テスト).koru");
        QVERIFY(WriteProgramLines(path, {"old"}));
        ScriptedDialogs dialogs;
        // No: the old file stays.
        dialogs.answerFileName(dir.filePath("old"));
        dialogs.answerQuestion(false);
        QVERIFY(!SaveProgramCommand(Kind, {"new"}));
        QCOMPARE(dialogs.lastText(), OverwriteQuestion);
        QCOMPARE(ReadProgramLines(path), QStringList{"old"});
        // Yes: replaced.
        dialogs.answerFileName(path);
        dialogs.answerQuestion(true);
        QCOMPARE(SaveProgramCommand(Kind, {"new"}), path);
        QCOMPARE(ReadProgramLines(path), QStringList{"new"});
        // Cancelled: nothing more is asked or said.
        dialogs.clear();
        dialogs.answerFileName(QString());
        QVERIFY(!SaveProgramCommand(Kind, {"x"}, QStringLiteral("check first")));
        QCOMPARE(dialogs.texts(), (QStringList{"check first", Kind.filter}));
        // A failure is said in the editor's words, and never reported as a save.
        dialogs.clear();
        dialogs.answerFileName(dir.filePath("no/such/folder/x.koru"));
        QVERIFY(!SaveProgramCommand(Kind, {"x"}));
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("warning"));
        QCOMPARE(dialogs.lastText(), Kind.saveFailed);
        // Text the file cannot hold is named, line and character, before a
        // name is asked for: nothing is written.
        dialogs.clear();
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QVERIFY(!SaveProgramCommand(Kind, {"OK", "x\u301C\u2212", "y" + emoji}));
        QCOMPARE(dialogs.texts(), QStringList{Kind.saveFailed + "\r\n3行目の「" + emoji + "」は保存出来ない文字です。"});
        QCOMPARE(ReadProgramLines(path), QStringList{"new"});
        FileKind sectioned = Kind;
        sectioned.textSection = QStringLiteral("WORDDATA");
        dialogs.clear();
        QVERIFY(!SaveProgramCommand(sectioned, {"OK", "WORDDATA", "a", "b", "c" + emoji}));
        QCOMPARE(dialogs.lastText(), Kind.saveFailed + "\r\n3行目の「" + emoji + "」は保存出来ない文字です。");
        dialogs.clear();
        // The same for bytes, through the same checked path.
        {
            test::FileSizeLimit limit(16);
            dialogs.answerFileName(path);
            dialogs.answerQuestion(true);
            QVERIFY(!SaveBytesCommand(Kind, QByteArray(100, 'x')));
        }
        QCOMPARE(dialogs.lastText(), Kind.saveFailed);
        QCOMPARE(ReadProgramLines(path), QStringList{"new"});
    }

    void openChecksTheExtensionAndShowsTheReadersAnswer()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath("good.KORU");
        QVERIFY(WriteProgramLines(good, {"OK"}));
        ScriptedDialogs dialogs;
        QStringList read;
        int reads = 0;
        const auto reader = [&](const QString &path) {
            ++reads;
            return readLines(path, &read);
        };
        // Another extension: information, the reader is not asked.
        dialogs.answerFileName(dir.filePath("notes.txt"));
        QVERIFY(!OpenProgramCommand(Kind, reader));
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("information"));
        QCOMPARE(dialogs.lastText(), WrongExtension);
        QCOMPARE(reads, 0);
        // The reader's failure is shown as it says.
        dialogs.answerFileName(dir.filePath("missing.koru"));
        QVERIFY(!OpenProgramCommand(Kind, reader));
        QCOMPARE(dialogs.lastText(), LoadFailed);
        dialogs.answerFileName(good);
        QVERIFY(!OpenProgramCommand(Kind, [](const QString &) { return FileResult{false, "他の", true}; }));
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("information"));
        // Success: the path, and only the dialog was shown.
        dialogs.clear();
        dialogs.answerFileName(good);
        QCOMPARE(OpenProgramCommand(Kind, reader), good);
        QCOMPARE(read, QStringList{"OK"});
        QCOMPARE(dialogs.shown().size(), 1);
        // Cancelled.
        dialogs.answerFileName(QString());
        QVERIFY(!OpenProgramCommand(Kind, reader));
    }

    void dialogsStartInTheLastFolderOfTheEditor()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        const FileKind other{QStringLiteral("other"), Kind.filter, Kind.extension, Kind.suffix, Kind.saveFailed};
        // First use: the KORU folder in the documents folder, created.
        const QString koru = DocumentsKoruFolder();
        QCOMPARE(QFileInfo(koru).fileName(), QStringLiteral("KORU"));
        QVERIFY(QFileInfo(koru).isDir());
        dialogs.answerFileName(QString());
        QVERIFY(!OpenProgramCommand(other, {}));
        QCOMPARE(dialogs.shown().last().folder, koru);

        // A save elsewhere is remembered for this editor only.
        QVERIFY(QDir(dir.path()).mkpath("class1"));
        const QString class1 = dir.filePath("class1");
        dialogs.answerFileName(class1 + "/a");
        QVERIFY(SaveProgramCommand(Kind, {"x"}));
        dialogs.answerFileName(QString());
        QVERIFY(!SaveProgramCommand(Kind, {"x"}));
        QCOMPARE(dialogs.shown().last().folder, class1);
        dialogs.answerFileName(QString());
        QVERIFY(!OpenProgramCommand(Kind, {}));
        QCOMPARE(dialogs.shown().last().folder, class1);
        QCOMPARE(FileDialogFolder(other.editor), koru);
        // Kept on disk for the next run, in the work folder.
        QVERIFY(QFileInfo::exists(WorkFolder() + "folders.ini"));

        // A folder that has gone since: back to the KORU folder.
        QVERIFY(QDir(class1).removeRecursively());
        QCOMPARE(FileDialogFolder(Kind.editor), koru);
    }
};

KORU_TEST_GUILESS_MAIN(TstFileCommands)
#include "tst_filecommands.moc"
