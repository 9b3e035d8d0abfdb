// Every step's preview: the STEP1 window hands its row to the preview
// through RequestPreview, and the frame around the running icon follows the
// run to its end, and step by step.
#include "icons/ui/iconwindow.h"
#include "preview/ui/previewwindow.h"

#include "editorrig.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QtTest>

using namespace koru;

class TestPreviewSteps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { koru::test::useTemporaryAppData(); }
    void iconRowMarksTheRunningIcon();
    void previewRefusesWhatTransferRefuses();
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
    window->frame()->preview();
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

    // Step by step the frame stands on the icon to run next, and the state
    // beside the kit names it as the row's cards do.
    preview.step();
    QCOMPARE(window->runningSlot(), 0);
    QVERIFY2(preview.statePanel()->accessibleName().endsWith(QStringLiteral("つぎに実行: ")
                                                              + icons::SlotName(0, window->program().slot(0))),
             qPrintable(preview.statePanel()->accessibleName()));
    preview.step();
    QCOMPARE(window->runningSlot(), 0); // the beep sounds
    clock.set(*preview.run().nextDueMs());
    preview.run().advance();
    QCOMPARE(window->runningSlot(), 2);
    QVERIFY(preview.run().held());
    preview.close();
    QCOMPARE(window->runningSlot(), -1);
    SetPreviewHandler({});
    dialogs.answerQuestion(true);
    window->close();
    delete window;
}

// A row of 24 fades needs more than the kit holds: F6 refuses it, and so
// does the preview, with the same message, instead of running it.
void TestPreviewSteps::previewRefusesWhatTransferRefuses()
{
    koru::test::ScriptedDialogs dialogs;
    bool previewed = false;
    SetPreviewHandler([&](const PreviewRequest &) { previewed = true; });
    koru::test::EditorRig rig;
    auto *window = new icons::IconWindow(rig.context());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    for (int n = 0; n < icons::SlotCount; ++n) {
        window->dropOnSlot(n, n % 7);
        auto *mode = window->findChild<QComboBox *>(QStringLiteral("Para_Combo%1").arg(n));
        QVERIFY(mode);
        QTest::keyClick(mode, Qt::Key_Down); // フェード
        QCOMPARE(window->program().slot(n).mode, std::optional<int>(1));
    }
    window->frame()->preview();
    QVERIFY(!previewed);
    QCOMPARE(dialogs.texts(), QStringList{icons::ImageTooLargeMessage});
    window->frame()->transfer();
    QCOMPARE(dialogs.texts(), (QStringList{icons::ImageTooLargeMessage, icons::ImageTooLargeMessage}));
    SetPreviewHandler({});
    dialogs.answerQuestion(true);
    window->close();
    delete window;
}

KORU_TEST_MAIN(TestPreviewSteps)
#include "tst_previewsteps.moc"
