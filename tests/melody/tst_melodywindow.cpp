// The melody window headless: keyboard, context menu and insert/edit window,
// clearing, files, LED settings, sound on the PC, report and closing.
#include "melody/ui/melodywindow.h"

#include "app/shell.h"
#include "clippedtext.h"
#include "editorrig.h"
#include "fakesound.h"
#include "keyboard.h"
#include "link/ui/kitcommands.h"
#include "melody/preview.h"
#include "melody/readback.h"
#include "melody/ui/melodyparts.h"
#include "model/caption.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"
#include "widgets/kitpanels.h"
#include "widgets/loadedmodule.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace koru;
using namespace koru::melody;

class TstMelodyWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::EditorRig> rig; // a fake kit, never plugged in
    std::unique_ptr<NoteChooser> chooser; // the shell's shared one
    QPointer<MelodyWindow> window;
    test::FakeSound *sound = nullptr;

    template<typename T = QWidget>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    void click(QWidget *widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = {})
    {
        QVERIFY(widget);
        QTest::mouseClick(widget, button, {}, at.isNull() ? QPoint(5, 5) : at);
    }
    void key(const QString &name, int len = -1)
    {
        if (len >= 0)
            child<QRadioButton>(QStringLiteral("radio_Len%1").arg(len + 1))->click();
        click(child(name));
    }
    // The centre of a note's glyph box on the staff area.
    QPoint noteAt(int slot) const
    {
        const StaffAnchor &a = window->anchors()[size_t(slot)];
        return QPoint(a.column + 15, a.rowTop + a.offset + 17);
    }
    // The action of that caption among these or in their sub-menus.
    static QAction *findAction(const QList<QAction *> &actions, const QString &text)
    {
        for (QAction *action : actions) {
            if (action->text() == text)
                return action;
            if (action->menu())
                if (QAction *inner = findAction(action->menu()->actions(), text))
                    return inner;
        }
        return nullptr;
    }
    QAction *menuAction(QMenu *menu, const QString &text) const { return findAction(menu->actions(), text); }
    QAction *barAction(const QString &text) const { return findAction(window->menuBar()->actions(), text); }
    void rightClickNote(int slot)
    {
        click(window->staffArea(), Qt::RightButton, noteAt(slot));
        QVERIFY(window->noteMenu()->isVisible());
        QCOMPARE(window->melody().selected(), slot);
        window->noteMenu()->hide();
    }
    // Message boxes only, without the file dialogs.
    QStringList messages() const
    {
        QStringList list;
        for (const auto &shown : dialogs->shown())
            if (shown.kind != "open" && shown.kind != "save")
                list << shown.text;
        return list;
    }
    QList<int> keysAndLengths() const
    {
        QList<int> list;
        for (int i = 0; i < window->melody().count(); ++i)
            list << window->melody().note(i).key.toInt() * 10 + window->melody().note(i).len;
        return list;
    }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        shell::UseProgramFont(); // the program's font, as texts are measured against it
    }

    void init()
    {
        dialogs = std::make_unique<test::ScriptedDialogs>();
        sound = new test::FakeSound;
        rig = std::make_unique<test::EditorRig>();
        chooser = std::make_unique<NoteChooser>();
        window = new MelodyWindow(rig->context(), *chooser, sound);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanup()
    {
        if (window) {
            dialogs->answerQuestion(true);
            window->close();
        }
        delete window;
        chooser.reset();
        rig.reset();
        QCOMPARE(dialogs->unexpected(), 0);
        dialogs.reset();
    }

    // The staff by keyboard alone: the piano row inserts at the insertion
    // point and sounds, arrows, Home and End move the point, Delete and
    // Backspace remove; the notes are those the on-screen keyboard gives.
    void typingOnTheStaff()
    {
        for (const char *key : {"pw9", "pw10", "pw11", "pB7", "pw14"})
            window->clickKey(QLatin1String(key));
        const QList<int> clicked = keysAndLengths();
        QList<int> clickedBlack;
        for (int i = 0; i < window->melody().count(); ++i)
            clickedBlack << window->melody().note(i).black;
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        sound->played.clear();

        StaffArea *staff = window->staffArea();
        QCOMPARE(staff->toolTip(), PianoKeysHint());
        QCOMPARE(window->focusWidget(), staff); // the keys work as soon as the window shows
        QVERIFY(test::tabTo(window, staff));
        QTest::keyClicks(staff, QStringLiteral("adgw")); // ド ミ ソ ド#
        QCOMPARE(sound->played.size(), 4);
        QTest::keyClick(staff, Qt::Key_Left);
        QTest::keyClick(staff, Qt::Key_Left);
        QCOMPARE(window->insertionPoint(), 2);
        QTest::keyClick(staff, Qt::Key_F); // ファ before ソ
        QCOMPARE(window->insertionPoint(), 3);
        QTest::keyClick(staff, Qt::Key_Home);
        QTest::keyClick(staff, Qt::Key_Delete); // the first ド
        QTest::keyClick(staff, Qt::Key_End);
        QTest::keyClicks(staff, QStringLiteral("xaq")); // an octave up: the high ド; q is no key
        QTest::keyClick(staff, Qt::Key_A, Qt::ControlModifier); // Ctrl keys are not notes
        QSignalSpy transfer(window->frame()->transferAction(), &QAction::triggered);
        QTest::keyClick(staff, Qt::Key_F6); // the menu's key stays the menu's
        QCOMPARE(transfer.size(), 1);
        dialogs->texts(); // what the transfer said without a kit
        QCOMPARE(keysAndLengths(), clicked);
        QList<int> typedBlack;
        for (int i = 0; i < window->melody().count(); ++i)
            typedBlack << window->melody().note(i).black;
        QCOMPARE(typedBlack, clickedBlack);
        QTest::keyClick(staff, Qt::Key_Backspace);
        QCOMPARE(window->melody().count(), clicked.size() - 1);
        // The point is drawn where the next note goes, inside the staff.
        QVERIFY(staff->rect().contains(staff->caret()));
    }

    // A screen reader reads the staff note by note: place, pitch, length
    // and, while the link is on, the LED's colour; the children follow
    // notes inserted and removed by keyboard.
    void staffForScreenReaders()
    {
        key("pw7");          // ド, the quarter note selected
        key("pw11", 0);      // ソ, eighth
        key("pB7", 1);       // ド♯, quarter
        key("pw148", 3);     // rest, half
        child<QComboBox>("LED_Combo7")->setCurrentIndex(0); // ソ lights red
        child<QRadioButton>("Linl_Radio0")->click();

        StaffArea *staff = window->staffArea();
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(staff);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Canvas);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("楽譜"));
        QVERIFY2(face->text(QAccessible::Description).startsWith(QStringLiteral("音符 4 個、LEDリンク する。")),
                 qPrintable(face->text(QAccessible::Description)));
        const auto names = [face] {
            QStringList heard;
            for (int i = 0; i < face->childCount(); ++i)
                heard << face->child(i)->text(QAccessible::Name);
            return heard;
        };
        const QString off = LedColours()[LedOffColour].caption;
        QCOMPARE(names(), (QStringList{QStringLiteral("1番目: ド 四分音符 LED ") + off,
                                       QStringLiteral("2番目: ソ 八分音符 LED 赤"),
                                       QStringLiteral("3番目: ド♯ 四分音符 LED ") + off,
                                       QStringLiteral("4番目: 休符 二分音符 LED ") + off}));
        QAccessibleInterface *second = face->child(1);
        QCOMPARE(second->parent(), face);
        QCOMPARE(face->indexOfChild(second), 1);
        QCOMPARE(second->role(), QAccessible::ListItem);
        const QRect staffRect(staff->mapToGlobal(QPoint(0, 0)), staff->size());
        QVERIFY(staffRect.contains(second->rect()));
        QCOMPARE(face->childAt(second->rect().center().x(), second->rect().center().y()), second);

        child<QRadioButton>("Linl_Radio1")->click();
        QCOMPARE(second->text(QAccessible::Name), QStringLiteral("2番目: ソ 八分音符"));

        // A note typed at the start shifts every place; one removed leaves
        // its last child invalid rather than dangling.
        QTest::keyClick(staff, Qt::Key_Home);
        QTest::keyClick(staff, Qt::Key_D); // ミ, in the length the rest chose
        QCOMPARE(face->childCount(), 5);
        QCOMPARE(face->child(0)->text(QAccessible::Name), QStringLiteral("1番目: ミ 二分音符"));
        QCOMPARE(second->text(QAccessible::Name), QStringLiteral("2番目: ド 四分音符"));
        QAccessibleInterface *last = face->child(4);
        QTest::keyClick(staff, Qt::Key_Backspace);
        QTest::keyClick(staff, Qt::Key_Delete);
        QCOMPARE(face->childCount(), 3);
        QVERIFY(!last->isValid());
        QVERIFY(!face->child(3));
        QCOMPARE(names().first(), QStringLiteral("1番目: ソ 八分音符"));

        // The on-screen keys are named by pitch and octave.
        const QStringList keys{"pw0", "pB0", "pw7", "pw11", "pB18", "pw21", "pw148"};
        QStringList keyNames;
        for (const QString &k : keys)
            keyNames << QAccessible::queryAccessibleInterface(child(k))->text(QAccessible::Name);
        QCOMPARE(keyNames, (QStringList{"低いド", "低いド♯", "ド", "ソ", "高いソ♯", "いちばん高いド", "休符"}));
    }

    void layoutAndMenus()
    {
        QStringList bar;
        for (QAction *action : window->menuBar()->actions())
            bar << action->text();
        QCOMPARE(bar, (QStringList{"　　　読み込み　　　", "ファイルへ保存", "　　全削除　　", "再生",
                                   "　　転送(F6)　　", "　　実行(F7)　　", "レポート作成", "ヘルプ"}));
        QStringList read, play;
        for (QAction *a : window->menuBar()->actions()[0]->menu()->actions())
            read << a->text();
        for (QAction *a : window->menuBar()->actions()[3]->menu()->actions())
            play << a->text();
        QCOMPARE(read, (QStringList{"保存ファイルの読み込み", "送信済データの読み込み"}));
        QCOMPARE(play, (QStringList{"全て再生", "最後の10音符再生", "最後の20音符再生", "停止"}));
        QStringList context;
        for (QAction *a : window->noteMenu()->actions())
            context << a->text();
        QCOMPARE(context, (QStringList{"音を挿入する", "音符を編集する", "音の長さを変える", "音符を削除する"}));
        QCOMPARE(window->frame()->transferAction()->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(window->frame()->runAction()->shortcut(), QKeySequence(Qt::Key_F7));
        QVERIFY(window->frame()->transferAction()->isEnabled() && window->frame()->runAction()->isEnabled());
        QCOMPARE(window->windowTitle(), CaptionPrefix);
        QVERIFY(window->width() >= 780 && window->height() >= 580);

        // The staff: as wide as its box, 800 high, one empty row.
        QCOMPARE(window->staffArea()->height(), StaffInitialHeight);
        QCOMPARE(window->staffArea()->width(), window->staffScroll()->viewport()->width());
        QCOMPARE(window->staffArea()->picture().height(), 160);
        QVERIFY(!window->frame()->playingPanel()->isVisible() && !window->frame()->getDataPanel()->isVisible());

        auto *tabs = child<QTabWidget>("Tabs");
        QCOMPARE(tabs->tabText(0), QStringLiteral("音符入力"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("LEDリンク設定"));
        // 22 white keys 25 apart from 95, 15 black ones, the rest at 660.
        QCOMPARE(child("pw0")->geometry(), QRect(95, 0, 25, 85));
        QCOMPARE(child("pw21")->geometry(), QRect(620, 0, 25, 85));
        QCOMPARE(child("pw148")->geometry(), QRect(660, 0, 25, 85));
        QCOMPARE(child("pB0")->geometry(), QRect(109, 0, 22, 60));
        int white = 0, black = 0;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (qobject_cast<KeyPicture *>(label) && label->parentWidget()->parentWidget()->objectName() == "NotePage") {
                QVERIFY2(!label->pixmap().isNull(), qPrintable(label->objectName()));
                (label->objectName().startsWith("pB") ? black : white) += 1;
            }
        }
        QCOMPARE(white, 23);
        QCOMPARE(black, 15);
        QVERIFY(!child("pB2") && !child("pB6"));
        QVERIFY(child<QRadioButton>("radio_Len2")->isChecked());
        QVERIFY(child<QRadioButton>("radio_Speed1")->isChecked());
        QVERIFY(child<QRadioButton>("Linl_Radio1")->isChecked());
        for (int slot = 0; slot < LedSlotCount; ++slot) {
            auto *combo = child<QComboBox>(QStringLiteral("LED_Combo%1").arg(slot));
            QCOMPARE(combo->count(), 8);
            QCOMPARE(combo->currentText(), QStringLiteral("消灯"));
            auto *image = child<QLabel>(QStringLiteral("LED_Image%1").arg(slot));
            QVERIFY(!image->pixmap().isNull());
            // Black-key slots have the short pictures.
            QCOMPARE(image->height() < 60, IsBlackLedSlot(slot));
        }
    }

    void keyboardAddsNotesInEachLength()
    {
        key("pw9", 0);
        key("pB0", 1);
        key("pw148", 2);
        key("pw21", 3);
        QCOMPARE(keysAndLengths(), (QList<int>{90, 1, 1482, 213}));
        QCOMPARE(window->melody().note(1).black, 1);
        QCOMPARE(window->melody().note(3).x, 80 + 30 + 60 + 90);
        QCOMPARE(window->anchors().size(), size_t(4));
        // Each note sounded as it was added; the rest is silent.
        QCOMPARE(sound->played.size(), 3);
        QVERIFY(sound->played.last().endsWith(KeySoundFileName));
        // Right clicks on keys add nothing.
        click(child("pw3"), Qt::RightButton);
        QCOMPARE(window->melody().count(), 4);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void fullMelodyWarnsFromKeyboardAndInsert()
    {
        for (int i = 0; i < MelodySlotCount; ++i)
            window->clickKey(QStringLiteral("pw%1").arg(i % 22));
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(window->staffArea()->height(), window->staffArea()->picture().height()); // grew past 800
        QVERIFY(window->staffArea()->height() > StaffInitialHeight);
        key("pw0");
        QCOMPARE(dialogs->texts(), QStringList{MelodyFullMessage});
        QCOMPARE(window->melody().count(), MelodySlotCount);

        rightClickNote(5);
        window->insertBeforeSelected();
        QCOMPARE(dialogs->texts(), (QStringList{MelodyFullMessage, MelodyFullMessage}));
        QVERIFY(!chooser->isVisible());
    }

    void contextMenuOnlyOnNotesWithTheRightButton()
    {
        key("pw9");
        key("pw10");
        click(window->staffArea(), Qt::LeftButton, noteAt(1));
        QVERIFY(!window->noteMenu()->isVisible());
        click(window->staffArea(), Qt::RightButton, QPoint(300, 80)); // no note there
        QVERIFY(!window->noteMenu()->isVisible());
        QCOMPARE(window->melody().selected(), -1);
        rightClickNote(1);
    }

    void insertAndEditThroughTheChooser()
    {
        key("pw9", 0);
        key("pw10", 3);
        NoteChooser &chooser = *this->chooser;

        rightClickNote(1);
        window->insertBeforeSelected();
        QVERIFY(chooser.isVisible());
        QVERIFY(chooser.isModal());
        QCOMPARE(chooser.windowTitle(), QStringLiteral("挿入・編集"));
        QCOMPARE(chooser.checkedLength(), 3); // the picked note's length
        chooser.findChild<QRadioButton *>("radio_Len2")->click();
        QTest::mouseClick(chooser.findChild<QWidget *>("pB0"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!chooser.isVisible());
        QCOMPARE(keysAndLengths(), (QList<int>{90, 1, 103}));
        QCOMPARE(sound->played.size(), 3); // the inserted note sounded too
        QCOMPARE(window->melody().note(2).x, 80 + 30 + 60);

        // Edit: the new key and length; later notes move.
        rightClickNote(0);
        window->editSelected();
        QCOMPARE(chooser.checkedLength(), 0);
        chooser.findChild<QRadioButton *>("radio_Len4")->click();
        QTest::mouseClick(chooser.findChild<QWidget *>("pw148"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(keysAndLengths(), (QList<int>{1483, 1, 103}));
        QCOMPARE(window->melody().note(2).x, 80 + 120 + 60);

        // Closed without a key: nothing changes, and a later key of another
        // window's chooser use does not reach back.
        rightClickNote(1);
        window->editSelected();
        chooser.reject();
        QCOMPARE(keysAndLengths(), (QList<int>{1483, 1, 103}));
        emit chooser.chosen(QStringLiteral("5"), 0, 0);
        QCOMPARE(keysAndLengths(), (QList<int>{1483, 1, 103}));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void lengthChangeAndDeleteFromTheMenu()
    {
        key("pw9");
        key("pw10");
        key("pw11");
        rightClickNote(1);
        menuAction(window->noteMenu(), QStringLiteral("二分音符"))->trigger();
        QCOMPARE(keysAndLengths(), (QList<int>{91, 103, 111}));
        QCOMPARE(window->melody().note(2).x, 80 + 60 + 120);
        rightClickNote(0);
        menuAction(window->noteMenu(), QStringLiteral("音符を削除する"))->trigger();
        QCOMPARE(keysAndLengths(), (QList<int>{103, 111}));
        QCOMPARE(window->melody().note(0).x, 80);
        QVERIFY(dialogs->shown().isEmpty()); // deleting does not ask
    }

    void clearAsksOnlyWithNotesAndKeepsTheSpeed()
    {
        child<QRadioButton>("radio_Speed3")->click();
        child<QRadioButton>("radio_Len1")->click();
        barAction(QStringLiteral("　　全削除　　"))->trigger(); // nothing to lose: no question
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(child<QRadioButton>("radio_Len2")->isChecked()); // back to the quarter note

        key("pw1");
        dialogs->answerQuestion(false);
        window->frame()->clearDocument();
        QCOMPARE(window->melody().count(), 1);
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        QCOMPARE(dialogs->texts(), (QStringList{EditorFrame::ClearQuestion, EditorFrame::ClearQuestion}));
        QCOMPARE(window->melody().count(), 0);
        QCOMPARE(window->melody().speed(), MelodySpeed::Quadruple);
        QVERIFY(child<QRadioButton>("radio_Speed3")->isChecked());
    }

    void ledSelectorsSetPicturesAndColours()
    {
        auto *combo = child<QComboBox>("LED_Combo1");
        auto *image = child<QLabel>("LED_Image1");
        combo->setCurrentIndex(4);
        QCOMPARE(window->melody().ledColour(1), 4);
        QCOMPARE(image->pixmap().toImage(), QPixmap(AssetPath("Img\\Icon\\Melo\\Black\\4.jpg")).toImage());
        auto *white = child<QComboBox>("LED_Combo0");
        white->setCurrentIndex(0);
        QCOMPARE(child<QLabel>("LED_Image0")->pixmap().toImage(),
                 QPixmap(AssetPath("Img\\Icon\\Melo\\White\\0.jpg")).toImage());

        // Typed text: a colour's name selects it, anything else goes back.
        white->lineEdit()->setText(QStringLiteral("青"));
        emit white->lineEdit()->editingFinished();
        QCOMPARE(window->melody().ledColour(0), 2);
        white->lineEdit()->setText(QStringLiteral("ピンク"));
        emit white->lineEdit()->editingFinished();
        QCOMPARE(window->melody().ledColour(0), 2);
        QCOMPARE(white->currentText(), QStringLiteral("青"));

        // The link radio buttons redraw the staff with the bars.
        key("pw0");
        const StaffAnchor a = window->anchors()[0];
        const QPoint bar(a.column + 15, a.rowTop + a.offset + 37);
        QCOMPARE(QColor(window->staffArea()->picture().pixel(bar)), QColor(Qt::white));
        child<QRadioButton>("Linl_Radio0")->click();
        QVERIFY(window->melody().ledLink());
        QCOMPARE(QColor(window->staffArea()->picture().pixel(bar)), QColor(0, 0, 255));
        child<QRadioButton>("Linl_Radio1")->click();
        QVERIFY(!window->melody().ledLink());
    }

    void saveAndOpen()
    {
        QTemporaryDir dir;
        key("pw0", 0);
        key("pB3", 2);
        key("pw148", 3);
        child<QComboBox>("LED_Combo3")->setCurrentIndex(5);
        child<QRadioButton>("Linl_Radio0")->click();
        child<QRadioButton>("radio_Speed2")->click();
        const Melody saved = window->melody();

        dialogs->answerFileName(dir.filePath("tune"));
        window->frame()->saveFile();
        const QString path = dir.filePath(QStringLiteral("tune(メロディ).koru"));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(window->windowTitle(), WindowCaption(QDir::toNativeSeparators(path)));
        // A name with the extension in capitals is kept; replacing asks.
        dialogs->answerFileName(dir.filePath("tune.KORU"));
        window->frame()->saveFile();
        QVERIFY(QFileInfo::exists(dir.filePath("tune.KORU")));
        dialogs->answerFileName(dir.filePath("tune.KORU"));
        dialogs->answerQuestion(false);
        window->frame()->saveFile();
        QCOMPARE(dialogs->shown().last().kind, QStringLiteral("overwrite"));

        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        child<QRadioButton>("radio_Speed1")->click();
        dialogs->clear();
        dialogs->answerFileName(path);
        window->frame()->openFile();
        QVERIFY(messages().isEmpty());
        QCOMPARE(window->melody().notes(), saved.notes());
        QCOMPARE(window->melody().deviceList(), saved.deviceList());
        QCOMPARE(child<QComboBox>("LED_Combo3")->currentIndex(), 5);
        QVERIFY(child<QRadioButton>("Linl_Radio0")->isChecked());
        QVERIFY(child<QRadioButton>("radio_Speed2")->isChecked());
        QCOMPARE(window->anchors().size(), size_t(3));
    }

    void openRefusesOtherFiles()
    {
        QTemporaryDir dir;
        key("pw5");
        const QString flow = dir.filePath("flow(フロー).koru");
        QVERIFY(WriteProgramLines(flow, {"OK", "START", "END", "ROUTINE"}));
        dialogs->answerFileName(flow);
        window->frame()->openFile();
        QCOMPARE(messages(), QStringList{OtherStepFileMessage});
        QCOMPARE(window->melody().count(), 1);
        QCOMPARE(window->windowTitle(), CaptionPrefix);

        dialogs->clear();
        dialogs->answerFileName(dir.filePath("tune.txt"));
        window->frame()->openFile();
        QCOMPARE(messages(), QStringList{WrongExtension});
        QCOMPARE(dialogs->shown().last().kind, QStringLiteral("information"));

        dialogs->clear();
        dialogs->answerFileName(dir.filePath("missing.koru"));
        window->frame()->openFile();
        QCOMPARE(messages(), QStringList{LoadFailed});
        QCOMPARE(window->melody().count(), 1);
    }

    void previewPlaysAndFollowsTheNotes()
    {
        for (const char *name : {"pw7", "pw8", "pw9", "pw10", "pw11"})
            key(name, 0); // eighths at standard speed: 0.5 s each
        sound->played.clear();
        barAction(QStringLiteral("最後の10音符再生"))->trigger();
        QVERIFY(sound->isPlaying());
        QCOMPARE(sound->source(), WorkFolder() + PreviewFileName);
        QCOMPARE(window->markedSlot(), 0);
        sound->moveTo(1200); // into the third note
        QCOMPARE(window->markedSlot(), 2);
        const StaffAnchor a = window->anchors()[2];
        QVERIFY(QColor(window->staffArea()->picture().pixel(a.column + 2, a.rowTop - 20)) != QColor(Qt::white));

        // The last 2 of 5 with more notes than asked for: slots 3 and 4.
        for (int i = 0; i < 15; ++i)
            window->clickKey("pw0");
        barAction(QStringLiteral("最後の20音符再生"))->trigger();
        QCOMPARE(window->markedSlot(), 0);
        barAction(QStringLiteral("全て再生"))->trigger();
        QCOMPARE(window->markedSlot(), 0);

        barAction(QStringLiteral("停止"))->trigger();
        QCOMPARE(QFileInfo(sound->source()).fileName(), MelodyWindow::StopSound);
        QCOMPARE(window->markedSlot(), -1);
        sound->stop();
        QVERIFY(!sound->isPlaying());
        QVERIFY(dialogs->shown().isEmpty());
    }

    // Without an audio output a quiet line says so (a box would swallow the
    // next clicks on the keyboard) and the mark still walks over the notes.
    void withoutAudioOutput()
    {
        sound->hasOutput = false;
        key("pw3");
        key("pw5");
        window->preview(PreviewRange::All);
        QCOMPARE(window->markedSlot(), 0);
        auto *line = window->findChild<QLabel *>(QStringLiteral("NoSoundLine"));
        QVERIFY(line);
        QVERIFY(line->isVisible());
        QVERIFY(line->text().startsWith(QStringLiteral("音を鳴らす装置が見つかりません。")));
        QTRY_COMPARE_WITH_TIMEOUT(window->markedSlot(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window->markedSlot(), -1, 5000);
        window->preview(PreviewRange::All);
        barAction(QStringLiteral("停止"))->trigger();
        QCOMPARE(window->markedSlot(), -1);
        QCOMPARE(window->findChildren<QLabel *>(QStringLiteral("NoSoundLine")).size(), 1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void reportSavesTheStaffPicture()
    {
        QList<ReportRequest> requests;
        SetReportHandler([&](const ReportRequest &r) { requests << r; });
        key("pw2");
        window->frame()->makeReport();
        SetReportHandler({});
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().kind, SoundReportKind);
        QCOMPARE(requests.first().over, window->frameGeometry());
        const QImage picture(WorkFolder() + "Report/Img/Sound.bmp");
        QCOMPARE(picture.width(), window->staffArea()->width());
        QCOMPARE(picture.height(), 160);
    }

    void reportStaysClosedWithoutItsPicture()
    {
        const test::BlockedReportPictureFolder blocked;
        QList<ReportRequest> requests;
        SetReportHandler([&](const ReportRequest &r) { requests << r; });
        key("pw2");
        window->frame()->makeReport();
        SetReportHandler({});
        QVERIFY(requests.isEmpty());
        QCOMPARE(dialogs->texts(), QStringList{SaveFailed});
    }

    void closingAsksWithNotes()
    {
        QSignalSpy closed(window.data(), &MelodyWindow::closed);
        key("pw4");
        dialogs->answerQuestion(false);
        QVERIFY(!window->close());
        QCOMPARE(dialogs->texts(), QStringList{EditorFrame::CloseQuestion});
        QVERIFY(window->isVisible());
        dialogs->answerQuestion(true);
        QVERIFY(window->close());
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(!window); // deleted on close
    }

    // Without a kit the read-back says so at once and the melody stays.
    // Every kind of change goes back with Ctrl+Z and comes again with
    // Ctrl+Y or Ctrl+Shift+Z, the controls showing each state; the menu
    // bar stays as specified.
    void undoAndRedoKeysWalkThroughEveryChange()
    {
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QStringList bar = [this] {
            QStringList texts;
            for (QAction *action : window->menuBar()->actions())
                texts << action->text();
            return texts;
        }();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("other(メロディ).koru"));
        {
            Melody other;
            other.addNote(QStringLiteral("21"), 0);
            other.setSpeed(MelodySpeed::Double);
            QVERIFY(other.save(file));
        }
        // The document and what the controls show of it.
        const auto state = [this] {
            QStringList shown = window->melody().fileLines();
            for (int slot = 0; slot < LedSlotCount; ++slot)
                shown << QString::number(child<QComboBox>(QStringLiteral("LED_Combo%1").arg(slot))->currentIndex());
            shown << QString::number(child<QRadioButton>("Linl_Radio0")->isChecked());
            for (int i = 1; i <= 3; ++i)
                shown << QString::number(child<QRadioButton>(QStringLiteral("radio_Speed%1").arg(i))->isChecked());
            shown << QString::number(window->anchors().size());
            return shown;
        };
        QList<QStringList> states{state()};
        const auto step = [&] {
            QVERIFY(state() != states.last());
            states << state();
        };
        key("pw9", 0);
        step();
        key("pB3", 2);
        step();
        rightClickNote(1);
        window->insertBeforeSelected();
        QTest::mouseClick(chooser->findChild<QWidget *>("pw4"), Qt::LeftButton, {}, QPoint(5, 5));
        step();
        rightClickNote(0);
        window->editSelected();
        QTest::mouseClick(chooser->findChild<QWidget *>("pw7"), Qt::LeftButton, {}, QPoint(5, 5));
        step();
        rightClickNote(2);
        menuAction(window->noteMenu(), QStringLiteral("二分音符"))->trigger();
        step();
        rightClickNote(1);
        menuAction(window->noteMenu(), QStringLiteral("音符を削除する"))->trigger();
        step();
        child<QComboBox>("LED_Combo3")->setCurrentIndex(5);
        step();
        child<QRadioButton>("Linl_Radio0")->click();
        step();
        child<QRadioButton>("Linl_Radio1")->click();
        step();
        child<QRadioButton>("radio_Speed3")->click();
        step();
        dialogs->answerFileName(file);
        window->frame()->openFile();
        step();
        dialogs->answerQuestion(true);
        window->frame()->clearDocument();
        step();
        child<QRadioButton>("radio_Len1")->click(); // the keyboard's length: no step
        QCOMPARE(state(), states.last());

        for (int i = states.size() - 2; i >= 0; --i) {
            QTest::keyClick(window->staffArea(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(state(), states.at(i));
        }
        QVERIFY(!window->history().canUndo());
        QVERIFY(child<QRadioButton>("radio_Len1")->isChecked()); // still the pupil's length
        for (int i = 1; i < states.size(); ++i) {
            QTest::keyClick(window->staffArea(), i % 2 ? Qt::Key_Y : Qt::Key_Z,
                            i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(state(), states.at(i));
        }
        // An undone clear leaves a document with notes to lose again.
        QTest::keyClick(window->staffArea(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(window->melody().count() > 0);

        // While the note chooser waits, its answer belongs to the note picked:
        // the keys do nothing.
        rightClickNote(0);
        window->editSelected();
        const QStringList waiting = state();
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state(), waiting);
        chooser->reject();

        QStringList after;
        for (QAction *action : window->menuBar()->actions())
            after << action->text();
        QCOMPARE(after, bar);
        QCOMPARE(messages(), QStringList{EditorFrame::ClearQuestion}); // undo and redo ask nothing
    }

    void readBackWithoutKit()
    {
        key("pw6");
        window->frame()->readBack();
        QVERIFY(!window->frame()->getDataPanel()->isVisible());
        QCOMPARE(window->melody().count(), 1);
        QCOMPARE(messages(), QStringList{NoKitMessage});
    }

    // While the kit is read the window stays: closing would leave half a melody.
    void closingWaitsForTheReadBack()
    {
        QVERIFY(rig->plugKit());
        key("pw6");
        dialogs->answerQuestion(true);
        window->frame()->readBack();
        QVERIFY(window->frame()->getDataPanel()->isVisible());
        QVERIFY(!window->close());
        QCOMPARE(messages().last(), EditorFrame::BusyClosingMessage);
        dialogs->expectMessage(MelodyReadBackFailedMessage); // the fake kit sends nothing
        rig->kit().clock.advance(KitCommands::ReadBackWaitMs);
        QVERIFY(!window->frame()->getDataPanel()->isVisible());
        QVERIFY(window);
    }

    void playingPanelIsDragged()
    {
        PlayingPanel *panel = window->frame()->playingPanel();
        panel->move(100, 100);
        panel->show();
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(panel, QPoint(60, 40));
        QCOMPARE(panel->pos(), QPoint(150, 130));
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(60, 40));
        QTest::mouseMove(panel, QPoint(20, 20));
        QCOMPARE(panel->pos(), QPoint(150, 130)); // released: no more dragging
        panel->hide();
    }

    // Every choice, caption and button fits its control at the program's
    // font: both tabs (each colour in every selector), both panels and the
    // insert/edit window.
    void noTextIsCutOff()
    {
        auto *tabs = child<QTabWidget>("Tabs");
        QStringList clipped;
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            clipped << test::ClippedTexts(window);
        }
        for (QWidget *panel : {static_cast<QWidget *>(window->frame()->playingPanel()), static_cast<QWidget *>(window->frame()->getDataPanel())}) {
            panel->show();
            clipped << test::ClippedTexts(panel);
            panel->hide();
        }
        NoteChooser &chooser = *this->chooser;
        chooser.ask(1, window);
        clipped << test::ClippedTexts(&chooser);
        chooser.reject();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
    }

    // The real loudspeaker (its module loaded on the first sound) never
    // blocks, with or without a sound card.
    void realOutputNeverHangs()
    {
        LoadedSound real;
        QVERIFY(!real.loaded()); // nothing loaded before the first sound
        const QString path = BuildKeySound(Key{12, false});
        QVERIFY(!path.isEmpty());
        const bool playing = real.play(path);
        QVERIFY2(real.loaded(), qPrintable(ModulePaths(QStringLiteral("koru-sound")).join(QLatin1Char('\n'))));
        QCOMPARE(real.isPlaying(), playing);
        real.play(path); // a new sound replaces the first
        real.stop();
        QVERIFY(!real.isPlaying()); // a hang would end the test at its time-out
    }
};

KORU_TEST_MAIN(TstMelodyWindow)
#include "tst_melodywindow.moc"
