// The preview window: its controls, a run handed over by RequestPreview over
// a manual clock, the scene by its layers and by pixels, the wait group, and
// closing during a hold.
#include "app/windowtable.h"
#include "preview/ui/previewwindow.h"
#include "widgets/layeredpicture.h"

#include "previewtrace.h"
#include "spokenname.h"
#include "testmain.h"
#include "testutil.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

using namespace koru;
using namespace koru::preview;
using namespace koru::preview::test;

namespace {
// Points of the drawn scene: inside the LED dome and on the clock's display.
const QPoint DomePoint(300, 58);
const QPoint ClockPoint(232, 125);

int Brightness(QRgb c)
{
    return qRed(c) + qGreen(c) + qBlue(c);
}
} // namespace

class TestPreviewWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { koru::test::useTemporaryAppData(); }
    void controls();
    void ledGlowAndRunningAddresses();
    void waitGroupFollowsTheWait();
    void radioAndBacklightPictures();
    void closingDuringAHold();
    void createdAtStartUpAsThePreview();
    void layeredPictureKeysAndMask();
    void stepsSpeedAndState();
};

void TestPreviewWindow::controls()
{
    PreviewWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("プレビュー"));
    QCOMPARE(window.windowModality(), Qt::ApplicationModal);
    QStringList groups;
    for (const QGroupBox *g : window.findChildren<QGroupBox *>())
        groups.append(g->title());
    QCOMPARE(groups, (QStringList{"周囲の明るさ", "周囲の気温（℃）", "SWの状態", "周囲の湿度（%）", "信号待ちで一時停止中"}));
    const auto radio = [&](const char *name) { return window.findChild<QRadioButton *>(name); };
    QCOMPARE(radio("CDSRadio1")->text(), QStringLiteral("明るい"));
    QVERIFY(radio("CDSRadio1")->isChecked());
    QCOMPARE(radio("CDSRadio2")->text(), QStringLiteral("暗い"));
    QCOMPARE(radio("SWRadio1")->text(), QStringLiteral("押している"));
    QCOMPARE(radio("SWRadio2")->text(), QStringLiteral("押していない"));
    QVERIFY(radio("SWRadio2")->isChecked());
    auto *temperature = window.findChild<QSlider *>("TempTrackBar0");
    auto *humidity = window.findChild<QSlider *>("HumTrackBar0");
    QCOMPARE((QList<int>{temperature->minimum(), temperature->maximum(), temperature->value()}), (QList<int>{0, 40, 25}));
    QCOMPARE((QList<int>{humidity->minimum(), humidity->maximum(), humidity->value()}), (QList<int>{0, 100, 50}));
    QStringList labels;
    for (const QLabel *l : window.findChildren<QLabel *>())
        labels.append(l->property("text_exact").isValid() ? l->property("text_exact").toString() : l->text());
    for (const QString &text : {QStringLiteral("25℃"), QStringLiteral("50%"), QStringLiteral("状態："),
                                QStringLiteral("停止"), ImpressionNote, NoEditingNote, QStringLiteral("0"),
                                QStringLiteral("40"), QStringLiteral("100")})
        QVERIFY2(labels.contains(text), qPrintable(text));
    temperature->setValue(31);
    humidity->setValue(7);
    labels.clear();
    for (const QLabel *l : window.findChildren<QLabel *>())
        labels.append(l->text());
    QVERIFY(labels.contains(QStringLiteral("31℃")) && labels.contains(QStringLiteral("7%")));
    const QStringList waits{"音を鳴らす", "押しボタンSWを押す", "明るくする", "暗くする", "温度を指定温度にする",
                            "湿度を指定湿度にする"};
    for (int k = 1; k <= 6; ++k) {
        QCOMPARE(window.waitButton(k)->objectName(), QStringLiteral("WaitButton%1").arg(k));
        QCOMPARE(window.waitButton(k)->text(), waits[k - 1]);
    }
    QCOMPARE(window.playButton()->text(), QStringLiteral("プレビュー再生"));
    QCOMPARE(window.stopButton()->text(), QStringLiteral("プレビュー停止"));
    QVERIFY(!window.waitGroup()->isEnabled());
    QVERIFY(!window.stopButton()->isEnabled());
    QCOMPARE(window.scene()->size(), QSize(650, 300));

    // The group titles reach a screen reader through the controls.
    QCOMPARE(koru::test::spokenName(temperature), QStringLiteral("周囲の気温（℃）"));
    QCOMPARE(koru::test::spokenName(humidity), QStringLiteral("周囲の湿度（%）"));
    QCOMPARE(koru::test::spokenText(radio("SWRadio1"), QAccessible::Description), QStringLiteral("SWの状態"));
    QCOMPARE(koru::test::spokenText(window.waitButton(2), QAccessible::Description),
             QStringLiteral("信号待ちで一時停止中"));
    QCOMPARE(koru::test::spokenName(window.stateLabel()), QStringLiteral("状態: 停止"));
    QCOMPARE(koru::test::unnamedControls(&window), QStringList());
}

