// Autosave in each of the four editors, through the frame they share: a
// change reaches the recovery copy, a program that ends abnormally leaves
// it, the next start gets the same document back with the caption of its
// file, a normal end removes it, and a full disk neither loses the last
// copy nor interrupts the pupil.
#include "editor/recovery.h"
#include "editor/ui/editorframe.h"
#include "flowchart/flowdocument.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#include "icons/ui/iconwindow.h"
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"
#include "model/caption.h"
#include "model/programfile.h"
#include "text/ui/textwindow.h"
#include "widgets/sourceeditor.h"

#include "editorrig.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "tests/melody/fakesound.h"
#include "testutil.h"

#include <QDir>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace koru;

namespace {

// One editor as these tests drive it.
struct Editor
{
    QString key;
    std::function<QMainWindow *(const EditorContext &)> make;
    std::function<EditorFrame *(QMainWindow *)> frame;
    std::function<void(QMainWindow *)> edit; // a change a pupil makes
};

template<typename Window>
EditorFrame *FrameOf(QMainWindow *w)
{
    return qobject_cast<Window *>(w)->frame();
}

struct Shared
{
    flow::BlockParameterWindow parameters;
    melody::NoteChooser chooser;
};

Editor EditorOf(const QString &key, Shared &shared)
{
    if (key == QLatin1String("STEP1"))
        return {key, [](const EditorContext &c) { return new icons::IconWindow(c); }, FrameOf<icons::IconWindow>,
                [](QMainWindow *w) { qobject_cast<icons::IconWindow *>(w)->dropOnSlot(3, icons::Timer); }};
    if (key == QLatin1String("STEP2"))
        return {key, [&shared](const EditorContext &c) { return new flow::FlowWindow(c, shared.parameters); },
                FrameOf<flow::FlowWindow>, [](QMainWindow *w) {
                    FlowEditor *editor = qobject_cast<flow::FlowWindow *>(w)->editor();
                    const int slot = editor->document().occupiedSlots(0).value(1);
                    editor->replaceDocument(QStringLiteral("edit"), [slot](FlowDocument &doc) {
                        doc.removeArrows(0, slot);
                        return true;
                    });
                }};
    if (key == QLatin1String("STEP3"))
        return {key, [](const EditorContext &c) { return new text::TextWindow(c); }, FrameOf<text::TextWindow>,
                [](QMainWindow *w) {
                    qobject_cast<text::TextWindow *>(w)->editor()->setLines(
                        {QStringLiteral("beep1();"), QStringLiteral("timer(3);")});
                }};
    return {key,
            [&shared](const EditorContext &c) { return new melody::MelodyWindow(c, shared.chooser, new test::FakeSound); },
            FrameOf<melody::MelodyWindow>,
            [](QMainWindow *w) {
                auto *m = qobject_cast<melody::MelodyWindow *>(w);
                m->clickKey(QStringLiteral("pw3"));
                m->clickKey(QStringLiteral("pB0"));
            }};
}

// What an editor under test stands on: the shared windows, a fake kit, a
// recovery folder and the context that hands them over.
struct Rig
{
    QTemporaryDir dir;
    Shared shared;
    test::EditorRig kit;
    RecoveryStore store{dir.filePath(QStringLiteral("Recovery"))};
    EditorContext context()
    {
        EditorContext c = kit.context();
        c.recovery = &store;
        return c;
    }
};

QStringList LinesOf(EditorFrame *frame)
{
    return frame->document().fileLines().value_or(QStringList{});
}

} // namespace

