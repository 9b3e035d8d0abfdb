// The STEP2 window driven as a pupil drives it: palette drops with every
// refusal, the parameter window and panel, arrows drawn by dragging the
// handles, moves, the rubber band, the pop-up menu's commands, routine
// switching, undo and redo, the menu commands and the report pictures.
#include "canvasdriver.h"
#include "clippedtext.h"
#include "flowchart/flowdemos.h"
#include "flowchart/flowedit.h"
#include "flowchart/flowgeometry.h"
#include "flowchart/flowtranslate.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#include "model/paths.h"
#include "model/previewrequest.h"
#include "model/reportrequest.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "link/devicelink.h"
#include "model/encoder.h"
#include "editorrig.h"
#include "widgets/editorplacement.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QUndoStack>

using namespace koru;
using namespace koru::flow;

namespace {
constexpr int Start = 0, End = 1, Led = 2, Backlight = 3, Timer = 5, If = 7, Loop = 8, Call = 9, Experiment = 11;
}

class TstFlowWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::EditorRig> rig; // no kit plugged in until a test plugs it
    std::unique_ptr<BlockParameterWindow> parameters; // the shell's shared one
    QPointer<FlowWindow> window;

    FlowCanvas *canvas() const { return window->canvas(); }
    const FlowDocument &doc() const { return window->document(); }
    int routine() const { return window->currentRoutine(); }
    const FlowBlock &block(int slot) const { return doc().block(routine(), slot); }
    BlockParameterWindow &parameterWindow() const { return *parameters; }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        test::CanvasMouse(canvas(), type, p, button);
    }
    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, p, button); }
    void moveTo(QPoint p) { mouse(QEvent::MouseMove, p); }
    void release(QPoint p, Qt::MouseButton button = Qt::LeftButton) { mouse(QEvent::MouseButtonRelease, p, button); }
    void drag(QPoint from, QPoint to)
    {
        press(from);
        moveTo((from + to) / 2);
        moveTo(to);
        release(to);
    }
    void click(QPoint p) { press(p); release(p); }
    QPoint body(int slot) const { return QPoint(block(slot).x + 20, block(slot).y + 20); }
    QPoint bottomHandle(int slot) const { return QPoint(block(slot).x + 50, block(slot).y + 40); }
    QPoint sideHandle(int slot) const { return QPoint(block(slot).x + 90, block(slot).y + 25); }

    bool drop(int paletteIndex, QPoint at) { return test::CanvasDrop(canvas(), paletteIndex, at); }
    void confirm() { parameterWindow().editor()->okButton()->click(); }
    // A block dropped and its parameter window confirmed at once.
    int place(int paletteIndex, QPoint at)
    {
        const int before = doc().blockCount();
        drop(paletteIndex, at);
        if (parameterWindow().isVisible())
            confirm();
        return doc().blockCount() > before ? doc().blockAt(routine(), at + QPoint(1, 1)) : NoSlot;
    }
    void triggerMenu(QMenu *menu, const QString &path)
    {
        const QStringList parts = path.split('/');
        for (int i = 0; i < parts.size(); ++i) {
            QAction *found = nullptr;
            for (QAction *a : menu->actions()) {
                if (a->text() == parts.at(i))
                    found = a;
            }
            QVERIFY2(found, qPrintable(path));
            if (i + 1 < parts.size()) {
                menu = found->menu();
            } else {
                found->trigger();
                menu->hide(); // as a click on the item closes it
            }
        }
    }
    static QStringList texts(QMenu *menu)
    {
        QStringList list;
        for (QAction *a : menu->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    }

private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void init()
    {
        dialogs = std::make_unique<test::ScriptedDialogs>();
        rig = std::make_unique<test::EditorRig>();
        parameters = std::make_unique<BlockParameterWindow>();
        window = new FlowWindow(rig->context(), *parameters);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY2(dialogs->shown().isEmpty(), qPrintable(dialogs->texts().join('|'))); // every picture found
    }

    void cleanup()
    {
        if (parameterWindow().isVisible())
            confirm();
        if (window) {
            if (doc().blockCount() > 0)
                dialogs->answerQuestion(true);
            window->close();
        }
        delete window;
        parameters.reset();
        rig.reset();
        QCOMPARE(dialogs->unexpected(), 0);
        dialogs.reset();
    }

    void layoutAndMenus()
    {
        QStringList captions;
        for (QAction *a : window->menuBar()->actions())
            captions << a->text();
        QCOMPARE(captions, (QStringList{"　　　読み込み　　　", "ファイルへ保存", "　　全削除　　", "　　転送(F6)　　",
                                        "　　実行(F7)　　", "　プレビュー　", "レポート作成　", "送信データ表示", "ヘルプ"}));
        QMenu *load = window->menuBar()->actions().first()->menu();
        QCOMPARE(texts(load), (QStringList{"デモ読み込み", "保存ファイルの読み込み", "送信済データの読み込み"}));
        QCOMPARE(texts(load->actions().first()->menu()), (QStringList{"デモ１", "デモ２", "デモ３", "デモ４"}));
        QCOMPARE(window->transferAction()->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(window->runAction()->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(texts(window->blockMenu()),
                 (QStringList{"命令の削除", "-", "矢印を消す", "-", "コピー", "貼り付け", "-", "水平方向位置揃え", "垂直方向位置揃え"}));
        QCOMPARE(texts(window->blockMenu()->actions().at(7)->menu()),
                 (QStringList{"左揃え", "中央揃え", "右揃え", "-", "均等揃え"}));
        QCOMPARE(texts(window->blockMenu()->actions().at(8)->menu()),
                 (QStringList{"上揃え", "中央揃え", "下揃え", "-", "均等揃え"}));
        QCOMPARE(window->windowTitle(), QStringLiteral("コントロールラジオ制御ソフト :"));
        QVERIFY(window->width() >= 780 && window->height() >= 750);
        QCOMPARE(window->routineCombo()->count(), 5);
        QCOMPARE(window->routineCombo()->itemText(1), QStringLiteral("サブルーチン１"));
        QCOMPARE(window->findChildren<PaletteImage *>().size(), 12);
        for (PaletteImage *p : window->findChildren<PaletteImage *>())
            QVERIFY2(!p->pixmap().isNull(), qPrintable(p->objectName()));
        QCOMPARE(window->findChild<PaletteImage *>("DragImage0")->size(), QSize(74, 45));
        QCOMPARE(window->findChild<PaletteImage *>("DragImage11")->geometry(), QRect(113, 304, 80, 40));
        QCOMPARE(window->parameterPanel()->geometry(), QRect(7, 369, 194, 263));
        QVERIFY(!window->parameterPanel()->kindCombo()->isVisible());
        QVERIFY(!window->dropPanel()->horizontalScrollBar()->isVisible());
        QVERIFY(canvas()->width() >= 730);
        QCOMPARE(canvas()->height(), 3100);
    }

    void placementOnTheScreen_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("window");
        QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << QRect(171, 128, 780, 750);
        QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1080) << QRect(320, 180, 1280, 750);
        QTest::newRow("second screen") << QRect(1920, 0, 2560, 1440) << QRect(1920 + 427, 240, 1707, 960);
    }
    void placementOnTheScreen()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, window);
        QCOMPARE(EditorPlacement(screen, QSize(780, 750)), window);
    }

    void paletteDragStartsBeyondTheThreshold()
    {
        auto *image = window->findChild<PaletteImage *>("DragImage5");
        QSignalSpy started(window, &FlowWindow::dragStarted);
        QTest::mousePress(image, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent near(QEvent::MouseMove, QPointF(10 + QApplication::startDragDistance(), 10), image->mapToGlobal(QPointF(12, 10)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &near);
        QCOMPARE(started.count(), 0);
        QMouseEvent far(QEvent::MouseMove, QPointF(40, 10), image->mapToGlobal(QPointF(40, 10)), Qt::NoButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &far); // under offscreen the drag ends at once
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.first().first().toInt(), Timer);
        QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(40, 10));
    }

    void dropEveryKind_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("params"); // confirmed at once: the defaults
        const char *rows[][2] = {{"start", "0,0,0,0,0,0"},   {"end", "0,0,0,0,0,0"},   {"full_led", "0,0,0,0,1,0"},
                                 {"light_led", "0,100,1,0,0,0"}, {"sound", "0,0,0,0,0,0"}, {"timer", "0,1,0,0,0,0"},
                                 {"wait", "0,0,0,0,0,0"},    {"if", "0,0,0,0,0,0"},    {"loop", "0,1,0,0,0,0"},
                                 {"routine", "0,1,0,0,0,0"}, {"dainyuu", "0,0,0,0,0,0"}, {"vexo", "0,1,0,0,0,0"}};
        for (int i = 0; i < 12; ++i)
            QTest::addRow("%s", rows[i][0]) << i << QString(rows[i][0]) << QString(rows[i][1]);
    }
    void dropEveryKind()
    {
        QFETCH(int, index);
        QFETCH(QString, kind);
        QFETCH(QString, params);
        QVERIFY(drop(index, {120, 200}));
        const bool needsWindow = index > End;
        QCOMPARE(parameterWindow().isVisible(), needsWindow);
        if (needsWindow) {
            QCOMPARE(parameterWindow().editor()->kindCombo()->currentIndex(), 0);
            confirm();
        }
        const int slot = doc().blockAt(0, {130, 210});
        QCOMPARE(slot, index == Start ? 0 : 1);
        QCOMPARE(block(slot).kind, kind);
        QCOMPARE(QPoint(block(slot).x, block(slot).y), QPoint(120, 200));
        QCOMPARE(block(slot).params, params);
        QCOMPARE(window->undoStack()->count(), 1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    // Every sub-kind of every kind in the parameter window and the panel:
    // no item, caption or button is cut off.
    void noClippedTexts()
    {
        QStringList clipped = test::ClippedTexts(window);
        for (int index = Led; index <= Experiment; ++index) {
            window->editableDocument().clear();
            drop(index, {50, 100});
            ParameterEditor *editor = parameterWindow().editor();
            for (int item = 0; item < editor->kindCombo()->count(); ++item) {
                editor->chooseItem(item);
                clipped << test::ClippedTexts(&parameterWindow());
            }
            confirm();
            click(body(1));
            ParameterEditor *panel = window->parameterPanel();
            for (int item = 0; item < panel->kindCombo()->count(); ++item) {
                panel->chooseItem(item);
                clipped << test::ClippedTexts(panel);
            }
            window->closePanel();
        }
        clipped.removeDuplicates();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
    }

    void dropsAndRefusals()
    {
        QVERIFY(drop(Start, {50, 10}));
        QCOMPARE(block(0).kind, QStringLiteral("start"));
        QVERIFY(!parameterWindow().isVisible()); // start and end need none
        drop(Start, {300, 300});
        QCOMPARE(dialogs->lastText(), QStringLiteral("スタート命令はすでに配置しております。"));
        QCOMPARE(doc().blockCount(), 1);

        // A new timer shows the palette picture and the parameter window
        // beside it until "OK".
        drop(Timer, {50, 100});
        QVERIFY(parameterWindow().isVisible());
        QCOMPARE(block(1).params, QString());
        const QWidget *viewport = window->dropPanel()->viewport();
        QCOMPARE(parameterWindow().pos(),
                 viewport->mapToGlobal(ParameterWindowPlace({50, 100}, parameterWindow().size(), viewport->size())));
        confirm();
        QVERIFY(!parameterWindow().isVisible());
        QCOMPARE(block(1).params, QStringLiteral("0,1,0,0,0,0"));

        // Replacing a block's instruction keeps its slot, place and arrows.
        place(End, {50, 200});
        window->editableDocument().linkBottom(0, 1, 2);
        drop(Led, {60, 110});
        QCOMPARE(block(1).params, QString("0,1,0,0,0,0")); // not before "OK"
        confirm();
        QCOMPARE(block(1).kind, QStringLiteral("full_led"));
        QCOMPARE(block(1).params, QStringLiteral("0,0,0,0,1,0"));
        QCOMPARE(block(1).next, 2);
        drop(Start, {60, 110});
        QCOMPARE(dialogs->lastText(), QStringLiteral("スタート命令はすでに配置しております。"));

        window->showRoutine(1);
        drop(Call, {50, 100});
        QCOMPARE(dialogs->lastText(), QStringLiteral("サブルーチン命令はメインルーチン以外には配置出来ません。"));
        QCOMPARE(doc().blockCount(1), 0);

        // Slot limit: 29 blocks besides the start block.
        FlowDocument &d = window->editableDocument();
        for (int s = 1; s < SlotsPerRoutine; ++s) {
            d.place(1, s, "sound", 10, 10 * s);
            d.setParams(1, s, "0,0,0,0,0,0");
        }
        drop(Timer, {400, 500});
        QCOMPARE(dialogs->lastText(), QStringLiteral("配置できる命令数は30個までです。これ以上命令を追加できません。"));
        QVERIFY(!parameterWindow().isVisible());

        // Byte budget: a drop that makes 121 bytes is taken back.
        for (int s = 1; s < SlotsPerRoutine; ++s)
            d.changeKind(1, s, "timer", "0,1,0,0,0,0"); // 3 bytes each
        window->showRoutine(2);
        while (d.byteTotal() + 3 <= FlowByteBudget - 2)
            QVERIFY(place(Timer, {50, 10 + 60 * d.blockCount(2)}) != NoSlot);
        while (d.byteTotal() < FlowByteBudget - 2)
            d.place(2, d.freeSlot(2), "end", 300, 10 * d.blockCount(2)); // one byte each
        QCOMPARE(d.byteTotal(), 118);
        const FlowDocument full = doc();
        drop(Timer, {500, 10}); // three bytes: 121
        confirm();
        QCOMPARE(dialogs->lastText(), QStringLiteral("これ以上命令を追加できません。(バイト数オーバー)"));
        QCOMPARE(doc(), full);
        QCOMPARE(doc().byteTotal(), 118);
    }

    void parameterWindowCases()
    {
        ParameterEditor *editor = parameterWindow().editor();
        // A fade stores 11 as its time although the slider is hidden.
        drop(Led, {50, 100});
        QCOMPARE(editor->colourCombo()->currentText(), QStringLiteral("消灯"));
        editor->chooseItem(1);
        QVERIFY(!editor->slider(3)->isVisible());
        confirm();
        QCOMPARE(block(1).params, QStringLiteral("1,0,0,0,11,0"));

        // "黄色" then the blue slider: the preset is cleared.
        drop(Led, {250, 100});
        editor->chooseColour(3);
        QCOMPARE(editor->slider(0)->value(), 255);
        QCOMPARE(editor->slider(1)->value(), 255);
        QCOMPARE(editor->slider(2)->value(), 0);
        QCOMPARE(editor->colourPanel()->palette().color(QPalette::Window), QColor(255, 255, 0));
        editor->slider(2)->setValue(100);
        emit editor->slider(2)->sliderReleased();
        QCOMPARE(editor->colourCombo()->currentIndex(), -1);
        QCOMPARE(editor->label(2)->text(), QStringLiteral("Blue : 100"));
        editor->slider(3)->setValue(6);
        QCOMPARE(editor->label(3)->text(), QStringLiteral("点灯時間（秒）： 1.5秒"));
        confirm();
        QCOMPARE(block(2).params, QStringLiteral("0,255,255,100,6,0"));

        // The window is dragged by its background.
        drop(Backlight, {450, 100});
        const QPoint was = parameterWindow().pos();
        QTest::mousePress(&parameterWindow(), Qt::LeftButton, {}, QPoint(150, 290));
        QMouseEvent move(QEvent::MouseMove, QPointF(170, 300), parameterWindow().mapToGlobal(QPointF(170, 300)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&parameterWindow(), &move);
        QTest::mouseRelease(&parameterWindow(), Qt::LeftButton, {}, QPoint(170, 300));
        QCOMPARE(parameterWindow().pos(), was + QPoint(20, 10));
        QCOMPARE(editor->label(0)->text(), QStringLiteral("明るさ（％）　：100％"));
        confirm();
        QCOMPARE(block(3).params, QStringLiteral("0,100,1,0,0,0"));
    }

    void parameterPanelCases()
    {
        ParameterEditor *panel = window->parameterPanel();
        const int loop = place(Loop, {50, 100});
        QCOMPARE(block(loop).params, QStringLiteral("0,1,0,0,0,0"));
        click(body(loop));
        QVERIFY(panel->kindCombo()->isVisible());
        QCOMPARE(window->panelSlot(), loop);
        QCOMPARE(doc().state().panelOwner, Loop);
        QCOMPARE(panel->label(0)->text(), QStringLiteral("繰り返し回数　：1"));
        panel->chooseItem(1);
        panel->okButton()->click();
        QCOMPARE(block(loop).params, QStringLiteral("1,0,0,0,0,0"));
        QVERIFY(!panel->kindCombo()->isVisible());
        QCOMPARE(doc().state().panelOwner, -1);
        QVERIFY(window->selection().isEmpty());

        // The lamp stores sub-kind 2 and reopens on item 1.
        drop(Experiment, {250, 100});
        parameterWindow().editor()->chooseItem(1);
        confirm();
        const int lamp = doc().blockAt(0, {260, 110});
        QCOMPARE(block(lamp).params, QStringLiteral("2,1,0,0,0,0"));
        click(body(lamp));
        QCOMPARE(panel->kindCombo()->currentIndex(), 1);
        QCOMPARE(panel->kindCombo()->currentText(), QStringLiteral("豆球 点灯"));

        // The panel's if wording; a click on the start block opens nothing.
        const int condition = place(If, {450, 100});
        click(body(condition));
        QCOMPARE(panel->kindCombo()->itemText(2), QStringLiteral("明るければ"));
        place(Start, {50, 10});
        click(body(0));
        QVERIFY(!panel->kindCombo()->isVisible());

        // Over the budget the panel's change is refused.
        FlowDocument &d = window->editableDocument();
        d.clear();
        window->showRoutine(0);
        const int led = place(Led, {50, 100}); // full_led 0: 4 bytes; a fade: 5
        for (int r = 1; r < RoutineCount && d.byteTotal() < FlowByteBudget; ++r) {
            for (int s = 0; s < SlotsPerRoutine && d.byteTotal() + 3 <= FlowByteBudget; ++s) {
                d.place(r, s == 0 ? 1 : s, "timer", 0, 0);
                d.setParams(r, s == 0 ? 1 : s, "0,1,0,0,0,0");
            }
        }
        while (d.byteTotal() < FlowByteBudget) {
            const int s = d.freeSlot(0);
            d.place(0, s, "end", 300, 10 * s);
        }
        click(body(led));
        panel->chooseItem(1);
        panel->okButton()->click();
        QCOMPARE(dialogs->lastText(), QStringLiteral("これ以上命令を追加できません。(バイト数オーバー)"));
        QCOMPARE(block(led).params, QStringLiteral("0,0,0,0,1,0"));
    }

    void arrowsByDraggingHandles()
    {
        const int start = place(Start, {50, 10});
        const int timer = place(Timer, {50, 100});
        const int end = place(End, {50, 200});
        const int condition = place(If, {250, 100});
        const int undoSteps = window->undoStack()->count();

        drag(bottomHandle(start), {500, 600}); // over empty canvas
        QCOMPARE(block(start).next, NoSlot);
        drag(bottomHandle(timer), body(start)); // into the start block
        QCOMPARE(block(timer).next, NoSlot);
        press(bottomHandle(start));
        release(bottomHandle(start)); // no movement: no arrow
        QCOMPARE(window->undoStack()->count(), undoSteps);

        drag(bottomHandle(start), body(timer));
        QCOMPARE(block(start).next, timer);
        QCOMPARE(block(timer).incoming, QList<int>{start});
        drag(bottomHandle(start), body(condition)); // replaces the earlier arrow
        QCOMPARE(block(start).next, condition);
        QVERIFY(block(timer).incoming.isEmpty());
        QCOMPARE(block(condition).incoming, QList<int>{start});
        drag(sideHandle(condition), body(end));
        QCOMPARE(block(condition).branch, end);

        // The side handle of another kind and the bottom handle of an end
        // block neither move nor draw.
        const FlowDocument before = doc();
        drag(sideHandle(timer), body(end));
        drag(bottomHandle(end), body(timer));
        QCOMPARE(doc(), before);

        // While dragging, a straight line follows the mouse.
        press(bottomHandle(timer));
        moveTo({400, 400});
        QCOMPARE(canvas()->gesture(), FlowCanvas::Gesture::BottomArrow);
        release({400, 400});
        QCOMPARE(canvas()->gesture(), FlowCanvas::Gesture::None);
    }

    void groupMoveStopsAtTheTop()
    {
        const int upper = place(Timer, {100, 10});
        const int lower = place(Timer, {300, 100});
        window->setSelection({upper, lower});
        press(body(lower));
        QCOMPARE(window->selection(), (QList<int>{upper, lower})); // a selected block keeps the group
        const QPoint from = body(lower);
        moveTo(from + QPoint(30, -50));
        release(from + QPoint(30, -50));
        QCOMPARE(QPoint(block(upper).x, block(upper).y), QPoint(130, 0));
        QCOMPARE(QPoint(block(lower).x, block(lower).y), QPoint(330, 50));

        // Pressing an unselected block selects it alone.
        const int other = place(Timer, {500, 300});
        press(body(other));
        release(body(other));
        QCOMPARE(window->selection(), QList<int>{other});
    }

    void rubberBandSelectsByOverlap()
    {
        const int a = place(Timer, {50, 100});
        const int b = place(Timer, {300, 100});
        place(Timer, {50, 400});
        press({400, 160});
        moveTo({260, 120});
        QCOMPARE(canvas()->rubberBand(), QRect(QPoint(260, 120), QPoint(400, 160)));
        moveTo({140, 90});
        release({140, 90});
        QCOMPARE(window->selection(), (QList<int>{a, b})); // slot order
        QVERIFY(canvas()->rubberBand().isNull());
        press({700, 700});
        release({700, 700});
        QVERIFY(window->selection().isEmpty());
    }

    void copyAndPasteWithArrows()
    {
        const int timer = place(Timer, {50, 100});
        const int condition = place(If, {50, 200});
        const int outside = place(End, {50, 300});
        FlowDocument &d = window->editableDocument();
        d.linkBottom(0, timer, condition);
        d.linkSide(0, condition, timer);
        d.linkBottom(0, condition, outside);
        window->setSelection({timer, condition});
        triggerMenu(window->blockMenu(), "コピー");
        triggerMenu(window->blockMenu(), "貼り付け");
        const QList<int> copies = window->selection();
        QCOMPARE(copies.size(), 2);
        const FlowBlock &t = block(copies[0]);
        const FlowBlock &c = block(copies[1]);
        QCOMPARE(QPoint(t.x, t.y), QPoint(150, 150));
        QCOMPARE(c.kind, QStringLiteral("if"));
        QCOMPARE(t.next, copies[1]);
        QCOMPARE(c.branch, copies[0]);
        QCOMPARE(c.next, NoSlot); // the arrow out of the clipboard is not copied

        // Keys do the same; a start block is refused.
        QTest::keyClick(canvas(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(doc().blockCount(0), 7);
        place(Start, {400, 10});
        window->setSelection({0, timer});
        QTest::keyClick(canvas(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(canvas(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialogs->lastText(), QStringLiteral("開始命令が含まれている為コピー出来ません。"));
        QCOMPARE(doc().blockCount(0), 8);

        // Blocks copied in the main routine are pasted into a subroutine.
        window->setSelection({timer, condition});
        window->copySelection();
        window->showRoutine(2);
        window->paste();
        QCOMPARE(doc().blockCount(2), 2);
        QCOMPARE(doc().block(2, 1).next, 2);
    }

    void deleteAndRemoveArrows()
    {
        const int a = place(Timer, {50, 100});
        const int b = place(Timer, {50, 200});
        const int c = place(End, {50, 300});
        FlowDocument &d = window->editableDocument();
        d.linkBottom(0, a, b);
        d.linkBottom(0, b, c);
        press(body(b), Qt::RightButton);
        QCOMPARE(doc().state().currentBlock, b);
        triggerMenu(window->blockMenu(), "矢印を消す");
        QCOMPARE(block(b).next, NoSlot);
        QCOMPARE(block(a).next, b);
        window->setSelection({a});
        QTest::keyClick(canvas(), Qt::Key_Delete);
        QVERIFY(!doc().isOccupied(0, a));
        QVERIFY(block(b).incoming.isEmpty());
        window->setSelection({b, c});
        triggerMenu(window->blockMenu(), "命令の削除");
        QCOMPARE(doc().blockCount(), 0);
    }

    void alignment_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QList<QPoint>>("places");
        // Blocks at (10, 40), (61, 300), (200, 10), selected in that order.
        QTest::newRow("left") << "水平方向位置揃え/左揃え" << QList<QPoint>{{10, 40}, {10, 300}, {10, 10}};
        QTest::newRow("centre x") << "水平方向位置揃え/中央揃え" << QList<QPoint>{{105, 40}, {105, 300}, {105, 10}};
        QTest::newRow("right") << "水平方向位置揃え/右揃え" << QList<QPoint>{{200, 40}, {200, 300}, {200, 10}};
        QTest::newRow("spread x") << "水平方向位置揃え/均等揃え" << QList<QPoint>{{10, 40}, {105, 300}, {200, 10}};
        QTest::newRow("top") << "垂直方向位置揃え/上揃え" << QList<QPoint>{{10, 10}, {61, 10}, {200, 10}};
        QTest::newRow("centre y") << "垂直方向位置揃え/中央揃え" << QList<QPoint>{{10, 155}, {61, 155}, {200, 155}};
        QTest::newRow("bottom") << "垂直方向位置揃え/下揃え" << QList<QPoint>{{10, 300}, {61, 300}, {200, 300}};
        QTest::newRow("spread y") << "垂直方向位置揃え/均等揃え" << QList<QPoint>{{10, 155}, {61, 300}, {200, 10}};
    }
    void alignment()
    {
        QFETCH(QString, item);
        QFETCH(QList<QPoint>, places);
        const QList<int> slotList{place(Timer, {10, 40}), place(Timer, {61, 300}), place(Timer, {200, 10})};
        window->setSelection(slotList);
        triggerMenu(window->blockMenu(), item);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QPoint(block(slotList[i]).x, block(slotList[i]).y), places[i]);
        QVERIFY(window->selection().isEmpty());

        // Two blocks do not spread.
        window->setSelection({slotList[0], slotList[1]});
        const FlowDocument before = doc();
        triggerMenu(window->blockMenu(), item.section('/', 0, 0) + "/均等揃え");
        QCOMPARE(doc(), before);
    }

    void routineSwitching()
    {
        place(Timer, {50, 2000});
        window->dropPanel()->verticalScrollBar()->setValue(1500);
        click(body(1));
        QVERIFY(window->parameterPanel()->kindCombo()->isVisible());
        window->routineCombo()->setCurrentIndex(3);
        emit window->routineCombo()->activated(3);
        QCOMPARE(routine(), 3);
        QCOMPARE(window->dropPanel()->verticalScrollBar()->value(), 0);
        QVERIFY(window->selection().isEmpty());
        QVERIFY(!window->parameterPanel()->kindCombo()->isVisible());
        QCOMPARE(doc().blockCount(0), 1); // the document is unchanged
    }

    void wheelScrolls32PixelsAStep()
    {
        QScrollBar *bar = window->dropPanel()->verticalScrollBar();
        bar->setValue(100);
        const QPoint at(100, 100);
        QWheelEvent back(at, canvas()->mapToGlobal(at), {}, QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &back);
        QCOMPARE(bar->value(), 164);
        QWheelEvent forth(at, canvas()->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &forth);
        QCOMPARE(bar->value(), 132);
    }

    void undoAndRedoEveryChange()
    {
        QList<FlowDocument> states{doc()};
        auto step = [&](const char *what) {
            QVERIFY2(!(doc() == states.last()), what);
            states << doc();
        };
        place(Start, {50, 10});
        step("drop");
        const int timer = place(Timer, {50, 100});
        step("drop with parameters");
        click(body(timer));
        window->parameterPanel()->slider(0)->setValue(9);
        window->parameterPanel()->okButton()->click();
        step("parameters");
        drag(body(timer), body(timer) + QPoint(40, 30));
        step("move");
        drag(bottomHandle(0), body(timer));
        step("arrow");
        drop(Led, body(timer));
        confirm();
        step("replace");
        window->setSelection({timer});
        window->copySelection();
        window->paste();
        step("paste");
        window->setSelection({0, timer});
        window->align(Alignment::Left);
        step("align");
        window->setSelection({timer});
        window->deleteSelection();
        step("delete");
        window->showRoutine(1);
        place(Timer, {50, 100});
        step("drop in a subroutine");
        window->showRoutine(0);
        window->loadDemo(2);
        step("demo");
        dialogs->answerQuestion(true);
        window->clearAll();
        step("clear all");

        // Undo walks back through every state, showing the routine of the change.
        for (int i = states.size() - 2; i >= 0; --i) {
            QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(doc(), states.at(i));
            if (i == states.size() - 4)
                QCOMPARE(routine(), 1); // undoing the subroutine's drop shows it
        }
        QVERIFY(!window->undoStack()->canUndo());
        for (int i = 1; i < states.size(); ++i) {
            QTest::keyClick(canvas(), i % 2 ? Qt::Key_Y : Qt::Key_Z, i % 2 ? Qt::ControlModifier
                                                                       : Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(doc(), states.at(i));
        }
        // The empty canvas's pop-up menu offers both.
        press({700, 700}, Qt::RightButton);
        QCOMPARE(texts(window->canvasMenu()).mid(0, 2), (QStringList{"元に戻す", "やり直し"}));
        triggerMenu(window->canvasMenu(), "元に戻す");
        QCOMPARE(doc(), states.at(states.size() - 2));
    }

    void clearAllAsksFirst()
    {
        place(Timer, {50, 100});
        dialogs->answerQuestion(false);
        window->clearAll();
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラムを全て消去します。よろしいですか？"));
        QCOMPARE(doc().blockCount(), 1);
        dialogs->answerQuestion(true);
        window->clearAll();
        QCOMPARE(doc().blockCount(), 0);
    }

    void closing()
    {
        window->close(); // empty: no question
        QVERIFY(dialogs->shown().isEmpty());
        QTRY_VERIFY(!window);
        window = new FlowWindow(rig->context(), *parameters);
        window->show();
        place(Timer, {50, 100});
        dialogs->answerQuestion(false);
        window->close();
        QCOMPARE(dialogs->lastText(), QStringLiteral("画面を閉じるとプログラムは消去されます。\r\nよろしいですか？"));
        QVERIFY(window->isVisible());
    }

    void checkFailuresStopTheKitCommands()
    {
        QVERIFY(rig->plugKit());
        place(Timer, {50, 100}); // no start block
        window->transfer();
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラム開始命令がありません。\r\nプログラムを確認して下さい。"));
        QVERIFY(window->transferAction()->isEnabled());
        QVERIFY(!window->playingPanel()->isVisible());
        bool previewed = false;
        SetPreviewHandler([&](const PreviewRequest &) { previewed = true; });
        window->preview();
        QVERIFY(!previewed);
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラム開始命令がありません。\r\nプログラムを確認して下さい。"));
        SetPreviewHandler({});
    }

    void runShowsThePanelUntilTheKitsEnd()
    {
        QVERIFY(rig->plugKit());
        window->run();
        QVERIFY(window->playingPanel()->isVisible());
        QVERIFY(!window->transferAction()->isEnabled());
        QVERIFY(!window->runAction()->isEnabled());
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
        QTRY_VERIFY(!window->playingPanel()->isVisible());
        QVERIFY(window->runAction()->isEnabled());
    }

    void previewMarksTheRunningBlock()
    {
        window->loadDemo(4);
        PreviewRequest seen;
        SetPreviewHandler([&](const PreviewRequest &r) { seen = r; });
        window->preview();
        SetPreviewHandler({});
        QCOMPARE(seen.image, ImageTexts(BuildDeviceImage(doc()).image));
        QVERIFY(seen.running);
        const int slot = doc().occupiedSlots(2).last();
        seen.running(doc().byteAddress(2, slot));
        QCOMPARE(window->runningBlock(), qMakePair(2, slot));
        QCOMPARE(routine(), 2);
        seen.running(-1);
        QCOMPARE(window->runningBlock(), qMakePair(-1, -1));
    }

    void sentDataRefusals()
    {
        // A cycle: the check passes, the listing is empty, nothing is shown.
        const int start = place(Start, {50, 10});
        const int timer = place(Timer, {50, 100});
        FlowDocument &d = window->editableDocument();
        d.linkBottom(0, start, timer);
        d.linkBottom(0, timer, timer);
        window->showSentData();
        QVERIFY(dialogs->shown().isEmpty());
        d.removeArrows(0, timer);
        window->showSentData();
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラムが正しくないため表示できません。"));
    }

    void reportPictures()
    {
        const QString folder = ReportPictureFolder();
        QDir().mkpath(folder);
        for (int r : {3, 4}) { // left-overs of an earlier report
            QFile old(folder + QStringLiteral("Routine%1.bmp").arg(r));
            QVERIFY(old.open(QIODevice::WriteOnly));
        }
        window->loadDemo(4);
        window->showRoutine(2);
        ReportRequest seen;
        SetReportHandler([&](const ReportRequest &r) { seen = r; });
        window->makeReport();
        SetReportHandler({});
        QCOMPARE(seen.kind, RoutineReportKind);
        QCOMPARE(routine(), 0);
        for (int r = 0; r < RoutineCount; ++r) {
            const QString path = folder + QStringLiteral("Routine%1.bmp").arg(r);
            const QRect cut = ReportPictureRect(doc(), r);
            QCOMPARE(QFile::exists(path), !cut.isNull());
            if (!cut.isNull())
                QCOMPARE(QImage(path).size(), cut.size());
        }
        QVERIFY(doc().blockCount(1) > 0 && doc().blockCount(2) > 0 && doc().blockCount(3) == 0);
    }

    // One demo routine drawn as the report draws it, against a reference
    // picture; a few pixels may differ with the fonts of another machine.
    void referencePicture()
    {
        window->loadDemo(3);
        const QImage drawn = RoutinePicture(doc(), 0, window->pictures()).convertToFormat(QImage::Format_RGB32);
        const QString reference = test::testDataPath(QStringLiteral("flowchart/demo3_main.png"));
        if (qEnvironmentVariableIsSet("KORU_WRITE_REFERENCE"))
            QVERIFY(drawn.save(reference));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(drawn.size(), expected.size());
        qsizetype differing = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QRgb a = drawn.pixel(x, y), b = expected.pixel(x, y);
                if (qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) > 96)
                    ++differing;
            }
        }
        QVERIFY2(differing <= drawn.width() * drawn.height() / 50,
                 qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    }
};

QTEST_MAIN(TstFlowWindow)
#include "tst_flowwindow.moc"
