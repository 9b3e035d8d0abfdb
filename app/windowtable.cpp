#include "app/windowtable.h"

#include "app/splashwindow.h"
#include "model/caption.h"
#include "link/ui/editorcontext.h"
#include "widgets/sentdataviewer.h"

#include <QWidget>

// The window libraries this build has (KORU_HAVE_ names: app/CMakeLists.txt).
#ifdef KORU_HAVE_LINKUI
#include "link/ui/transferwindow.h"
#endif
#ifdef KORU_HAVE_ICONSUI
#include "icons/ui/iconwindow.h"
#endif
#ifdef KORU_HAVE_TEXTUI
#include "text/ui/keywordsettingswindow.h"
#include "text/ui/textwindow.h"
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#endif
#ifdef KORU_HAVE_MEASUREUI
#include "measure/ui/measurewindow.h"
#endif
#ifdef KORU_HAVE_MELODYUI
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"
#endif
#ifdef KORU_HAVE_PREVIEWUI
#include "preview/ui/previewwindow.h"
#endif
#ifdef KORU_HAVE_REPORTUI
#include "report/ui/reportwindow.h"
#endif

namespace koru::shell {

LauncherTable DefaultLauncherTable()
{
    LauncherTable table;
    // One line per window.
#ifdef KORU_HAVE_ICONSUI
    table[LauncherTarget::IconEditor] = []() -> QWidget * { return new icons::IconWindow(EditorContext{}); };
#endif
#ifdef KORU_HAVE_TEXTUI
    table[LauncherTarget::TextEditor] = []() -> QWidget * { return new text::TextWindow(EditorContext{}); };
    table[LauncherTarget::KeywordSettings] = []() -> QWidget * { return new text::KeywordSettingsWindow; };
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
    table[LauncherTarget::FlowchartEditor] = []() -> QWidget * { return new flow::FlowWindow(EditorContext{}); };
#endif
#ifdef KORU_HAVE_MEASUREUI
    table[LauncherTarget::Measurement] = []() -> QWidget * { return new measure::MeasureWindow; };
#endif
#ifdef KORU_HAVE_MELODYUI
    table[LauncherTarget::MelodyEditor] = []() -> QWidget * { return new melody::MelodyWindow(EditorContext{}); };
#endif
    return table;
}

SharedWindowTable DefaultSharedWindows()
{
    return {
#ifdef KORU_HAVE_PREVIEWUI
        {QStringLiteral("Preview"), []() -> QWidget * {
             auto *window = new preview::PreviewWindow;
             window->installAsPreview();
             return window;
         }},
#else
        {QStringLiteral("Preview"), [] { return NewEmptyWindow(QStringLiteral("Preview")); }},
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
        {QStringLiteral("BlockParameters"), []() -> QWidget * { return &flow::BlockParameterWindow::instance(); }},
#else
        {QStringLiteral("BlockParameters"), [] { return NewEmptyWindow(QStringLiteral("BlockParameters")); }},
#endif
#ifdef KORU_HAVE_LINKUI
        {QStringLiteral("TransferWindow"), []() -> QWidget * { return &TransferWindow::instance(); }},
#else
        {QStringLiteral("TransferWindow"), [] { return NewEmptyWindow(QStringLiteral("TransferWindow")); }},
#endif
        {QStringLiteral("SentDataViewer"), []() -> QWidget * { return &SentDataViewer::instance(); }},
#ifdef KORU_HAVE_REPORTUI
        {QStringLiteral("Report"), []() -> QWidget * { return new report::ReportWindow; }},
#else
        {QStringLiteral("Report"), [] { return NewEmptyWindow(QStringLiteral("Report")); }},
#endif
        {QStringLiteral("SecondSplash"), []() -> QWidget * { return new SplashWindow; }},
#ifdef KORU_HAVE_MELODYUI
        {QStringLiteral("NoteChooser"), []() -> QWidget * { return &melody::NoteChooser::instance(); }},
#else
        {QStringLiteral("NoteChooser"), [] { return NewEmptyWindow(QStringLiteral("NoteChooser")); }},
#endif
    };
}

QWidget *NewEmptyWindow(const QString &name)
{
    auto *window = new QWidget;
    window->setObjectName(name);
    window->setWindowTitle(WindowCaption());
    return window;
}

} // namespace koru::shell
