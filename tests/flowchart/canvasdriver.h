// Synthetic gestures on the STEP2 canvas for the window's tests and the
// screenshot driver: mouse events in canvas coordinates and palette drops
// as the canvas sees them (a drag enter first, then the drop).
#pragma once

#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowwindow.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace koru::test {

inline void CanvasMouse(flow::FlowCanvas *canvas, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, p, canvas->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}

// True when the canvas took the drop.
inline bool CanvasDrop(flow::FlowCanvas *canvas, int paletteIndex, QPoint at)
{
    QMimeData mime;
    mime.setData(flow::FlowCanvas::MimeType, QByteArray::number(paletteIndex));
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(canvas, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    dropped.setAccepted(false);
    QApplication::sendEvent(canvas, &dropped);
    return dropped.isAccepted();
}

} // namespace koru::test
