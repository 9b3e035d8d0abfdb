// A flowchart with two subroutines, built as the flowchart editor builds it,
// runs through the preview to its end: every call comes back after the
// routine's end, and the times add up.
#include "flowchart/flowdemos.h"
#include "flowchart/flowspoken.h"
#include "flowchart/flowtranslate.h"
#include "preview/previewstate.h"

#include "previewtrace.h"
#include "testmain.h"

#include <QtTest>

using namespace koru;
using namespace koru::preview;
using namespace koru::preview::test;

class TestPreviewFlow : public QObject
{
    Q_OBJECT
private slots:
    void demoWithSubroutinesRunsToItsEnd();
    void steppingThroughTheDemo();
};

void TestPreviewFlow::demoWithSubroutinesRunsToItsEnd()
{
    const ImageResult built = BuildDeviceImage(DemoFlowchart(4));
    QVERIFY(built.ok());
    const DeviceImage &image = built.image;
    Rig rig;
    rig.start(image);
    rig.runFor(60000);
    // Three times: routine 1 (red 1 s, beep 2 s, dark 0.25 s), a 2 s timer,
    // routine 2 (backlight 1.5 s, bulb 3 s); then routine 1 once more.
    QCOMPARE(rig.lines.last(), QStringLiteral("32500 idle"));
    QCOMPARE(rig.addresses.last(), -1);
    int calls = 0;
    int returns = 0;
    for (int a : rig.addresses.mid(0, rig.addresses.size() - 1)) {
        QVERIFY(a >= 0 && a < image.size());
        calls += image[a] == 205;
        returns += image[a] == 206;
    }
    QCOMPARE(calls, 7);
    QCOMPARE(returns, 7);
    QCOMPARE(rig.lines.first(), QStringLiteral("0 run glow(255,0,0)/150 Back.gif Hontai.gif Tokei.gif"));
    QVERIFY(rig.lines.contains(QStringLiteral("5250 run BackLight.gif")));
    QVERIFY(rig.lines.contains(QStringLiteral("6750 run Jikken.gif")));
}

// Step by step, the state beside the kit names each block to run with its
// routine, and the loop's pass, as the pupil reads them in the editor.
void TestPreviewFlow::steppingThroughTheDemo()
{
    const FlowDocument demo = DemoFlowchart(4);
    const ImageResult built = BuildDeviceImage(demo);
    QVERIFY(built.ok());
    Rig rig;
    const auto describe = [&demo](int address) { return flow::BlockAtAddressName(demo, address); };
    QStringList seen;
    rig.start(built.image, PreviewRun::Pace::Stepping);
    for (int step = 0; step < 12 && rig.run.playing(); ++step) {
        QVERIFY(rig.run.held());
        seen.append(QString::number(rig.clock.nowMs()) + QLatin1Char(' ')
                    + ViewOf(rig.run, describe).lines().join(QStringLiteral(" | ")));
        rig.step();
    }
    const QString pass1 = QStringLiteral(" | くり返し 1回目／3回");
    const QStringList expected{
        "0 つぎに実行: メインルーチン: 繰り返し 3回",
        "0 つぎに実行: メインルーチン: サブルーチン 1" + pass1,
        "0 つぎに実行: サブルーチン１: 開始" + pass1,
        "0 つぎに実行: サブルーチン１: フルカラーLED LED点灯 1秒" + pass1,
        "1000 つぎに実行: サブルーチン１: サウンド 確認音１" + pass1,
        "3000 つぎに実行: サブルーチン１: フルカラーLED LED点灯 0.25秒" + pass1,
        "3250 つぎに実行: サブルーチン１: 終了" + pass1,
        "3250 つぎに実行: メインルーチン: タイマー 2秒" + pass1,
        "5250 つぎに実行: メインルーチン: サブルーチン 2" + pass1,
        "5250 つぎに実行: サブルーチン２: 開始" + pass1,
        "5250 つぎに実行: サブルーチン２: バックライト点灯 80% 1.5秒" + pass1,
        "6750 つぎに実行: サブルーチン２: 実験 豆球点灯 3秒" + pass1,
    };
    QCOMPARE(seen, expected);
    // Stepping on, the second pass of the loop comes round.
    for (int step = 0; step < 8; ++step)
        rig.step();
    QVERIFY(ViewOf(rig.run, describe).loops.contains(QStringLiteral("くり返し 2回目／3回")));
}

KORU_TEST_GUILESS_MAIN(TestPreviewFlow)
#include "tst_previewflow.moc"
