// STEP1 from the launcher: the button opens the icon window, closing it
// brings the launcher back.
#include "app/launcherwindow.h"
#include "icons/ui/iconwindow.h"

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
        launcher.show();
        launcher.open(shell::LauncherTarget::IconEditor);
        QPointer<icons::IconWindow> window =
            qobject_cast<icons::IconWindow *>(launcher.openWindow(shell::LauncherTarget::IconEditor));
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!launcher.isVisible());
        window->dropOnSlot(0, icons::Timer);
        dialogs.answerQuestion(true);
        QVERIFY(window->close());
        QTRY_VERIFY(!window);
        QVERIFY(launcher.isVisible());
        QCOMPARE(dialogs.texts(), QStringList{icons::IconWindow::CloseQuestion});
    }
};

QTEST_MAIN(TstIconLauncher)
#include "tst_iconlauncher.moc"
