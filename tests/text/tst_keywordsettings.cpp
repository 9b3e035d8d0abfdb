// Keyword settings: what is refused before anything is written, the user
// keyword file and index page built from the shipped ones, and the window.
#include "text/ui/keywordsettingswindow.h"

#include "clippedtext.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/textutil.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"
#include "text/keywordsettings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::text;

class TstKeywordSettings : public QObject
{
    Q_OBJECT

    QStringList shippedLines;
    QStringList defaults;

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    void removeUserFiles()
    {
        QFile::remove(UserKeywordFilePath());
        QFile::remove(UserIndexPagePath());
    }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        const std::optional<QStringList> lines = ReadKeywordLines(ShippedKeywordFilePath());
        QVERIFY(lines);
        shippedLines = *lines;
        defaults = KeywordBoxTexts(shippedLines);
        QCOMPARE(defaults.size(), KeywordBoxCount);
        QCOMPARE(defaults.first(), QStringLiteral("ledon"));
        QCOMPARE(defaults.last(), QStringLiteral("lampoff"));
    }

    void init() { removeUserFiles(); }

    void refusals_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("at"); // the box the refusal points at
        QTest::newRow("renamed") << 10 << "matsu" << false << false << 10;
        QTest::newRow("Japanese") << 16 << "ぴっ" << false << false << 16;
        QTest::newRow("capitals") << 1 << "LedOn2" << false << false << 1;
        QTest::newRow("one slash") << 12 << "a/b" << false << false << 12;
        QTest::newRow("empty") << 3 << "" << true << true << 3;
        QTest::newRow("comma") << 3 << "a,b" << true << true << 3;
        QTest::newRow("blank") << 3 << "fade out" << true << false << 3;
        QTest::newRow("tab") << 3 << "fade\tout" << true << false << 3;
        QTest::newRow("full-width blank") << 3 << "fade　out" << true << false << 3;
        QTest::newRow("parenthesis") << 3 << "fade(" << true << false << 3;
        QTest::newRow("semicolon") << 3 << "fa;de" << true << false << 3;
        QTest::newRow("brace") << 3 << "}" << true << false << 3;
        QTest::newRow("comment mark") << 3 << "a//b" << true << false << 3;
        QTest::newRow("markup") << 3 << "<b>" << true << false << 3;
        QTest::newRow("ampersand") << 3 << "a&b" << true << false << 3;
        QTest::newRow("if") << 3 << "If" << true << false << 3;
        QTest::newRow("else") << 3 << "else" << true << false << 3;
        QTest::newRow("another role's") << 17 << "beep1" << true << false << 17;
        QTest::newRow("another role's in capitals") << 10 << "LOOPEND" << true << false << 12;
        QTest::newRow("a hidden role's") << 24 << "motoroff" << true << false << 25;
        QTest::newRow("not Shift-JIS") << 3 << "fade😀" << true << false << 3;
    }

    void refusals()
    {
        QFETCH(int, line);
        QFETCH(QString, keyword);
        QFETCH(bool, refused);
        QFETCH(bool, closes);
        QFETCH(int, at);
        QStringList boxes = defaults;
        boxes[line - 1] = keyword;
        const std::optional<KeywordRefusal> refusal = RefusalOf(boxes);
        QCOMPARE(bool(refusal), refused);
        if (!refused)
            return;
        QCOMPARE(refusal->closeWindow, closes);
        QCOMPARE(refusal->line, at);
        if (closes)
            QCOMPARE(refusal->message, QStringLiteral("設定項目が空白かカンマが含まれて下ります。"));
        else
            QVERIFY(refusal->message.contains(KeywordRoleCaption(line)));
        // Nothing is written, and earlier user files stay as they were.
        QVERIFY(WriteProgramLines(UserKeywordFilePath(), shippedLines));
        QVERIFY(WriteProgramLines(UserIndexPagePath(), {"earlier"}));
        const QByteArray keywordsBefore = contents(UserKeywordFilePath());
        const ApplyResult result = ApplyKeywords(boxes);
        QVERIFY(!result.written);
        QCOMPARE(contents(UserKeywordFilePath()), keywordsBefore);
        QCOMPARE(contents(UserIndexPagePath()), QByteArray("earlier\r\n"));
    }

    void applyWritesBothUserFiles()
    {
        QStringList boxes = defaults;
        boxes[9] = QStringLiteral("matsu");
        boxes[15] = QStringLiteral("ぴっ");
        const ApplyResult result = ApplyKeywords(boxes);
        QVERIFY(result.written);
        const QStringList keywords = *ReadProgramLines(UserKeywordFilePath());
        QCOMPARE(keywords.size(), shippedLines.size());
        for (int i = 0; i < keywords.size(); ++i) {
            QString expected = shippedLines[i];
            if (i == 9)
                expected = QStringLiteral("1,タイマー,matsu,160,");
            if (i == 15)
                expected = QStringLiteral("0,音 確認音１,ぴっ,153,");
            QCOMPARE(keywords[i], expected);
        }
        const QStringList page = *ReadProgramLines(UserIndexPagePath());
        const QString all = page.join('\n');
        QVERIFY(all.contains(QStringLiteral("<code>matsu(3);</code>")));
        QVERIFY(all.contains(QStringLiteral("<code>ぴっ();</code>")));
        QVERIFY(!all.contains(QStringLiteral("timer")));
        QVERIFY(!all.contains(QStringLiteral("beep1")));
        QVERIFY(all.contains(QStringLiteral("beep2")));
        QVERIFY(all.contains(QStringLiteral("<a href=\"") + WordHelpFolderUrl() + QStringLiteral("led.html\">")));
        QVERIFY(!all.contains(QStringLiteral("<a href=\"led.html\"")));
        // The shipped files never change, and a second apply gives the same
        // files: both are built from the shipped ones.
        QCOMPARE(*ReadProgramLines(ShippedKeywordFilePath()), shippedLines);
        const QByteArray firstKeywords = contents(UserKeywordFilePath());
        const QByteArray firstPage = contents(UserIndexPagePath());
        QVERIFY(ApplyKeywords(boxes).written);
        QCOMPARE(contents(UserKeywordFilePath()), firstKeywords);
        QCOMPARE(contents(UserIndexPagePath()), firstPage);
        // Every keyword of the shipped index page is one the rewriting finds,
        // and its name is a link to its group's page, in the user's copy too.
        const QStringList shippedPage = *ReadProgramLines(AssetPath(ShippedIndexPage));
        for (const IndexKeyword &entry : IndexKeywords()) {
            const QRegularExpression cell(QStringLiteral("<td><a href=\"[a-z]+\\.html\"><code>%1</code></a></td>")
                                              .arg(QLatin1String(entry.keyword)));
            QVERIFY2(shippedPage.join('\n').contains(cell), entry.keyword);
        }
        QVERIFY(all.contains(QStringLiteral("<td><a href=\"") + WordHelpFolderUrl()
                             + QStringLiteral("time.html\"><code>matsu</code></a></td>")));
    }

    // A file that cannot be written leaves both user files as they were:
    // the help page never lists a keyword the checker refuses. Tests run
    // as root, so a folder standing where a file goes makes the failure.
    void writeFailureChangesNeither_data()
    {
        QTest::addColumn<QString>("blocked"); // keywords, index or read-only keywords
        QTest::addColumn<bool>("earlierFiles");
        QTest::newRow("keyword file is a folder") << "keywords" << false;
        QTest::newRow("keyword file is a folder, earlier page") << "keywords" << true;
        QTest::newRow("page is a folder") << "index" << false;
        QTest::newRow("read-only keyword file") << "read-only" << true;
    }

    void writeFailureChangesNeither()
    {
        QFETCH(QString, blocked);
        QFETCH(bool, earlierFiles);
        const QString keywordPath = UserKeywordFilePath();
        const QString indexPath = UserIndexPagePath();
        if (earlierFiles) {
            QStringList earlier = defaults;
            earlier[0] = QStringLiteral("hikari");
            QVERIFY(ApplyKeywords(earlier).written);
        }
        if (blocked == QLatin1String("keywords")) {
            QFile::remove(keywordPath);
            QVERIFY(QDir().mkpath(keywordPath));
        }
        if (blocked == QLatin1String("index"))
            QVERIFY(QDir().mkpath(indexPath));
        if (blocked == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(keywordPath, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        const auto cleanUp = qScopeGuard([&] {
            QDir(keywordPath).removeRecursively();
            QDir(indexPath).removeRecursively();
            QFile::setPermissions(keywordPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        });
        const bool keywordIsFile = QFileInfo(keywordPath).isFile();
        const bool indexIsFile = QFileInfo(indexPath).isFile();
        const QByteArray keywordsBefore = contents(keywordPath);
        const QByteArray pageBefore = contents(indexPath);

        QStringList boxes = defaults;
        boxes[9] = QStringLiteral("matsu");
        const ApplyResult result = ApplyKeywords(boxes);
        QVERIFY(!result.written);
        QCOMPARE(result.failure, SaveFailed);
        QCOMPARE(QFileInfo(keywordPath).isFile(), keywordIsFile);
        QCOMPARE(QFileInfo(indexPath).isFile(), indexIsFile);
        QCOMPARE(contents(keywordPath), keywordsBefore);
        QCOMPARE(contents(indexPath), pageBefore);
        // No new file was left beside them either.
        const QStringList left = QDir(WorkFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &name : left)
            QVERIFY2(!name.startsWith(QFileInfo(keywordPath).fileName() + '.')
                         && !name.startsWith(QFileInfo(indexPath).fileName() + '.'),
                     qPrintable(name));
    }

    void indexRewritingRules()
    {
        QStringList boxes = defaults;
        boxes[15] = QStringLiteral("one");
        boxes[16] = QStringLiteral("two");
        boxes[0] = QStringLiteral("hikari");
        const QStringList lines = UserIndexLines(
            {"beep1 and beep2, beep1 again", "no keyword", "fadeout ledon", "<a href=\"led.html\">ledon</a> <a href=\"x\">"},
            boxes, QStringLiteral("file:///k/HTML/Word/"));
        QCOMPARE(lines, (QStringList{"one and beep2, one again", "no keyword", "fadeout hikari",
                                      "<a href=\"file:///k/HTML/Word/led.html\">hikari</a> <a href=\"file:///k/HTML/Word/x\">"}));
    }

    // A set written out comes back whole: Japanese words, capitals and the
    // roles no box shows, in Shift-JIS with CR LF.
    void keywordSetRoundTrip()
    {
        QTemporaryDir dir;
        QStringList boxes = defaults;
        boxes[0] = QStringLiteral("ひかり");
        boxes[9] = QStringLiteral("Matsu");
        boxes[24] = QStringLiteral("motoroff2");
        const QString path = dir.filePath(QStringLiteral("set.txt"));
        QVERIFY(WriteProgramLines(path, KeywordSetLines(boxes)));
        const QByteArray bytes = contents(path);
        QVERIFY(bytes.startsWith("KEYWORDS\r\n\x82\xd0\x82\xa9\x82\xe8\r\nfadein\r\n"));
        QCOMPARE(bytes.count("\r\n"), 1 + KeywordBoxCount);
        const KeywordSetRead read = ReadKeywordSet(path);
        QCOMPARE(read.message, QString());
        QVERIFY(read.boxTexts);
        QCOMPARE(*read.boxTexts, boxes);
    }

    // A file is taken whole or not at all, and says why not.
    void keywordSetRefusals_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // added to the file, or what to make instead
        QTest::addColumn<int>("line");         // the line to replace (1 to 27), 0 none
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("message");  // empty: read

        const QString damaged = KeywordSetDamagedMessage;
        const auto refused = [this](int line, const QString &word) {
            QStringList boxes = defaults;
            boxes[line - 1] = word;
            return KeywordSetRefusedMessage + QStringLiteral("\r\n") + RefusalOf(boxes)->message;
        };
        QTest::newRow("blank lines after the set") << QByteArray("\r\n\r\n") << 0 << "" << "";
        QTest::newRow("same word twice") << QByteArray() << 17 << "Beep1" << refused(17, "Beep1");
        QTest::newRow("word with a blank") << QByteArray() << 3 << "fade out" << refused(3, "fade out");
        QTest::newRow("if") << QByteArray() << 10 << "if" << refused(10, "if");
        QTest::newRow("empty word") << QByteArray() << 5 << "" << refused(5, "");
        QTest::newRow("comma") << QByteArray() << 5 << "a,b" << refused(5, "a,b");
        QTest::newRow("word of a 28th role") << QByteArray("more\r\n") << 0 << "" << damaged;
        QTest::newRow("one word short") << QByteArray("-") << 0 << "" << damaged;
        QTest::newRow("no section line") << QByteArray("keywords") << 0 << "" << damaged;
        QTest::newRow("a melody file") << QByteArray("SOUND") << 0 << "" << damaged;
        QTest::newRow("empty file") << QByteArray("empty") << 0 << "" << damaged;
        QTest::newRow("not Shift-JIS") << QByteArray("KEYWORDS\r\n\x82\r\n") << 0 << "" << LoadFailed;
        QTest::newRow("NUL byte") << QByteArray("KEYWORDS\r\nled\0on\r\n", 18) << 0 << "" << LoadFailed;
        QTest::newRow("missing") << QByteArray("missing") << 0 << "" << LoadFailed;
        QTest::newRow("folder") << QByteArray("folder") << 0 << "" << LoadFailed;
        QTest::newRow("named pipe") << QByteArray("fifo") << 0 << "" << LoadFailed;
    }
    void keywordSetRefusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.txt"));
        QStringList lines = KeywordSetLines(defaults);
        if (line > 0)
            lines[line] = replacement;
        QByteArray file = *EncodeProgramText(lines);
        if (bytes == "-")
            file = *EncodeProgramText(lines.mid(0, KeywordBoxCount));
        else if (bytes == "keywords")
            file = *EncodeProgramText(lines.mid(1));
        else if (bytes == "SOUND")
            file = *EncodeProgramText(QStringList{"SOUND", "OFF"} + lines.mid(1));
        else if (bytes == "empty")
            file.clear();
        else if (bytes.startsWith("KEYWORDS"))
            file = bytes;
        else
            file += bytes;
        if (bytes == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (bytes == "fifo") {
            QVERIFY(test::ReadsNamedPipeWithoutWaiting(path, [&path] {
                const KeywordSetRead read = ReadKeywordSet(path);
                return read.message == LoadFailed && !read.boxTexts;
            }));
            return;
        } else if (bytes != "missing") {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        const KeywordSetRead read = ReadKeywordSet(path);
        QCOMPARE(read.message, message);
        QCOMPARE(read.boxTexts.has_value(), message.isEmpty());
        if (read.boxTexts)
            QCOMPARE(*read.boxTexts, defaults);
    }

    // Export and import from the window through the file dialogs; a bad
    // file leaves every box as it was.
    void windowExportsAndImportsASet()
    {
        QTemporaryDir dir;
        SetDocumentsFolder(dir.path());
        const auto restoreFolder = qScopeGuard([] { SetDocumentsFolder({}); });
        test::ScriptedDialogs dialogs;
        QPointer<KeywordSettingsWindow> window = new KeywordSettingsWindow;
        const auto closeWindow = qScopeGuard([&window] { delete window; });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->boxTexts(), defaults);

        // A set the checks refuse is not written: the message, the box, no dialog.
        window->box(14)->setText(QStringLiteral("radio play"));
        window->findChild<QPushButton *>(QStringLiteral("ExportButton"))->click();
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, QStringLiteral("warning"));
        QVERIFY(dialogs.lastText().contains(QStringLiteral("radio play")));
        QCOMPARE(QApplication::focusWidget(), window->box(14));
        QVERIFY(window->isVisible());

        window->box(14)->setText(QStringLiteral("らじお"));
        const QStringList exported = window->boxTexts();
        dialogs.clear();
        dialogs.answerFileName(dir.filePath(QStringLiteral("class")));
        window->findChild<QPushButton *>(QStringLiteral("ExportButton"))->click();
        const QString path = dir.filePath(QStringLiteral("class(命令語).txt"));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, QStringLiteral("save"));
        QVERIFY(!QFileInfo::exists(UserKeywordFilePath())); // only "適用" writes the settings

        window->restoreDefaults();
        dialogs.clear();
        dialogs.answerFileName(path);
        window->findChild<QPushButton *>(QStringLiteral("ImportButton"))->click();
        QCOMPARE(window->boxTexts(), exported);
        QCOMPARE(dialogs.shown().size(), 1); // the open dialog only
        QVERIFY(!QFileInfo::exists(UserKeywordFilePath()));

        // A duplicate in a file: said, and not one box changes.
        QStringList twice = defaults;
        twice[1] = QStringLiteral("LEDON");
        const QString bad = dir.filePath(QStringLiteral("bad.txt"));
        QVERIFY(WriteProgramLines(bad, KeywordSetLines(twice)));
        dialogs.clear();
        dialogs.answerFileName(bad);
        window->findChild<QPushButton *>(QStringLiteral("ImportButton"))->click();
        QCOMPARE(window->boxTexts(), exported);
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("warning"));
        QVERIFY(dialogs.lastText().startsWith(KeywordSetRefusedMessage));
        QVERIFY(window->isVisible());

        // The applied set is the imported one.
        window->findChild<QPushButton *>(QStringLiteral("ApplyButton"))->click();
        QTRY_VERIFY(!window);
        QCOMPARE(FieldOf(ReadProgramLines(UserKeywordFilePath())->at(13), 3, ','), QStringLiteral("らじお"));
    }

    void windowShowsAppliesAndRefuses()
    {
        QStringList boxes = defaults;
        boxes[0] = QStringLiteral("hikari");
        QVERIFY(ApplyKeywords(boxes).written);
        const QByteArray keywordsBefore = contents(UserKeywordFilePath());
        const QByteArray pageBefore = contents(UserIndexPagePath());

        test::ScriptedDialogs dialogs;
        QPointer<KeywordSettingsWindow> window = new KeywordSettingsWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("設定"));
        QCOMPARE(window->size(), QSize(634, 506));
        for (int n = 1; n <= KeywordBoxCount; ++n) {
            QLineEdit *box = window->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n));
            QVERIFY(box);
            QCOMPARE(box->isVisible(), n != 25 && n != 27);
            QCOMPARE(box->size(), QSize(97, 20));
            if (box->isVisible())
                QCOMPARE(box->x(), n <= 12 ? 192 : 480);
        }
        QCOMPARE(window->box(1)->text(), QStringLiteral("hikari")); // the user's file
        QCOMPARE(test::ClippedTexts(window), QStringList());
        // Nothing stands on anything else (the buttons once sat on the
        // lamp's box), and everything lies inside the window.
        QList<QWidget *> shownParts;
        for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isVisible())
                shownParts << child;
        for (qsizetype i = 0; i < shownParts.size(); ++i) {
            QVERIFY2(window->rect().contains(shownParts[i]->geometry()), qPrintable(shownParts[i]->objectName()));
            for (qsizetype j = i + 1; j < shownParts.size(); ++j)
                QVERIFY2(!shownParts[i]->geometry().intersects(shownParts[j]->geometry()),
                         qPrintable(shownParts[i]->objectName() + " / " + shownParts[j]->objectName()));
        }
        // Back to the shipped keywords, then cancel: nothing is written.
        window->restoreDefaults();
        QCOMPARE(window->boxTexts(), defaults);
        // A duplicate is refused, the window stays with the box to put right.
        window->box(17)->setText(QStringLiteral("beep1"));
        window->apply();
        QVERIFY(window && window->isVisible());
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, QStringLiteral("warning"));
        QCOMPARE(QApplication::focusWidget(), window->box(17));
        window->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
        QTRY_VERIFY(!window);
        QCOMPARE(contents(UserKeywordFilePath()), keywordsBefore);
        QCOMPARE(contents(UserIndexPagePath()), pageBefore);

        // An empty box: the message, the window closes, nothing written.
        window = new KeywordSettingsWindow;
        window->show();
        window->box(5)->clear();
        window->apply();
        QTRY_VERIFY(!window);
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("information"));
        QCOMPARE(dialogs.lastText(), EmptyOrCommaMessage);
        QCOMPARE(contents(UserKeywordFilePath()), keywordsBefore);

        // A good set is written and the window closes.
        window = new KeywordSettingsWindow;
        window->show();
        window->box(10)->setText(QStringLiteral("matsu"));
        window->findChild<QPushButton *>(QStringLiteral("ApplyButton"))->click();
        QTRY_VERIFY(!window);
        QCOMPARE(FieldOf(ReadProgramLines(UserKeywordFilePath())->at(9), 3, ','), QStringLiteral("matsu"));
        QCOMPARE(FieldOf(ReadProgramLines(UserKeywordFilePath())->at(0), 3, ','), QStringLiteral("hikari"));
        QCOMPARE(dialogs.shown().size(), 2);

        // Escape closes it like キャンセル: destroyed, nothing written.
        const QByteArray written = contents(UserKeywordFilePath());
        window = new KeywordSettingsWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->box(1)->setText(QStringLiteral("changed"));
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!window);
        QCOMPARE(contents(UserKeywordFilePath()), written);
    }
};

KORU_TEST_MAIN(TstKeywordSettings)
#include "tst_keywordsettings.moc"
