// The preview run over a manual clock: every instruction, the holds, waits
// and their buttons, branches on the pupil's controls, loops, subroutines,
// the stop that lets a hold finish, and images that are not programs;
// stepping and speeds, and the state shown beside the kit.
#include "preview/previewstate.h"
#include "previewtrace.h"
#include "testmain.h"

#include <QtTest>

using namespace koru;
using namespace koru::preview;
using namespace koru::preview::test;

namespace {
const QString RedGlow = QStringLiteral("glow(255,0,0)/150 Back.gif Hontai.gif Tokei.gif");

QList<int> Bytes(std::initializer_list<QList<int>> parts)
{
    QList<int> out;
    for (const QList<int> &p : parts)
        out += p;
    return out;
}

// Commands: "run MS", "press K", "stop", "close", "temp N", "step" (then on
// until held), "resume", "speed QUARTERS".
void Play(Rig &rig, const QStringList &script)
{
    for (const QString &command : script) {
        const QStringList w = command.split(QLatin1Char(' '));
        if (w[0] == QLatin1String("run"))
            rig.runFor(w[1].toInt());
        else if (w[0] == QLatin1String("press"))
            rig.run.pressWaitButton(w[1].toInt());
        else if (w[0] == QLatin1String("stop"))
            rig.run.stop();
        else if (w[0] == QLatin1String("close"))
            rig.run.close();
        else if (w[0] == QLatin1String("temp"))
            rig.run.setWorld({false, true, w[1].toInt(), 50});
        else if (w[0] == QLatin1String("step"))
            rig.step();
        else if (w[0] == QLatin1String("resume"))
            rig.run.resume();
        else if (w[0] == QLatin1String("speed"))
            rig.run.setSpeed(w[1].toInt());
        else
            QFAIL(qPrintable(QStringLiteral("unknown command ") + command));
    }
}
} // namespace

class TestPreviewRun : public QObject
{
    Q_OBJECT
private slots:
    void programs_data();
    void programs();
    void waits_data();
    void waits();
    void branches_data();
    void branches();
    void fades_data();
    void fades();
    void stopAlwaysEndsTheRun();
    void closingEndsAHoldAtOnce();
    void valuesThatAreNoBytesEndTheRun();
    void playAgainWhileStopping();
    void steps_data();
    void steps();
    void stateAtEachStep();
};

