// The STEP3 window: files, demos, the checks' messages and marked lines,
// hand-overs to the viewer, report and preview, the help browser, closing,
// and the keywords renamed in the settings.
#include "text/ui/textwindow.h"
#include "widgets/kitpanels.h"

#include "clippedtext.h"
#include "editorrig.h"
#include "keyboard.h"
#include "model/helppage.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/previewrequest.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "scripteddialogs.h"
#include "spokenname.h"
#include "testmain.h"
#include "testutil.h"
#include "text/keywordsettings.h"
#include "text/textfile.h"
#include "widgets/sentdataviewer.h"
#include "widgets/sourceeditor.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextBrowser>
#include <QTimer>

using namespace koru;
using namespace koru::text;

namespace {
const QString Red = QStringLiteral("ledon(255,0,0,1);");
}

class TstTextWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::EditorRig> rig; // no kit plugged in until a test plugs it
    QPointer<TextWindow> window;
    QTemporaryDir files;

    // Message boxes and questions, without the file dialogs.
    QStringList messages() const
    {
        QStringList texts;
        for (const test::ScriptedDialogs::Shown &shown : dialogs->shown()) {
            if (shown.kind != QLatin1String("open") && shown.kind != QLatin1String("save"))
                texts.append(shown.text);
        }
        return texts;
    }

    void type(const QStringList &lines) { window->editor()->setLines(lines); }
    QStringList text() const { return window->editor()->lines(); }
    QString file(const QString &name) const { return files.filePath(name); }

    void writeFile(const QString &name, const QStringList &lines)
    {
        QVERIFY(WriteProgramLines(file(name), lines));
    }

    void openWindow()
    {
        window = new TextWindow(rig->context());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void init()
    {
        QFile::remove(UserKeywordFilePath());
        QFile::remove(UserIndexPagePath());
        dialogs = std::make_unique<test::ScriptedDialogs>();
        rig = std::make_unique<test::EditorRig>();
        openWindow();
        QVERIFY2(messages().isEmpty(), qPrintable(messages().join('|')));
    }

    void cleanup()
    {
        if (window) {
            dialogs->answerQuestion(true);
            window->close();
        }
        delete window;
        rig.reset();
        dialogs.reset();
    }

    void layoutAndMenus()
    {
        QStringList captions;
        for (QAction *action : window->menuBar()->actions())
            captions.append(action->text());
        QCOMPARE(captions, (QStringList{"デモ読み込み", "ファイル読み込み", "ファイルへ保存", "　　全削除　　",
                                        "　　転送(F6)　　", "　　実行(F7)　　", "プレビュー", "レポート作成",
                                        "送信データ表示", "ヘルプ"}));
        QCOMPARE(window->windowTitle(), QStringLiteral("コントロールラジオ制御ソフト :"));
        QVERIFY(window->width() >= TextWindow::MinimumWidth && window->height() >= TextWindow::MinimumHeight);
        QCOMPARE(window->splitter()->handleWidth(), 3);
        QCOMPARE(window->editor()->width(), TextWindow::EditorWidth);
        const QStringList buttons{"戻る", "進む", "トップページ"};
        for (int i = 0; i < buttons.size(); ++i) {
            QPushButton *button = nullptr;
            for (QPushButton *b : window->findChildren<QPushButton *>())
                if (b->text() == buttons[i])
                    button = b;
            QVERIFY(button);
            QCOMPARE(button->geometry(), QRect(14 + 80 * i, 8, 75, 53));
        }
        QCOMPARE(window->browser()->geometry().top(), 64);
        QCOMPARE(window->browser()->source(), QUrl::fromLocalFile(AssetPath(ShippedIndexPage)));
        QVERIFY(window->frame()->transferAction()->isEnabled() && window->frame()->runAction()->isEnabled());
    }

    void savingAppendsTheSuffixAndReadsBack()
    {
        const QStringList program{"// 赤と青", "if(sw=on){", "  " + Red, "}", "else{", "fadein(0,0,255);", "}", ""};
        type(program);
        dialogs->answerFileName(file("prog.txt"));
        window->frame()->saveFile();
        const QString saved = file("prog.txt(文字).koru");
        QCOMPARE(window->windowTitle(), QStringLiteral("コントロールラジオ制御ソフト :") + saved);
        const std::optional<QStringList> lines = ReadProgramLines(saved);
        QVERIFY(lines);
        QCOMPARE(lines->first(), QStringLiteral("OK"));
        QCOMPARE(lines->mid(lines->indexOf("WORDDATA") + 1), program);

        // Read back: the same lines, whatever stands before WORDDATA.
        window->editor()->setLines({});
        dialogs->answerFileName(saved);
        window->frame()->openFile();
        QCOMPARE(text(), program);
        // Saving again over it asks first; No leaves the file alone.
        type({"beep1();"});
        dialogs->answerFileName(saved);
        dialogs->answerQuestion(false);
        window->frame()->saveFile();
        QCOMPARE(dialogs->shown().last().kind, QStringLiteral("overwrite"));
        QCOMPARE(ReadProgramLines(saved)->mid(lines->indexOf("WORDDATA") + 1), program);
        QCOMPARE(messages(), QStringList{OverwriteQuestion});
    }

    void savingAFailingProgramWritesNg()
    {
        const QStringList program{"beep1();", "", "timer(0);"};
        type(program);
        dialogs->answerFileName(file("bad.koru"));
        window->frame()->saveFile();
        QCOMPARE(messages(), QStringList{SyntaxMessage});
        QCOMPARE(window->editor()->markedLine(), 2);
        QCOMPARE(*ReadProgramLines(file("bad.koru")), QStringList({"NG", "WORDDATA"}) + program);
    }

    void openingOtherFiles_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message"); // empty: opens
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("icon file") << QStringList{"OK", "START", "2,0,255,0,0,4,0", "2,1,0,0,255,11,0", "END", "DDDATA", "1", "2"}
                                   << QString() << QStringList{Red, "fadein(0,0,255);"};
        QTest::newRow("flowchart if") << QStringList{"OK", "START", "7,0,0,0,0,0,0", "4,3,0,0,0,0,0", "12,0,0,0,0,0,0", "13,0,0,0,0,0,0", "END", "ROUTINE"}
                                      << QString() << QStringList{"if(sw=on){", "beep1();", "}"};
        QTest::newRow("failed check") << QStringList{"NG", "DDDATA", "1"} << CannotOpenInTextMessage << QStringList{};
        QTest::newRow("melody") << QStringList{"SOUND", "1,2,3"} << CannotOpenInTextMessage << QStringList{};
        QTest::newRow("listing without statements") << QStringList{"OK", "START", "9,0,1,0,0,0,0", "END"}
                                                    << CannotOpenInTextMessage << QStringList{};
    }

    void openingOtherFiles()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        QFETCH(QStringList, shown);
        writeFile("other.koru", lines);
        type({"beep2();"});
        dialogs->answerFileName(file("other.koru"));
        window->frame()->openFile();
        if (message.isEmpty()) {
            QVERIFY(messages().isEmpty());
            QCOMPARE(text(), shown);
            QVERIFY(window->windowTitle().endsWith(file("other.koru")));
        } else {
            QCOMPARE(messages(), QStringList{message});
            QCOMPARE(dialogs->shown().last().kind, QStringLiteral("warning"));
            QCOMPARE(text(), QStringList{"beep2();"}); // a refused file leaves the program alone
            QCOMPARE(window->windowTitle(), QStringLiteral("コントロールラジオ制御ソフト :"));
        }
    }

    void openingRefusesOtherExtensionsAndDamagedFiles()
    {
        writeFile("prog.txt", {"WORDDATA", "beep1();"});
        dialogs->answerFileName(file("prog.txt"));
        window->frame()->openFile();
        QCOMPARE(dialogs->shown().last().kind, QStringLiteral("information"));
        QCOMPARE(dialogs->lastText(), WrongExtension);
        QFile damaged(file("damaged.koru"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("WORDDATA\r\n\0\x81", 12));
        damaged.close();
        dialogs->answerFileName(damaged.fileName());
        window->frame()->openFile();
        QCOMPARE(dialogs->lastText(), LoadFailed);
        dialogs->answerFileName(QString()); // cancelled
        window->frame()->openFile();
        QCOMPARE(messages(), (QStringList{WrongExtension, LoadFailed}));
        QCOMPARE(text(), QStringList{QString()});
    }

    void demosAreTheFlowchartDemosAsText()
    {
        for (int n = 1; n <= 4; ++n) {
            window->frame()->loadDemo(n);
            QVERIFY2(messages().isEmpty(), qPrintable(messages().join('|')));
            QVERIFY(text().size() > 1);
            QVERIFY2(window->language()->check(text()).passed(), qPrintable(text().join('\n')));
        }
        QCOMPARE(window->windowTitle(), QStringLiteral("コントロールラジオ制御ソフト :"));
    }

    void checkFailureMarksTheLine_data()
    {
        QTest::addColumn<QStringList>("program");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line");
        QTest::newRow("syntax") << QStringList{"beep1();", "// x", "beep9();"} << SyntaxMessage << 2;
        QTest::newRow("else without if") << QStringList{"beep1();", "else{", "}"} << IfStructureMessage << 1;
        QTest::newRow("if left open") << QStringList{"if(sw=on){", "beep1();"} << IfStructureMessage << 0;
        QTest::newRow("nested loop") << QStringList{"loopstart(2);", "loopstart(3);", "loopend();"} << LoopMessage << 1;
        QTest::newRow("loop left open") << QStringList{"beep1();", "loopstart(2);"} << LoopMessage << 1;
        QTest::newRow("x before set") << QStringList{"beep1();", "if(temp>x){", "}"} << VariableXMessage << 1;
        QTest::newRow("too long") << QStringList(31, "beep1();") << TotalCountMessage << -1;
    }

    void checkFailureMarksTheLine()
    {
        QFETCH(QStringList, program);
        QFETCH(QString, message);
        QFETCH(int, line);
        QVERIFY(rig->plugKit());
        type(program);
        window->frame()->transfer();
        QCOMPARE(messages(), QStringList{message});
        QCOMPARE(window->editor()->markedLine(), line);
        QCOMPARE(test::spokenText(window->editor(), QAccessible::Description),
                 line >= 0 ? QStringLiteral("%1行目に誤りがあります").arg(line + 1) : QString());
        if (line >= 0)
            QCOMPARE(window->editor()->textCursor().blockNumber(), line);
        QVERIFY(rig->kit().fake->writes(QStringLiteral("kit")).isEmpty());
        QVERIFY(window->frame()->transferAction()->isEnabled());
    }

    void oversizedImageIsNotSent()
    {
        QVERIFY(rig->plugKit());
        type(QStringList(28, QStringLiteral("fadein(1,2,3);"))); // 144 bytes
        window->frame()->transfer();
        QCOMPARE(messages(), QStringList{ImageTooLargeMessage});
        QVERIFY(rig->kit().fake->writes(QStringLiteral("kit")).isEmpty());
        QVERIFY(window->frame()->transferAction()->isEnabled());
    }

    void transferAndRunWithFakeKit()
    {
        QVERIFY(rig->plugKit());
        type({"timer(3);"});
        window->frame()->transfer();
        rig->kit().clock.runUntilIdle();
        QCOMPARE(rig->kit().fake->writtenValues(QStringLiteral("kit")), (QList<int>{240, 230, 2, 160, 3, 5, 231, 0, 250}));
        QVERIFY(!window->frame()->transferAction()->isEnabled());
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
        QTRY_VERIFY(window->frame()->transferAction()->isEnabled());
        window->frame()->run();
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
        QTRY_VERIFY(!window->frame()->playingPanel()->isVisible());
        QVERIFY(window->frame()->runAction()->isEnabled());
        QVERIFY(dialogs->shown().isEmpty());
    }

    void transferAndRunWithoutKit()
    {
        rig->kit().settle();
        type({"beep1();"});
        window->frame()->transfer();
        window->frame()->run();
        QCOMPARE(messages(), (QStringList{NoKitMessage, NoKitMessage}));
        QVERIFY(window->frame()->transferAction()->isEnabled() && window->frame()->runAction()->isEnabled());
        QVERIFY(!window->frame()->playingPanel()->isVisible());
    }

    void sentDataOfAWrongProgramShowsBothMessages()
    {
        type({"timer(256);"});
        window->frame()->showSentData();
        QCOMPARE(messages(), (QStringList{SyntaxMessage, TextWindow::NotShownMessage}));
        QStringList listing;
        QTimer::singleShot(0, this, [&] {
            listing = rig->viewer().listing();
            rig->viewer().close();
        });
        type({"timer(3);"});
        window->frame()->showSentData();
        QCOMPARE(listing, (QStringList{"START", "5,0,3,0,0,0,0", "END"}));
    }

    void reportAndPreviewHandOvers()
    {
        type({"// 三秒", "timer(3);"});
        ReportRequest report;
        SetReportHandler([&](const ReportRequest &r) { report = r; });
        window->frame()->makeReport();
        SetReportHandler({});
        QCOMPARE(report.kind, WordReportKind);
        QCOMPARE(report.lines, (QStringList{"// 三秒", "timer(3);"}));
        QCOMPARE(report.over, window->frameGeometry());
        window->frame()->makeReport(); // no composer: said, not silently skipped
        QCOMPARE(messages(), QStringList{NotAvailableMessage});
        dialogs->clear();

        PreviewRequest preview;
        SetPreviewHandler([&](const PreviewRequest &r) { preview = r; });
        window->frame()->preview();
        QCOMPARE(preview.image, (DeviceImage{230, 2, 160, 3, 5, 231, 0}));
        // The run is followed in the text: the timer at address 2 is line 1.
        preview.running(2);
        QCOMPARE(window->editor()->runningLine(), 1);
        preview.running(5); // the end has no line
        QCOMPARE(window->editor()->runningLine(), -1);
        preview.running(2);
        preview.running(-1);
        QCOMPARE(window->editor()->runningLine(), -1);
        type({"timer(0);"});
        preview = {};
        window->frame()->preview(); // a wrong program is not previewed
        SetPreviewHandler({});
        QVERIFY(preview.image.isEmpty());
        QCOMPARE(messages(), QStringList{SyntaxMessage});
    }

    void clearingAsksFirst()
    {
        type({"beep1();"});
        dialogs->answerQuestion(false);
        window->frame()->clearDocument();
        QCOMPARE(text(), QStringList{"beep1();"});
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        QCOMPARE(text(), QStringList{QString()});
        QCOMPARE(messages(), (QStringList{EditorFrame::ClearQuestion, EditorFrame::ClearQuestion}));
        window->editor()->undo(); // the pupil can take it back
        QCOMPARE(text(), QStringList{"beep1();"});
    }

    void helpBrowserFollowsLinks()
    {
        QTextBrowser *browser = window->browser();
        const QUrl index = browser->source();
        QVERIFY(browser->toPlainText().contains(QStringLiteral("命令語の一覧")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("ledon")));
        browser->setSource(index.resolved(QUrl(QStringLiteral("led.html"))));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("LEDを点灯する")));
        window->goBack();
        QCOMPARE(browser->source(), index);
        window->goForward();
        QVERIFY(browser->source().path().endsWith(QStringLiteral("led.html")));
        window->goHome();
        QCOMPARE(browser->source(), index);
        QVERIFY(dialogs->shown().isEmpty());

        // The buttons come round by Tab; a click leaves the keys in the
        // program.
        auto *top = window->findChild<QPushButton *>(QStringLiteral("TopButton"));
        QVERIFY(test::tabTo(window, window->editor()));
        QTest::mouseClick(top, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), window->editor());
        // Tab is text in the program; Ctrl+Tab leaves it, typing nothing.
        const QString text = window->editor()->toPlainText();
        QTest::keyClick(window->editor(), Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(QApplication::focusWidget() != window->editor());
        QCOMPARE(window->editor()->toPlainText(), text);
        QVERIFY(test::tabTo(window, top));
    }

    // A second after typing stops, the failing line gets a wavy underline
    // and the message shows under the editor, without a message box; a
    // mended program clears both.
    void checkRunsAsYouType()
    {
        QTest::keyClicks(window->editor(), QStringLiteral("beep1();"));
        QTest::keyClick(window->editor(), Qt::Key_Return);
        QTest::keyClicks(window->editor(), QStringLiteral("beep9();"));
        QCOMPARE(window->findingLabel()->text(), QString()); // not while typing
        QTRY_COMPARE_WITH_TIMEOUT(window->editor()->findingLine(), 1, 5000);
        QVERIFY2(window->findingLabel()->text().startsWith(QStringLiteral("2行目: プログラムの構文が間違っております。")),
                 qPrintable(window->findingLabel()->text()));
        QVERIFY(messages().isEmpty());
        QVERIFY(window->findingLabel()->isVisible());

        for (int i = 0; i < 4; ++i)
            QTest::keyClick(window->editor(), Qt::Key_Backspace); // "beep"
        QTest::keyClicks(window->editor(), QStringLiteral("1();"));
        QTRY_COMPARE_WITH_TIMEOUT(window->editor()->findingLine(), -1, 5000);
        QCOMPARE(window->findingLabel()->text(), QString());
    }

    // Ctrl+Space puts in a keyword's template with the cursor between its
    // parentheses and says what goes there; the mouse on a keyword shows
    // the start of its help.
    void completionTemplatesAndHoverHelp()
    {
        QTest::keyClicks(window->editor(), QStringLiteral("ledo"));
        QTest::keyClick(window->editor(), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(text(), QStringList{QStringLiteral("ledon();")});
        QCOMPARE(window->editor()->textCursor().positionInBlock(), 6);
        QCOMPARE(window->editor()->lastHint(), QStringLiteral("ledon(赤,緑,青,秒)　LEDを点灯する"));
        QCOMPARE(window->statusBar()->currentMessage(), window->editor()->lastHint());
        QTest::keyClicks(window->editor(), QStringLiteral("255,0,0,1"));
        QCOMPARE(text(), QStringList{QStringLiteral("ledon(255,0,0,1);")});

        const QRect word = window->editor()->cursorRect(QTextCursor(window->editor()->document()));
        const QString hover = window->editor()->hoverTextAt(word.center() + QPoint(8, 0));
        QVERIFY2(hover.startsWith(QStringLiteral("ledon(赤,緑,青,秒)　LEDを点灯する\n")), qPrintable(hover));
        QCOMPARE(window->editor()->hoverTextAt(QPoint(380, 300)), QString()); // below the text
    }

    void helpOpensTheGuide()
    {
        QUrl opened;
        SetPageOpener([&](const QUrl &page) {
            opened = page;
            return true;
        });
        window->frame()->openHelp();
        SetPageOpener({});
        QCOMPARE(opened, QUrl::fromLocalFile(AssetPath(QStringLiteral("HTML\\Navi\\KORUnavi.html"))));
        QVERIFY(messages().isEmpty());
    }

    void noTextIsCutOff()
    {
        // The help buttons are 75 pixels wide, below the style's least width
        // for a button with text: their captions are measured against the
        // button's inside.
        QStringList clipped = test::ClippedTexts(window);
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            if (button->size() != QSize(75, 53))
                continue;
            clipped.removeIf([&](const QString &line) { return line.startsWith(button->objectName() + ' '); });
            QVERIFY(QFontMetrics(button->font()).horizontalAdvance(button->text()) + 2 <= button->width());
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }

    void closing()
    {
        type({"beep1();"});
        dialogs->answerQuestion(false);
        QVERIFY(!window->close());
        QCOMPARE(messages(), QStringList{EditorFrame::CloseQuestion});
        QVERIFY(window->isVisible());
        type({});
        QVERIFY(window->close()); // nothing to lose: no question
        QCOMPARE(dialogs->shown().size(), 1);
    }

    void renamedKeywordsReachTheNextWindow()
    {
        QStringList boxes = KeywordBoxTexts(*ReadKeywordLines(ShippedKeywordFilePath()));
        boxes[9] = QStringLiteral("matsu");
        QVERIFY(ApplyKeywords(boxes).written);
        // This window keeps what it read when it was shown ...
        QVERIFY(window->language()->check({"timer(3);"}).passed());
        type({});
        window->close();
        // ... the next one reads the renamed keyword.
        openWindow();
        QVERIFY(window->language()->check({"matsu(3);"}).passed());
        QCOMPARE(window->language()->check({"timer(3);"}).message, SyntaxMessage);
        QCOMPARE(ImageTexts(window->language()->toBytes({"matsu(3);"}).image),
                 (QStringList{"230", "2", "160", "3", "5", "231", "0"}));
        QVERIFY(window->editor()->completionWords().contains(QStringLiteral("matsu")));
        QVERIFY(!window->editor()->completionWords().contains(QStringLiteral("timer")));
        QCOMPARE(window->browser()->source(), QUrl::fromLocalFile(UserIndexPagePath()));
        QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("matsu(3);")));
        // Its links lead into the installed pages.
        const QUrl led = QUrl(WordHelpFolderUrl()).resolved(QUrl(QStringLiteral("led.html")));
        window->browser()->setSource(led);
        QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("LEDを点灯する")));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void unreadableKeywordFile()
    {
        QVERIFY(WriteProgramLines(UserKeywordFilePath(), {"0,short,file,170,"}));
        type({});
        window->close();
        openWindow();
        // The message names the file and the way out.
        const QString said = messages().value(0);
        QCOMPARE(messages().size(), 1);
        QVERIFY(said.startsWith(KeywordReadErrorMessage + QStringLiteral("\r\n")));
        QVERIFY(said.contains(QDir::toNativeSeparators(UserKeywordFilePath())));
        QVERIFY(said.contains(QStringLiteral("初期状態に戻す")));
        QVERIFY(window->isVisible());
        type({"beep1();"});
        window->frame()->transfer();
        window->frame()->loadDemo(1);
        QCOMPARE(messages(), QStringList(3, said));
        QCOMPARE(text(), QStringList{"beep1();"});
    }

    void completionOffersTheKeywords()
    {
        type({"be"});
        window->editor()->moveCursor(QTextCursor::End);
        QTest::keyClick(window->editor(), Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(window->editor()->completer()->popup()->isVisible());
        QCOMPARE(window->editor()->completer()->completionCount(), 3); // beep1 .. beep3
    }
};

KORU_TEST_MAIN(TstTextWindow)
#include "tst_textwindow.moc"
