// STEP1 from the launcher: the button opens the icon window, closing it
// brings the launcher back.
#include "app/launcherwindow.h"
#include "icons/ui/iconwindow.h"

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
        shell::LauncherWindow launcher;
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
};

QTEST_MAIN(TstIconLauncher)
#include "tst_iconlauncher.moc"
