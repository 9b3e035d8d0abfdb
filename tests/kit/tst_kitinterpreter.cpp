// The kit's interpreter over a manual clock: timing of holds, LED and fades,
// loops, branches, subroutines, waits and the ends of a run.
#include "kittestutil.h"
#include "testmain.h"

#include <QTest>

using namespace koru;
using namespace koru::kit;
using namespace koru::kit::test;

class TestKitInterpreter : public QObject
{
    Q_OBJECT

private slots:
    void timerHoldsItsSeconds();
    void ledShowsColourForItsTime();
    void ledWithoutTimeStaysUntilCleared();
    void fadeInStepsToLitLevel();
    void loopRunsItsBody_data();
    void loopRunsItsBody();
    void branchTakesPath_data();
    void branchTakesPath();
    void variableKeepsMeasuredValue();
    void branchOnVariable_data();
    void branchOnVariable();
    void subroutineReturnsAfterCall();
    void waitReleasedOnlyByItsSensor_data();
    void waitReleasedOnlyByItsSensor();
    void previewWaitsNeedTheirButton();
    void runEndsOnMissingMemory_data();
    void runEndsOnMissingMemory();
    void endlessLoopKeepsTimeMoving();
    void stopInterruptsOnKitButNotInPreview();
    void backlightReturnsToLinkState();
    void melodyPlaysNotesWithLinkedLed();
    void experimentBoardRunsForItsSeconds();
};

// start at 0; timer 3 s at 2; end at 5.
void TestKitInterpreter::timerHoldsItsSeconds()
{
    Rig rig;
    rig.start({230, 2, 160, 3, 5, 231});
    QCOMPARE(rig.interpreter.state(), RunState::Holding);
    rig.runFor(2999);
    QVERIFY(rig.interpreter.running());
    rig.runFor(1);
    QCOMPARE(rig.recorder.lines(), QStringList({"0 run program", "0 hold 3000ms", "3000 end"}));
    QVERIFY(!rig.interpreter.running());
}

// Red (level 63) for T = 4, then end: the glow at 150 for one second.
void TestKitInterpreter::ledShowsColourForItsTime()
{
    Rig rig;
    rig.start({230, 2, 126, 0, 4, 6, 231});
    rig.runFor(5000);
    QCOMPARE(rig.recorder.lines(), QStringList({"0 run program", "0 led 255 0 0 level 150", "0 hold 1000ms",
                                                 "1000 led off", "1000 end"}));
}

// T = 0 moves on at once; the colour stays until a timer clears it.
void TestKitInterpreter::ledWithoutTimeStaysUntilCleared()
{
    Rig rig;
    // 2: blue (level 63, T 0); 6: green T 0; 10: timer 2 s; 13: end
    rig.start({230, 2, 0, 7, 224, 6, 1, 248, 0, 10, 160, 2, 13, 231});
    rig.runFor(5000);
    QCOMPARE(rig.recorder.lines(),
             QStringList({"0 run program", "0 led 0 0 255 level 150", "0 led 0 255 0 level 150", "0 led off",
                          "0 hold 2000ms", "2000 end"}));
}

// Fade in with the stored fade time 11: 22 steps of round(11 * 250 / 21) =
// 131 ms from invisible down to the lit level, then one second.
void TestKitInterpreter::fadeInStepsToLitLevel()
{
    Rig rig;
    rig.start({230, 2, 131, 1, 248, 11, 7, 231});
    rig.runFor(10000);
    QList<int> levels;
    for (const Effect &e : rig.recorder.ofKind(EffectKind::Led))
        levels.append(e.d);
    QCOMPARE(levels.size(), 22);
    QCOMPARE(levels.first(), 255);
    QCOMPARE(levels.last(), 150);
    for (qsizetype i = 1; i < levels.size(); ++i)
        QCOMPARE(levels[i], levels[i - 1] - 5);
    const Effect lastStep = rig.recorder.ofKind(EffectKind::Led).last();
    QCOMPARE(lastStep.atMs, 21 * 131);
    QCOMPARE(rig.recorder.ofKind(EffectKind::Ended).first().atMs, 22 * 131 + 1000);
}

void TestKitInterpreter::loopRunsItsBody_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("runs");
    QTest::newRow("0 runs once") << 0 << 1;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("255") << 255 << 255;
}

