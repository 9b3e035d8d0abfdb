// Where windows open. Editors and the measurement window take two thirds
// of the screen (at least their minimum size), one sixth of the screen in
// from its top-left corner; whatever opens over an editor (transfer
// progress, preview, report, sent-data viewer, note chooser) is centred
// over it. Halves are rounded to even throughout, so a window lands on the
// same pixel whichever path placed it.
#pragma once

#include "model/textutil.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>

class QWidget;

namespace koru {

inline QRect EditorPlacement(const QRect &screen, const QSize &minimum)
{
    return QRect(screen.left() + RoundHalfEven(screen.width() / 6.0),
                 screen.top() + RoundHalfEven(screen.height() / 6.0),
                 std::max(minimum.width(), RoundHalfEven(screen.width() * 2.0 / 3.0)),
                 std::max(minimum.height(), RoundHalfEven(screen.height() * 2.0 / 3.0)));
}

// Top-left corner that centres something of the given size over a rectangle.
inline QPoint CentredOver(const QRect &over, const QSize &size)
{
    return {over.x() + RoundHalfEven((over.width() - size.width()) / 2.0),
            over.y() + RoundHalfEven((over.height() - size.height()) / 2.0)};
}

// Sizes and places an editor window on its screen (the primary one before
// it has a screen).
void PlaceEditorWindow(QWidget *window, QSize minimum);

// Moves window so that its frame is centred over the rectangle (global
// coordinates for a window, the parent's for a child). A window that is to
// be shown with its frame is shown first, so the frame counts.
void CentreOver(QWidget *window, const QRect &over);
// The same over another window's frame; nothing when over is null.
void CentreOver(QWidget *window, const QWidget *over);

} // namespace koru
