// The launcher's melody button opens the melody window; closing it brings
// the launcher back. The shared insert/edit window is the melody's own.
#include "app/launcherwindow.h"
#include "app/windowtable.h"
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"

#include "launchertest.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QPointer>
#include <QTest>

using namespace koru;

class TstMelodyLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void openAndClose()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        QPointer<melody::MelodyWindow> window;
        test::OpenFromLauncher(launcher, shell::LauncherTarget::MelodyEditor, window);
        if (QTest::currentTestFailed())
            return;
        window->clickKey(QStringLiteral("pw148"));
        dialogs.answerQuestion(true);
        test::CloseBackToLauncher(launcher, window);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(dialogs.texts(), QStringList{melody::MelodyWindow::CloseQuestion});
    }

    void noteChooserIsTheSharedWindow()
    {
        test::ShellRig rig;
        QVERIFY(rig.shared.noteChooser);
        QCOMPARE(rig.window(QStringLiteral("NoteChooser")), static_cast<QWidget *>(rig.shared.noteChooser));
    }
};

QTEST_MAIN(TstMelodyLauncher)
#include "tst_melodylauncher.moc"