// Red at full level for a second: the dome glows red inside the mask, the
// state reads 再生中, then everything is back to the base picture and 停止.
void TestPreviewWindow::ledGlowAndRunningAddresses()
{
    kit::ManualClock clock;
    PreviewWindow window(&clock);
    window.installAsPreview();
    QList<int> addresses;
    QList<int> image{230, 2};
    image += Colour(63, 0, 0, 4);
    image += QList<int>{6, 231};
    QVERIFY(RequestPreview({image, QRect(100, 100, 800, 700), [&](int a) { addresses.append(a); }, {}}));
    QVERIFY(window.isVisible());
    const QImage idle = window.scene()->picture().composed();
    QVERIFY(Brightness(idle.pixel(DomePoint)) > 600); // a frosted white dome

    QTest::mouseClick(window.playButton(), Qt::LeftButton);
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("再生中"));
    QVERIFY(!window.playButton()->isEnabled() && window.stopButton()->isEnabled());
    const LayeredPicture &picture = window.scene()->picture();
    for (int layer : {GlowLayer, BackLayer, BodyLayer, ClockLayer})
        QVERIFY(!picture.layerEmpty(layer));
    QVERIFY(picture.layerEmpty(StatusLayer) && picture.layerEmpty(RadioLayer));
    const QRgb glow = picture.composed().pixel(DomePoint);
    QVERIFY2(qRed(glow) > qGreen(glow) + 60 && qRed(glow) > qBlue(glow) + 60, qPrintable(QString::number(glow, 16)));
    QCOMPARE(picture.composed().pixel(5, 295), idle.pixel(5, 295)); // outside the mask nothing changes

    clock.set(1000);
    window.run().advance();
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("停止"));
    QVERIFY(window.playButton()->isEnabled() && !window.stopButton()->isEnabled());
    QCOMPARE(picture.composed(), idle);
    QCOMPARE(addresses, (QList<int>{0, 2, 6, -1}));
    window.close();
    SetPreviewHandler({});
}

void TestPreviewWindow::waitGroupFollowsTheWait()
{
    kit::ManualClock clock;
    PreviewWindow window(&clock);
    window.preview({DeviceImage{230, 2, 171, 4, 231}, QRect(), {}, {}});
    window.play();
    QVERIFY(window.waitGroup()->isEnabled());
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("再生中"));
    QVERIFY(!window.scene()->picture().layerEmpty(StatusLayer));
    QTest::mouseClick(window.waitButton(3), Qt::LeftButton); // 明るくする: not what the kit waits for
    QVERIFY(window.waitGroup()->isEnabled());
    QTest::mouseClick(window.waitButton(2), Qt::LeftButton);
    QVERIFY(!window.waitGroup()->isEnabled());
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("停止"));
    QVERIFY(window.scene()->picture().layerEmpty(StatusLayer));
}

