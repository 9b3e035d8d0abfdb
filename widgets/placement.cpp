#include "widgets/placement.h"

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

void CentreOver(QWidget *window, const QRect &over)
{
    window->move(CentredOver(over, window->frameGeometry().size()));
}

void CentreOver(QWidget *window, const QWidget *over)
{
    if (over)
        CentreOver(window, over->frameGeometry());
}

void PlaceBeside(QWidget *window, const QRect &editor)
{
    const QScreen *s = QGuiApplication::screenAt(editor.center());
    if (!s)
        s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!s) {
        CentreOver(window, editor);
        return;
    }
    window->move(BesideEditor(editor, window->frameGeometry().size(), s->availableGeometry()));
}

} // namespace koru
