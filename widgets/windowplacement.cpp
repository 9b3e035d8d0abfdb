#include "widgets/windowplacement.h"

#include "widgets/editorplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace koru {

void PlaceEditorWindow(QWidget *window, QSize minimum)
{
    const QScreen *s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect place = EditorPlacement(s->geometry(), minimum);
    window->resize(place.size());
    window->move(place.topLeft());
}

} // namespace koru