// 2: loop start (count) body at 5; 5: beep 1; 7: loop end; 9: end.
void TestKitInterpreter::loopRunsItsBody()
{
    QFETCH(int, count);
    QFETCH(int, runs);
    Rig rig;
    rig.start({230, 2, 200, count, 5, 153, 7, 201, 9, 231});
    rig.runFor(runs * 1000 + 1000);
    QCOMPARE(rig.recorder.ofKind(EffectKind::Beep).size(), runs);
    QCOMPARE(rig.recorder.ofKind(EffectKind::Ended).size(), 1);
}

void TestKitInterpreter::branchTakesPath_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<World>("world");
    QTest::addColumn<bool>("holds");
    const World at25{false, true, 25, 50};
    QTest::newRow("184 25 > 25") << 184 << at25 << false;
    QTest::newRow("184 26 > 25") << 184 << World{false, true, 26, 50} << true;
    QTest::newRow("185 25 <= 25") << 185 << at25 << true;
    QTest::newRow("185 26 <= 25") << 185 << World{false, true, 26, 50} << false;
    QTest::newRow("186 25 = 25") << 186 << at25 << true;
    QTest::newRow("186 24 = 25") << 186 << World{false, true, 24, 50} << false;
    QTest::newRow("190 humidity 26 > 25") << 190 << World{false, true, 0, 26} << true;
    QTest::newRow("191 humidity 25 <= 25") << 191 << World{false, true, 0, 25} << true;
    QTest::newRow("192 humidity 50 = 25") << 192 << at25 << false;
    QTest::newRow("180 switch pressed") << 180 << World{true, true, 25, 50} << true;
    QTest::newRow("180 switch released") << 180 << at25 << false;
    QTest::newRow("181 switch released") << 181 << at25 << true;
    QTest::newRow("182 bright") << 182 << at25 << true;
    QTest::newRow("183 bright") << 183 << at25 << false;
    QTest::newRow("183 dark") << 183 << World{false, false, 25, 50} << true;
}

// 2: the branch (set value 25 where it takes one); yes -> beep 1, no -> beep 2.
void TestKitInterpreter::branchTakesPath()
{
    QFETCH(int, opcode);
    QFETCH(World, world);
    QFETCH(bool, holds);
    const bool withSetValue = (opcode >= 184 && opcode <= 186) || (opcode >= 190 && opcode <= 192);
    DeviceImage image{230, 2, opcode};
    if (withSetValue)
        image.append(25);
    const int yes = int(image.size()) + 2;
    image.append({yes, yes + 2, 153, yes + 4, 154, yes + 4, 231});
    Rig rig;
    rig.interpreter.setWorld(world);
    rig.start(image);
    rig.runFor(5000);
    const QList<Effect> beeps = rig.recorder.ofKind(EffectKind::Beep);
    QCOMPARE(beeps.size(), 1);
    QCOMPARE(beeps.first().a, holds ? 1 : 2);
}

// x measured before a wait keeps its value after it; 187 compares the
// temperature now with x.
void TestKitInterpreter::variableKeepsMeasuredValue()
{
    Rig rig;
    rig.interpreter.setTemperature(20);
    // 2: x := temperature; 4: wait for the switch; 6: temperature > x ? 9 : 11
    rig.start({230, 2, 210, 4, 171, 6, 187, 9, 11, 153, 13, 154, 13, 231});
    QCOMPARE(rig.interpreter.pendingWait(), WaitKind::Switch);
    rig.interpreter.setTemperature(22);
    rig.interpreter.setSwitch(true);
    rig.runFor(2000);
    QCOMPARE(rig.interpreter.variableX(), 20);
    QCOMPARE(rig.recorder.ofKind(EffectKind::Beep).first().a, 1);
}

void TestKitInterpreter::branchOnVariable_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("measured");
    QTest::addColumn<int>("now");
    QTest::addColumn<bool>("holds");
    QTest::newRow("187 22 > x 20") << 187 << 20 << 22 << true;
    QTest::newRow("187 20 > x 20") << 187 << 20 << 20 << false;
    QTest::newRow("188 20 <= x 20") << 188 << 20 << 20 << true;
    QTest::newRow("188 21 <= x 20") << 188 << 20 << 21 << false;
    QTest::newRow("189 19 = x 20") << 189 << 20 << 19 << false;
    QTest::newRow("193 60 > y 50") << 193 << 50 << 60 << true;
    QTest::newRow("194 50 <= y 50") << 194 << 50 << 50 << true;
    QTest::newRow("195 49 = y 50") << 195 << 50 << 49 << false;
    QTest::newRow("195 50 = y 50") << 195 << 50 << 50 << true;
}

