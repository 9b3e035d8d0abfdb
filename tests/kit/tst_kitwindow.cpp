// The virtual kit's window: the world controls reach the kit, the picture's
// switch and sound sensor work with the mouse, and the LED shows its colour.
#include "kit/app/kitpicture.h"
#include "kit/app/kitwindow.h"
#include "kit/kitdriver.h"

#include "clippedtext.h"
#include "testmain.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace koru::kit;

class TestKitWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsSetTheWorld();
    void pictureSwitchIsHeldWhileMouseIs();
    void soundSensorReleasesSoundWait();
    void ledGlowsInItsColour();
    void screenReaderHearsControlsAndKit();
    void noTextIsCutOff();

private:
    static void send(KitDriver &driver, const QList<int> &values)
    {
        for (int v : values)
            driver.receive(v);
    }
    static QRadioButton *radio(QWidget &window, const QString &text)
    {
        for (QRadioButton *b : window.findChildren<QRadioButton *>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
};

void TestKitWindow::controlsSetTheWorld()
{
    KitDriver driver;
    KitWindow window(driver);
    window.show();
    const QList<QSlider *> sliders = window.findChildren<QSlider *>();
    QCOMPARE(sliders.size(), 2);
    sliders[0]->setValue(31);
    sliders[1]->setValue(72);
    QCOMPARE(driver.world().temperature, 31);
    QCOMPARE(driver.world().humidity, 72);
    radio(window, QStringLiteral("暗い"))->click();
    QVERIFY(!driver.world().bright);
    radio(window, QStringLiteral("押している"))->click();
    QVERIFY(driver.world().switchPressed);
}

void TestKitWindow::pictureSwitchIsHeldWhileMouseIs()
{
    KitDriver driver;
    KitWindow window(driver);
    window.resize(1000, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *picture = window.findChild<KitPicture *>();
    const QPoint at = picture->fromCanvas(KitPicture::SwitchPoint()).toPoint();
    QTest::mousePress(picture, Qt::LeftButton, {}, at);
    QVERIFY(driver.world().switchPressed);
    QVERIFY(radio(window, QStringLiteral("押している"))->isChecked());
    QTest::mouseRelease(picture, Qt::LeftButton, {}, at);
    QVERIFY(!driver.world().switchPressed);
    // Elsewhere on the picture nothing happens.
    QTest::mousePress(picture, Qt::LeftButton, {}, picture->fromCanvas({20, 20}).toPoint());
    QVERIFY(!driver.world().switchPressed);
}

void TestKitWindow::soundSensorReleasesSoundWait()
{
    KitDriver driver;
    KitWindow window(driver);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy replies(&driver, &KitDriver::replied);
    send(driver, {240, 230, 2, 170, 4, 231, 250, 241});
    QCOMPARE(replies.size(), 1);
    QCOMPARE(driver.firmware().interpreter().pendingWait(), WaitKind::Sound);
    auto *picture = window.findChild<KitPicture *>();
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->fromCanvas(KitPicture::MicrophonePoint()).toPoint());
    QVERIFY(replies.size() == 2 || replies.wait(2000));
    QCOMPARE(replies.last().first().toInt(), 0xFF);
}

void TestKitWindow::ledGlowsInItsColour()
{
    KitDriver driver;
    KitWindow window(driver);
    window.resize(1000, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *picture = window.findChild<KitPicture *>();
    const QPoint led = picture->fromCanvas(KitPicture::LedPoint() + QPointF(0, -24)).toPoint();
    const QColor before = picture->grab().toImage().pixelColor(led);
    send(driver, {240, 230, 2, 126, 0, 31, 6, 231, 250, 241}); // red for 7.75 s
    QVERIFY(driver.outputs().ledLit);
    const auto colourNow = [picture, led] { return picture->grab().toImage().pixelColor(led); };
    // The picture follows the kit at its own pace (25 times a second).
    QTRY_VERIFY2(colourNow().red() > colourNow().green() + 40 && colourNow().red() > colourNow().blue() + 40,
                 qPrintable(QStringLiteral("LED surroundings %1 (before %2)").arg(colourNow().name(), before.name())));
    send(driver, {246});
    QVERIFY(!driver.outputs().ledLit);
    QTRY_COMPARE(colourNow(), before);
}

// Every control a pupil acts on has a name for a screen reader, and the
// picture is described by what the kit shows, following the kit.
void TestKitWindow::screenReaderHearsControlsAndKit()
{
    KitDriver driver;
    KitWindow window(driver);
    window.show();
    for (QWidget *w : window.findChildren<QWidget *>()) {
        // The record's scroll bars are its own, not the pupil's controls.
        if ((!qobject_cast<QAbstractSlider *>(w) || qobject_cast<QScrollBar *>(w))
            && !qobject_cast<QAbstractButton *>(w) && !qobject_cast<QPlainTextEdit *>(w))
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        QVERIFY(face);
        QVERIFY2(!face->text(QAccessible::Name).isEmpty(), w->metaObject()->className());
    }
    const QList<QSlider *> sliders = window.findChildren<QSlider *>();
    QCOMPARE(sliders.size(), 2);
    QCOMPARE(sliders[0]->accessibleName(), QStringLiteral("周囲の気温（℃）"));

    auto *picture = window.findChild<KitPicture *>();
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(picture);
    QCOMPARE(face->role(), QAccessible::Graphic);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("キットの絵"));
    const QString idle = QStringLiteral("LED 消灯、バックライト消灯、AM/FM 停止、DCモータ 停止、豆球 消灯、押しボタンSW 押していない");
    QCOMPARE(face->text(QAccessible::Description), idle);
    send(driver, {240, 230, 2, 126, 0, 31, 6, 231, 250, 241}); // red for 7.75 s
    radio(window, QStringLiteral("押している"))->click();
    QTRY_COMPARE(face->text(QAccessible::Description),
                 QStringLiteral("LED 点灯 (赤%1 緑%2 青%3)、バックライト消灯、AM/FM 停止、DCモータ 停止、豆球 消灯、押しボタンSW 押している")
                     .arg(driver.outputs().led.red).arg(driver.outputs().led.green).arg(driver.outputs().led.blue));
    QVERIFY(driver.outputs().led.red > 0);
    send(driver, {246});
    radio(window, QStringLiteral("押していない"))->click();
    QTRY_COMPARE(face->text(QAccessible::Description), idle);
}

// Every label, choice and button of the kit's window fits at its font.
void TestKitWindow::noTextIsCutOff()
{
    KitDriver driver;
    KitWindow window(driver);
    window.show();
    const QStringList clipped = koru::test::ClippedTexts(&window);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

KORU_TEST_MAIN(TestKitWindow)
#include "tst_kitwindow.moc"
