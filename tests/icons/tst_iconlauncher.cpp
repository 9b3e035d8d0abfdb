// STEP1 from the launcher: the button opens the icon window, closing it
// brings the launcher back.
#include "app/launcherwindow.h"
#include "icons/ui/iconwindow.h"
#include "link/ui/transferwindow.h"

#include "launchertest.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QPointer>
#include <QTest>

using namespace koru;

class TstIconLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void openAndClose()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        QPointer<icons::IconWindow> window;
        test::OpenFromLauncher(launcher, shell::LauncherTarget::IconEditor, window);
        if (QTest::currentTestFailed())
            return;
        window->dropOnSlot(0, icons::Timer);
        dialogs.answerQuestion(true);
        test::CloseBackToLauncher(launcher, window);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(dialogs.texts(), QStringList{icons::IconWindow::CloseQuestion});
    }

    // The editor the launcher opens sends to the shell's kit and shows the
    // shell's transfer window meanwhile.
    void editorUsesTheShellsKit()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        QVERIFY(rig.kit.plugKit());
        shell::LauncherWindow launcher(rig.launcherTable());
        QPointer<icons::IconWindow> window;
        test::OpenFromLauncher(launcher, shell::LauncherTarget::IconEditor, window);
        if (QTest::currentTestFailed())
            return;
        window->dropOnSlot(0, icons::Beep);
        window->transfer();
        QVERIFY(rig.shared.transferWindow->isVisible());
        rig.kit.clock.runUntilIdle();
        QVERIFY(!rig.shared.transferWindow->isVisible());
        const QList<int> sent = rig.kit.fake->writtenValues(QStringLiteral("kit"));
        QVERIFY(sent.size() > 2);
        QCOMPARE(sent.first(), int(kit::ProgramFrame));
        QCOMPARE(sent.last(), int(kit::FrameEnd));
        dialogs.answerQuestion(true);
        test::CloseBackToLauncher(launcher, window);
    }
};

QTEST_MAIN(TstIconLauncher)
#include "tst_iconlauncher.moc"