void TestPreviewRun::programs_data()
{
    QTest::addColumn<QList<int>>("image");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<QList<int>>("addresses"); // empty: not checked

    const QList<int> red4 = Colour(63, 0, 0, 4);
    QTest::newRow("red LED for a second")
        << Bytes({{230, 2}, red4, {6, 231}}) << QStringList{"run 2000"}
        << QStringList{"0 run " + RedGlow, "1000 idle"} << QList<int>{0, 2, 6, -1};
    // Levels 1, 2 and 63 through ChannelValueOf; bit 23 of the colour is not looked at.
    QTest::newRow("LED colour levels")
        << QList<int>{230, 2, 0x82, 0x17, 0xE1, 6, 160, 1, 9, 231} << QStringList{"run 2000"}
        << QStringList{"0 run glow(31,43,255)/150 Back.gif Hontai.gif Tokei.gif", "250 run", "1250 idle"}
        << QList<int>{0, 2, 6, 9, -1};
    QTest::newRow("LED without time stays until cleared")
        << Bytes({{230, 2}, Colour(63, 0, 0, 0), {6, 150, 8, 160, 1, 11, 231}}) << QStringList{"run 5000"}
        << QStringList{"0 run " + RedGlow + " AMFM.gif", "2000 run AMFM.gif", "3000 idle"} << QList<int>{};
    for (int count : {3, 0, 1}) {
        QList<int> walk{0, 2};
        for (int k = 0; k < qMax(count, 1); ++k)
            walk << 5 << 9;
        walk << 11 << -1;
        QTest::addRow("loop of %d", count)
            << Bytes({{230, 2, 200, count, 5}, red4, {9, 201, 11, 231}}) << QStringList{"run 5000"}
            << QStringList{"0 run " + RedGlow, QStringLiteral("%1 idle").arg(qMax(count, 1) * 1000)} << walk;
    }
    QTest::newRow("stop during a ten-second timer")
        << QList<int>{230, 2, 160, 10, 5, 231} << QStringList{"run 2000", "stop", "run 7000", "run 1000"}
        << QStringList{"0 run", "2000 stopping", "10000 idle"} << QList<int>{0, 2, -1};
    QTest::newRow("stop during a wait ends at once")
        << QList<int>{230, 2, 171, 4, 231} << QStringList{"run 300", "stop"}
        << QStringList{"0 wait swwait.gif", "300 idle"} << QList<int>{0, 2, -1};
    QTest::newRow("backlight for a time")
        << QList<int>{230, 2, 145, 50, 8, 6, 231} << QStringList{"run 3000"}
        << QStringList{"0 run BackLight.gif", "2000 idle"} << QList<int>{};
    QTest::newRow("backlight link")
        << Bytes({{230, 2, 146, 4}, Colour(0, 63, 0, 4), {8, 160, 1, 11, 147, 13, 160, 1, 16, 231}})
        << QStringList{"run 5000"}
        << QStringList{"0 run glow(0,255,0)/150 Back.gif Hontai.gif BackLight.gif", "1000 run BackLight.gif",
                       "2000 run", "3000 idle"}
        << QList<int>{0, 2, 4, 8, 11, 13, 16, -1};
    // The clock picture that 145 and 147 leave stays until an instruction
    // clears the scene (here the timer).
    QTest::newRow("clock after the backlight's time")
        << QList<int>{230, 2, 145, 50, 4, 6, 150, 8, 151, 10, 160, 1, 13, 231} << QStringList{"run 5000"}
        << QStringList{"0 run BackLight.gif", "1000 run Tokei.gif AMFM.gif", "3000 run", "4000 idle"}
        << QList<int>{};
    QTest::newRow("clock after the link ends")
        << QList<int>{230, 2, 146, 4, 147, 6, 150, 8, 160, 1, 11, 231} << QStringList{"run 5000"}
        << QStringList{"0 run Tokei.gif AMFM.gif", "2000 run AMFM.gif", "3000 idle"} << QList<int>{};
    QTest::newRow("radio on and off")
        << QList<int>{230, 2, 150, 4, 151, 6, 160, 1, 9, 231} << QStringList{"run 5000"}
        << QStringList{"0 run AMFM.gif", "2000 run", "3000 idle"} << QList<int>{};
    QTest::newRow("melody") << QList<int>{230, 2, 152, 4, 231} << QStringList{"run 3000"}
                            << QStringList{"0 run Melody.gif", "2000 idle"} << QList<int>{};
    for (int beep : {153, 154, 155})
        QTest::addRow("confirmation sound %d", beep - 152)
            << QList<int>{230, 2, beep, 4, 231} << QStringList{"run 3000"}
            << QStringList{"0 run Kakunin.gif", "2000 idle"} << QList<int>{};
    for (int device : {220, 222})
        QTest::addRow("experiment board %d", device)
            << QList<int>{230, 2, device, 3, 5, 231} << QStringList{"run 5000"}
            << QStringList{"0 run Jikken.gif", "3000 idle"} << QList<int>{};
    QTest::newRow("subroutine returns after its call")
        << Bytes({{230, 2, 205, 10, 5, 160, 1, 8, 231, 0}, red4, {14, 206}}) << QStringList{"run 5000"}
        << QStringList{"0 run " + RedGlow, "1000 run", "2000 idle"} << QList<int>{0, 2, 10, 14, 5, 8, -1};
    QTest::newRow("subroutine end without a call ends the run")
        << QList<int>{230, 2, 206, 0, 0, 0} << QStringList{"run 100"} << QStringList{"0 idle"}
        << QList<int>{0, 2, -1};
    QTest::newRow("jump out of the image") << QList<int>{230, 200} << QStringList{"run 100"}
                                           << QStringList{"0 idle"} << QList<int>{0, -1};
    QTest::newRow("loop end without a loop") << QList<int>{230, 2, 201, 4, 231} << QStringList{"run 100"}
                                             << QStringList{"0 idle"} << QList<int>{0, 2, 4, -1};
    QTest::newRow("cut-off instruction") << QList<int>{230, 2, 160, 3} << QStringList{"run 100"}
                                         << QStringList{"0 idle"} << QList<int>{0, -1};
    QTest::newRow("empty image") << QList<int>{} << QStringList{"run 100"} << QStringList{"0 idle"}
                                 << QList<int>{};
}