// x and y are measured, the world changes during a wait, then the branch
// compares the value now with the variable.
void TestKitInterpreter::branchOnVariable()
{
    QFETCH(int, opcode);
    QFETCH(int, measured);
    QFETCH(int, now);
    QFETCH(bool, holds);
    const bool humidity = opcode >= 193;
    Rig rig;
    rig.interpreter.setWorld({false, true, measured, measured});
    // 2: x :=; 4: y :=; 6: wait for the switch; 8: branch -> 11 / 13
    rig.start({230, 2, 210, 4, 211, 6, 171, 8, opcode, 11, 13, 153, 15, 154, 15, 231});
    if (humidity)
        rig.interpreter.setHumidity(now);
    else
        rig.interpreter.setTemperature(now);
    rig.interpreter.setSwitch(true);
    rig.runFor(2000);
    QCOMPARE(rig.recorder.ofKind(EffectKind::Beep).first().a, holds ? 1 : 2);
}

// 2: call the subroutine at 8, continue at 5 (beep 2), end at 7; the
// subroutine beeps once and returns with 206.
void TestKitInterpreter::subroutineReturnsAfterCall()
{
    Rig rig;
    rig.start({230, 2, 205, 8, 5, 154, 7, 231, 230, 10, 153, 12, 206});
    rig.runFor(5000);
    const QList<Effect> beeps = rig.recorder.ofKind(EffectKind::Beep);
    QCOMPARE(beeps.size(), 2);
    QCOMPARE(beeps[0].a, 1);
    QCOMPARE(beeps[1].a, 2);
    QCOMPARE(rig.recorder.ofKind(EffectKind::Ended).first().a, int(EndReason::Finished));

    // A subroutine end reached without a call ends the run.
    Rig alone;
    alone.start({230, 2, 206});
    QVERIFY(!alone.interpreter.running());
}

enum class Poke { Sound, SwitchOn, SwitchOff, Bright, Dark, Temperature, Humidity };
using Pokes = QList<QPair<Poke, int>>;

static void apply(Interpreter &interpreter, const QPair<Poke, int> &poke)
{
    switch (poke.first) {
    case Poke::Sound: interpreter.hearSound(); break;
    case Poke::SwitchOn: interpreter.setSwitch(true); break;
    case Poke::SwitchOff: interpreter.setSwitch(false); break;
    case Poke::Bright: interpreter.setBright(true); break;
    case Poke::Dark: interpreter.setBright(false); break;
    case Poke::Temperature: interpreter.setTemperature(poke.second); break;
    case Poke::Humidity: interpreter.setHumidity(poke.second); break;
    }
}

void TestKitInterpreter::waitReleasedOnlyByItsSensor_data()
{
    QTest::addColumn<DeviceImage>("wait");
    QTest::addColumn<World>("world");
    QTest::addColumn<Pokes>("wrong");
    QTest::addColumn<Pokes>("right");
    const World start{false, true, 25, 50};
    const Pokes others{{Poke::Sound, 0}, {Poke::SwitchOn, 0}, {Poke::SwitchOff, 0}, {Poke::Temperature, 30},
                       {Poke::Humidity, 80}, {Poke::Temperature, 25}, {Poke::Humidity, 50}};
    QTest::newRow("sound") << DeviceImage{170} << start
                           << Pokes{{Poke::SwitchOn, 0}, {Poke::Dark, 0}, {Poke::Bright, 0}, {Poke::Temperature, 40}}
                           << Pokes{{Poke::Sound, 0}};
    QTest::newRow("switch") << DeviceImage{171} << start
                            << Pokes{{Poke::Sound, 0}, {Poke::Dark, 0}, {Poke::Bright, 0}, {Poke::Humidity, 0}}
                            << Pokes{{Poke::SwitchOn, 0}};
    QTest::newRow("bright") << DeviceImage{172} << World{false, false, 25, 50}
                            << Pokes{{Poke::Sound, 0}, {Poke::SwitchOn, 0}, {Poke::Temperature, 40}}
                            << Pokes{{Poke::Bright, 0}};
    QTest::newRow("dark") << DeviceImage{173} << start << others << Pokes{{Poke::Dark, 0}};
    // Temperature 30 set, 25 now: nearer is not enough, passing it is.
    QTest::newRow("temperature passes 30")
        << DeviceImage{174, 30} << start
        << Pokes{{Poke::Sound, 0}, {Poke::SwitchOn, 0}, {Poke::Humidity, 30}, {Poke::Temperature, 29}}
        << Pokes{{Poke::Temperature, 33}};
    QTest::newRow("temperature falls to 20")
        << DeviceImage{174, 20} << start << Pokes{{Poke::Temperature, 21}, {Poke::Humidity, 20}}
        << Pokes{{Poke::Temperature, 20}};
    QTest::newRow("humidity rises to 60")
        << DeviceImage{175, 60} << start << Pokes{{Poke::Temperature, 60}, {Poke::Humidity, 59}, {Poke::Dark, 0}}
        << Pokes{{Poke::Humidity, 60}};
}

