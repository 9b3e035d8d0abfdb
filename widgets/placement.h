// Where windows open. Editors and the measurement window take two thirds
// of the screen (at least their minimum size), one sixth of the screen in
// from its top-left corner; whatever opens over an editor (transfer
// progress, report, sent-data viewer, note chooser) is centred over it,
// except the preview, which goes beside the editor so that the mark the
// editor shows on the running element stays in sight. Halves are rounded to even throughout, so a window lands on the
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

// Top-left corner for something of the given size beside an editor on its
// screen: right of it where it fits, else left, else below, top edges (or
// left edges, below) aligned and kept on the screen. Where none fits it goes
// flush against the screen edge on the side with the most room, covering as
// little of the editor as it can; centred over the editor only when it is
// wider than the screen.
inline QPoint BesideEditor(const QRect &editor, const QSize &size, const QRect &screen)
{
    const auto clampY = [&](int y) { return std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())); };
    const auto clampX = [&](int x) { return std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())); };
    const int right = screen.right() + 1 - (editor.right() + 1);
    const int left = editor.left() - screen.left();
    const int below = screen.bottom() + 1 - (editor.bottom() + 1);
    if (size.width() <= right)
        return {editor.right() + 1, clampY(editor.top())};
    if (size.width() <= left)
        return {editor.left() - size.width(), clampY(editor.top())};
    if (size.height() <= below)
        return {clampX(editor.left()), editor.bottom() + 1};
    if (size.width() > screen.width())
        return CentredOver(editor, size);
    return {right >= left ? screen.right() + 1 - size.width() : screen.left(), clampY(editor.top())};
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
// Moves window beside the editor's frame (BesideEditor) on the editor's screen.
void PlaceBeside(QWidget *window, const QRect &editor);

} // namespace koru
