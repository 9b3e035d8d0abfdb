#include "widgets/windowplacement.h"

#include "model/textutil.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace koru {

void PlaceEditorWindow(QWidget *window, QSize minimum)
{
    const QScreen *s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->geometry();
    const int width = std::max(minimum.width(), RoundHalfEven(area.width() * 2.0 / 3.0));
    const int height = std::max(minimum.height(), RoundHalfEven(area.height() * 2.0 / 3.0));
    window->resize(width, height);
    window->move(area.left() + RoundHalfEven(area.width() / 6.0), area.top() + RoundHalfEven(area.height() / 6.0));
}

} // namespace koru
