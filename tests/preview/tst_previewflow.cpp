// A flowchart with two subroutines, built as the flowchart editor builds it,
// runs through the preview to its end: every call comes back after the
// routine's end, and the times add up.
#include "flowchart/flowdemos.h"
#include "flowchart/flowtranslate.h"

#include "previewtrace.h"

#include <QtTest>

using namespace koru;
using namespace koru::preview;
using namespace koru::preview::test;

class TestPreviewFlow : public QObject
{
    Q_OBJECT
private slots:
    void demoWithSubroutinesRunsToItsEnd();
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

QTEST_GUILESS_MAIN(TestPreviewFlow)
#include "tst_previewflow.moc"
