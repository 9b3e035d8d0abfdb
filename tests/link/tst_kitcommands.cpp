// The editors' command sequences with the kit, against a scripted kit: which
// controls are enabled, which panel and progress window show, what is sent,
// and what the pupil is told when the kit is missing or goes away.
#include "link/kitlock.h"
#include "link/ui/kitcommands.h"
#include "link/ui/transferwindow.h"
#include "linkrig.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "widgets/placement.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

using namespace koru;
using koru::test::LinkRig;
using koru::test::ScriptedDialogs;

namespace {

// An editor window with its two commands and its panels.
struct Editor
{
    QWidget window;
    QWidget *playing = new QWidget(&window);
    QWidget *getData = new QWidget(&window);
    bool commandsEnabled = true;
    int commandChanges = 0;

    Editor()
    {
        window.setGeometry(100, 60, 801, 600);
        playing->resize(300, 100);
        getData->resize(301, 101);
        playing->hide();
        getData->hide();
        window.show();
    }

    KitControls controls()
    {
        return {&window,
                [this](bool on) {
                    commandsEnabled = on;
                    ++commandChanges;
                },
                playing, getData};
    }
};

} // namespace

class TestKitCommands : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LinkRig> rig;
    std::unique_ptr<TransferWindow> progress; // following rig's link

