// STEP3 with the preview window: プレビュー shows the program there, and the
// line of the instruction the preview runs is shown running in the text.
#include "preview/ui/previewwindow.h"
#include "text/ui/textwindow.h"

#include "editorrig.h"
#include "kit/clock.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"
#include "widgets/sourceeditor.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>

using namespace koru;

class TstTextPreview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void previewFollowsTheText()
    {
        test::ScriptedDialogs dialogs;
        kit::ManualClock clock;
        preview::PreviewWindow previewWindow(&clock);
        previewWindow.installAsPreview();
        test::EditorRig rig;
        QPointer<text::TextWindow> window = new text::TextWindow(rig.context());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->editor()->setLines({"// wait for the switch", "", "swwait();", "beep1();"});
        window->frame()->preview();
        QVERIFY(previewWindow.isVisible());
        previewWindow.play();
        QTRY_COMPARE(window->editor()->runningLine(), 2);
        previewWindow.close(); // the run ends with the window
        QTRY_COMPARE(window->editor()->runningLine(), -1);
        QVERIFY(dialogs.shown().isEmpty());

        // A picture for people: run under X with KORU_SHOTS_DIR set.
        const QString folder = qEnvironmentVariable("KORU_SHOTS_DIR");
        if (!folder.isEmpty() && QGuiApplication::platformName() != QLatin1String("offscreen")) {
            window->editor()->setLines({"// 赤く光らせてスイッチを待つ", "ledon(255,0,0,2);", "swwait();", "beep1();"});
            window->frame()->preview();
            previewWindow.play();
            QTRY_COMPARE(window->editor()->runningLine(), 1);
            QTest::qWait(500);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QStringLiteral("/text-preview.png")));
            previewWindow.close();
        }
        dialogs.answerQuestion(true);
        window->close();
    }
};

KORU_TEST_MAIN(TstTextPreview)
#include "tst_textpreview.moc"
