// Files handed to the program from outside open in the editor of their
// step, with their caption; a later start hands its files to the program
// already running.
#include "app/fileopener.h"
#include "app/launcherwindow.h"
#include "editor/ui/editorframe.h"
#include "flowchart/flowfile.h"
#include "icons/iconfile.h"
#include "model/caption.h"
#include "model/messages.h"
#include "model/programfile.h"

#include "scripteddialogs.h"
#include "shellrig.h"
#include "testmain.h"
#include "testutil.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using shell::LauncherTarget;

Q_DECLARE_METATYPE(std::optional<LauncherTarget>)

class TstFileOpener : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void editorOfFile_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<std::optional<LauncherTarget>>("editor");
        QTest::newRow("STEP1 demo") << ReadProgramLines(icons::DemoPath(1)).value_or(QStringList{})
                                    << std::optional(LauncherTarget::IconEditor);
        QTest::newRow("flowchart") << QStringList{"OK", "START", "END", "ROUTINE"}
                                   << std::optional(LauncherTarget::FlowchartEditor);
        QTest::newRow("text") << QStringList{"OK", "WORDDATA", "beep1();"} << std::optional(LauncherTarget::TextEditor);
        QTest::newRow("melody") << QStringList{"SOUND", "0"} << std::optional(LauncherTarget::MelodyEditor);
        QTest::newRow("a letter") << QStringList{"Dear teacher,"} << std::optional<LauncherTarget>();
        QTest::newRow("empty") << QStringList{} << std::optional<LauncherTarget>();
    }
    void editorOfFile()
    {
        QFETCH(QStringList, lines);
        QFETCH(std::optional<LauncherTarget>, editor);
        QVERIFY(!lines.isEmpty() || !editor);
        QCOMPARE(shell::EditorOfFile(lines), editor);
    }

    void opensInItsEditorWithItsCaption()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        launcher.show();
        shell::FileOpener opener(launcher);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lesson(アイコン).koru"));
        QVERIFY(QFile::copy(icons::DemoPath(2), path));
        opener.open(path);
        QPointer<QWidget> window = launcher.openWindow(LauncherTarget::IconEditor);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!launcher.isVisible());
        QCOMPARE(window->windowTitle(), WindowCaption(path));
        QVERIFY(dialogs.shown().isEmpty());

        // Not a program: the usual message, and nothing else opens.
        const QString letter = dir.filePath(QStringLiteral("letter.koru"));
        QVERIFY(WriteProgramLines(letter, {QStringLiteral("Dear teacher,")}));
        opener.open(letter);
        opener.open(dir.filePath(QStringLiteral("missing.koru")));
        QCOMPARE(dialogs.texts(), (QStringList{LoadFailed, LoadFailed}));
        QVERIFY(!launcher.openWindow(LauncherTarget::TextEditor));

        // Another file for the same editor while it holds work: asked first.
        dialogs.answerQuestion(false);
        opener.open(path);
        QCOMPARE(dialogs.texts().last(), EditorFrame::ReplaceQuestion);
        delete window;
    }

    void laterStartHandsItsFilesOver()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        shell::LauncherWindow launcher(rig.launcherTable());
        launcher.show();
        shell::FileOpener running(launcher);
        QVERIFY(running.listen());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lesson(フロー).koru"));
        QVERIFY(QFile::copy(FlowDemoPath(1), path));
        QVERIFY(shell::FileOpener::handOver({path}));
        QTRY_VERIFY(launcher.openWindow(LauncherTarget::FlowchartEditor));
        QPointer<QWidget> window = launcher.openWindow(LauncherTarget::FlowchartEditor);
        QTRY_COMPARE(window->windowTitle(), WindowCaption(path));
        delete window;
    }
};

KORU_TEST_MAIN(TstFileOpener)
#include "tst_fileopener.moc"
