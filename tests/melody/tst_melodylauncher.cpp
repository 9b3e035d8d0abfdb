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
        shell::LauncherWindow launcher(shell::DefaultLauncherTable());
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
        for (const shell::SharedWindowEntry &entry : shell::DefaultSharedWindows()) {
            if (entry.name != QLatin1String("NoteChooser"))
                continue;
            QCOMPARE(entry.make(), static_cast<QWidget *>(&melody::NoteChooser::instance()));
            return;
        }
        QFAIL("no NoteChooser among the shared windows");
    }
};

QTEST_MAIN(TstMelodyLauncher)
#include "tst_melodylauncher.moc"
