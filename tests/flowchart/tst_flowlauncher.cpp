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
#include <QPushButton>
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
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
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

    // The shell's block parameter window is the one the flowchart window opens.
    void sharedParameterWindow()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        QVERIFY(rig.shared.blockParameters);
        QCOMPARE(rig.window(QStringLiteral("BlockParameters")), static_cast<QWidget *>(rig.shared.blockParameters));
        shell::LauncherWindow launcher(rig.launcherTable());
        QPointer<flow::FlowWindow> window;
        test::OpenFromLauncher(launcher, shell::LauncherTarget::FlowchartEditor, window);
        if (QTest::currentTestFailed())
            return;
        window->dropPalette(5, QPoint(50, 100)); // a timer: it asks for its parameters
        QVERIFY(rig.shared.blockParameters->isVisible());
        rig.shared.blockParameters->editor()->okButton()->click();
        QVERIFY(!rig.shared.blockParameters->isVisible());
        dialogs.answerQuestion(true);
        test::CloseBackToLauncher(launcher, window);
    }
};

QTEST_MAIN(TstFlowLauncher)
#include "tst_flowlauncher.moc"
