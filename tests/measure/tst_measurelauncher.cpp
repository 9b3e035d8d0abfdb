// The launcher's measurement button opens the measurement window; closing
// it brings the launcher back.
#include "app/launcherwindow.h"
#include "measure/ui/measurewindow.h"

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
        shell::LauncherWindow launcher;
        launcher.show();
        launcher.open(shell::LauncherTarget::Measurement);
        QPointer<measure::MeasureWindow> window =
            qobject_cast<measure::MeasureWindow *>(launcher.openWindow(shell::LauncherTarget::Measurement));
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!launcher.isVisible());
        QVERIFY(window->close());
        QTRY_VERIFY(!window);
        QVERIFY(launcher.isVisible());
        QVERIFY(dialogs.shown().isEmpty());
    }
};

QTEST_MAIN(TstMeasureLauncher)
#include "tst_measurelauncher.moc"
