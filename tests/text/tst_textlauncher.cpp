// STEP3 and the keyword settings from the launcher: each button opens its
// window, closing it brings the launcher back, and a keyword renamed in the
// settings is the one the next STEP3 window accepts.
#include "app/launcherwindow.h"
#include "app/shell.h"
#include "text/ui/keywordsettingswindow.h"
#include "text/ui/textwindow.h"

#include "scripteddialogs.h"
#include "shellrig.h"
#include "testmain.h"
#include "testutil.h"
#include "text/keywordsettings.h"
#include "widgets/sourceeditor.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace koru;
using shell::LauncherTarget;

class TstTextLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void settingsThenStep3()
    {
        QFile::remove(UserKeywordFilePath());
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        launcher.show();

        launcher.open(LauncherTarget::KeywordSettings);
        QPointer<text::KeywordSettingsWindow> settings =
            qobject_cast<text::KeywordSettingsWindow *>(launcher.openWindow(LauncherTarget::KeywordSettings));
        QVERIFY(settings && settings->isVisible());
        QVERIFY(!launcher.isVisible());
        settings->box(16)->setText(QStringLiteral("pi"));
        settings->apply();
        QTRY_VERIFY(!settings);
        QVERIFY(launcher.isVisible());

        launcher.open(LauncherTarget::TextEditor);
        QPointer<text::TextWindow> window =
            qobject_cast<text::TextWindow *>(launcher.openWindow(LauncherTarget::TextEditor));
        QVERIFY(window && window->isVisible());
        QVERIFY(window->language()->check({"pi();"}).passed());
        QVERIFY(!window->language()->check({"beep1();"}).passed());
        QVERIFY(window->close()); // empty: no question
        QTRY_VERIFY(!window);
        QVERIFY(launcher.isVisible());
        QVERIFY(dialogs.shown().isEmpty());
    }

    // Pictures for people to look at, with the program's fonts: run under a
    // real X server with KORU_SHOTS_DIR set (skipped otherwise).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("KORU_SHOTS_DIR");
        if (folder.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("set KORU_SHOTS_DIR and run under X to take screenshots");
        QFile::remove(UserKeywordFilePath());
        QFile::remove(UserIndexPagePath());
        shell::UseProgramFont();
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        launcher.show();
        auto shoot = [&](const QString &name) {
            QTest::qWait(500);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QLatin1Char('/') + name));
        };

        launcher.open(LauncherTarget::KeywordSettings);
        auto *settings = qobject_cast<text::KeywordSettingsWindow *>(launcher.openWindow(LauncherTarget::KeywordSettings));
        QVERIFY(settings);
        shoot(QStringLiteral("text-settings.png"));
        settings->close();

        launcher.open(LauncherTarget::TextEditor);
        QPointer<text::TextWindow> window =
            qobject_cast<text::TextWindow *>(launcher.openWindow(LauncherTarget::TextEditor));
        QVERIFY(window);
        SourceEditor *editor = window->editor();
        window->frame()->loadDemo(2);
        QStringList demo = editor->lines();
        demo.prepend(QStringLiteral("// デモ２：フローチャートのデモを文字にしたもの"));
        demo[1] += QStringLiteral("  // 確認音２を鳴らす");
        demo.append(QStringLiteral("beep1();　// ← 全角の空白は点線の四角で見える"));
        editor->setLines(demo);
        shoot(QStringLiteral("text-demo.png"));

        QTextBrowser *browser = window->browser();
        browser->setSource(browser->source().resolved(QUrl(QStringLiteral("led.html"))));
        shoot(QStringLiteral("text-help-link.png"));
        window->goHome();

        editor->setLines({QStringLiteral("// まちがいを見つける"), QStringLiteral("ledon(255,0,0,1);"),
                          QStringLiteral("timer(300);"), QStringLiteral("beep1();")});
        dialogs.expectMessage(SyntaxMessage);
        dialogs.expectMessage(text::TextWindow::NotShownMessage);
        window->frame()->showSentData(); // the check fails: its line is marked
        shoot(QStringLiteral("text-check-failed.png"));

        editor->setLines({QStringLiteral("ledon(255,0,0,1);"), QStringLiteral("be")});
        editor->moveCursor(QTextCursor::End);
        window->activateWindow();
        editor->setFocus();
        editor->complete();
        shoot(QStringLiteral("text-completion.png"));
        editor->completer()->popup()->hide();

        QVERIFY(rig.kit.plugKit());
        editor->setLines({QStringLiteral("timer(3);")});
        window->frame()->run();
        shoot(QStringLiteral("text-running.png"));
        dialogs.answerQuestion(true);
        window->close();
    }
};

KORU_TEST_MAIN(TstTextLauncher)
#include "tst_textlauncher.moc"
