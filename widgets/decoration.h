// Pictures that only decorate (a slot's back, the arrow between slots, the
// key names under the keyboard): a screen reader passes over them as over a
// plain widget instead of reading an unnamed picture for each.
#pragma once

class QWidget;

namespace koru {

void MarkDecoration(QWidget *picture);

} // namespace koru