void TestPreviewRun::programs()
{
    QFETCH(QList<int>, image);
    QFETCH(QStringList, script);
    QFETCH(QStringList, trace);
    QFETCH(QList<int>, addresses);
    Rig rig;
    rig.start(image);
    Play(rig, script);
    QCOMPARE(rig.lines, trace);
    if (!addresses.isEmpty())
        QCOMPARE(rig.addresses, addresses);
}

// Only the button of the pending wait continues; set values are not compared.
void TestPreviewRun::waits_data()
{
    QTest::addColumn<QList<int>>("image");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("picture");
    const QStringList pictures{"Soundwait.gif", "swwait.gif", "Lightwait.gif",
                               "Darkwait.gif",  "Tempwait.gif", "Humwait.gif"};
    for (int kind = 1; kind <= 6; ++kind) {
        const int v = 169 + kind;
        const QList<int> image = kind >= 5 ? QList<int>{230, 2, v, 35, 5, 231} : QList<int>{230, 2, v, 4, 231};
        QTest::addRow("%d", v) << image << kind << pictures[kind - 1];
    }
}

void TestPreviewRun::waits()
{
    QFETCH(QList<int>, image);
    QFETCH(int, kind);
    QFETCH(QString, picture);
    Rig rig;
    rig.start(image);
    QCOMPARE(int(rig.run.pendingWait()), kind);
    // The sliders pass the set value (35) and every other button is pressed.
    Play(rig, {"temp 10", "run 100", "temp 40", "run 100"});
    for (int other = 1; other <= 6; ++other)
        QVERIFY(other == kind || !rig.run.pressWaitButton(other));
    rig.runFor(100);
    QCOMPARE(rig.run.state(), PreviewRun::State::Waiting);
    QVERIFY(rig.run.pressWaitButton(kind));
    QVERIFY(!rig.run.pressWaitButton(kind)); // once released, pressing again does nothing
    QCOMPARE(rig.lines, (QStringList{"0 wait " + picture, "300 idle"}));
}

// x and y are measured before a sound wait; the controls are then changed and
// the wait released, so 187-189 and 193-195 compare the new slider with the
// values kept across the wait.
void TestPreviewRun::branches_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("bright");
    QTest::addColumn<int>("temperature");
    QTest::addColumn<int>("humidity");
    QTest::addColumn<bool>("yes");
    const auto row = [](int op, int n, bool sw, bool bright, int t, int h, bool yes) {
        QTest::addRow("%d n=%d sw=%d bright=%d t=%d h=%d", op, n, sw, bright, t, h)
            << op << n << sw << bright << t << h << yes;
    };
    row(180, -1, true, true, 25, 50, true);
    row(180, -1, false, true, 25, 50, false);
    row(181, -1, true, true, 25, 50, false);
    row(182, -1, false, true, 25, 50, true);
    row(182, -1, false, false, 25, 50, false);
    row(183, -1, false, false, 25, 50, true);
    row(184, 25, false, true, 25, 50, false);
    row(184, 25, false, true, 26, 50, true);
    row(185, 25, false, true, 25, 50, true);
    row(185, 25, false, true, 26, 50, false);
    row(186, 25, false, true, 25, 50, true);
    row(187, -1, false, true, 30, 50, true);
    row(187, -1, false, true, 25, 50, false);
    row(188, -1, false, true, 25, 50, true);
    row(189, -1, false, true, 24, 50, false);
    row(189, -1, false, true, 25, 50, true);
    row(190, 50, false, true, 25, 51, true);
    row(191, 50, false, true, 25, 50, true);
    row(192, 50, false, true, 25, 49, false);
    row(193, -1, false, true, 25, 40, false);
    row(194, -1, false, true, 25, 50, true);
    row(195, -1, false, true, 25, 50, true);
    row(195, -1, false, true, 25, 51, false);
}

