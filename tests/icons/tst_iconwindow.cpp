#include "icons/iconfile.h"
#include "icons/ui/iconwindow.h"
#include "icons/ui/iconwindowparts.h"
#include "widgets/kitpanels.h"

#include "clippedtext.h"
#include "editorrig.h"
#include "keyboard.h"
#include "model/helppage.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "scripteddialogs.h"
#include "spokenname.h"
#include "testmain.h"
#include "testutil.h"
#include "widgets/placement.h"
#include "widgets/sentdataviewer.h"

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace koru;
using namespace koru::icons;

class TstIconWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::EditorRig> rig; // no kit plugged in until a test plugs it
    QPointer<IconWindow> window;

    template<typename T>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QComboBox *combo(int n) const { return child<QComboBox>(QStringLiteral("Para_Combo%1").arg(n)); }
    QSlider *slider(int n) const { return child<QSlider>(QStringLiteral("Para_TrackBar%1").arg(n)); }
    QLabel *caption(int n) const { return child<QLabel>(QStringLiteral("Para_Label%1").arg(n)); }
    SlotImage *slotImage(int n) const { return child<SlotImage>(QStringLiteral("Drop_image%1").arg(n)); }

    static QStringList items(QComboBox *box)
    {
        QStringList list;
        for (int i = 0; box && i < box->count(); ++i)
            list.append(box->itemText(i));
        return list;
    }

    // A palette picture of kind dropped on slot n, as the drop target sees it.
    bool drop(int n, int kind)
    {
        QMimeData mime;
        mime.setData(IconWindow::MimeType, QByteArray::number(kind));
        SlotImage *target = slotImage(n);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        dropEvent.setAccepted(false);
        QApplication::sendEvent(target, &dropEvent);
        return dropEvent.isAccepted();
    }

    QStringList menuCaptions() const
    {
        QStringList list;
        for (QAction *action : window->menuBar()->actions())
            list.append(action->text());
        return list;
    }

