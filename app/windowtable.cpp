#include "app/windowtable.h"

#include "app/splashwindow.h"
#include "icons/ui/iconwindow.h"
#include "widgets/sentdataviewer.h"

#include <QWidget>

namespace koru::shell {

LauncherTable DefaultLauncherTable()
{
    LauncherTable table;
    // One line per window, for example:
    // table[LauncherTarget::IconEditor] = [] { return new icons::IconEditorWindow; };
    table[LauncherTarget::IconEditor] = []() -> QWidget * { return new icons::IconWindow; };
    return table;
}

SharedWindowTable DefaultSharedWindows()
{
    return {
        {QStringLiteral("Preview"), [] { return NewEmptyWindow(QStringLiteral("Preview")); }},
        {QStringLiteral("BlockParameters"), [] { return NewEmptyWindow(QStringLiteral("BlockParameters")); }},
        {QStringLiteral("TransferWindow"), [] { return NewEmptyWindow(QStringLiteral("TransferWindow")); }},
        {QStringLiteral("SentDataViewer"), []() -> QWidget * { return &SentDataViewer::instance(); }},
        {QStringLiteral("Report"), [] { return NewEmptyWindow(QStringLiteral("Report")); }},
        {QStringLiteral("SecondSplash"), []() -> QWidget * { return new SplashWindow; }},
        {QStringLiteral("NoteChooser"), [] { return NewEmptyWindow(QStringLiteral("NoteChooser")); }},
    };
}

QWidget *NewEmptyWindow(const QString &name)
{
    auto *window = new QWidget;
    window->setObjectName(name);
    window->setWindowTitle(QStringLiteral("コントロールラジオ制御ソフト :"));
    return window;
}

} // namespace koru::shell
