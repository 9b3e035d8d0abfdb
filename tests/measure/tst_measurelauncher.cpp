// The launcher's measurement button opens the measurement window; closing
// it brings the launcher back.
#include "app/launcherwindow.h"
#include "measure/ui/measurewindow.h"

#include "launchertest.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QPointer>
#include <QTest>

using namespace koru;

class TstMeasureLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void openAndClose()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        QPointer<measure::MeasureWindow> window;
        test::OpenFromLauncher(launcher, shell::LauncherTarget::Measurement, window);
        if (QTest::currentTestFailed())
            return;
        test::CloseBackToLauncher(launcher, window);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(dialogs.shown().isEmpty());
    }
};

QTEST_MAIN(TstMeasureLauncher)
#include "tst_measurelauncher.moc"