private slots:
    void init()
    {
        rig = std::make_unique<LinkRig>();
        progress = std::make_unique<TransferWindow>(*rig->link);
        QVERIFY(rig->settle());
    }
    void cleanup()
    {
        progress.reset();
        rig.reset();
    }

    void centring_data()
    {
        QTest::addColumn<QRect>("editor");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("halves go to even") << QRect(100, 50, 800, 600) << QPoint(100 + 264, 50 + 284);
        QTest::newRow("exact") << QRect(0, 0, 801, 101) << QPoint(264, 34);
        QTest::newRow("editor smaller than window") << QRect(10, 10, 100, 20) << QPoint(10 - 86, 10 - 6);
    }
    void centring()
    {
        QFETCH(QRect, editor);
        QFETCH(QPoint, topLeft);
        QCOMPARE(CentredOver(editor, QSize(TransferWindow::Width, TransferWindow::Height)), topLeft);
    }

    void transferShowsProgressAndWaitsForReady()
    {
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands commands(ReplyRole::Flowchart, rig->context(), progress.get(), editor.controls());
        TransferWindow &window = *progress;
        QCOMPARE(window.size(), QSize(273, 33));
        QList<int> barValues;
        bool shownWhileSending = false;
        connect(rig->link.get(), &DeviceLink::transferProgress, this, [&] {
            barValues.append(window.progressBar()->value());
            shownWhileSending = window.isVisible();
        });
        QSignalSpy sent(&commands, &KitCommands::transferFinished);
        QVERIFY(commands.transfer({230, 2, 231}));
        QVERIFY(commands.sending());
        rig->clock.runUntilIdle();
        QCOMPARE(rig->fake->writtenValues("kit"), (QList<int>{240, 230, 2, 231, 250}));
        QCOMPARE(barValues, (QList<int>{0, 20, 40, 60, 80, 100}));
        QVERIFY(shownWhileSending);
        QVERIFY(!window.isVisible());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0][0].toBool(), true);
        QVERIFY(!commands.sending());
        QCOMPARE(window.pos(), CentredOver(editor.window.frameGeometry(), window.size()));
        // Disabled until the kit says it is ready.
        QVERIFY(!editor.commandsEnabled);
        QVERIFY(commands.waitingForKit());
        rig->fake->inject("kit", QByteArray("\x00\xFF", 2));
        QTRY_VERIFY(editor.commandsEnabled);
        QVERIFY(!commands.waitingForKit());
    }

    void melodyFrame()
    {
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands commands(ReplyRole::Melody, rig->context(), progress.get(), editor.controls());
        QVERIFY(commands.transfer({1}, kit::MelodyFrame));
        rig->clock.runUntilIdle();
        QCOMPARE(rig->fake->writtenValues("kit"), (QList<int>{242, 1, 250}));
        QVERIFY(commands.run());
        QCOMPARE(rig->fake->writtenValues("kit").last(), 243);
    }

    void emptyImageSendsNothing()
    {
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands commands(ReplyRole::Icon, rig->context(), progress.get(), editor.controls());
        QVERIFY(!commands.transfer({}));
        QCOMPARE(rig->fake->writes("kit").size(), 0);
        QCOMPARE(editor.commandChanges, 0);
    }

    void withoutKitWarnsAndGivesCommandsBack_data()
    {
        QTest::addColumn<bool>("transfer");
        QTest::newRow("transfer") << true;
        QTest::newRow("run") << false;
    }
    void withoutKitWarnsAndGivesCommandsBack()
    {
        QFETCH(bool, transfer);
        ScriptedDialogs dialogs;
        Editor editor;
        KitCommands commands(ReplyRole::Icon, rig->context(), progress.get(), editor.controls());
        QVERIFY(!(transfer ? commands.transfer({230, 231}) : commands.run()));
        QCOMPARE(dialogs.texts(), QStringList{NoKitMessage});
        QVERIFY(editor.commandsEnabled);
        QVERIFY(!editor.playing->isVisible());
        QVERIFY(!progress->isVisible());
        QVERIFY(!commands.waitingForKit());
    }

    void unplugMidTransferGivesCommandsBack()
    {
        ScriptedDialogs dialogs;
        QVERIFY(rig->plugKit());
        rig->fake->unplugAfterWrites("kit", 2);
        Editor editor;
        KitCommands commands(ReplyRole::Text, rig->context(), progress.get(), editor.controls());
        QSignalSpy sent(&commands, &KitCommands::transferFinished);
        QVERIFY(commands.transfer(DeviceImage(100, 5)));
        rig->clock.step();
        QVERIFY(sent.wait(2000)); // the loss ends it, with the clock standing still
        QCOMPARE(sent[0][0].toBool(), false);
        rig->clock.runUntilIdle();
        QCOMPARE(rig->fake->writtenValues("kit").size(), 2);
        QCOMPARE(dialogs.texts(), QStringList{NoKitMessage});
        QVERIFY(editor.commandsEnabled);
        QVERIFY(!commands.waitingForKit());
        QVERIFY(!progress->isVisible());
    }

    void runShowsPlayingPanelUntilReady()
    {
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands commands(ReplyRole::Icon, rig->context(), progress.get(), editor.controls());
        QSignalSpy finished(&commands, &KitCommands::kitFinished);
        QVERIFY(commands.run());
        QCOMPARE(rig->fake->writtenValues("kit"), QList<int>{241});
        QVERIFY(editor.playing->isVisible());
        QCOMPARE(editor.playing->pos(), QPoint(250, 250)); // (801-300)/2 = 250.5 -> 250
        QVERIFY(!editor.commandsEnabled);
        // A reply that is not FF changes nothing.
        rig->fake->inject("kit", QByteArray("\x00\x01", 2));
        rig->fake->inject("kit", QByteArray("\x00\xFF", 2));
        QVERIFY(finished.wait(2000));
        QVERIFY(!editor.playing->isVisible());
        QVERIFY(editor.commandsEnabled);
        QCOMPARE(finished.size(), 1);
    }

    void stopGivesCommandsBackAtOnce()
    {
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands commands(ReplyRole::Text, rig->context(), progress.get(), editor.controls());
        QVERIFY(commands.run());
        QVERIFY(commands.stop());
        QVERIFY(editor.commandsEnabled);
        QVERIFY(!editor.playing->isVisible());
        rig->clock.runUntilIdle(); // the stop follows the run's pause
        QCOMPARE(rig->fake->writtenValues("kit"), (QList<int>{241, 246}));
    }

    void kitPulledWhileRunningGivesCommandsBack()
    {
        ScriptedDialogs dialogs;
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands commands(ReplyRole::Icon, rig->context(), progress.get(), editor.controls());
        QVERIFY(commands.run());
        rig->fake->unplug("kit");
        QTRY_VERIFY(editor.commandsEnabled);
        QVERIFY(!editor.playing->isVisible());
        QCOMPARE(dialogs.texts(), QStringList{NoKitMessage}); // the pupil learns why it stopped
    }

    void readBackCollectsEveryReply()
    {
        ScriptedDialogs dialogs;
        QVERIFY(rig->plugKit());
        rig->fake->setResponder("kit", [](const QByteArray &report) {
            if (quint8(report[1]) != kit::SendMemory)
                return QList<QByteArray>{};
            return QList<QByteArray>{QByteArray("\x00\xE6", 2), QByteArray("\x00\x02", 2), QByteArray("\x00\xFF", 2)};
        });
        Editor editor;
        KitCommands commands(ReplyRole::Flowchart, rig->context(), progress.get(), editor.controls());
        bool discarded = false;
        bool panelShownWhileDecoding = false;
        QStringList decoded;
        // No: nothing happens.
        dialogs.answerQuestion(false);
        QVERIFY(!commands.readBack([&] { discarded = true; }, [&](const QStringList &) {}));
        QVERIFY(!discarded);
        QCOMPARE(rig->fake->writes("kit").size(), 0);
        // Yes: the FF among the memory bytes is collected, not taken as ready,
        // and decoding waits the full five seconds.
        dialogs.answerQuestion(true);
        QSignalSpy finished(&commands, &KitCommands::readBackFinished);
        bool decodeCalled = false;
        QVERIFY(commands.readBack([&] { discarded = true; },
                                  [&](const QStringList &lines) {
                                      decodeCalled = true;
                                      decoded = lines;
                                      panelShownWhileDecoding = editor.getData->isVisible();
                                  }));
        QVERIFY(discarded);
        QVERIFY(editor.getData->isVisible());
        QVERIFY(commands.readingBack());
        QTRY_COMPARE(commands.replies().size(), 3);
        rig->clock.advance(KitCommands::ReadBackWaitMs - 1);
        QVERIFY(!decodeCalled);
        rig->clock.advance(1);
        QVERIFY(decodeCalled);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(decoded, (QStringList{"E6 ", "02 ", "FF "}));
        QVERIFY(panelShownWhileDecoding);
        QVERIFY(!editor.getData->isVisible());
        QVERIFY(!commands.readingBack());
        QCOMPARE(editor.commandChanges, 0);
        QCOMPARE(dialogs.texts(), (QStringList{KitCommands::ReadBackQuestion, KitCommands::ReadBackQuestion}));
        // Yes replaces the document: Enter must not.
        QVERIFY(dialogs.shown().value(0).defaultNo);
    }

    // Another process keeps the kit: the transfer, the run and the
    // read-back each say so once they give up, and the commands come back;
    // nothing is decoded from replies that never answered the request.
    void kitBusyElsewhere()
    {
        ScriptedDialogs dialogs;
        QVERIFY(rig->plugKit());
        KitLock other;
        QVERIFY(other.tryLock(rig->fake->lockId(FakeHidBackend::kitInfo("kit"))));
        Editor editor;
        KitCommands commands(ReplyRole::Flowchart, rig->context(), progress.get(), editor.controls());

        QVERIFY(commands.transfer({230, 2, 231}, kit::ProgramFrame));
        rig->clock.advance(DeviceLink::KitBusyWaitMs);
        QCOMPARE(dialogs.texts(), QStringList{KitBusyMessage});
        QVERIFY(editor.commandsEnabled);

        QVERIFY(commands.run());
        rig->clock.advance(DeviceLink::KitBusyWaitMs);
        QCOMPARE(dialogs.lastText(), KitBusyMessage);
        QVERIFY(editor.commandsEnabled);
        QVERIFY(!editor.playing->isVisible());

        dialogs.answerQuestion(true);
        bool decodeCalled = false;
        QVERIFY(commands.readBack({}, [&](const QStringList &) { decodeCalled = true; }));
        rig->fake->inject("kit", QByteArray("\x00\xFF", 2)); // the other sender's FF
        rig->clock.runUntilIdle();
        QVERIFY(!decodeCalled);
        QCOMPARE(dialogs.texts(), (QStringList{KitBusyMessage, KitBusyMessage, KitCommands::ReadBackQuestion, KitBusyMessage}));
        QVERIFY(!editor.getData->isVisible());
        QVERIFY(rig->fake->writtenValues("kit").isEmpty());
    }

    // A kit that floods adds nothing after its memory's count.
    void readBackKeepsTheMemorysCount()
    {
        ScriptedDialogs dialogs;
        QVERIFY(rig->plugKit());
        rig->fake->setResponder("kit", [](const QByteArray &report) {
            if (quint8(report[1]) != kit::SendMemory)
                return QList<QByteArray>{};
            return QList<QByteArray>(3 * kit::MemoryReplies, QByteArray("\x00\x07", 2));
        });
        Editor editor;
        KitCommands commands(ReplyRole::Flowchart, rig->context(), progress.get(), editor.controls());
        dialogs.answerQuestion(true);
        QStringList decoded;
        QVERIFY(commands.readBack({}, [&](const QStringList &lines) { decoded = lines; }));
        QTRY_COMPARE(commands.replies().size(), kit::MemoryReplies);
        rig->clock.runUntilIdle();
        QCOMPARE(decoded.size(), kit::MemoryReplies);
        dialogs.clear();
    }

    void readBackWithoutKit()
    {
        // Nothing is asked or discarded, for every editor: the document stays.
        for (const ReplyRole role : {ReplyRole::Flowchart, ReplyRole::Melody}) {
            ScriptedDialogs dialogs;
            Editor editor;
            KitCommands commands(role, rig->context(), progress.get(), editor.controls());
            bool discarded = false;
            bool decodeCalled = false;
            QVERIFY(!commands.readBack([&] { discarded = true; }, [&](const QStringList &) { decodeCalled = true; }));
            QVERIFY(!discarded);
            QVERIFY(!decodeCalled);
            QCOMPARE(dialogs.texts(), QStringList{NoKitMessage});
            QVERIFY(!editor.getData->isVisible());
            QCOMPARE(rig->clock.pending(), 0);
        }
    }

    void measurementWindowTakesPrecedence()
    {
        // With a measurement receiver present (never alongside an editor in
        // the program, but the order is fixed) it gets the reply.
        QVERIFY(rig->plugKit());
        Editor editor;
        KitCommands icon(ReplyRole::Icon, rig->context(), progress.get(), editor.controls());
        Editor other;
        KitCommands measurement(ReplyRole::Measurement, rig->context(), progress.get(), other.controls());
        QVERIFY(icon.run());
        rig->fake->inject("kit", QByteArray("\x00\xFF", 2));
        QTRY_COMPARE(other.commandChanges, 1);
        QVERIFY(!editor.commandsEnabled);
    }

    // Two kits in one process: each editor's commands go to its own kit,
    // and only its own kit's replies reach it. An editor handed no transfer
    // window shows none.
    void eachKitAnswersOnlyItsOwnEditor()
    {
        LinkRig otherRig;
        QVERIFY(rig->plugKit());
        QVERIFY(otherRig.plugKit());
        Editor editor;
        Editor other;
        KitCommands commands(ReplyRole::Icon, rig->context(), progress.get(), editor.controls());
        KitCommands otherCommands(ReplyRole::Icon, otherRig.context(), nullptr, other.controls());
        QVERIFY(otherCommands.transfer({230, 2, 231}));
        QVERIFY(!progress->isVisible());
        QVERIFY(commands.run());
        otherRig.clock.runUntilIdle();
        rig->clock.runUntilIdle();
        QCOMPARE(rig->fake->writtenValues("kit"), QList<int>{241});
        QCOMPARE(otherRig.fake->writtenValues("kit"), (QList<int>{240, 230, 2, 231, 250}));

        otherRig.fake->inject("kit", QByteArray("\x00\xFF", 2));
        QTRY_VERIFY(other.commandsEnabled);
        QVERIFY(!editor.commandsEnabled);
        QVERIFY(editor.playing->isVisible());
        rig->fake->inject("kit", QByteArray("\x00\xFF", 2));
        QTRY_VERIFY(editor.commandsEnabled);
        QVERIFY(!editor.playing->isVisible());
    }
};

KORU_TEST_MAIN(TestKitCommands)
#include "tst_kitcommands.moc"