// Radio on with the backlight link: the radio picture and the lit clock.
void TestPreviewWindow::radioAndBacklightPictures()
{
    kit::ManualClock clock;
    PreviewWindow window(&clock);
    window.preview({DeviceImage{230, 2, 146, 4, 150, 6, 147, 8, 160, 5, 11, 231}, QRect(), {}, {}});
    const QImage idle = window.scene()->picture().composed();
    window.play();
    const LayeredPicture &picture = window.scene()->picture();
    QVERIFY(!picture.layerEmpty(ClockLayer) && !picture.layerEmpty(RadioLayer));
    const QImage lit = picture.composed();
    QVERIFY(Brightness(lit.pixel(ClockPoint)) > Brightness(idle.pixel(ClockPoint)) + 150);
    clock.set(2000); // the radio's hold is over; the link ends, the timer clears
    window.run().advance();
    QVERIFY(picture.layerEmpty(ClockLayer));
    QVERIFY(!picture.layerEmpty(RadioLayer));
    QCOMPARE(picture.composed().pixel(ClockPoint), idle.pixel(ClockPoint));
    window.stop();
    QVERIFY(picture.layerEmpty(RadioLayer));
}

void TestPreviewWindow::closingDuringAHold()
{
    kit::ManualClock clock;
    PreviewWindow window(&clock);
    QList<int> addresses;
    window.preview({DeviceImage{230, 2, 150, 4, 160, 10, 7, 231}, QRect(), [&](int a) { addresses.append(a); }, {}});
    window.play();
    clock.set(3000);
    window.run().advance();
    QVERIFY(window.close());
    QCOMPARE(window.run().state(), PreviewRun::State::Idle);
    QVERIFY(!window.run().nextDueMs());
    QCOMPARE(addresses.last(), -1);
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("停止"));
    // Shown again for the next program, the scene is the kit at rest.
    window.preview({DeviceImage{230, 2, 231}, QRect(), {}, {}});
    for (int layer = 0; layer < LayerCount; ++layer)
        QVERIFY(window.scene()->picture().layerEmpty(layer));
    QVERIFY(window.playButton()->isEnabled());
}

void TestPreviewWindow::createdAtStartUpAsThePreview()
{
    const shell::SharedWindowTable table = shell::DefaultSharedWindows();
    QCOMPARE(table.front().name, QStringLiteral("Preview"));
    shell::SharedWindows shared; // the preview needs nothing of it
    std::unique_ptr<QWidget> made(table.front().make(shared));
    auto *window = qobject_cast<PreviewWindow *>(made.get());
    QVERIFY(window);
    QVERIFY(!window->isVisible());
    // Made at start, it builds its controls only when first reached or
    // shown, and they are then those of a window built at once.
    QVERIFY(window->findChildren<QWidget *>().isEmpty());
    PreviewWindow eager;
    const qsizetype controls = eager.findChildren<QWidget *>().size();
    QVERIFY(window->playButton() && window->stopButton() && window->stateLabel() && window->waitGroup()
            && window->waitButton(6) && window->scene());
    QCOMPARE(window->findChildren<QWidget *>().size(), controls);
    QVERIFY(RequestPreview({DeviceImage{230, 2, 231}, QRect(), {}, {}}));
    QVERIFY(window->isVisible());
    QCOMPARE(window->stateLabel()->text(), QStringLiteral("停止"));
    window->close();
    made.reset();
    QVERIFY(!RequestPreview({})); // the handler goes with the window

    // Shown directly, it has its full size from the start.
    made.reset(table.front().make(shared));
    made->show();
    QCOMPARE(made->findChildren<QWidget *>().size(), controls);
    eager.adjustSize();
    QCOMPARE(made->size(), eager.size());
}

