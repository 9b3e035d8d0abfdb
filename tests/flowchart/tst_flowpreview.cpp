// "　プレビュー　" from the STEP2 window into the preview window: the image
// arrives unframed, and while the preview runs the block being executed is
// marked on the canvas, in its own routine; the mark goes when the run stops.
#include "flowchart/flowtranslate.h"
#include "flowchart/ui/flowwindow.h"
#include "kit/clock.h"
#include "model/encoder.h"
#include "preview/ui/previewwindow.h"

#include "editorrig.h"
#include "flowchart/ui/parametereditor.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QPointer>
#include <QSet>
#include <QTest>

using namespace koru;

class TstFlowPreview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void runningBlockIsMarked()
    {
        test::ScriptedDialogs dialogs;
        preview::PreviewWindow previewWindow;
        previewWindow.installAsPreview();
        test::EditorRig rig;
        flow::BlockParameterWindow parameters;
        QPointer<flow::FlowWindow> window = new flow::FlowWindow(rig.context(), parameters);
        window->show();
        window->frame()->loadDemo(4); // calls subroutines 1 and 2
        window->frame()->preview();
        QVERIFY(previewWindow.isVisible());
        QCOMPARE(window->runningBlock(), qMakePair(-1, -1));
        previewWindow.play();
        QTRY_VERIFY_WITH_TIMEOUT(window->runningBlock().first >= 0, 5000);
        const auto marked = window->runningBlock();
        QVERIFY(window->document().isOccupied(marked.first, marked.second));
        QCOMPARE(window->editor()->routine(), marked.first);
        previewWindow.stop();
        previewWindow.close();
        QTRY_COMPARE(window->runningBlock(), qMakePair(-1, -1));
        QVERIFY2(dialogs.shown().isEmpty(), qPrintable(dialogs.texts().join('|')));
        dialogs.answerQuestion(true);
        window->close();
        delete window;
    }

    // Over a clock the test turns: the mark walks from the main routine into
    // both subroutines and back, always on a block, and is gone at the end.
    void markFollowsTheRunIntoSubroutines()
    {
        test::ScriptedDialogs dialogs;
        kit::ManualClock clock;
        preview::PreviewWindow previewWindow(&clock);
        previewWindow.installAsPreview();
        test::EditorRig rig;
        flow::BlockParameterWindow parameters;
        QPointer<flow::FlowWindow> window = new flow::FlowWindow(rig.context(), parameters);
        window->show();
        window->frame()->loadDemo(4);
        window->frame()->preview();
        previewWindow.play();
        QSet<int> routines;
        int marks = 0;
        for (int step = 0; step < 10000 && previewWindow.run().playing(); ++step) {
            const auto marked = window->runningBlock();
            if (marked.first >= 0) {
                QVERIFY(window->document().isOccupied(marked.first, marked.second));
                QCOMPARE(window->editor()->routine(), marked.first);
                routines.insert(marked.first);
                ++marks;
            }
            const std::optional<qint64> due = previewWindow.run().nextDueMs();
            QVERIFY(due);
            clock.set(*due);
            previewWindow.run().advance();
        }
        QVERIFY(!previewWindow.run().playing());
        QCOMPARE(routines, (QSet<int>{0, 1, 2}));
        QVERIFY(marks > 10);
        QTRY_COMPARE(window->runningBlock(), qMakePair(-1, -1));
        previewWindow.close();
        dialogs.answerQuestion(true);
        window->close();
        delete window;
    }
};

KORU_TEST_MAIN(TstFlowPreview)
#include "tst_flowpreview.moc"
