// The whole path from the STEP1 window to a virtual kit: the program built
// in the window, F6, the kit's memory read back, F7 and the kit's end reply.
// Skipped (77) when the virtual kit has not been built.
#include "icons/ui/iconwindow.h"
#include "widgets/kitpanels.h"

#include "editorrig.h"
#include "link/devicelink.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::icons;

namespace {
QString kitProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/koru-kit");
}
} // namespace

class TstIconKit : public QObject
{
    Q_OBJECT

    QProcess kit;
    QStringList kitLines;

    bool waitForKitLine(const QString &text, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            while (kit.canReadLine()) {
                kitLines.append(QString::fromUtf8(kit.readLine()).trimmed());
                if (kitLines.last().contains(text))
                    return true;
            }
            QTest::qWait(20);
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        kit.start(kitProgram(), {QStringLiteral("--headless")});
        QVERIFY(kit.waitForStarted(5000));
        QVERIFY(waitForKitLine(QStringLiteral("kit "), 5000));
    }

    void cleanupTestCase()
    {
        kit.closeWriteChannel();
        if (!kit.waitForFinished(3000))
            kit.kill();
    }

    void sendAndRun()
    {
        test::ScriptedDialogs dialogs;
        TimerPaceClock clock; // the kit runs in real time
        DeviceLink link(clock);
        test::EditorRig rig(link);
        QVERIFY(QTest::qWaitFor([&] { return link.isSettled(); }, 5000));
        QTRY_VERIFY_WITH_TIMEOUT(link.KitPresent(), 5000);

        auto *window = new IconWindow(rig.context());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->dropOnSlot(0, Beep);
        window->dropOnSlot(1, LoopStart);
        window->dropOnSlot(3, RedLed);
        window->dropOnSlot(4, LedOff);
        window->dropOnSlot(6, LoopEnd);
        const DeviceImage image = window->program().toImage();

        QStringList replies;
        connect(&link, &DeviceLink::replyReceived, this, [&](const QString &line) { replies.append(line); });
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_F6);
        QVERIFY(!window->frame()->transferAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window->frame()->transferAction()->isEnabled(), 5000); // the kit's FF
        QCOMPARE(replies, QStringList{"FF "});

        // The kit's memory holds the image and the frame end after it.
        replies.clear();
        QVERIFY(link.RequestMemory());
        QTRY_VERIFY_WITH_TIMEOUT(replies.size() > image.size(), 10000);
        DeviceImage memory;
        for (qsizetype i = 0; i <= image.size(); ++i)
            memory.append(replies[i].trimmed().toInt(nullptr, 16));
        QCOMPARE(memory, image + DeviceImage{250});
        // The rest of the memory arrives too, one reply for each address
        // 0-254 (empty cells read FF, which the window takes as "ready" like
        // any FF).
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 255, 10000);

        // The offscreen platform activates every window it shows, the
        // progress window included; a real display leaves the editor active.
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_F7);
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window->frame()->playingPanel()->isVisible(), 10000);
        QVERIFY(window->frame()->runAction()->isEnabled());
        QVERIFY(window->frame()->transferAction()->isEnabled());
        QVERIFY(dialogs.shown().isEmpty());
        QVERIFY(waitForKitLine(QStringLiteral("reply FF"), 2000));

        dialogs.answerQuestion(true);
        QVERIFY(window->close());
    }
};

KORU_TEST_ENTRY(TstIconKit)(int argc, char *argv[])
{
    if (!QFileInfo(QFileInfo(QString::fromLocal8Bit(argv[0])).dir().filePath(QStringLiteral("koru-kit"))).isExecutable())
        return 77; // no virtual kit in this build
    // A private folder where this test and its kit find each other.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    TstIconKit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_iconkit.moc"