void TestPreviewWindow::layeredPictureKeysAndMask()
{
    LayeredPicture picture(QSize(4, 1), 2);
    QImage base(4, 1, QImage::Format_RGB32);
    base.fill(QColor(10, 20, 30));
    picture.setBase(base);
    QImage mask(4, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    mask.setPixel(1, 0, qRgb(0, 0, 0));
    mask.setPixel(2, 0, qRgb(255, 255, 255));
    mask.setPixel(3, 0, qRgb(255, 255, 255));
    picture.setMaskedColour(0, QColor(250, 0, 0), mask, 0);
    QImage top(4, 1, QImage::Format_RGB32);
    top.fill(QColor(102, 102, 102));
    top.setPixel(3, 0, qRgb(0, 0, 255));
    picture.setLayer(1, top, QColor(102, 102, 102));
    const QImage out = picture.composed();
    QCOMPARE(out.pixel(0, 0), qRgb(250, 0, 0));  // solid colour where the mask is white
    QCOMPARE(out.pixel(1, 0), qRgb(10, 20, 30)); // nothing where it is black
    QCOMPARE(out.pixel(3, 0), qRgb(0, 0, 255));  // the top layer's own pixel
    picture.setMaskedColour(0, QColor(250, 0, 0), mask, 255);
    QCOMPARE(picture.composed().pixel(0, 0), qRgb(10, 20, 30)); // level 255 is invisible
}

// "1ステップ" starts a run held after its first instruction; each press runs
// one more; the panel names what runs next as the editor calls it and the
// editor's mark follows; "プレビュー再生" goes on at full pace, at the speed chosen.
void TestPreviewWindow::stepsSpeedAndState()
{
    kit::ManualClock clock;
    PreviewWindow window(&clock);
    window.installAsPreview();
    QList<int> addresses;
    QList<int> image{230, 2};
    image += Colour(63, 0, 0, 4);
    image += QList<int>{6, 160, 2, 9, 231};
    PreviewRequest request{image, QRect(), [&](int a) { addresses.append(a); },
                           [](int a) { return QStringLiteral("ブロック%1").arg(a); }};
    QVERIFY(RequestPreview(request));
    const auto panel = [&] { return window.statePanel()->accessibleName(); }; // what a screen reader says
    QVERIFY(window.statePanel()->accessibleName().contains(QStringLiteral("1ステップ")));

    QTest::mouseClick(window.stepButton(), Qt::LeftButton);
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("一時停止"));
    QCOMPARE(panel(), QStringLiteral("プログラムの状態: つぎに実行: ブロック2"));
    QVERIFY(window.playButton()->isEnabled() && window.stopButton()->isEnabled());
    clock.set(10000); // held: nothing runs on
    window.run().advance();
    QCOMPARE(panel(), QStringLiteral("プログラムの状態: つぎに実行: ブロック2"));

    QTest::mouseClick(window.stepButton(), Qt::LeftButton);
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("再生中"));
    QCOMPARE(panel(), QStringLiteral("プログラムの状態: 実行中: ブロック2"));
    clock.set(11000);
    window.run().advance();
    QCOMPARE(panel(), QStringLiteral("プログラムの状態: つぎに実行: ブロック6"));
    QCOMPARE(addresses, (QList<int>{0, 2, 6}));

    // 4×: the 2-second timer is over after half a second.
    window.speedChoice()->setCurrentIndex(window.speedChoice()->findText(QStringLiteral("4×")));
    QTest::mouseClick(window.playButton(), Qt::LeftButton);
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("再生中"));
    clock.set(11500);
    window.run().advance();
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("停止"));
    QCOMPARE(addresses.last(), -1);
    QCOMPARE(koru::test::unnamedControls(&window), QStringList());
    window.close();
    SetPreviewHandler({});
}

KORU_TEST_MAIN(TestPreviewWindow)
#include "tst_previewwindow.moc"
