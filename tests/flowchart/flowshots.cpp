// Screenshots of the STEP2 window in the states a pupil meets, for looking
// at under Xvfb (not a test): run
//   xvfb-run -a -s "-screen 0 1024x768x24" bin/flowshots OUTDIR
// and it saves OUTDIR/<state>.png of the whole screen with `import`.
#include "canvasdriver.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"

#include "link/devicelink.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "editorrig.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace koru;
using namespace koru::flow;

namespace {

QString g_out;

void Shot(const QString &name)
{
    QTest::qWait(400);
    QProcess::execute(QStringLiteral("import"), {"-window", "root", QDir(g_out).filePath(name + ".png")});
    std::printf("flowshots: %s.png\n", qPrintable(name));
}

void Mouse(FlowCanvas *canvas, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    test::CanvasMouse(canvas, type, p, button);
}

void Drop(FlowWindow &window, int index, QPoint at)
{
    test::CanvasDrop(window.canvas(), index, at);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_out);
    test::useTemporaryAppData();
    test::ScriptedDialogs dialogs;
    test::EditorRig rig;
    rig.plugKit();
    BlockParameterWindow parameters;

    auto *window = new FlowWindow(rig.context(), parameters);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("flowshots: the window was not shown; the pictures may be empty");
    Shot("empty");

    for (int n = 1; n <= 4; ++n) {
        window->frame()->loadDemo(n);
        Shot(QStringLiteral("demo%1").arg(n));
    }
    window->editor()->showRoutine(1);
    Shot("demo4-subroutine1");
    // The block the preview reports as running, as the preview marks it.
    window->editor()->showRoutine(0);
    window->markRunning(window->document().byteAddress(0, window->document().occupiedSlots(0).at(2)));
    Shot("preview-running-mark");
    window->markRunning(-1);
    // The mouse resting on a handle: the block's handle dots show (a
    // condition's two where the demos have one).
    {
        int target = NoSlot;
        for (int slot : window->document().occupiedSlots(0)) {
            const FlowBlock &candidate = window->document().block(0, slot);
            if (candidate.is("if") || (target == NoSlot && !candidate.is("end")))
                target = slot;
        }
        if (target != NoSlot) {
            const FlowBlock &hovered = window->document().block(0, target);
            Mouse(window->canvas(), QEvent::MouseMove, {hovered.x + 50, hovered.y + 40}, Qt::NoButton);
            Shot("hover-handles");
            Mouse(window->canvas(), QEvent::MouseMove, {5, 5}, Qt::NoButton);
        }
    }
    window->editor()->showRoutine(0);
    Drop(*window, 2, {420, 260});
    Shot("parameter-window");
    parameters.editor()->chooseColour(3);
    Shot("parameter-window-yellow");
    parameters.editor()->okButton()->click();

    const FlowBlock &b = window->document().block(0, window->editor()->blockAt({430, 270}));
    const QPoint body(b.x + 20, b.y + 20);
    Mouse(window->canvas(), QEvent::MouseButtonPress, body);
    Mouse(window->canvas(), QEvent::MouseButtonRelease, body);
    Shot("panel-open");

    Mouse(window->canvas(), QEvent::MouseButtonPress, {600, 20});
    Mouse(window->canvas(), QEvent::MouseMove, {300, 200});
    Mouse(window->canvas(), QEvent::MouseMove, {30, 330});
    Shot("rubber-band");
    Mouse(window->canvas(), QEvent::MouseButtonRelease, {30, 330});
    Shot("selection");

    Mouse(window->canvas(), QEvent::MouseButtonPress, body, Qt::RightButton);
    Shot("block-menu");
    window->blockMenu()->hide();

    window->frame()->run();
    Shot("running-panel");
    rig.kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
    QTest::qWait(200);

    dialogs.answerQuestion(true);
    QTimer::singleShot(1500, [] { Shot("read-back-panel"); });
    window->frame()->readBack();
    QTest::qWait(6500);

    dialogs.answerQuestion(true);
    window->close();
    return 0;
}
