// The STEP2 canvas under its heaviest load: a routine of 30 blocks with
// every arrow drawn (bottom arrows through all of them, side arrows from
// every if block). Measures a full repaint of the visible canvas, a paint of
// the whole 3100-pixel surface, and one step of dragging a block (the mouse
// move and the repaint it causes). Offscreen unless a display is asked for.
//
//   bench_flowcanvas [runs]      (default 201)
#include "flowchart/flowdemos.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#include "link/devicelink.h"

#include "bench/benchmeasure.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <cstdio>
#include <cstdlib>

using namespace koru;
using koru::bench::measure;

namespace {

// start, 28 blocks (if and timer in turn, each if's side arrow two rows
// on) in three columns, end: 30 blocks, every arrow drawn.
void Fill(FlowDocument &doc)
{
    FlowBuilder b(doc, 0);
    QList<int> slotList{b.add("start", "0,0,0,0,0,0", 0, 0)};
    for (int i = 0; i < 28; ++i)
        slotList << b.add(i % 2 ? "timer" : "if", i % 2 ? "0,1,0,0,0,0" : "4,25,0,0,0,0", i % 3, 1 + i);
    slotList << b.add("end", "0,0,0,0,0,0", 1, 29);
    for (int i = 0; i + 1 < slotList.size(); ++i)
        b.chain({slotList[i], slotList[i + 1]});
    for (int i = 1; i + 2 < slotList.size(); i += 2)
        b.side(slotList[i], slotList[i + 2]);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 201;
    // No kit: the window only draws.
    ManualPaceClock clock;
    DeviceLink link(clock, {});
    flow::BlockParameterWindow parameters;
    flow::FlowWindow window({link.context()}, parameters);
    window.show();
    Fill(window.editor()->editableDocument());
    std::printf("blocks %d, bytes %d\n", window.document().blockCount(0), window.document().byteTotal());
    flow::FlowCanvas *canvas = window.canvas();
    // What the screen shows: the canvas within the drop panel's viewport,
    // painted through the canvas's own paint event into an image (the
    // offscreen platform may skip a repaint nobody sees).
    const QSize visible = window.dropPanel()->viewport()->size();
    QImage screen(visible, QImage::Format_RGB32);
    auto paintVisible = [&] { canvas->render(&screen, QPoint(), QRegion(QRect(QPoint(0, 0), visible))); };
    paintVisible(); // pictures loaded and cached once
    std::printf("visible canvas %d x %d\n", visible.width(), visible.height());

    measure("full repaint of the visible canvas", runs, paintVisible);
    QImage surface(canvas->size(), QImage::Format_RGB32);
    measure("paint of the whole surface (730 x 3100)", runs, [&] { canvas->render(&surface); });

    // Drag the timer in slot 2 back and forth by a few pixels.
    const FlowBlock &b = window.document().block(0, 2);
    QPoint at(b.x + 20, b.y + 20);
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, p, canvas->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    };
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    measure("one drag step (move event and repaint)", runs, [&] {
        at += QPoint(++step % 2 ? 3 : -3, 0);
        send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        paintVisible();
    });
    send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    return 0;
}
