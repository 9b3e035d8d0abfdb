// A shared window gives its backing store back while hidden and is painted
// whole again when shown: what the screen shows after the second show is the
// window, not a stale or empty buffer.
#include "testmain.h"
#include "widgets/hiddenbuffers.h"

#include <QBackingStore>
#include <QScreen>
#include <QTest>
#include <QWidget>

using namespace koru;

class TstHiddenBuffers : public QObject
{
    Q_OBJECT
private:
    // The colour at the middle of the window as the screen shows it.
    static QColor shownMiddle(QWidget &window)
    {
        const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
        return shot.isNull() ? QColor() : shot.pixelColor(shot.rect().center());
    }

private slots:
    void releasedWhileHiddenAndRepaintedOnShow()
    {
        QWidget window;
        window.resize(300, 200);
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(0x20, 0x80, 0xe0));
        window.setPalette(palette);
        ReleaseBuffersWhenHidden(&window);

        for (int round = 0; round < 2; ++round) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTRY_COMPARE(window.backingStore()->size(), window.size());
            QTRY_COMPARE(shownMiddle(window), QColor(0x20, 0x80, 0xe0));

            window.hide();
            QTRY_COMPARE(window.backingStore()->size(), QSize(1, 1));
        }

        // Hidden and shown again before the release runs: nothing is taken
        // from a window on the screen.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.hide();
        window.show();
        QTest::qWait(20);
        QCOMPARE(window.backingStore()->size(), window.size());
        QTRY_COMPARE(shownMiddle(window), QColor(0x20, 0x80, 0xe0));
    }
};

KORU_TEST_MAIN(TstHiddenBuffers)
#include "tst_hiddenbuffers.moc"
