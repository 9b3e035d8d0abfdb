// Every window of the launcher's table, opened from the launcher: the
// button opens it in the launcher's place, closing it (after its question,
// when it holds something) brings the launcher back. The rows are the
// table's own entries, so a window added to windowtable.cpp without its
// steps here fails. The shared windows of the editors are their own.
#include "app/launcherwindow.h"
#include "app/windowtable.h"

#include "scripteddialogs.h"
#include "shellrig.h"
#include "testmain.h"
#include "testutil.h"

#ifdef KORU_HAVE_ICONSUI
#include "icons/ui/iconwindow.h"
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#endif
#ifdef KORU_HAVE_TEXTUI
#include "text/ui/keywordsettingswindow.h"
#include "text/ui/textwindow.h"
#include "widgets/sourceeditor.h"
#endif
#ifdef KORU_HAVE_MELODYUI
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"
#endif
#ifdef KORU_HAVE_MEASUREUI
#include "measure/ui/measurewindow.h"
#endif

#include <QPointer>
#include <QTest>

#include <functional>
#include <map>

using namespace koru;
using shell::LauncherTarget;

namespace {

// What a window of the table must be, what gives it something to lose, and
// what it then asks before closing (nothing when question is empty).
struct LaunchSteps
{
    QByteArray name;
    std::function<bool(QWidget *)> isRightWindow;
    std::function<void(QWidget *)> fill;
    QString question;
};

template<typename Window>
LaunchSteps Steps(const QByteArray &name, std::function<void(Window *)> fill = {}, const QString &question = {})
{
    return {name, [](QWidget *w) { return qobject_cast<Window *>(w) != nullptr; },
            [fill](QWidget *w) {
                if (fill)
                    fill(qobject_cast<Window *>(w));
            },
            question};
}

std::map<LauncherTarget, LaunchSteps> StepsOfEachWindow()
{
    std::map<LauncherTarget, LaunchSteps> steps;
#ifdef KORU_HAVE_ICONSUI
    steps[LauncherTarget::IconEditor] = Steps<icons::IconWindow>(
        "icons", [](icons::IconWindow *w) { w->dropOnSlot(0, icons::Timer); }, EditorFrame::CloseQuestion);
#endif
#ifdef KORU_HAVE_FLOWCHARTUI
    steps[LauncherTarget::FlowchartEditor] = Steps<flow::FlowWindow>(
        "flowchart", [](flow::FlowWindow *w) { w->frame()->loadDemo(1); }, EditorFrame::CloseQuestion);
#endif
#ifdef KORU_HAVE_TEXTUI
    steps[LauncherTarget::TextEditor] = Steps<text::TextWindow>(
        "text", [](text::TextWindow *w) { w->editor()->setLines({QStringLiteral("beep1();")}); },
        EditorFrame::CloseQuestion);
    steps[LauncherTarget::KeywordSettings] = Steps<text::KeywordSettingsWindow>("keyword settings");
#endif
#ifdef KORU_HAVE_MELODYUI
    steps[LauncherTarget::MelodyEditor] = Steps<melody::MelodyWindow>(
        "melody", [](melody::MelodyWindow *w) { w->clickKey(QStringLiteral("pw148")); },
        EditorFrame::CloseQuestion);
#endif
#ifdef KORU_HAVE_MEASUREUI
    steps[LauncherTarget::Measurement] = Steps<measure::MeasureWindow>("measurement");
#endif
    return steps;
}

} // namespace

Q_DECLARE_METATYPE(LauncherTarget)

class TstLaunchedWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void openAndClose_data()
    {
        QTest::addColumn<LauncherTarget>("target");
        test::ShellRig rig;
        const shell::LauncherTable table = rig.launcherTable();
        QVERIFY(!table.empty());
        const std::map<LauncherTarget, LaunchSteps> steps = StepsOfEachWindow();
        for (const auto &[target, factory] : table) {
            const auto it = steps.find(target);
            const QByteArray name = it != steps.end() ? it->second.name : "target " + QByteArray::number(int(target));
            QTest::newRow(name.constData()) << target;
        }
    }
    void openAndClose()
    {
        QFETCH(LauncherTarget, target);
        const std::map<LauncherTarget, LaunchSteps> steps = StepsOfEachWindow();
        const auto it = steps.find(target);
        QVERIFY2(it != steps.end(), "a window of the launcher's table without its steps here");
        const LaunchSteps &step = it->second;

        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        launcher.show();
        launcher.open(target);
        QPointer<QWidget> window = launcher.openWindow(target);
        QVERIFY(window);
        QVERIFY(step.isRightWindow(window));
        QVERIFY(window->isVisible());
        QVERIFY(!launcher.isVisible());

        step.fill(window);
        if (!step.question.isEmpty())
            dialogs.answerQuestion(true);
        QVERIFY(window->close());
        QTRY_VERIFY(!window);
        QVERIFY(launcher.isVisible());
        QCOMPARE(dialogs.texts(), step.question.isEmpty() ? QStringList() : QStringList{step.question});
    }

    // The shared windows the table makes are the ones the editors are handed.
    void sharedWindowsAreTheEditorsOwn()
    {
        test::ShellRig rig;
#ifdef KORU_HAVE_FLOWCHARTUI
        QVERIFY(rig.shared.blockParameters);
        QCOMPARE(rig.window(QStringLiteral("BlockParameters")), static_cast<QWidget *>(rig.shared.blockParameters));
#endif
#ifdef KORU_HAVE_MELODYUI
        QVERIFY(rig.shared.noteChooser);
        QCOMPARE(rig.window(QStringLiteral("NoteChooser")), static_cast<QWidget *>(rig.shared.noteChooser));
#endif
    }

    // Made at every start, these windows build their controls when first
    // shown, so that the pupil does not wait for them at start.
    void sharedWindowsBuildWhenFirstShown_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"Preview", "SentDataViewer", "Report", "NoteChooser"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void sharedWindowsBuildWhenFirstShown()
    {
        QFETCH(QString, name);
        test::ShellRig rig;
        QWidget *window = rig.window(name);
        QVERIFY(window);
        QVERIFY(window->findChildren<QWidget *>().isEmpty());
        window->show();
        QVERIFY(!window->findChildren<QWidget *>().isEmpty());
        window->hide();
    }
};

KORU_TEST_MAIN(TstLaunchedWindows)
#include "tst_launchedwindows.moc"
