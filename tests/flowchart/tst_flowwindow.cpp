// The STEP2 window driven as a pupil drives it: palette drops with every
// refusal, the parameter window and panel, arrows drawn by dragging the
// handles, moves, the rubber band, the pop-up menu's commands, routine
// switching, undo and redo, the menu commands and the report pictures.
#include "canvasdriver.h"
#include "clippedtext.h"
#include "editorrig.h"
#include "flowchart/flowdemos.h"
#include "flowchart/flowedit.h"
#include "flowchart/flowgeometry.h"
#include "flowchart/flowspoken.h"
#include "flowchart/flowtranslate.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#include "keyboard.h"
#include "link/devicelink.h"
#include "model/encoder.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/previewrequest.h"
#include "model/reportrequest.h"
#include "paletteplaces.h"
#include "scripteddialogs.h"
#include "spokenname.h"
#include "testmain.h"
#include "testutil.h"
#include "widgets/kitpanels.h"
#include "widgets/placement.h"

#include <QAccessible>
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
#include <QWindow>

using namespace koru;
using namespace koru::flow;
using namespace koru::test::palette;

class TstFlowWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::EditorRig> rig; // no kit plugged in until a test plugs it
    std::unique_ptr<BlockParameterWindow> parameters; // the shell's shared one
    QPointer<FlowWindow> window;

    FlowCanvas *canvas() const { return window->canvas(); }
    FlowEditor *editor() const { return window->editor(); }
    const FlowDocument &doc() const { return window->document(); }
    int routine() const { return editor()->routine(); }
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
        return doc().blockCount() > before ? editor()->blockAt(at + QPoint(1, 1)) : NoSlot;
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

    // STEP2 by keyboard alone: Enter on palette items places each below
    // the last (joined by its arrow), the parameter window takes Enter; on
    // the canvas the arrows walk the chart, Enter opens the panel,
    // Ctrl+arrows move, Delete and Insert remove and place again, Ctrl+Z/Y
    // stay. The listing is the one the mouse gives.
    void buildByKeyboard()
    {
        const auto palette = [this](int index) { return window->findChild<PaletteImage *>(QStringLiteral("DragImage%1").arg(index)); };
        const auto parametersByKey = [this](bool next) {
            QVERIFY(parameterWindow().isVisible());
            QComboBox *kind = parameterWindow().editor()->kindCombo();
            if (next)
                QTest::keyClick(kind, Qt::Key_Down); // the second choice
            QTest::keyClick(kind, Qt::Key_Return);
            QVERIFY(!parameterWindow().isVisible());
        };
        QVERIFY(test::tabTo(window, palette(Start)));
        test::keyOnFocus(Qt::Key_Return);
        // Start -> Timer: down twice and right, in the palette's own layout.
        QVERIFY(test::tabTo(window, palette(Start)));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right})
            test::keyOnFocus(key);
        QCOMPARE(QApplication::focusWidget(), palette(Timer));
        test::keyOnFocus(Qt::Key_Space);
        parametersByKey(true);
        QVERIFY(test::tabTo(window, palette(Backlight)));
        test::keyOnFocus(Qt::Key_Return);
        parametersByKey(false);
        QVERIFY(test::tabTo(window, palette(End)));
        test::keyOnFocus(Qt::Key_Return);
        QCOMPARE(doc().blockCount(), 4);
        const FlowDocument typed = doc();

        // The mouse: the same blocks dropped, the same choices, arrows drawn.
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        const QList<QPoint> places{{300, 20}, {300, 120}, {300, 220}, {300, 320}};
        const int start = place(Start, places[0]);
        drop(Timer, places[1]);
        parameterWindow().editor()->chooseItem(1);
        confirm();
        const int timer = editor()->blockAt(places[1] + QPoint(1, 1));
        const int backlight = place(Backlight, places[2]);
        const int end = place(End, places[3]);
        editor()->linkArrow(false, start, places[1] + QPoint(5, 5));
        editor()->linkArrow(false, timer, places[2] + QPoint(5, 5));
        editor()->linkArrow(false, backlight, places[3] + QPoint(5, 5));
        const QStringList listing = BuildCommandListing(doc()).listing;
        QVERIFY(!listing.isEmpty());
        QCOMPARE(BuildCommandListing(typed).listing, listing);
        QVERIFY(end != NoSlot);

        // On the canvas: walk up from nothing selected to the start, down the arrows.
        editor()->replaceDocument(QStringLiteral("読み込み"), [&typed](FlowDocument &d) { d = typed; return true; });
        QVERIFY(test::tabTo(window, canvas()));
        QTest::keyClick(canvas(), Qt::Key_Up);
        QCOMPARE(editor()->selection(), QList<int>{0});
        QTest::keyClick(canvas(), Qt::Key_Down);
        const int typedTimer = typed.block(0, 0).next;
        QCOMPARE(editor()->selection(), QList<int>{typedTimer});
        QTest::keyClick(canvas(), Qt::Key_Return);
        QCOMPARE(editor()->panelSlot(), typedTimer);
        const QPoint corner(typed.block(0, typedTimer).x, typed.block(0, typedTimer).y);
        QTest::keyClick(canvas(), Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(QPoint(doc().block(0, typedTimer).x, doc().block(0, typedTimer).y), corner + QPoint(10, 0));
        QTest::keyClick(canvas(), Qt::Key_Down);
        QTest::keyClick(canvas(), Qt::Key_Down);
        QCOMPARE(doc().block(0, editor()->selection().value(0)).kind, typed.block(0, end).kind);
        QTest::keyClick(canvas(), Qt::Key_Delete);
        QCOMPARE(doc().blockCount(), 3);
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) // from nothing: the start, down to the backlight
            QTest::keyClick(canvas(), key);
        QCOMPARE(doc().block(0, editor()->selection().value(0)).kind, typed.block(0, backlight).kind);
        QTest::keyClick(canvas(), Qt::Key_Insert); // the end block again: the palette item chosen last
        QCOMPARE(window->chosenPaletteItem(), End);
        QCOMPARE(BuildCommandListing(doc()).listing, listing);
        QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc().blockCount(), 3);
        QTest::keyClick(canvas(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(BuildCommandListing(doc()).listing, listing);
        QVERIFY(dialogs->shown().size() <= 1); // the clearing's question only
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
        QCOMPARE(window->frame()->transferAction()->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(window->frame()->runAction()->shortcut(), QKeySequence(Qt::Key_F7));
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

    // A screen reader says each palette picture by the caption drawn on it.
    void palettePicturesHaveTheirCaptionsAsNames_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        const char *names[] = {"開始", "終了", "フルカラーLED", "バックライト", "サウンド", "タイマー",
                               "信号待ち", "条件分岐", "繰り返し", "サブルーチン", "計測", "実験"};
        for (int i = 0; i < 12; ++i)
            QTest::addRow("DragImage%d", i) << i << QString::fromUtf8(names[i]);
    }
    void palettePicturesHaveTheirCaptionsAsNames()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        auto *picture = window->findChild<PaletteImage *>(QStringLiteral("DragImage%1").arg(index));
        QVERIFY(picture);
        QCOMPARE(test::spokenName(picture), name);
    }

    // A screen reader finds the chart's blocks as the canvas's children, in
    // reading order, each named by its kind and caption and described by
    // where its arrows lead.
    void canvasTellsItsBlocksToAScreenReader()
    {
        window->frame()->loadDemo(1);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(canvas());
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Canvas);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("フローチャート: メインルーチン"));
        QStringList heard;
        for (int i = 0; i < face->childCount(); ++i) {
            QAccessibleInterface *block = face->child(i);
            QVERIFY(block && block->isValid());
            QCOMPARE(block->parent(), face);
            QCOMPARE(face->indexOfChild(block), i);
            heard << block->text(QAccessible::Name) + QStringLiteral(" / ") + block->text(QAccessible::Description);
        }
        QCOMPARE(heard.size(), doc().occupiedSlots(routine()).size());
        QCOMPARE(heard.first().section(QStringLiteral(" / "), 0, 0), QStringLiteral("開始"));
        QVERIFY(heard.first().section(QStringLiteral(" / "), 1).startsWith(QStringLiteral("下の矢印: ")));
        QCOMPARE(heard.last().section(QStringLiteral(" / "), 0, 0), QStringLiteral("終了"));
        QCOMPARE(heard.last().section(QStringLiteral(" / "), 1), QStringLiteral("矢印なし"));

        // A block placed is a new child with its name. (The announcement
        // itself needs a platform with accessibility: the offscreen one
        // has none, so tools/a11y-tree.sh is where it is heard.)
        const int timer = 5; // the palette's タイマー
        const int placed = place(timer, {560, 600});
        QVERIFY(placed != NoSlot);
        QAccessibleInterface *added = face->child(int(SlotsInReadingOrder(doc(), routine()).indexOf(placed)));
        QVERIFY(added);
        QVERIFY2(added->text(QAccessible::Name).startsWith(QStringLiteral("タイマー")),
                 qPrintable(added->text(QAccessible::Name)));
        QCOMPARE(face->childCount(), heard.size() + 1);
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

    // The parameter window closed by the window manager (Alt+F4) places the
    // block with the values it shows, as "OK" does: one undo step, never a
    // half-placed block with empty parameters.
    void parameterWindowClosedTakesTheShownValues()
    {
        QVERIFY(drop(Timer, {120, 200}));
        QVERIFY(parameterWindow().isVisible());
        QSlider *seconds = parameterWindow().editor()->slider(0);
        QVERIFY(seconds->isVisible());
        QTest::keyClick(seconds, Qt::Key_Right);
        QTest::keyClick(seconds, Qt::Key_Right);
        const QString shown = parameterWindow().editor()->composed();
        QCOMPARE(shown, QStringLiteral("0,3,0,0,0,0"));
        QVERIFY(parameterWindow().windowHandle());
        QVERIFY(parameterWindow().windowHandle()->close()); // what Alt+F4 asks of the window
        QVERIFY(!parameterWindow().isVisible());
        const int slot = doc().blockAt(0, {130, 210});
        QCOMPARE(block(slot).kind, QStringLiteral("timer"));
        QCOMPARE(block(slot).params, shown);
        QCOMPARE(window->undoStack()->count(), 1);
        window->undoStack()->undo();
        QCOMPARE(doc().blockCount(), 0);
        // The next drop opens the window again.
        QVERIFY(drop(Timer, {120, 200}));
        QVERIFY(parameterWindow().isVisible());
    }

    // Every sub-kind of every kind in the parameter window and the panel:
    // no item, caption or button is cut off.
    void noClippedTexts()
    {
        QStringList clipped = test::ClippedTexts(window);
        for (int index = Led; index <= Experiment; ++index) {
            editor()->editableDocument().clear();
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
            window->editor()->closePanel();
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
        editor()->editableDocument().linkBottom(0, 1, 2);
        drop(Led, {60, 110});
        QCOMPARE(block(1).params, QString("0,1,0,0,0,0")); // not before "OK"
        confirm();
        QCOMPARE(block(1).kind, QStringLiteral("full_led"));
        QCOMPARE(block(1).params, QStringLiteral("0,0,0,0,1,0"));
        QCOMPARE(block(1).next, 2);
        drop(Start, {60, 110});
        QCOMPARE(dialogs->lastText(), QStringLiteral("スタート命令はすでに配置しております。"));

        editor()->showRoutine(1);
        drop(Call, {50, 100});
        QCOMPARE(dialogs->lastText(), QStringLiteral("サブルーチン命令はメインルーチン以外には配置出来ません。"));
        QCOMPARE(doc().blockCount(1), 0);

        // Slot limit: 29 blocks besides the start block.
        FlowDocument &d = editor()->editableDocument();
        for (int s = 1; s < SlotsPerRoutine; ++s) {
            d.place(1, s, "sound", 10, 10 * s);
            d.setParams(1, s, "0,0,0,0,0,0");
        }
        drop(Timer, {400, 500});
        QCOMPARE(dialogs->lastText(), QStringLiteral("配置できる命令数は30個までです。これ以上命令を追加できません。"));
        QVERIFY(!parameterWindow().isVisible());
        // The line under the canvas names the budget the drop would break,
        // until the next change.
        const QLabel *budget = window->frame()->budgetLine();
        QVERIFY(budget);
        QVERIFY2(budget->text().endsWith(QStringLiteral("　残りの1つはスタート命令の場所のため追加できません")),
                 qPrintable(budget->text()));
        QVERIFY(budget->text().startsWith(QStringLiteral("命令 29/30　バイト ")));
        QVERIFY(budget->styleSheet().contains(QLatin1String("#c00000")));
        editor()->setSelection({});
        QVERIFY(!budget->text().contains(QStringLiteral("上限")));

        // Byte budget: a drop that makes 121 bytes is taken back.
        for (int s = 1; s < SlotsPerRoutine; ++s)
            d.changeKind(1, s, "timer", "0,1,0,0,0,0"); // 3 bytes each
        editor()->showRoutine(2);
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
        QVERIFY2(budget->text().endsWith(QStringLiteral("バイト 118/120　バイト 121/120 となり上限を超えるため追加できません")),
                 qPrintable(budget->text()));
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

    // A colour slider moved by the pupil in any way (keys, a click on the
    // track, not only a released drag) no longer shows the preset, in the
    // window and in the panel; choosing a preset keeps it shown.
    void colourPresetClearedByEveryMove_data()
    {
        QTest::addColumn<bool>("panel");
        QTest::addColumn<QString>("gesture");
        for (const bool panel : {false, true}) {
            for (const char *gesture : {"arrow key", "page key", "click on the track"})
                QTest::addRow("%s, %s", panel ? "panel" : "window", gesture) << panel << QString(gesture);
        }
    }
    void colourPresetClearedByEveryMove()
    {
        QFETCH(bool, panel);
        QFETCH(QString, gesture);
        ParameterEditor *editor = parameterWindow().editor();
        if (panel) {
            const int led = place(Led, {50, 100});
            click(body(led));
            editor = window->parameterPanel();
        } else {
            drop(Led, {50, 100});
        }
        QVERIFY(editor->colourCombo()->isVisible());
        editor->chooseColour(3); // 黄色: red 255, green 255, blue 0
        QCOMPARE(editor->colourCombo()->currentIndex(), 3);
        QSlider *blue = editor->slider(2);
        QVERIFY(blue->isVisible());
        blue->setFocus();
        if (gesture == QLatin1String("arrow key")) {
            QTest::keyClick(blue, Qt::Key_Right);
        } else if (gesture == QLatin1String("page key")) {
            QTest::keyClick(blue, Qt::Key_PageUp);
        } else {
            // Far from the handle, which stands at 0 on the left.
            const QPoint track(blue->width() - 4, blue->height() / 2);
            QTest::mousePress(blue, Qt::LeftButton, {}, track);
            QTest::mouseRelease(blue, Qt::LeftButton, {}, track);
        }
        QVERIFY(blue->value() > 0);
        QCOMPARE(editor->colourCombo()->currentIndex(), -1);
        QCOMPARE(editor->colourPanel()->palette().color(QPalette::Window), QColor(255, 255, blue->value()));
        // A preset chosen again is shown again.
        editor->chooseColour(3);
        QCOMPARE(editor->colourCombo()->currentIndex(), 3);
        if (panel)
            window->editor()->closePanel();
        else
            confirm();
    }

    void parameterPanelCases()
    {
        ParameterEditor *panel = window->parameterPanel();
        const int loop = place(Loop, {50, 100});
        QCOMPARE(block(loop).params, QStringLiteral("0,1,0,0,0,0"));
        click(body(loop));
        QVERIFY(panel->kindCombo()->isVisible());
        QCOMPARE(editor()->panelSlot(), loop);
        QCOMPARE(editor()->panelOwner(), Loop);
        QCOMPARE(panel->label(0)->text(), QStringLiteral("繰り返し回数　：1"));
        panel->chooseItem(1);
        panel->okButton()->click();
        QCOMPARE(block(loop).params, QStringLiteral("1,0,0,0,0,0"));
        QVERIFY(!panel->kindCombo()->isVisible());
        QCOMPARE(editor()->panelOwner(), -1);
        QVERIFY(editor()->selection().isEmpty());

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
        FlowDocument &d = editor()->editableDocument();
        d.clear();
        editor()->showRoutine(0);
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

    // The mouse over a block shows the dots an arrow can be dragged from,
    // and over a dot the link cursor; the kind decides which dots it has.
    void hoverShowsHandlesAndLinkCursor_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QPoint>("inBlock"); // where the mouse rests, in block coordinates
        QTest::addColumn<bool>("link");
        QTest::addColumn<QList<QPoint>>("dots"); // the handle dots drawn, in block coordinates
        const QPoint bottom(50, 40), side(90, 25), bottomDot(50, 44), sideDot(94, 25);
        QTest::newRow("if: bottom handle") << If << bottom << true << QList<QPoint>{bottomDot, sideDot};
        QTest::newRow("if: side handle") << If << side << true << QList<QPoint>{bottomDot, sideDot};
        QTest::newRow("if: body") << If << QPoint(20, 20) << false << QList<QPoint>{bottomDot, sideDot};
        QTest::newRow("timer: bottom handle") << Timer << bottom << true << QList<QPoint>{bottomDot};
        QTest::newRow("timer: no side handle") << Timer << side << false << QList<QPoint>{bottomDot};
        QTest::newRow("end: no handle at all") << End << bottom << false << QList<QPoint>{};
    }
    void hoverShowsHandlesAndLinkCursor()
    {
        QFETCH(int, kind);
        QFETCH(QPoint, inBlock);
        QFETCH(bool, link);
        QFETCH(QList<QPoint>, dots);
        const int slot = place(kind, {200, 150});
        QVERIFY(slot != NoSlot);
        const QPoint corner(block(slot).x, block(slot).y);
        const FlowDocument before = doc();
        const QColor handle(0x1e, 0x78, 0xd2);
        const auto dotShown = [&](QPoint at) {
            return QColor(canvas()->grab(QRect(corner + at, QSize(1, 1))).toImage().pixel(0, 0)) == handle;
        };

        QTest::mouseMove(canvas(), corner + inBlock);
        QCOMPARE(canvas()->hoveredBlock(), slot);
        QCOMPARE(canvas()->cursor().shape(), link ? Qt::CrossCursor : Qt::ArrowCursor);
        for (const QPoint &dot : {QPoint(50, 44), QPoint(94, 25)})
            QVERIFY2(dotShown(dot) == dots.contains(dot), qPrintable(QStringLiteral("dot at %1,%2").arg(dot.x()).arg(dot.y())));

        QTest::mouseMove(canvas(), {600, 600}); // plain canvas
        QCOMPARE(canvas()->hoveredBlock(), NoSlot);
        QCOMPARE(canvas()->cursor().shape(), Qt::ArrowCursor);
        for (const QPoint &dot : dots)
            QVERIFY(!dotShown(dot));
        QCOMPARE(doc(), before); // hovering is the view's alone
    }

    void groupMoveStopsAtTheTop()
    {
        const int upper = place(Timer, {100, 10});
        const int lower = place(Timer, {300, 100});
        editor()->setSelection({upper, lower});
        press(body(lower));
        QCOMPARE(editor()->selection(), (QList<int>{upper, lower})); // a selected block keeps the group
        const QPoint from = body(lower);
        moveTo(from + QPoint(30, -50));
        release(from + QPoint(30, -50));
        QCOMPARE(QPoint(block(upper).x, block(upper).y), QPoint(130, 0));
        QCOMPARE(QPoint(block(lower).x, block(lower).y), QPoint(330, 50));

        // Pressing an unselected block selects it alone.
        const int other = place(Timer, {500, 300});
        press(body(other));
        release(body(other));
        QCOMPARE(editor()->selection(), QList<int>{other});
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
        QCOMPARE(editor()->selection(), (QList<int>{a, b})); // slot order
        QVERIFY(canvas()->rubberBand().isNull());
        press({700, 700});
        release({700, 700});
        QVERIFY(editor()->selection().isEmpty());
    }

    void copyAndPasteWithArrows()
    {
        const int timer = place(Timer, {50, 100});
        const int condition = place(If, {50, 200});
        const int outside = place(End, {50, 300});
        FlowDocument &d = editor()->editableDocument();
        d.linkBottom(0, timer, condition);
        d.linkSide(0, condition, timer);
        d.linkBottom(0, condition, outside);
        editor()->setSelection({timer, condition});
        triggerMenu(window->blockMenu(), "コピー");
        triggerMenu(window->blockMenu(), "貼り付け");
        const QList<int> copies = editor()->selection();
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
        editor()->setSelection({0, timer});
        QTest::keyClick(canvas(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(canvas(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialogs->lastText(), QStringLiteral("開始命令が含まれている為コピー出来ません。"));
        QCOMPARE(doc().blockCount(0), 8);

        // Blocks copied in the main routine are pasted into a subroutine.
        editor()->setSelection({timer, condition});
        editor()->copySelection();
        editor()->showRoutine(2);
        editor()->paste();
        QCOMPARE(doc().blockCount(2), 2);
        QCOMPARE(doc().block(2, 1).next, 2);
    }

    void deleteAndRemoveArrows()
    {
        const int a = place(Timer, {50, 100});
        const int b = place(Timer, {50, 200});
        const int c = place(End, {50, 300});
        FlowDocument &d = editor()->editableDocument();
        d.linkBottom(0, a, b);
        d.linkBottom(0, b, c);
        press(body(b), Qt::RightButton);
        QCOMPARE(editor()->currentBlock(), b);
        triggerMenu(window->blockMenu(), "矢印を消す");
        QCOMPARE(block(b).next, NoSlot);
        QCOMPARE(block(a).next, b);
        editor()->setSelection({a});
        QTest::keyClick(canvas(), Qt::Key_Delete);
        QVERIFY(!doc().isOccupied(0, a));
        QVERIFY(block(b).incoming.isEmpty());
        editor()->setSelection({b, c});
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
        editor()->setSelection(slotList);
        triggerMenu(window->blockMenu(), item);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QPoint(block(slotList[i]).x, block(slotList[i]).y), places[i]);
        QVERIFY(editor()->selection().isEmpty());

        // Two blocks do not spread.
        editor()->setSelection({slotList[0], slotList[1]});
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
        QVERIFY(editor()->selection().isEmpty());
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
        editor()->setSelection({timer});
        editor()->copySelection();
        editor()->paste();
        step("paste");
        editor()->setSelection({0, timer});
        editor()->align(Alignment::Left);
        step("align");
        editor()->setSelection({timer});
        editor()->deleteSelection();
        step("delete");
        editor()->showRoutine(1);
        place(Timer, {50, 100});
        step("drop in a subroutine");
        editor()->showRoutine(0);
        window->frame()->loadDemo(2);
        step("demo");
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
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
        window->frame()->clearDocument();
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラムを全て消去します。よろしいですか？"));
        QCOMPARE(doc().blockCount(), 1);
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
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
        window->frame()->transfer();
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラム開始命令がありません。\r\nプログラムを確認して下さい。"));
        QVERIFY(window->frame()->transferAction()->isEnabled());
        QVERIFY(!window->frame()->playingPanel()->isVisible());
        bool previewed = false;
        SetPreviewHandler([&](const PreviewRequest &) { previewed = true; });
        window->frame()->preview();
        QVERIFY(!previewed);
        QCOMPARE(dialogs->lastText(), QStringLiteral("プログラム開始命令がありません。\r\nプログラムを確認して下さい。"));
        SetPreviewHandler({});
    }

    void runShowsThePanelUntilTheKitsEnd()
    {
        QVERIFY(rig->plugKit());
        window->frame()->run();
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->transferAction()->isEnabled());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
        QTRY_VERIFY(!window->frame()->playingPanel()->isVisible());
        QVERIFY(window->frame()->runAction()->isEnabled());
    }

    void previewMarksTheRunningBlock()
    {
        window->frame()->loadDemo(4);
        PreviewRequest seen;
        SetPreviewHandler([&](const PreviewRequest &r) { seen = r; });
        window->frame()->preview();
        SetPreviewHandler({});
        QCOMPARE(seen.image, BuildDeviceImage(doc()).image);
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
        // A cycle of arrows: the check passes and F6 would send it, but there
        // is no listing; the pupil is told so rather than nothing happening.
        const int start = place(Start, {50, 10});
        const int timer = place(Timer, {50, 100});
        FlowDocument &d = editor()->editableDocument();
        d.linkBottom(0, start, timer);
        d.linkBottom(0, timer, timer);
        window->frame()->showSentData();
        QCOMPARE(dialogs->texts(), QStringList{QStringLiteral("プログラムが正しくないため表示できません。")});
        // A program F6 refuses: the same message as F6.
        d.removeArrows(0, timer);
        window->frame()->showSentData();
        const QString refusal = dialogs->lastText();
        window->frame()->transfer();
        QCOMPARE(dialogs->lastText(), refusal);
        QCOMPARE(refusal, SendableImage(doc()).message);
    }

    void reportPictures()
    {
        const QString folder = ReportPictureFolder();
        QDir().mkpath(folder);
        for (int r : {3, 4}) { // left-overs of an earlier report
            QFile old(folder + QStringLiteral("Routine%1.bmp").arg(r));
            QVERIFY(old.open(QIODevice::WriteOnly));
        }
        window->frame()->loadDemo(4);
        editor()->showRoutine(2);
        ReportRequest seen;
        SetReportHandler([&](const ReportRequest &r) { seen = r; });
        window->frame()->makeReport();
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

    void reportStaysClosedWithoutItsPictures()
    {
        const test::BlockedReportPictureFolder blocked;
        window->frame()->loadDemo(4);
        QList<ReportRequest> requests;
        SetReportHandler([&](const ReportRequest &r) { requests << r; });
        window->frame()->makeReport();
        SetReportHandler({});
        QVERIFY(requests.isEmpty());
        QCOMPARE(dialogs->texts(), QStringList{SaveFailed});
    }

    // One demo routine drawn as the report draws it, against a reference
    // picture; a few pixels may differ with the fonts of another machine.
    void referencePicture()
    {
        window->frame()->loadDemo(3);
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

KORU_TEST_MAIN(TstFlowWindow)
#include "tst_flowwindow.moc"
