#include "app/windowtable.h"

#include "app/splashwindow.h"
#include "model/caption.h"
#include "editor/ui/editorcontext.h"
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
#include "measure/ui/loadedmeasurecharts.h"
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
#include "report/ui/loadedpageprinter.h"
#include "report/ui/reportwindow.h"
#endif

namespace koru::shell {

LauncherTable DefaultLauncherTable(const SharedWindows &shared)
{
    LauncherTable table;
    const SharedWindows *sw = &shared;
    // One line per window.
#ifdef KORU_HAVE_ICONSUI
    table[LauncherTarget::IconEditor] = [sw]() -> QWidget * { return new icons::IconWindow(sw->editorContext()); };
#endif
#ifdef KORU_HAVE_TEXTUI
    table[LauncherTarget::TextEditor] = [sw]() -> QWidget * { return new text::TextWindow(sw->editorContext()); };
    table[LauncherTarget::KeywordSettings] = []() -> QWidget * { return new text::KeywordSettingsWindow; };
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
    table[LauncherTarget::FlowchartEditor] = [sw]() -> QWidget * {
        return new flow::FlowWindow(sw->editorContext(), *sw->blockParameters);
    };
#endif
#ifdef KORU_HAVE_MEASUREUI
    table[LauncherTarget::Measurement] = [sw]() -> QWidget * { return new measure::MeasureWindow(*sw->kit.link, measure::LoadedMeasureCharts()); };
#endif
#ifdef KORU_HAVE_MELODYUI
    table[LauncherTarget::MelodyEditor] = [sw]() -> QWidget * {
        return new melody::MelodyWindow(sw->editorContext(), *sw->noteChooser);
    };
#endif
    return table;
}

// The shared windows are made at start but build their contents when first
// shown (widgets/lazycontent.h): the pupil does not wait for windows that
// most lessons never open.
SharedWindowTable DefaultSharedWindows()
{
    return {
#ifdef KORU_HAVE_PREVIEWUI
        {QStringLiteral("Preview"), [](SharedWindows &) -> QWidget * {
             auto *window = new preview::PreviewWindow(nullptr, nullptr, Content::OnFirstShow);
             window->installAsPreview();
             return window;
         }},
#else
        {QStringLiteral("Preview"), [](SharedWindows &) { return NewEmptyWindow(QStringLiteral("Preview")); }},
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
        {QStringLiteral("BlockParameters"), [](SharedWindows &shared) -> QWidget * {
             return shared.blockParameters = new flow::BlockParameterWindow;
         }},
#else
        {QStringLiteral("BlockParameters"), [](SharedWindows &) { return NewEmptyWindow(QStringLiteral("BlockParameters")); }},
#endif
#ifdef KORU_HAVE_LINKUI
        // The progress of the shell's own link.
        {QStringLiteral("TransferWindow"), [](SharedWindows &shared) -> QWidget * {
             if (!shared.kit.link)
                 return nullptr;
             return shared.transferWindow = new TransferWindow(*shared.kit.link);
         }},
#else
        {QStringLiteral("TransferWindow"), [](SharedWindows &) { return NewEmptyWindow(QStringLiteral("TransferWindow")); }},
#endif
        {QStringLiteral("SentDataViewer"), [](SharedWindows &shared) -> QWidget * {
             return shared.viewer = new SentDataViewer(nullptr, Content::OnFirstShow);
         }},
#ifdef KORU_HAVE_REPORTUI
        {QStringLiteral("Report"), [](SharedWindows &) -> QWidget * { return new report::ReportWindow(report::LoadedPagePrinter(), nullptr, Content::OnFirstShow); }},
#else
        {QStringLiteral("Report"), [](SharedWindows &) { return NewEmptyWindow(QStringLiteral("Report")); }},
#endif
        {QStringLiteral("SecondSplash"), [](SharedWindows &) -> QWidget * { return new SplashWindow; }},
#ifdef KORU_HAVE_MELODYUI
        {QStringLiteral("NoteChooser"), [](SharedWindows &shared) -> QWidget * {
             return shared.noteChooser = new melody::NoteChooser(nullptr, Content::OnFirstShow);
         }},
#else
        {QStringLiteral("NoteChooser"), [](SharedWindows &) { return NewEmptyWindow(QStringLiteral("NoteChooser")); }},
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