private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void init()
    {
        dialogs = std::make_unique<test::ScriptedDialogs>();
        rig = std::make_unique<test::EditorRig>();
        window = new IconWindow(rig->context());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY2(dialogs->shown().isEmpty(), qPrintable(dialogs->texts().join('|'))); // every picture found
    }

    void cleanup()
    {
        if (window) {
            dialogs->answerQuestion(true);
            window->close();
        }
        delete window;
        rig.reset();
        dialogs.reset();
    }

    // STEP1 by keyboard alone: Enter on a palette picture fills the chosen
    // slot and chooses the next, arrows walk the palette and the row, Enter
    // on a slot opens its parameters (slider, choice list), Delete empties
    // it and Enter fills it again. The records are those the mouse gives.
    void buildByKeyboard()
    {
        const auto palette = [this](int kind) { return child<PaletteImage>(QStringLiteral("DragImage%1").arg(kind)); };
        QCOMPARE(window->focusWidget(), palette(RedLed)); // the keys work as soon as the window shows
        QVERIFY(test::tabTo(window, palette(RedLed)));
        test::keyOnFocus(Qt::Key_Return);
        for (int i = 0; i < 6; ++i) // down the palette's left column to the timer
            test::keyOnFocus(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), palette(Timer));
        test::keyOnFocus(Qt::Key_Return);
        test::keyOnFocus(Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), palette(Beep));
        test::keyOnFocus(Qt::Key_Space);
        QCOMPARE(window->chosenSlot(), 3);

        QVERIFY(test::tabTo(window, slotImage(1)));
        test::keyOnFocus(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), slider(1));
        test::keyOnFocus(Qt::Key_Right);
        test::keyOnFocus(Qt::Key_Right);
        test::keyOnFocus(Qt::Key_Escape); // back to the slot
        QCOMPARE(QApplication::focusWidget(), slotImage(1));
        test::keyOnFocus(Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), slotImage(2));
        test::keyOnFocus(Qt::Key_Delete);
        QVERIFY(window->program().slot(2).isEmpty());
        test::keyOnFocus(Qt::Key_Return); // an empty slot takes the kind chosen last
        test::keyOnFocus(Qt::Key_Return); // now it has a choice list: opened
        QCOMPARE(QApplication::focusWidget(), combo(2));
        test::keyOnFocus(Qt::Key_Down);
        const QStringList typed = window->program().toRecords();

        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        QVERIFY(drop(0, RedLed) && drop(1, Timer) && drop(2, Beep));
        slider(1)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        slider(1)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        combo(2)->setCurrentIndex(1);
        emit combo(2)->activated(1);
        QCOMPARE(typed, window->program().toRecords());
        QCOMPARE(window->program().countUsed(), 3);
    }

    void menuBarAndEmptyRow()
    {
        QCOMPARE(menuCaptions(),
                 (QStringList{"デモ読み込み", "ファイル読み込み", "ファイルへ保存", "　　全削除　　",
                              "　　転送(F6)　　", "　　実行(F7)　　", "レポート作成", "プレビュー", "送信データ表示", "ヘルプ"}));
        QCOMPARE(window->frame()->transferAction()->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(window->frame()->runAction()->shortcut(), QKeySequence(Qt::Key_F7));
        QVERIFY(window->frame()->transferAction()->isEnabled());
        QCOMPARE(window->windowTitle(), IconWindow::Caption);
        QVERIFY(window->width() >= 780);
        QVERIFY(window->height() >= 580);
        QVERIFY(!window->frame()->playingPanel()->isVisible());
        for (int n = 0; n < SlotCount; ++n) {
            QVERIFY(slotImage(n));
            QVERIFY(slotImage(n)->pixmap().isNull());
            QVERIFY(!combo(n));
            QVERIFY(!slider(n));
            QCOMPARE(bool(child<QLabel>(QStringLiteral("Arrow_Image%1").arg(n))), n < SlotCount - 1);
        }
        QVERIFY(!window->dropPanel()->horizontalScrollBar()->isVisible());
    }

    void paletteHoldsTwentyOnePictures()
    {
        const QList<PaletteImage *> pictures = window->findChildren<PaletteImage *>();
        QCOMPARE(pictures.size(), 21);
        for (PaletteImage *p : pictures) {
            QCOMPARE(p->size(), QSize(65, 50));
            QVERIFY2(!p->pixmap().isNull(), qPrintable(p->objectName()));
        }
        QCOMPARE(child<PaletteImage>("DragImage14")->pos(), QPoint(145, 125));
        QCOMPARE(child<PaletteImage>("DragImage22")->pos(), QPoint(75, 460));
        QCOMPARE(child<PaletteImage>("DragImage19")->pos(), QPoint(145, 255));
    }

    // A screen reader says each palette picture by the caption drawn on it.
    void palettePicturesHaveTheirCaptionsAsNames()
    {
        QSet<QString> names;
        for (PaletteImage *p : window->findChildren<PaletteImage *>()) {
            const QString name = test::spokenName(p);
            QVERIFY2(!name.isEmpty(), qPrintable(p->objectName()));
            QCOMPARE(name, IconCaption(p->kind()));
            names.insert(name);
        }
        QCOMPARE(names.size(), 21); // no two pictures sound alike
        QCOMPARE(test::spokenName(child<PaletteImage>("DragImage15")), QStringLiteral("タイマー"));
        // The pictures around them only decorate: passed over, not an
        // unnamed picture each.
        for (const char *decoration : {"PaletteBack", "Back_Image0", "Arrow_Image0"}) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(child<QLabel>(decoration));
            QVERIFY2(face && face->role() == QAccessible::Client, decoration);
        }
    }

    // The slot's name follows every change of the slot, including the
    // slots an insertion moves, and the controls under it say whose they are.
    void slotNamesFollowTheRow()
    {
        QCOMPARE(test::spokenName(slotImage(3)), QStringLiteral("3番目: 空き"));
        QVERIFY(drop(3, Timer));
        QCOMPARE(test::spokenName(slotImage(3)), QStringLiteral("3番目: タイマー 1秒"));
        slider(3)->setValue(2);
        QCOMPARE(test::spokenName(slotImage(3)), QStringLiteral("3番目: タイマー 2秒"));
        QCOMPARE(test::spokenName(slider(3)), QStringLiteral("3番目: 秒数"));
        QVERIFY(drop(3, InsertTool));
        QCOMPARE(test::spokenName(slotImage(3)), QStringLiteral("3番目: 空き"));
        QCOMPARE(test::spokenName(slotImage(4)), QStringLiteral("4番目: タイマー 2秒"));
        QCOMPARE(test::spokenName(slider(4)), QStringLiteral("4番目: 秒数"));
        QVERIFY(drop(4, RedLed)); // a new icon over an old one
        emit combo(4)->activated(2);
        QCOMPARE(test::spokenName(slotImage(4)), QStringLiteral("4番目: 赤色LED フェードアウト"));
        QCOMPARE(test::spokenPurpose(combo(4)), QStringLiteral("4番目: 赤色LEDの選択"));
        QVERIFY(drop(4, DeleteTool));
        QCOMPARE(test::spokenName(slotImage(4)), QStringLiteral("4番目: 空き"));
    }

    void slotsFollowTheRowWidth()
    {
        // The first slot starts at 20, the arrow 10 right of the place's end.
        const QWidget *back0 = child<QLabel>("Back_Image0");
        QCOMPARE(back0->geometry(), QRect(20, 0, 100, 130));
        QCOMPARE(slotImage(0)->geometry(), QRect(37, 10, 65, 50));
        QCOMPARE(child<QLabel>("Arrow_Image0")->geometry(), QRect(130, 40, 25, 21));
        QCOMPARE(child<QLabel>("Back_Image1")->pos(), QPoint(165, 0));
        // Later places wrap to rows 150 apart, never beyond the area.
        const int w = window->dropPanel()->viewport()->width();
        for (int n = 0; n < SlotCount; ++n) {
            const QWidget *back = child<QLabel>(QStringLiteral("Back_Image%1").arg(n));
            QVERIFY(back->x() + 100 <= w);
            QCOMPARE(back->y() % 150, 0);
        }
        QVERIFY(child<QLabel>("Back_Image23")->y() > 0);
    }

    void placeEveryKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("text"); // caption; empty: no slider
        const QStringList led{"LED点灯", "フェードイン", "フェードアウト"};
        for (int k = 0; k <= 6; ++k)
            QTest::addRow("led %d", k) << k << led << "秒数： 0.25秒";
        QTest::newRow("off") << 7 << QStringList{"LED消灯"} << "秒数： 0.25秒";
        for (int k : {8, 9, 10, 11, 13})
            QTest::addRow("plain %d", k) << k << QStringList() << "";
        QTest::newRow("loop") << 12 << QStringList() << "回数： 1回";
        QTest::newRow("backlight") << 14 << QStringList() << "秒数： 0.25秒";
        QTest::newRow("timer") << 15 << QStringList() << "秒数： 1秒";
        QTest::newRow("beep") << 16 << QStringList{"確認音１", "確認音２", "確認音３"} << "";
        QTest::newRow("temperature") << 18 << QStringList() << "温度： 25度";
        QTest::newRow("humidity") << 19 << QStringList() << "湿度： 50％";
    }
    void placeEveryKind()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, choices);
        QFETCH(QString, text);
        QVERIFY(drop(7, kind));
        QCOMPARE(window->program().slot(7).kind, kind);
        QVERIFY(!slotImage(7)->pixmap().isNull());
        QCOMPARE(items(combo(7)), choices);
        QCOMPARE(bool(slider(7)), !text.isEmpty());
        if (!text.isEmpty()) {
            QCOMPARE(caption(7)->text(), text);
            QCOMPARE(slider(7)->geometry().topLeft(), child<QLabel>("Back_Image7")->pos() + QPoint(5, 100));
        }
        if (combo(7))
            QCOMPARE(combo(7)->geometry(), QRect(child<QLabel>("Back_Image7")->pos() + QPoint(2, 65), QSize(96, 20)));
    }

    void dropsOtherThanPalettePicturesAreRefused()
    {
        QMimeData mime;
        mime.setText(QStringLiteral("12"));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(slotImage(0), &enter);
        QVERIFY(!enter.isAccepted());
        QVERIFY(drop(0, 21)); // no such kind: accepted as a drop, changes nothing
        QCOMPARE(window->program().countUsed(), 0);
    }

    void insertAndDeleteTools()
    {
        drop(5, Beep);
        combo(5)->setCurrentIndex(2);
        emit combo(5)->activated(2);
        drop(6, RedLed);
        emit combo(6)->activated(1);
        drop(23, Timer);
        QVERIFY(drop(5, InsertTool));
        QVERIFY(window->program().slot(5).isEmpty());
        QVERIFY(slotImage(5)->pixmap().isNull());
        QVERIFY(!combo(5));
        QCOMPARE(combo(6)->currentIndex(), 2); // the beep moved with its choice
        QCOMPARE(combo(7)->currentText(), QStringLiteral("フェードイン"));
        QVERIFY(!slider(7));
        QCOMPARE(window->program().countUsed(), 2); // the timer of slot 23 fell off
        QVERIFY(!slider(23));

        QVERIFY(drop(6, DeleteTool));
        QVERIFY(!combo(6));
        QCOMPARE(window->program().slot(7).kind, int(RedLed)); // nothing moves
        QVERIFY(drop(6, DeleteTool));
        QCOMPARE(window->program().countUsed(), 1);
    }

    void sliderAndChoiceChanges()
    {
        drop(0, Backlight);
        slider(0)->setValue(31);
        QCOMPARE(caption(0)->text(), QStringLiteral("秒数： 7.75秒"));
        QCOMPARE(window->program().slot(0).value, 31);
        QCOMPARE(slider(0)->pageStep(), 3);
        drop(1, GreenLed);
        slider(1)->setValue(9);
        emit combo(1)->activated(2);
        QVERIFY(!slider(1));
        emit combo(1)->activated(0);
        QCOMPARE(slider(1)->value(), 1); // back to "LED点灯" restarts at 0.25 s
        QCOMPARE(caption(1)->text(), QStringLiteral("秒数： 0.25秒"));
    }

    void colourMenu()
    {
        drop(3, RedLed);
        emit combo(3)->activated(1);
        window->openColourMenu(3, window->mapToGlobal(QPoint(300, 200)));
        QMenu *menu = window->colourMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(window->colourSlot(), 3);
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(actions.size(), 8);
        QCOMPARE(actions[7]->text(), QStringLiteral("消灯"));
        QVERIFY(actions[0]->isChecked());
        actions[7]->trigger(); // fade in -> 消灯
        menu->hide();
        QCOMPARE(items(combo(3)), QStringList{"LED消灯"});
        QCOMPARE(caption(3)->text(), QStringLiteral("秒数： 0.25秒"));
        slider(3)->setValue(6);
        window->openColourMenu(3, window->mapToGlobal(QPoint(300, 200)));
        QVERIFY(actions[7]->isChecked());
        actions[2]->trigger(); // -> blue, keeping the duration
        menu->hide();
        QCOMPARE(combo(3)->currentText(), QStringLiteral("LED点灯"));
        QCOMPARE(slider(3)->value(), 6);
        QCOMPARE(caption(3)->text(), QStringLiteral("秒数： 1.5秒"));
        QCOMPARE(window->program().slot(3).kind, int(BlueLed));
    }

    void rightClickOpensMenuOnlyOnLeds()
    {
        drop(0, Timer);
        QTest::mouseClick(slotImage(0), Qt::RightButton);
        QVERIFY(!window->colourMenu()->isVisible());
        QTest::mouseClick(slotImage(1), Qt::RightButton); // empty
        QVERIFY(!window->colourMenu()->isVisible());
        drop(2, WhiteLed);
        QTest::mouseClick(slotImage(2), Qt::RightButton);
        QVERIFY(window->colourMenu()->isVisible());
        QVERIFY(window->colourMenu()->actions()[6]->isChecked());
        window->colourMenu()->hide();
    }

    void dragStartsAfterTheThreshold()
    {
        QSignalSpy started(window.data(), &IconWindow::dragStarted);
        auto *picture = child<PaletteImage>("DragImage12");
        QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(picture, QPoint(11, 11)); // within the threshold
        QCOMPARE(started.size(), 0);
        QTest::mouseMove(picture, QPoint(10 + QApplication::startDragDistance() + 1, 10));
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 12);
        QCOMPARE(window->draggedKind(), 12);
        QTest::mouseRelease(picture, Qt::LeftButton);
        // A right button never starts a drag.
        auto *other = child<PaletteImage>("DragImage3");
        QTest::mousePress(other, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseMove(other, QPoint(40, 40));
        QCOMPARE(started.size(), 1);
    }

    void loopCheckStopsTheTransfer()
    {
        QVERIFY(rig->plugKit());
        drop(0, LoopEnd);
        window->frame()->transfer();
        QCOMPARE(dialogs->texts(), QStringList{LoopMessage});
        QVERIFY(rig->kit().fake->writes(QStringLiteral("kit")).isEmpty());
        QVERIFY(window->frame()->transferAction()->isEnabled());
    }

    void oversizedImageIsRefusedBeforeSending()
    {
        QVERIFY(rig->plugKit());
        for (int n = 0; n < SlotCount; ++n) {
            drop(n, n % 7);
            emit combo(n)->activated(1);
        }
        window->frame()->transfer();
        QCOMPARE(dialogs->lastText(), ImageTooLargeMessage);
        QCOMPARE(dialogs->shown().last().kind, QStringLiteral("warning"));
        QVERIFY(rig->kit().fake->writes(QStringLiteral("kit")).isEmpty());
        QVERIFY(window->frame()->transferAction()->isEnabled());
    }

    void transferAndRunWithoutKit()
    {
        rig->kit().settle();
        window->frame()->transfer();
        QCOMPARE(dialogs->lastText(), NoKitMessage);
        QVERIFY(window->frame()->transferAction()->isEnabled());
        window->frame()->run();
        QCOMPARE(dialogs->texts(), (QStringList{NoKitMessage, NoKitMessage}));
        QVERIFY(window->frame()->runAction()->isEnabled());
        QVERIFY(!window->frame()->playingPanel()->isVisible());
    }

    void transferAndRunWithKit()
    {
        QVERIFY(rig->plugKit());
        drop(0, Timer);
        slider(0)->setValue(3);
        window->frame()->transfer(); // no FF yet: the commands stay off
        rig->kit().clock.runUntilIdle();
        QCOMPARE(rig->kit().fake->writtenValues(QStringLiteral("kit")), (QList<int>{240, 230, 2, 160, 3, 5, 231, 0, 250}));
        QVERIFY(!window->frame()->transferAction()->isEnabled());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        QSignalSpy replies(&rig->link(), &DeviceLink::replyReceived);
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\x01", 2)); // not FF: ignored
        QVERIFY(replies.wait(2000));
        QVERIFY(!window->frame()->transferAction()->isEnabled());
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
        QTRY_VERIFY(window->frame()->transferAction()->isEnabled());

        window->frame()->run();
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        rig->kit().fake->inject(QStringLiteral("kit"), QByteArray("\x00\xff", 2));
        QTRY_VERIFY(!window->frame()->playingPanel()->isVisible());
        QVERIFY(window->frame()->runAction()->isEnabled());
        QVERIFY(dialogs->shown().isEmpty());

        // A program that never ends: the panel's stop button gives the editor back.
        window->frame()->run();
        QPushButton *stop = window->frame()->playingPanel()->stopButton();
        QVERIFY(stop->isVisible());
        QTest::mouseClick(stop, Qt::LeftButton);
        QVERIFY(!window->frame()->playingPanel()->isVisible());
        QVERIFY(window->frame()->runAction()->isEnabled());
        rig->kit().clock.runUntilIdle();
        QCOMPARE(rig->kit().fake->writtenValues(QStringLiteral("kit")).last(), int(kit::Stop));
    }

    void playingPanelCanBeDragged()
    {
        QVERIFY(rig->plugKit());
        window->frame()->run();
        QWidget *panel = window->frame()->playingPanel();
        const QPoint before = panel->pos();
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(20, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(50, 30), panel->mapToGlobal(QPointF(50, 30)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(50, 30));
        QCOMPARE(panel->pos(), before + QPoint(30, 10));
    }

    void saveAndOpenThroughTheMenu()
    {
        QTemporaryDir dir;
        window->frame()->loadDemo(1);
        const IconProgram demo = window->program();
        QVERIFY(demo.countUsed() > 0);
        QCOMPARE(window->windowTitle(), IconWindow::Caption); // demos keep the caption
        dialogs->answerFileName(dir.filePath(QStringLiteral("lesson")));
        window->frame()->saveFile();
        const QString saved = dir.filePath(QStringLiteral("lesson(アイコン).koru"));
        QCOMPARE(window->windowTitle(), IconWindow::Caption + saved);

        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        QCOMPARE(window->program().countUsed(), 0);
        QVERIFY(!combo(1));
        dialogs->answerFileName(saved);
        window->frame()->openFile();
        QCOMPARE(window->program().allSlots(), demo.allSlots());
        QCOMPARE(items(combo(1)), (QStringList{"LED点灯", "フェードイン", "フェードアウト"}));
        QCOMPARE(dialogs->unexpected(), 0);
    }

    void demoTwoAndOtherStepFile()
    {
        window->frame()->loadDemo(2);
        QVERIFY(window->program().loopsAreValid());
        QCOMPARE(window->program().slot(2).kind, int(LoopStart));
        QCOMPARE(caption(2)->text(), QStringLiteral("回数： 3回"));

        QTemporaryDir dir;
        const QString flow = dir.filePath(QStringLiteral("f(フロー).koru"));
        QVERIFY(WriteProgramLines(flow, {"OK", "START", "END", "ROUTINE"}));
        dialogs->answerFileName(flow);
        const QStringList before = IconFileLines(window->program());
        window->frame()->openFile();
        QCOMPARE(dialogs->lastText(), OtherStepMessage);
        // A refused file leaves the pupil's program as it was.
        QCOMPARE(IconFileLines(window->program()), before);
        QCOMPARE(caption(2)->text(), QStringLiteral("回数： 3回"));
        QCOMPARE(window->windowTitle(), IconWindow::Caption);
    }

    void clearAskesFirst()
    {
        drop(0, Timer);
        dialogs->answerQuestion(false);
        window->frame()->clearDocument();
        QCOMPARE(dialogs->lastText(), EditorFrame::ClearQuestion);
        QCOMPARE(window->program().countUsed(), 1);
    }

    void sentDataViewerShowsTheListing()
    {
        drop(0, LoopStart);
        slider(0)->setValue(3);
        drop(1, Beep);
        drop(2, LoopEnd);
        QStringList codes;
        QRect viewerGeometry;
        QTimer::singleShot(0, this, [&] {
            SentDataViewer &viewer = rig->viewer();
            QTableWidget *grid = viewer.grid();
            for (int r = 0; r < grid->rowCount(); ++r)
                codes.append(grid->item(r, 2) ? grid->item(r, 2)->text() : QString());
            viewerGeometry = viewer.frameGeometry();
            viewer.close();
        });
        window->frame()->showSentData();
        QCOMPARE(codes, (QStringList{"087000003000000", "06D003000000000", "088001000000000", "", ""}));
        const QPoint expected = CentredOver(window->frameGeometry(), viewerGeometry.size());
        QCOMPARE(viewerGeometry.topLeft(), expected);
        // The same listing again shows the same rows.
        QStringList again;
        QTimer::singleShot(0, this, [&] {
            QTableWidget *grid = rig->viewer().grid();
            for (int r = 0; r < grid->rowCount(); ++r)
                again.append(grid->item(r, 2) ? grid->item(r, 2)->text() : QString());
            rig->viewer().close();
        });
        window->frame()->showSentData();
        QCOMPARE(again, codes);
    }

    void reportHandsOverLinesAndKind()
    {
        drop(0, Timer);
        ReportRequest seen;
        SetReportHandler([&](const ReportRequest &r) { seen = r; });
        window->frame()->makeReport();
        SetReportHandler({});
        QCOMPARE(seen.kind, 3);
        QCOMPARE(seen.lines, QStringList{"15,タイマー1秒"});
        QCOMPARE(seen.over, window->frameGeometry());
        window->frame()->makeReport(); // no composer in this build: said, not silent
        QCOMPARE(dialogs->texts(), QStringList{NotAvailableMessage});
    }

    // Every choice, caption and panel text fits its control at the window's
    // font: each choice list with each of its items, each slider caption at
    // its widest value, the running panel, and the rows of both demos.
    void noTextIsCutOff()
    {
        const QList<int> kinds{RedLed, LedOff, Beep, LoopStart, Backlight, Timer, WaitTemperature, WaitHumidity};
        for (int n = 0; n < kinds.size(); ++n) {
            drop(n, kinds[n]);
            if (slider(n))
                slider(n)->setValue(slider(n)->maximum());
        }
        drop(8, WhiteLed);
        emit combo(8)->activated(2); // "フェードアウト" shown
        window->frame()->playingPanel()->show();
        QStringList clipped = test::ClippedTexts(window);
        window->frame()->playingPanel()->hide();
        for (int demo : {1, 2}) {
            window->frame()->loadDemo(demo);
            clipped << test::ClippedTexts(window);
        }
        clipped << test::ClippedTexts(&rig->viewer());
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }

    // ヘルプ goes through the launcher's page service and warns as the
    // launcher does when no viewer shows the page.
    void helpOpensTheGuideOrSaysWhyNot()
    {
        QList<QUrl> pages;
        bool viewerThere = true;
        SetPageOpener([&](const QUrl &page) {
            pages << page;
            return viewerThere;
        });
        window->frame()->openHelp();
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages.first().toLocalFile().endsWith(QLatin1String("HTML/Navi/KORUnavi.html")));
        QVERIFY(dialogs->shown().isEmpty());
        viewerThere = false;
        window->frame()->openHelp();
        SetPageOpener({});
        window->frame()->openHelp(); // no viewer service at all
        QCOMPARE(dialogs->shown().size(), 2);
        for (const auto &shown : dialogs->shown()) {
            QCOMPARE(shown.kind, QStringLiteral("warning"));
            QVERIFY(shown.text.startsWith(PageNotOpenedMessage + QStringLiteral("\r\n")));
        }
    }

    // A palette picture dropped anywhere on a slot's card lands in that
    // slot, as the window delivers it; between the cards nothing happens.
    void dropsAnywhereOnTheCard_data()
    {
        QTest::addColumn<QPoint>("onCard");
        QTest::addColumn<int>("expected");
        QTest::newRow("picture") << QPoint(50, 30) << 2;
        QTest::newRow("top-left margin") << QPoint(3, 3) << 2;
        QTest::newRow("choice list") << QPoint(50, 75) << 2;
        QTest::newRow("slider") << QPoint(50, 110) << 2;
        QTest::newRow("bottom margin") << QPoint(95, 127) << 2;
        QTest::newRow("right of the card") << QPoint(110, 50) << -1;
    }
    void dropsAnywhereOnTheCard()
    {
        QFETCH(QPoint, onCard);
        QFETCH(int, expected);
        drop(2, RedLed); // a choice list and a slider on the card
        QWidget *card = child<QLabel>(QStringLiteral("Back_Image2"));
        QWindow *handle = window->windowHandle();
        const QPointF at = window->mapFromGlobal(card->mapToGlobal(onCard));
        QMimeData mime;
        mime.setData(IconWindow::MimeType, QByteArray::number(int(Timer)));
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QDropEvent dropEvent(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &dropEvent);
        QCOMPARE(window->program().slot(2).kind, expected == 2 ? int(Timer) : int(RedLed));
        QCOMPARE(window->program().countUsed(), 1);
    }

    // Pictures of the window for people to look at: run under a real X
    // server with KORU_SHOTS_DIR set (skipped otherwise).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("KORU_SHOTS_DIR");
        if (folder.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("set KORU_SHOTS_DIR and run under X to take screenshots");
        auto shoot = [&](const QString &name) {
            QTest::qWait(300);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QLatin1Char('/') + name));
        };
        shoot(QStringLiteral("icons-empty.png"));
        const int kinds[] = {9, 16, 12, 0, 7, 13, 11, 14, 6, 15, 6, 16, 18, 19, 8, 10, 1, 2, 3, 4, 5, 15, 16, 7};
        for (int n = 0; n < SlotCount; ++n)
            drop(n, kinds[n]);
        slider(2)->setValue(3);
        emit combo(8)->activated(1);
        emit combo(10)->activated(2);
        window->dropPanel()->verticalScrollBar()->setValue(0);
        shoot(QStringLiteral("icons-full.png"));
        window->openColourMenu(3, slotImage(3)->mapToGlobal(QPoint(30, 30)));
        shoot(QStringLiteral("icons-colourmenu.png"));
        window->colourMenu()->hide();
        QTimer::singleShot(0, this, [&] {
            shoot(QStringLiteral("viewer.png"));
            rig->viewer().close();
        });
        window->frame()->loadDemo(2);
        window->frame()->showSentData();
        QVERIFY(rig->plugKit());
        window->frame()->run();
        shoot(QStringLiteral("icons-running.png"));
    }

    void closing()
    {
        QSignalSpy closed(window.data(), &IconWindow::closed);
        drop(0, Timer);
        dialogs->answerQuestion(false);
        QVERIFY(!window->close());
        QCOMPARE(dialogs->lastText(), EditorFrame::CloseQuestion);
        QVERIFY(window->isVisible());
        dialogs->answerQuestion(true);
        QVERIFY(window->close());
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(!window); // destroyed
    }

    void missingPictures()
    {
        QTemporaryDir empty;
        SetAssetRoot(empty.path());
        test::ScriptedDialogs local;
        auto *bare = new IconWindow(rig->context());
        bare->show();
        SetAssetRoot(QString());
        QCOMPARE(local.texts(), QStringList{SaveErrorMessage}); // the window stays open
        QVERIFY(bare->isVisible());
        bare->dropOnSlot(0, Timer);
        QCOMPARE(local.lastText(), UnexpectedError);
        QCOMPARE(bare->program().countUsed(), 0);
        QVERIFY(bare->close());
        delete bare;
    }

    void closingAnEmptyWindowAsksNothing()
    {
        QSignalSpy closed(window.data(), &IconWindow::closed);
        QVERIFY(window->close());
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(closed.size(), 1);
    }
};

KORU_TEST_MAIN(TstIconWindow)
#include "tst_iconwindow.moc"
