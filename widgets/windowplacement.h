// Size and place of an editor window on showing: two thirds of the screen's
// width and height, at least the given minimum, one sixth of the screen in
// from its top-left corner (halves rounded to even).
#pragma once

#include <QSize>

class QWidget;

namespace koru {

void PlaceEditorWindow(QWidget *window, QSize minimum);

} // namespace koru
