// The whole path from the STEP3 window to a virtual kit: a program typed in
// the window, F6, the kit's memory read back, F7 and the kit's end reply.
// Skipped (77) when the virtual kit has not been built.
#include "text/ui/textwindow.h"
#include "widgets/kitpanels.h"

#include "editorrig.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "tests/link/kitprocess.h"
#include "testutil.h"
#include "widgets/sourceeditor.h"

#include <QAction>
#include <QApplication>
#include <QTest>

using namespace koru;
using namespace koru::text;

constexpr qsizetype MemoryReplies = 255; // one per address 0-254

class TstTextKit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void typeSendAndRun()
    {
        test::KitProcess kit;
        QString why;
        QVERIFY2(kit.start(&why), qPrintable(why));
        test::ScriptedDialogs dialogs;
        const std::unique_ptr<DeviceLink> link = kit.makeLink();
        test::EditorRig rig(*link);
        QTRY_VERIFY_WITH_TIMEOUT(link->KitPresent(), 5000);

        auto *window = new TextWindow(rig.context());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QApplication::setActiveWindow(window);
        window->editor()->setFocus();
        const QStringList program{"// blink twice", "loopstart(2);", "ledon(0,0,255,0.5);", "timer(1);",
                                  "loopend();", "if(sw=off){", "beep1();", "}"};
        for (qsizetype i = 0; i < program.size(); ++i) {
            if (i > 0)
                QTest::keyClick(window->editor(), Qt::Key_Return);
            QTest::keyClicks(window->editor(), program[i]);
        }
        QCOMPARE(window->editor()->lines(), program);
        const TextImage image = window->language()->toBytes(program);
        QVERIFY(image.sendable());

        QStringList replies;
        connect(link.get(), &DeviceLink::replyReceived, this, [&](const QString &line) { replies.append(line); });
        QTest::keyClick(window, Qt::Key_F6);
        QVERIFY(!window->frame()->transferAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window->frame()->transferAction()->isEnabled(), 10000); // the kit's FF
        QCOMPARE(replies, QStringList{"FF "});

        // The kit's memory holds exactly the image, then the frame end.
        replies.clear();
        QVERIFY(link->RequestMemory());
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), MemoryReplies, 10000);
        DeviceImage memory;
        for (qsizetype i = 0; i <= image.image.size(); ++i)
            memory.append(replies[i].trimmed().toInt(nullptr, 16));
        QCOMPARE(memory, image.image + DeviceImage{250});

        // The offscreen platform activates the progress window it showed.
        QApplication::setActiveWindow(window);
        replies.clear();
        QTest::keyClick(window, Qt::Key_F7);
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window->frame()->playingPanel()->isVisible(), 15000);
        QVERIFY(window->frame()->runAction()->isEnabled() && window->frame()->transferAction()->isEnabled());
        QCOMPARE(replies, QStringList{"FF "});
        QVERIFY2(dialogs.shown().isEmpty(), qPrintable(dialogs.texts().join('|')));

        dialogs.answerQuestion(true);
        QVERIFY(window->close());
    }
};

KORU_TEST_ENTRY(TstTextKit)(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!test::KitProcess::available())
        return 77; // no virtual kit in this build
    TstTextKit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textkit.moc"
