// A window that is hidden for most of the program's life (the shared
// windows: preview, report, note chooser...) keeps the pixels it last showed
// in its backing store, a full window's worth of shared memory each. These
// helpers let such a window give them back while hidden; the next show
// paints it afresh at its size.
#pragma once

class QWidget;

namespace koru {

// From now on, whenever `window` is hidden its backing store shrinks to a
// pixel. Safe for a window never shown (there is nothing to give back).
void ReleaseBuffersWhenHidden(QWidget *window);

} // namespace koru