class TstAutosave : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void editors_data()
    {
        QTest::addColumn<QString>("key");
        for (const QString &key : RecoveryStore::Keys)
            QTest::newRow(qPrintable(key)) << key;
    }

    // A program that ends abnormally (the window goes without closing) and
    // the next start: the same document, marked as changed, under the
    // caption of its file.
    void recoveredAfterAnAbnormalEnd_data() { editors_data(); }
    void recoveredAfterAnAbnormalEnd()
    {
        QFETCH(QString, key);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Recovery"));
        const QString origin = dir.filePath(QStringLiteral("lesson.koru"));
        Shared shared;
        test::EditorRig rig;
        test::ScriptedDialogs dialogs;
        const Editor editor = EditorOf(key, shared);
        QStringList edited;
        {
            RecoveryStore store(folder);
            EditorContext context = rig.context();
            context.recovery = &store;
            QMainWindow *window = editor.make(context);
            window->show();
            EditorFrame *frame = editor.frame(window);
            if (key == QLatin1String("STEP2"))
                frame->loadDemo(2);
            // Saved once under a name, then changed.
            QVERIFY(WriteProgramLines(origin, LinesOf(frame)));
            frame->setFilePath(origin);
            editor.edit(window);
            edited = LinesOf(frame);
            QVERIFY(!edited.isEmpty());
            frame->writeRecovery();
            QCOMPARE(store.copies().size(), 1);
            delete window; // killed: no close, nothing removed
        }
        RecoveryStore store(folder);
        const QList<RecoveryCopy> copies = store.copies();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(copies.first().origin, origin);
        QCOMPARE(ReadProgramLines(copies.first().path).value_or(QStringList{}), edited);

        store.offer(copies);
        EditorContext context = rig.context();
        context.recovery = &store;
        QPointer<QMainWindow> window = editor.make(context);
        window->show();
        EditorFrame *frame = editor.frame(window);
        QTRY_COMPARE(LinesOf(frame), edited);
        QCOMPARE(window->windowTitle(), WindowCaption(origin));
        QVERIFY(store.has(key)); // still unsaved work
        // Closing asks, as for any work; the pupil's answer is a normal end.
        dialogs.answerQuestion(true);
        QVERIFY(window->close());
        QCOMPARE(dialogs.texts(), QStringList{EditorFrame::CloseQuestion});
        QVERIFY(!store.has(key));
        QVERIFY(dialogs.unexpected() == 0);
    }

    // Work that is back in a file (or cleared) needs no copy: saving and
    // 全削除 remove it.
    void copyGoesWhenTheWorkIsSaved_data() { editors_data(); }
    void copyGoesWhenTheWorkIsSaved()
    {
        QFETCH(QString, key);
        Rig rig;
        test::ScriptedDialogs dialogs;
        RecoveryStore &store = rig.store;
        const Editor editor = EditorOf(key, rig.shared);
        QPointer<QMainWindow> window = editor.make(rig.context());
        window->show();
        EditorFrame *frame = editor.frame(window);
        if (key == QLatin1String("STEP2"))
            frame->loadDemo(2);
        frame->writeRecovery();
        QVERIFY(!store.has(key)); // nothing changed yet
        editor.edit(window);
        frame->writeRecovery();
        QVERIFY(store.has(key));
        dialogs.answerQuestion(true);
        frame->clearDocument();
        QTRY_VERIFY(!store.has(key)); // removed by the writer thread
        if (key == QLatin1String("STEP2"))
            frame->loadDemo(2);
        editor.edit(window);
        frame->writeRecovery();
        QVERIFY(store.has(key));
        dialogs.answerFileName(rig.dir.filePath(QStringLiteral("saved")));
        frame->saveFile();
        QTRY_VERIFY(!store.has(key));
        dialogs.texts();
    }

    // The timer alone, no test calls: a copy within a few seconds of the
    // change, and none while nothing changes.
    void timerWritesTheCopy()
    {
        Rig rig;
        RecoveryStore &store = rig.store;
        const Editor editor = EditorOf(QStringLiteral("STEP3"), rig.shared);
        QPointer<QMainWindow> window = editor.make(rig.context());
        window->show();
        editor.edit(window);
        QTRY_VERIFY_WITH_TIMEOUT(store.has(QStringLiteral("STEP3")),
                                 EditorFrame::AutosaveTickMs * 2 + EditorFrame::AutosaveLatestMs);
        delete window;
    }

    // A full disk: the last copy stays whole, and one quiet line says so.
    void fullDiskKeepsTheLastCopy()
    {
        Rig rig;
        test::ScriptedDialogs dialogs;
        RecoveryStore &store = rig.store;
        const Editor editor = EditorOf(QStringLiteral("STEP3"), rig.shared);
        QPointer<QMainWindow> window = editor.make(rig.context());
        window->show();
        EditorFrame *frame = editor.frame(window);
        editor.edit(window);
        frame->writeRecovery();
        const QStringList first = ReadProgramLines(store.copies().value(0).path).value_or(QStringList{});
        QVERIFY(!first.isEmpty());
        {
            test::FileSizeLimit full(4);
            for (int i = 0; i < 3; ++i) {
                qobject_cast<text::TextWindow *>(window)->editor()->setLines({QStringLiteral("timer(%1);").arg(i + 1)});
                frame->writeRecovery();
            }
        }
        QCOMPARE(ReadProgramLines(store.copies().value(0).path).value_or(QStringList{}), first);
        QVERIFY(window->statusBar()->currentMessage().startsWith(AutosaveFailedNote));
        QVERIFY(dialogs.shown().isEmpty());
        // Room again: the next copy is written and the note goes.
        frame->writeRecovery();
        QCOMPARE(ReadProgramLines(store.copies().value(0).path).value_or(QStringList{}), LinesOf(frame));
        QVERIFY(window->statusBar()->currentMessage().isEmpty());
        delete window;
    }
};

KORU_TEST_MAIN(TstAutosave)
#include "tst_autosave.moc"
