// STEP2 from the launcher: the button opens the flowchart window, closing it
// (after the question, when it holds blocks) brings the launcher back; the
// shared block parameter window is the flowchart's own.
#include "app/launcherwindow.h"
#include "app/windowtable.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"

#include "launchertest.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QPointer>
#include <QTest>

using namespace koru;

class TstFlowLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void openAndClose()
    {
        test::ScriptedDialogs dialogs;
        shell::LauncherWindow launcher(shell::DefaultLauncherTable());
        QPointer<flow::FlowWindow> window;
        test::OpenFromLauncher(launcher, shell::LauncherTarget::FlowchartEditor, window);
        if (QTest::currentTestFailed())
            return;
        window->loadDemo(1);
        dialogs.answerQuestion(true);
        test::CloseBackToLauncher(launcher, window);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(dialogs.texts(), QStringList{flow::FlowWindow::CloseQuestion});
    }

    void sharedParameterWindow()
    {
        for (const shell::SharedWindowEntry &entry : shell::DefaultSharedWindows()) {
            if (entry.name == QLatin1String("BlockParameters"))
                QCOMPARE(entry.make(), static_cast<QWidget *>(&flow::BlockParameterWindow::instance()));
        }
    }
};

QTEST_MAIN(TstFlowLauncher)
#include "tst_flowlauncher.moc"
