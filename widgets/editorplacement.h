// Where editor and measurement windows open: two thirds of the screen (at
// least their minimum size), one sixth of the screen in from its top-left
// corner, halves rounded to even.
#pragma once

#include "model/textutil.h"

#include <QRect>
#include <QSize>

#include <algorithm>

namespace koru {

inline QRect EditorPlacement(const QRect &screen, const QSize &minimum)
{
    return QRect(screen.left() + RoundHalfEven(screen.width() / 6.0),
                 screen.top() + RoundHalfEven(screen.height() / 6.0),
                 std::max(minimum.width(), RoundHalfEven(screen.width() * 2.0 / 3.0)),
                 std::max(minimum.height(), RoundHalfEven(screen.height() * 2.0 / 3.0)));
}

} // namespace koru
