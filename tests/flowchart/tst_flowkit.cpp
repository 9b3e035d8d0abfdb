// The whole path from the STEP2 window to a virtual kit: a program built
// with the mouse, F6, the kit's memory, F7 with the running panel until the
// kit's FF, and the read-back rebuilding the same program. Skipped (77) when
// the virtual kit has not been built.
#include "canvasdriver.h"
#include "flowchart/flowtranslate.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#include "widgets/kitpanels.h"

#include "editorrig.h"
#include "link/devicelink.h"
#include "model/encoder.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "tests/link/kitprocess.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace koru;
using namespace koru::flow;

class TstFlowKit : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::KitProcess> kit;
    QPointer<FlowWindow> window;

    void mouse(QEvent::Type type, QPoint p) { test::CanvasMouse(window->canvas(), type, p); }
    void drop(int paletteIndex, QPoint at) { QVERIFY(test::CanvasDrop(window->canvas(), paletteIndex, at)); }
    // An arrow dragged from a block's bottom handle into another block.
    void arrow(QPoint fromBlock, QPoint toBlock)
    {
        const QPoint from = fromBlock + QPoint(50, 40);
        const QPoint to = toBlock + QPoint(30, 20);
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to);
    }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        kit = std::make_unique<test::KitProcess>();
        QString why;
        QVERIFY2(kit->start(&why), qPrintable(why));
    }

    void cleanupTestCase() { kit.reset(); }

    void buildSendRunAndReadBack()
    {
        test::ScriptedDialogs dialogs;
        const std::unique_ptr<DeviceLink> ownLink = kit->makeLink();
        DeviceLink &link = *ownLink;
        test::EditorRig rig(link);
        BlockParameterWindow parameters;
        QVERIFY(QTest::qWaitFor([&] { return link.isSettled(); }, 5000));
        QTRY_VERIFY_WITH_TIMEOUT(link.KitPresent(), 5000);

        window = new FlowWindow(rig.context(), parameters);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // start -> LED (red, 0.5 s) -> timer 1 s -> end, all with the mouse.
        drop(0, {50, 10});
        drop(2, {50, 100});
        ParameterEditor *editor = parameters.editor();
        editor->chooseColour(0);
        editor->slider(3)->setValue(2);
        editor->okButton()->click();
        drop(5, {50, 190});
        editor->okButton()->click();
        drop(1, {50, 280});
        arrow({50, 10}, {50, 100});
        arrow({50, 100}, {50, 190});
        arrow({50, 190}, {50, 280});
        const DeviceImage image = BuildDeviceImage(window->document()).image;
        const QStringList listing = BuildCommandListing(window->document()).listing;
        QCOMPARE(image.size(), 2 + 4 + 3 + 1);
        QCOMPARE(listing.size(), 4);

        QStringList replies;
        connect(&link, &DeviceLink::replyReceived, this, [&](const QString &line) { replies.append(line); });
        // The offscreen platform hands the keyboard to the parameter window
        // it showed last; a real display gives it back to the editor.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QSignalSpy f6(window->frame()->transferAction(), &QAction::triggered);
        QTest::keyClick(window, Qt::Key_F6);
        QCOMPARE(f6.count(), 1);
        // The commands come back with the kit's FF (the send may still wait
        // for each value, so the FF can be in before the key returns).
        QTRY_VERIFY_WITH_TIMEOUT(window->frame()->transferAction()->isEnabled() && replies.contains("FF "), 5000);

        // The kit's memory holds exactly the image, then 250.
        replies.clear();
        QVERIFY(link.RequestMemory());
        QTRY_VERIFY_WITH_TIMEOUT(replies.size() > image.size(), 10000);
        DeviceImage memory;
        for (qsizetype i = 0; i <= image.size(); ++i)
            memory.append(replies[i].trimmed().toInt(nullptr, 16));
        QCOMPARE(memory, image + DeviceImage{250});
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 255, 10000); // the rest of the memory arrives too

        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_F7);
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window->frame()->playingPanel()->isVisible(), 10000);
        QVERIFY(window->frame()->runAction()->isEnabled());

        // Read back: the flowchart rebuilt from the memory has the same listing.
        dialogs.answerQuestion(true);
        window->frame()->readBack();
        QTRY_VERIFY_WITH_TIMEOUT(!window->frame()->getDataPanel()->isVisible() && window->document().blockCount() > 0, 15000);
        QCOMPARE(window->document().blockCount(), 4);
        QCOMPARE(BuildCommandListing(window->document()).listing, listing);
        QVERIFY2(dialogs.shown().size() == 1, qPrintable(dialogs.texts().join('|'))); // the question only

        dialogs.answerQuestion(true);
        QVERIFY(window->close());
    }
};

KORU_TEST_ENTRY(TstFlowKit)(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!test::KitProcess::available())
        return 77; // no virtual kit in this build
    TstFlowKit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_flowkit.moc"
