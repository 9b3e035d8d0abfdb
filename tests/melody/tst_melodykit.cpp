// The melody window against a virtual kit: a tune composed in the window,
// F6, the kit's memory, F7 until the kit's FF, the stop button, and the
// read-back that rebuilds the tune. Skipped (77) without koru-kit.
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"

#include "editorrig.h"
#include "fakesound.h"
#include "link/devicelink.h"
#include "link/ui/kitcommands.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "tests/link/kitprocess.h"
#include "testutil.h"
#include "widgets/kitpanels.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace koru;
using namespace koru::melody;

class TstMelodyKit : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::KitProcess> kit;
    std::unique_ptr<DeviceLink> link;
    QStringList kitLines;

    // Lines the kit printed since the last call, waiting up to ms for one
    // that contains text (woken by the kit's output, not by a clock).
    bool waitForKitLine(const QString &text, int ms)
    {
        QDeadlineTimer deadline(ms);
        QSignalSpy output(&kit->process(), &QProcess::readyReadStandardOutput);
        for (;;) {
            while (kit->process().canReadLine()) {
                kitLines.append(QString::fromUtf8(kit->process().readLine()).trimmed());
                if (kitLines.last().contains(text))
                    return true;
            }
            if (deadline.hasExpired() || !output.wait(int(qMax<qint64>(1, deadline.remainingTime()))))
                return false;
        }
    }
    // Forgets what the kit printed so far. Each step before waited for the
    // kit's last line of what it caused, so nothing of it is still to come.
    void forgetKitLines()
    {
        while (kit->process().canReadLine())
            kit->process().readLine();
        kitLines.clear();
    }
    // The codes of the notes and rests the kit played, in order (lines
    // "<ms> note <code> <Hz> <ms>", "<ms> rest <code> <ms>").
    QStringList playedCodes() const
    {
        QStringList codes;
        for (const QString &line : kitLines) {
            const QString kind = line.section(' ', 1, 1);
            if (kind == "note" || kind == "rest")
                codes << line.section(' ', 2, 2);
        }
        return codes;
    }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        kit = std::make_unique<test::KitProcess>();
        QString why;
        QVERIFY2(kit->start(&why), qPrintable(why));
        link = kit->makeLink();
        QTRY_VERIFY_WITH_TIMEOUT(link->KitPresent(), 5000);
    }

    void cleanupTestCase()
    {
        link.reset();
        kit.reset();
    }

    void composeSendPlayStopReadBack()
    {
        test::ScriptedDialogs dialogs;
        test::EditorRig rig(*link);
        NoteChooser chooser;
        auto *window = new MelodyWindow(rig.context(), chooser, new test::FakeSound);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto child = [window](const char *name) { return window->findChild<QWidget *>(name); };
        // Quadruple speed keeps the kit's playing short.
        qobject_cast<QRadioButton *>(child("radio_Speed3"))->click();
        qobject_cast<QComboBox *>(child("LED_Combo0"))->setCurrentIndex(0);
        qobject_cast<QComboBox *>(child("LED_Combo12"))->setCurrentIndex(3);
        qobject_cast<QRadioButton *>(child("Linl_Radio0"))->click();
        const char *keys[] = {"pw7", "pB7", "pw148", "pw21", "pw0", "pB19"};
        for (int i = 0; i < 6; ++i) {
            qobject_cast<QRadioButton *>(child(qPrintable(QStringLiteral("radio_Len%1").arg(i % 4 + 1))))->click();
            QTest::mouseClick(child(keys[i]), Qt::LeftButton, {}, QPoint(5, 5));
        }
        const Melody composed = window->melody();
        QCOMPARE(composed.count(), 6);
        const QStringList codes = composed.deviceList();

        // F6: the kit stores the codes from address 128 on, then 250.
        QSignalSpy replies(link.get(), &DeviceLink::replyReceived);
        QApplication::setActiveWindow(window);
        QSignalSpy enabling(window->frame()->transferAction(), &QAction::enabledChanged);
        QTest::keyClick(window, Qt::Key_F6);
        QVERIFY(!enabling.isEmpty() && !enabling.first().first().toBool()); // disabled while sending
        QTRY_VERIFY_WITH_TIMEOUT(window->frame()->transferAction()->isEnabled(), 10000);
        QVERIFY(waitForKitLine("frame melody", 2000));

        replies.clear();
        QVERIFY(link->RequestMemory());
        QTRY_VERIFY_WITH_TIMEOUT(replies.size() >= 255, 15000);
        QStringList stored;
        for (int i = 0; i <= codes.size(); ++i)
            stored << QString::number(replies[128 + i].first().toString().trimmed().toInt(nullptr, 16));
        QCOMPARE(stored, codes + QStringList{"250"});

        // F7: the panel stays until the kit has played every note.
        forgetKitLines();
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_F7);
        QVERIFY(window->frame()->playingPanel()->isVisible());
        QVERIFY(!window->frame()->runAction()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window->frame()->playingPanel()->isVisible(), 10000);
        QVERIFY(window->frame()->runAction()->isEnabled() && window->frame()->transferAction()->isEnabled());
        QVERIFY(waitForKitLine("melody end", 2000));
        QVERIFY2(playedCodes() == codes.mid(16), qPrintable(kitLines.join(" | ")));

        // Again, stopped from the panel's button before the end.
        forgetKitLines();
        window->frame()->run();
        QVERIFY(waitForKitLine("note ", 3000));
        replies.clear();
        window->frame()->playingPanel()->stopButton()->click();
        QVERIFY(!window->frame()->playingPanel()->isVisible());
        QVERIFY(window->frame()->runAction()->isEnabled());
        QVERIFY(waitForKitLine("end stopped", 3000));
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 1, 3000); // the stopped run's FF, before the read-back asks
        QCOMPARE(replies.first().first().toString().trimmed(), QStringLiteral("FF"));

        // A colour the kit does not have, which the read-back replaces.
        qobject_cast<QComboBox *>(child("LED_Combo5"))->setCurrentIndex(2);

        // Read-back: asks, empties the window, rebuilds the same tune.
        dialogs.answerQuestion(true);
        window->frame()->readBack();
        QTRY_VERIFY_WITH_TIMEOUT(!window->frame()->getDataPanel()->isVisible() && window->melody().count() > 0, 15000);
        QCOMPARE(window->melody().notes(), composed.notes());
        QCOMPARE(window->melody().deviceList(), codes);
        QCOMPARE(qobject_cast<QComboBox *>(child("LED_Combo12"))->currentIndex(), 3);
        QVERIFY(qobject_cast<QRadioButton *>(child("radio_Speed3"))->isChecked());
        QCOMPARE(dialogs.texts(), QStringList{KitCommands::ReadBackQuestion});
        // Emptied and filled, it is one undo step back to the pupil's colour.
        QCOMPARE(window->melody().ledColour(5), composed.ledColour(5));
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window->melody().ledColour(5), 2);
        QCOMPARE(window->melody().notes(), composed.notes());
        QCOMPARE(qobject_cast<QComboBox *>(child("LED_Combo5"))->currentIndex(), 2);

        dialogs.answerQuestion(true);
        QVERIFY(window->close());
    }
};

KORU_TEST_ENTRY(TstMelodyKit)(int argc, char *argv[])
{
    if (!QFileInfo(QFileInfo(QString::fromLocal8Bit(argv[0])).dir().filePath(QStringLiteral("koru-kit"))).isExecutable())
        return 77; // no virtual kit in this build
    QApplication app(argc, argv);
    TstMelodyKit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_melodykit.moc"