void TestPreviewRun::branches()
{
    QFETCH(int, opcode);
    QFETCH(int, n);
    QFETCH(bool, pressed);
    QFETCH(bool, bright);
    QFETCH(int, temperature);
    QFETCH(int, humidity);
    QFETCH(bool, yes);
    const QList<int> branch = n < 0 ? QList<int>{opcode, 12, 16, 0} : QList<int>{opcode, n, 12, 16};
    const QList<int> image = Bytes({{230, 2, 210, 4, 211, 6, 170, 8}, branch, Colour(63, 0, 0, 4), {20},
                                    Colour(0, 63, 0, 4), {20, 231}});
    Rig rig;
    rig.run.setWorld({false, true, 25, 50});
    rig.start(image);
    QCOMPARE(rig.run.interpreter().variableX(), 25);
    QCOMPARE(rig.run.interpreter().variableY(), 50);
    rig.run.setWorld({pressed, bright, temperature, humidity});
    QVERIFY(rig.run.pressWaitButton(1));
    QCOMPARE(rig.run.scene().glowColour, (yes ? kit::Rgb{255, 0, 0} : kit::Rgb{0, 255, 0}));
    QCOMPARE(rig.addresses.last(), yes ? 12 : 16);
}

// A fade: shown at its first level, 22 steps of 5 levels each held
// round(T × 250 / 21) ms, then one second before the next instruction.
void TestPreviewRun::fades_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("quarters");
    QTest::addColumn<int>("firstLevel");
    QTest::addColumn<int>("step");
    QTest::newRow("fade in, 21 quarters") << 131 << 21 << 255 << -5;
    QTest::newRow("fade out, 21 quarters") << 132 << 21 << 150 << 5;
    QTest::newRow("fade in, 4 quarters") << 131 << 4 << 255 << -5; // 47.6 -> 48 ms a step
    QTest::newRow("fade out, no time") << 132 << 0 << 150 << 5;
}

void TestPreviewRun::fades()
{
    QFETCH(int, opcode);
    QFETCH(int, quarters);
    QFETCH(int, firstLevel);
    QFETCH(int, step);
    Rig rig;
    rig.start(Bytes({{230, 2, opcode}, Colour(0, 0, 63, quarters), {7, 231}}));
    rig.runFor(60000);
    const int stepMs = qRound(quarters * 250 / 21.0);
    QStringList expected;
    for (int k = 0; k < 22; ++k) {
        if (k == 0 || stepMs > 0 || k == 21)
            expected.append(QStringLiteral("%1 run glow(0,0,255)/%2 Back.gif Hontai.gif Tokei.gif")
                                .arg(k * stepMs)
                                .arg(firstLevel + step * k));
    }
    if (stepMs == 0)
        expected = {expected.first().replace(QStringLiteral("/150"), QStringLiteral("/255"))};
    expected.append(QStringLiteral("%1 idle").arg(22 * stepMs + 1000));
    QCOMPARE(rig.lines, expected);
}