void TestKitInterpreter::waitReleasedOnlyByItsSensor()
{
    QFETCH(DeviceImage, wait);
    QFETCH(World, world);
    QFETCH(Pokes, wrong);
    QFETCH(Pokes, right);
    DeviceImage image{230, 2};
    image.append(wait);
    image.append({int(image.size()) + 1, 231});
    Rig rig;
    rig.interpreter.setWorld(world);
    rig.start(image);
    QCOMPARE(rig.interpreter.state(), RunState::Waiting);
    for (const auto &poke : wrong) {
        apply(rig.interpreter, poke);
        rig.runFor(100);
        QVERIFY2(rig.interpreter.state() == RunState::Waiting, "released by the wrong sensor");
    }
    for (const auto &poke : right)
        apply(rig.interpreter, poke);
    rig.runFor(100);
    QVERIFY(!rig.interpreter.running());
    QCOMPARE(rig.recorder.ofKind(EffectKind::Released).size(), 1);
}

// In the preview only the matching wait button continues, whatever the
// sensors and sliders say.
void TestKitInterpreter::previewWaitsNeedTheirButton()
{
    Rig rig(Profile::preview());
    rig.start({230, 2, 171, 4, 174, 30, 7, 231});
    rig.interpreter.setSwitch(true);
    rig.runFor(100);
    QCOMPARE(rig.interpreter.pendingWait(), WaitKind::Switch);
    QVERIFY(!rig.interpreter.pressWaitButton(WaitKind::Bright));
    QVERIFY(rig.interpreter.pressWaitButton(WaitKind::Switch));
    rig.runFor(100);
    QCOMPARE(rig.interpreter.pendingWait(), WaitKind::Temperature);
    rig.interpreter.setTemperature(30);
    rig.runFor(100);
    QCOMPARE(rig.interpreter.pendingWait(), WaitKind::Temperature);
    QVERIFY(rig.interpreter.pressWaitButton(WaitKind::Temperature));
    rig.runFor(100);
    QVERIFY(!rig.interpreter.running());
}

void TestKitInterpreter::runEndsOnMissingMemory_data()
{
    QTest::addColumn<DeviceImage>("image");
    QTest::newRow("jump past the image") << DeviceImage{230, 50};
    QTest::newRow("instruction cut short") << DeviceImage{230, 2, 160, 3};
    QTest::newRow("empty memory") << DeviceImage{};
    QTest::newRow("frame end where an instruction belongs") << DeviceImage{230, 2, 250};
    QTest::newRow("call into nowhere") << DeviceImage{230, 2, 205, 200, 5, 231};
}

void TestKitInterpreter::runEndsOnMissingMemory()
{
    QFETCH(DeviceImage, image);
    Rig rig;
    rig.start(image);
    rig.runFor(100);
    QVERIFY(!rig.interpreter.running());
    QCOMPARE(rig.recorder.ofKind(EffectKind::Ended).first().a, int(EndReason::InvalidAddress));
}

