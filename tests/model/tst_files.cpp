#include "model/paths.h"
#include "model/programfile.h"
#include "model/wait.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>


using namespace koru;

class TstFiles : public QObject
{
    Q_OBJECT
private slots:
    void roundTripShiftJis()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a(フロー).koru"));
        const QStringList lines{QStringLiteral("OK"), QStringLiteral("START"),
                                QStringLiteral("// 赤く光る ﾊﾞｯｸﾗｲﾄ"), QString(), QStringLiteral("END")};
        QVERIFY(WriteProgramLines(path, lines));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("OK\r\nSTART\r\n"));
        QVERIFY(bytes.endsWith("END\r\n"));
        QVERIFY(bytes.contains("\x90\xd4\x82\xad")); // 赤く in Shift-JIS
        QCOMPARE(ReadProgramLines(path), lines);
    }

    void readsLfOnly()
    {
        QCOMPARE(DecodeProgramText("OK\nSTART\nEND\n"),
                 (QStringList{"OK", "START", "END"}));
        QCOMPARE(DecodeProgramText("OK\r\nEND"), (QStringList{"OK", "END"}));
        QCOMPARE(DecodeProgramText(""), QStringList());
    }

    void refusesGarbage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nul") << QByteArray("OK\0\x01\x02", 5);
        QTest::newRow("lead byte at end") << QByteArray("OK\r\n\x82");
        QTest::newRow("bad trail byte") << QByteArray("\x82\x20");
        QTest::newRow("undefined lead") << QByteArray("\xff\xff\xff");
    }
    void refusesGarbage()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!DecodeProgramText(bytes).has_value());
    }

    void refusesMissingAndOversized()
    {
        QTemporaryDir dir;
        QVERIFY(!ReadProgramLines(dir.filePath(QStringLiteral("missing.koru"))));
        QFile big(dir.filePath(QStringLiteral("big.koru")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(MaxProgramFileBytes + 1, 'a'));
        big.close();
        QVERIFY(!ReadProgramLines(big.fileName()));
        QVERIFY(!ReadProgramLines(dir.path())); // a folder is not a file
    }

    void failedSaveKeepsOldFile()
    {
        // The save writes a temporary file beside the target first. A name of
        // 250 characters leaves no room for the temporary name, so the save
        // fails even for root, who ignores read-only folders.
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(245, QLatin1Char('k')) + QStringLiteral(".koru"));
        QVERIFY(WriteProgramLines(path, {QStringLiteral("old")}));
        QVERIFY(!WriteProgramLines(path, {QStringLiteral("new")}));
        QCOMPARE(ReadProgramLines(path), QStringList{QStringLiteral("old")});
    }

    void fullDiskKeepsOldFileAndSaysWhy_data()
    {
        QTest::addColumn<bool>("programLines");
        QTest::newRow("program file") << true;
        QTest::newRow("any file") << false;
    }
    void fullDiskKeepsOldFileAndSaysWhy()
    {
        // The new contents do not fit: the write fails part-way. The old
        // file must stay whole, no temporary file may be left, and the save
        // must say it failed, with the reason. The contents are smaller
        // than Qt's write buffer, where a failure used to go unnoticed.
        QFETCH(bool, programLines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.koru"));
        QVERIFY(WriteProgramLines(path, {QStringLiteral("old")}));
        QString error;
        bool saved = true;
        {
            test::FileSizeLimit limit(1024);
            if (programLines)
                saved = WriteProgramLines(path, QStringList(300, QStringLiteral("0123456789")), &error);
            else
                saved = WriteFileAtomically(path, QByteArray(4000, 'x'), &error);
        }
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadProgramLines(path), QStringList{QStringLiteral("old")});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("full.koru")});
        // Below the limit the same save goes through.
        test::FileSizeLimit limit(1024);
        QVERIFY(WriteFileAtomically(path, QByteArray(1000, 'x')));
    }

    void saveKeepsLinksModesAndReadOnlyFiles()
    {
        QTemporaryDir dir;
        // A symbolic link stays a link; the file it points at is replaced.
        const QString target = dir.filePath(QStringLiteral("target.koru"));
        const QString link = dir.filePath(QStringLiteral("link.koru"));
        QVERIFY(WriteFileAtomically(target, "old"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(WriteFileAtomically(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadProgramLines(target), QStringList{QStringLiteral("new")});

        // An existing file keeps its permissions; a new one gets the usual.
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(WriteFileAtomically(target, "again"));
        const auto mode = [](const QString &file) {
            struct stat info{};
            return stat(QFile::encodeName(file).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
        };
        QCOMPARE(mode(target), 0640);
        const mode_t mask = umask(0);
        umask(mask);
        const QString fresh = dir.filePath(QStringLiteral("fresh.koru"));
        QVERIFY(WriteFileAtomically(fresh, "x"));
        QCOMPARE(mode(fresh), int(0666 & ~mask));

        // A read-only file is not replaced, whoever runs the program.
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QString error;
        QVERIFY(!WriteFileAtomically(target, "lost", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadProgramLines(target), QStringList{QStringLiteral("again")});
    }

    // A named pipe called like a program file must not stop the reader in
    // open() until someone writes to it (the window would freeze): it is
    // refused at once, like a folder of that name.
    void refusesWhatIsNoRegularFile()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("lesson.koru"));
        QVERIFY2(test::ReadsNamedPipeWithoutWaiting(pipe, [&pipe] { return !ReadProgramLines(pipe); }),
                 "reading a named pipe waited for a writer or took it for a file");
        QVERIFY(!ReadRegularFile(pipe));

        const QString folder = dir.filePath(QStringLiteral("folder.koru"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(!ReadProgramLines(folder));
        QVERIFY(!ReadRegularFile(QStringLiteral("/dev/zero")));
        // A link to a regular file is read as that file.
        const QString real = dir.filePath(QStringLiteral("real.koru"));
        QVERIFY(WriteProgramLines(real, {QStringLiteral("OK")}));
        QVERIFY(QFile::link(real, dir.filePath(QStringLiteral("link.koru"))));
        QCOMPARE(ReadProgramLines(dir.filePath(QStringLiteral("link.koru"))), QStringList{QStringLiteral("OK")});
    }

    void failedSaveIntoMissingFolder()
    {
        QTemporaryDir dir;
        QVERIFY(!WriteProgramLines(dir.filePath(QStringLiteral("no/such/folder/x.koru")), {QStringLiteral("x")}));
    }

    // What Japanese input methods type daily (the wave dash, the minus
    // sign) is written as Windows writes it, so that the file opens on the
    // pupils' other PCs; what code page 932 cannot hold is named with its
    // line.
    void windowsFormsOfJisCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("wave dash") << QStringLiteral("1\u301C3") << QByteArray("1\x81\x60" "3\r\n");
        QTest::newRow("minus sign") << QStringLiteral("\u2212" "5") << QByteArray("\x81\x7c" "5\r\n");
        QTest::newRow("double vertical line") << QStringLiteral("\u2016") << QByteArray("\x81\x61\r\n");
        QTest::newRow("em dash") << QStringLiteral("\u2014") << QByteArray("\x81\x5c\r\n");
        QTest::newRow("cent, pound, not") << QStringLiteral("\u00A2\u00A3\u00AC")
                                          << QByteArray("\x81\x91\x81\x92\x81\xca\r\n");
        QTest::newRow("fullwidth tilde as it was") << QStringLiteral("\uFF5E") << QByteArray("\x81\x60\r\n");
    }
    void windowsFormsOfJisCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, written);
        QCOMPARE(EncodeProgramText({typed}), std::optional<QByteArray>(written));
        QVERIFY(!FirstUnencodableCharacter({typed}));
    }

    void namesWhatCannotBeWritten()
    {
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        const QStringList lines{QStringLiteral("OK"), QStringLiteral("WORDDATA"), QStringLiteral("モータ正転"),
                                QStringLiteral("// 〜 and ") + emoji};
        const auto found = FirstUnencodableCharacter(lines);
        QVERIFY(found);
        QCOMPARE(found->line, 4);
        QCOMPARE(found->character, emoji);
        // Counted from the pupil's own text when the file has a section for it.
        QCOMPARE(FirstUnencodableCharacter(lines, QStringLiteral("WORDDATA"))->line, 2);
        QCOMPARE(UnencodableMessage(*found), QStringLiteral("4行目の「%1」は保存出来ない文字です。").arg(emoji));
        QVERIFY(!EncodeProgramText(lines));
        QString why;
        QTemporaryDir dir;
        QVERIFY(!WriteProgramLines(dir.filePath(QStringLiteral("x.koru")), lines, &why));
        QVERIFY2(why.contains(QStringLiteral("line 4")), qPrintable(why));
    }

    void unencodableTextIsNotSaved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emoji.koru"));
        QVERIFY(WriteProgramLines(path, {QStringLiteral("old")}));
        QVERIFY(!WriteProgramLines(path, {QString::fromUtf8("\xF0\x9F\x98\x80")}));
        QCOMPARE(ReadProgramLines(path), QStringList{QStringLiteral("old")});
    }

    void extensions()
    {
        QVERIFY(HasProgramExtension(QStringLiteral("a.KORU")));
        QVERIFY(!HasProgramExtension(QStringLiteral("a.koru.txt")));
        QCOMPARE(WithProgramSuffix(QStringLiteral("/t/a"), FlowSuffix), QStringLiteral("/t/a(フロー).koru"));
        QCOMPARE(WithProgramSuffix(QStringLiteral("/t/a.Koru"), FlowSuffix), QStringLiteral("/t/a.Koru"));
        QCOMPARE(WithProgramSuffix(QStringLiteral("/t/a.txt"), IconSuffix), QStringLiteral("/t/a.txt(アイコン).koru"));
    }

    void folders_data()
    {
        QTest::addColumn<QString>("appData");
        QTest::addColumn<QString>("work");
        QTest::addColumn<QString>("handOver");
        const QString s = QDir::separator();
        QTest::newRow("no separator") << "/home/p/.local/share"
                                      << "/home/p/.local/share" + s + "KORUv1Temp" + s
                                      << "/home/p/.local/share" + s + "MERUTemp" + s + "Product.txt";
        QTest::newRow("separator") << "/data/" << "/data/KORUv1Temp" + s << "/data/MERUTemp" + s + "Product.txt";
        QTest::newRow("backslash") << "C:\\Data\\" << "C:\\Data\\KORUv1Temp" + s
                                   << "C:\\Data\\MERUTemp" + s + "Product.txt";
    }
    void folders()
    {
        QFETCH(QString, appData);
        QFETCH(QString, work);
        QFETCH(QString, handOver);
        QCOMPARE(WorkFolderIn(appData), work);
        QCOMPARE(ReportFolderIn(appData), work + "Report" + QDir::separator());
        QCOMPARE(HandOverFileIn(appData), handOver);
    }

    void workFolderIsCreated()
    {
        QTemporaryDir dir;
        SetAppDataFolder(dir.filePath(QStringLiteral("deep/er")));
        const QString work = WorkFolder();
        QVERIFY(work.endsWith(QDir::separator()));
        QVERIFY(QDir(work + QStringLiteral("Report")).exists());
        QCOMPARE(WorkFolder(), work); // existing folders are fine
        SetAppDataFolder({});
        QVERIFY(!SpecialFolderPath(AppDataFolderId).endsWith(QLatin1Char('/')));
        QVERIFY(SpecialFolderPath(5).isEmpty());
    }

    void assetPaths()
    {
        SetAssetRoot(QStringLiteral("/opt/koru"));
        QCOMPARE(AssetPath(QStringLiteral("Img\\Icon\\DD\\1.bmp")), QStringLiteral("/opt/koru/Img/Icon/DD/1.bmp"));
        SetAssetRoot({});
    }

    // Beside the executable in the build tree, <prefix>/share/koru when
    // installed or unpacked anywhere, and never a folder without the assets.
    void assetRootOfAProgram_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("root");
        QTest::newRow("build tree") << QStringList{"bin/Img", "share/koru/Img"} << "bin";
        QTest::newRow("installed") << QStringList{"bin", "share/koru/Img"} << "share/koru";
        QTest::newRow("data folder without pictures") << QStringList{"bin", "share/koru"} << "bin";
        QTest::newRow("nothing anywhere") << QStringList{"bin"} << "bin";
    }
    void assetRootOfAProgram()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, root);
        QTemporaryDir dir;
        for (const QString &folder : folders)
            QVERIFY(QDir(dir.path()).mkpath(folder));
        const QString programs = dir.filePath(QStringLiteral("bin"));
        QCOMPARE(AssetRootFor(programs, QStringLiteral("../share/koru")), dir.filePath(root));
        // An absolute data folder is taken as it is.
        QCOMPARE(AssetRootFor(programs, dir.filePath(QStringLiteral("share/koru"))), dir.filePath(root));
    }

    void waitKeepsEventsFlowing()
    {
        QElapsedTimer clock;
        clock.start();
        WaitMs(0);
        QVERIFY(clock.elapsed() < 20);

        bool delivered = false;
        QTimer::singleShot(10, [&] { delivered = true; });
        clock.restart();
        WaitMs(50);
        QVERIFY(clock.elapsed() >= 50);
        QVERIFY(delivered);
    }
};

KORU_TEST_GUILESS_MAIN(TstFiles)
#include "tst_files.moc"