// Whatever the program does, the run has ended once the longest hold
// (255 seconds) is over after "プレビュー停止".
void TestPreviewRun::stopAlwaysEndsTheRun()
{
    const QList<QList<int>> programs{
        {230, 0},                       // endless loop without holds
        {230, 2, 200, 0, 5, 201, 2},    // loop start and end jumping back to the start
        {230, 2, 160, 255, 2},          // endless 255-second timers
        Bytes({{230, 2, 131}, Colour(63, 63, 63, 31), {2}}), // endless slow fades
        {230, 2, 205, 2, 5, 231},       // a routine that calls itself
    };
    for (const QList<int> &image : programs) {
        Rig rig;
        rig.start(image);
        rig.runFor(12345);
        QVERIFY(rig.run.playing());
        rig.run.stop();
        QVERIFY(!rig.run.playing());
        QVERIFY(rig.run.scene().empty());
        rig.runFor(256000);
        QCOMPARE(rig.run.state(), PreviewRun::State::Idle);
        QCOMPARE(rig.addresses.last(), -1);
    }
}

// Closing the window in the middle of a hold leaves nothing running behind it.
void TestPreviewRun::closingEndsAHoldAtOnce()
{
    Rig rig;
    rig.start({230, 2, 150, 4, 160, 10, 7, 231});
    rig.runFor(3000);
    QCOMPARE(rig.lines.last(), QStringLiteral("0 run AMFM.gif"));
    rig.run.close();
    QCOMPARE(rig.run.state(), PreviewRun::State::Idle);
    QVERIFY(!rig.run.interpreter().running());
    QVERIFY(!rig.run.nextDueMs());
    QVERIFY(rig.run.scene().empty());
    QCOMPARE(rig.lines.last(), QStringLiteral("3000 idle"));
    QCOMPARE(rig.addresses.last(), -1);
}

void TestPreviewRun::valuesThatAreNoBytesEndTheRun()
{
    for (const DeviceImage &image : {DeviceImage{230, 2, 160, 256, 5, 231}, DeviceImage{230, -2}}) {
        Rig rig;
        rig.run.start(image);
        QCOMPARE(rig.run.state(), PreviewRun::State::Idle);
    }
}

// "プレビュー再生" is offered again at once after a stop; a new run drops the
// old one still finishing its hold.
void TestPreviewRun::playAgainWhileStopping()
{
    Rig rig;
    rig.start({230, 2, 160, 10, 5, 231});
    rig.runFor(1000);
    rig.run.stop();
    QCOMPARE(rig.run.state(), PreviewRun::State::Stopping);
    rig.start({230, 2, 150, 4, 231});
    QCOMPARE(rig.lines.last(), QStringLiteral("1000 run AMFM.gif"));
    rig.runFor(20000);
    QCOMPARE(rig.lines.last(), QStringLiteral("3000 idle"));
}

void TestPreviewRun::steps_data()
{
    QTest::addColumn<QList<int>>("image");
    QTest::addColumn<bool>("stepping");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<QList<int>>("addresses"); // empty: not checked

    // Start, red LED for a second, a 2-second timer, end.
    const QList<int> ledTimer = Bytes({{230, 2}, Colour(63, 0, 0, 4), {6, 160, 2, 9, 231}});
    // Held, the run's time stands still: each hold is counted from its step,
    // and the mark moves to the instruction to run next.
    QTest::newRow("steps hold between instructions")
        << ledTimer << true << QStringList{"run 5000", "step", "run 5000", "step", "run 5000", "step"}
        << QStringList{"0 held", "5000 run " + RedGlow, "6000 held " + RedGlow, "11000 run", "13000 held",
                       "18000 idle"}
        << QList<int>{0, 2, 6, 9, -1};
    QTest::newRow("a step during a run holds after the instruction under way")
        << ledTimer << false << QStringList{"run 500", "step", "run 3000", "resume", "run 10000"}
        << QStringList{"0 run " + RedGlow, "1000 held " + RedGlow, "4000 run", "6000 idle"} << QList<int>{};
    QTest::newRow("stop while held ends the run at once")
        << ledTimer << true << QStringList{"step", "stop", "run 5000"}
        << QStringList{"0 held", "0 run " + RedGlow, "1000 held " + RedGlow, "1000 idle"} << QList<int>{0, 2, 6, -1};
    // A 4-second timer: 2× for a real second (2 s of the run), then ½× for
    // the 2 s left (4 real seconds).
    QTest::newRow("speed scales the hold under way")
        << QList<int>{230, 2, 160, 4, 5, 231} << false << QStringList{"speed 8", "run 1000", "speed 2", "run 10000"}
        << QStringList{"0 run", "5000 idle"} << QList<int>{};
}