// "start" jumping to itself, and a subroutine calling itself for ever: the
// kit's time moves on, each advance() returns, and a stop ends the run.
void TestKitInterpreter::endlessLoopKeepsTimeMoving()
{
    for (const DeviceImage &image : {DeviceImage{230, 0}, DeviceImage{205, 0, 3}, DeviceImage{200, 2, 0}}) {
        Rig rig;
        rig.start(image);
        rig.runFor(5000);
        QVERIFY(rig.interpreter.running());
        const std::optional<qint64> due = rig.interpreter.nextDueMs();
        QVERIFY(due && *due >= 5000 && *due <= 5001);
        // An hour asleep is not raced through: the kit skips what it missed.
        rig.clock.advanceBy(3600 * 1000);
        rig.interpreter.advance();
        QVERIFY(*rig.interpreter.nextDueMs() >= rig.clock.nowMs() - Interpreter::MaxLagMs);
        rig.interpreter.stop();
        QVERIFY(!rig.interpreter.running());
        QCOMPARE(rig.recorder.ofKind(EffectKind::Ended).first().a, int(EndReason::Stopped));
    }
}

void TestKitInterpreter::stopInterruptsOnKitButNotInPreview()
{
    const DeviceImage tenSeconds{230, 2, 160, 10, 5, 231};
    Rig kit;
    kit.start(tenSeconds);
    kit.runFor(2000);
    kit.interpreter.stop();
    QCOMPARE(kit.recorder.ofKind(EffectKind::Ended).first().atMs, 2000);

    Rig preview(Profile::preview());
    preview.start(tenSeconds);
    preview.runFor(2000);
    preview.interpreter.stop();
    QVERIFY(preview.interpreter.running());
    preview.runFor(9000);
    QCOMPARE(preview.recorder.ofKind(EffectKind::Ended).first().atMs, 10000);
    QCOMPARE(preview.recorder.ofKind(EffectKind::Ended).first().a, int(EndReason::Stopped));
    QVERIFY(preview.recorder.ofKind(EffectKind::Beep).isEmpty());
}

// 80 % for 1.5 s; with the link on, the backlight stays on afterwards.
void TestKitInterpreter::backlightReturnsToLinkState()
{
    Rig rig;
    rig.start({230, 2, 145, 80, 6, 6, 146, 8, 145, 80, 6, 12, 160, 1, 15, 231});
    rig.runFor(10000);
    QCOMPARE(rig.recorder.lines(),
             QStringList({"0 run program", "0 backlight on 80", "0 hold 1500ms", "1500 backlight off",
                          "1500 backlight link on", "1500 backlight on 100", "1500 backlight on 80",
                          "1500 hold 1500ms", "3000 backlight on 100", "3000 hold 1000ms",
                          "4000 backlight link off", "4000 backlight off", "4000 end"}));
}

// A4 quarter (code 37 + 21) then an eighth rest, at standard and double
// speed, with the LED following: A lights red, the rest slot is off.
void TestKitInterpreter::melodyPlaysNotesWithLinkedLed()
{
    MelodyScore score;
    score.slotColourCodes.fill(MelodyScore::OffColourCode);
    score.slotColourCodes[9] = 162;
    score.ledLink = true;
    score.codes = {58, 148, 200};
    for (const auto &[speedCode, scale] : QList<QPair<int, int>>{{3, 1}, {2, 2}, {1, 4}}) {
        score.speedCode = speedCode;
        Rig rig;
        rig.interpreter.startMelody(score);
        rig.runFor(5000);
        const int quarter = 1000 / scale;
        const int eighth = 500 / scale;
        QCOMPARE(rig.recorder.lines(),
                 QStringList({"0 run melody", "0 status melody", "0 melody start", QStringLiteral("0 note 58 440Hz %1ms").arg(quarter),
                              "0 led 255 0 0 level 150", QStringLiteral("%1 rest 148 %2ms").arg(quarter).arg(eighth),
                              QStringLiteral("%1 led off").arg(quarter), QStringLiteral("%1 melody end").arg(quarter + eighth),
                              QStringLiteral("%1 status none").arg(quarter + eighth), QStringLiteral("%1 end").arg(quarter + eighth)}));
    }
}

void TestKitInterpreter::experimentBoardRunsForItsSeconds()
{
    Rig rig;
    rig.start({230, 2, 220, 3, 5, 222, 1, 8, 231});
    rig.runFor(10000);
    QCOMPARE(rig.recorder.lines(),
             QStringList({"0 run program", "0 status motor", "0 fan on", "0 hold 3000ms", "3000 fan off",
                          "3000 status lamp", "3000 lamp on", "3000 hold 1000ms", "4000 lamp off", "4000 status none",
                          "4000 end"}));
}

KORU_TEST_GUILESS_MAIN(TestKitInterpreter)
#include "tst_kitinterpreter.moc"
