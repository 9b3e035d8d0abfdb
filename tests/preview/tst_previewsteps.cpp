// Every step's preview: the STEP1 window hands its row to the preview
// through RequestPreview, and the frame around the running icon follows the
// run to its end.
#include "icons/ui/iconwindow.h"
#include "preview/ui/previewwindow.h"

#include "editorrig.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QMenuBar>
#include <QtTest>

using namespace koru;

class TestPreviewSteps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { koru::test::useTemporaryAppData(); }
    void iconRowMarksTheRunningIcon();
};

void TestPreviewSteps::iconRowMarksTheRunningIcon()
{
    koru::test::ScriptedDialogs dialogs;
    kit::ManualClock clock;
    preview::PreviewWindow preview(&clock);
    preview.installAsPreview();
    koru::test::EditorRig rig;
    auto *window = new icons::IconWindow(rig.context());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QStringList menu;
    for (const QAction *a : window->menuBar()->actions())
        menu.append(a->text());
    QCOMPARE(menu.indexOf(QStringLiteral("プレビュー")), menu.indexOf(QStringLiteral("レポート作成")) + 1);

    // A beep in slot 0 and a timer in slot 2, slot 1 left empty.
    window->dropOnSlot(0, icons::Beep);
    window->dropOnSlot(2, icons::Timer);
    const int seconds = window->program().slot(2).value.value_or(0);
    QVERIFY(seconds > 0);
    window->preview();
    QVERIFY(preview.isVisible());
    QCOMPARE(window->runningSlot(), -1);

    preview.play();
    QList<int> marks{window->runningSlot()};
    for (int guard = 0; guard < 100 && preview.run().nextDueMs(); ++guard) {
        clock.set(*preview.run().nextDueMs());
        preview.run().advance();
        if (window->runningSlot() != marks.last())
            marks.append(window->runningSlot());
    }
    QCOMPARE(marks, (QList<int>{0, 2, -1}));
    QCOMPARE(clock.nowMs(), 2000 + seconds * 1000);
    preview.close();
    SetPreviewHandler({});
    dialogs.answerQuestion(true);
    window->close();
    delete window;
}

QTEST_MAIN(TestPreviewSteps)
#include "tst_previewsteps.moc"