void TestPreviewRun::steps()
{
    QFETCH(QList<int>, image);
    QFETCH(bool, stepping);
    QFETCH(QStringList, script);
    Rig rig;
    rig.start(image, stepping ? PreviewRun::Pace::Stepping : PreviewRun::Pace::Continuous);
    Play(rig, script);
    QFETCH(QStringList, trace);
    QCOMPARE(rig.lines, trace);
    QFETCH(QList<int>, addresses);
    if (!addresses.isEmpty())
        QCOMPARE(rig.addresses, addresses);
}

// Measure x, a loop of two temperature waits, end: the state beside the kit
// after each step names the instruction, x, the loop's pass and the wait.
void TestPreviewRun::stateAtEachStep()
{
    const QList<int> image{230, 2, 210, 4, 200, 2, 7, 174, 30, 10, 201, 12, 231};
    const AddressDescriber describe = [](int address) { return QStringLiteral("@%1").arg(address); };
    Rig rig;
    rig.run.setWorld({false, true, 22, 50});
    const auto state = [&] { return ViewOf(rig.run, describe).lines(); };
    rig.start(image, PreviewRun::Pace::Stepping);
    QCOMPARE(state(), (QStringList{"つぎに実行: @2", "x = 0"}));
    rig.step();
    QCOMPARE(state(), (QStringList{"つぎに実行: @4", "x = 22"}));
    rig.step();
    QCOMPARE(state(), (QStringList{"つぎに実行: @7", "x = 22", "くり返し 1回目／2回"}));
    rig.step();
    QCOMPARE(state(), (QStringList{"実行中: @7", "x = 22", "くり返し 1回目／2回", "30℃になるのを待っています"}));
    rig.run.pressWaitButton(int(kit::WaitKind::Temperature));
    rig.runFor(0, true);
    QCOMPARE(state(), (QStringList{"つぎに実行: @10", "x = 22", "くり返し 1回目／2回"}));
    rig.step();
    QCOMPARE(state(), (QStringList{"つぎに実行: @7", "x = 22", "くり返し 2回目／2回"}));
    rig.step();
    rig.run.pressWaitButton(int(kit::WaitKind::Temperature));
    rig.step();
    QCOMPARE(state(), (QStringList{"つぎに実行: @12", "x = 22"}));
    rig.step();
    QVERIFY(!rig.run.playing());
    QVERIFY(state().isEmpty());

    // Without the editor's names the preview names the instruction; the
    // other waits say what they wait for.
    QCOMPARE(InstructionName(image, 0), QStringLiteral("開始"));
    QCOMPARE(InstructionName(image, 12), QStringLiteral("終了"));
    QVERIFY(InstructionName(image, 99).isEmpty());
    QCOMPARE(WaitSentence(kit::WaitKind::Humidity, 60), QStringLiteral("湿度60%になるのを待っています"));
    QCOMPARE(WaitSentence(kit::WaitKind::Switch, 0), QStringLiteral("押しボタンSWが押されるのを待っています"));
}

KORU_TEST_GUILESS_MAIN(TestPreviewRun)
#include "tst_previewrun.moc"
