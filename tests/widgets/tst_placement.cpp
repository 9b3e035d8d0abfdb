// Where the preview goes beside an editor: the side that fits, and the least
// covering of the editor when none does.
#include "testmain.h"
#include "widgets/placement.h"

#include <QTest>

using namespace koru;

class TstPlacement : public QObject
{
    Q_OBJECT
private slots:
    void besideEditor_data()
    {
        QTest::addColumn<QRect>("editor");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("expected");
        const QRect wide(0, 0, 2560, 1440);
        // The preview is 672 × 628.
        QTest::newRow("right fits") << QRect(400, 200, 1280, 800) << wide << QPoint(1680, 200);
        QTest::newRow("left fits") << QRect(1000, 100, 1280, 800) << wide << QPoint(328, 100);
        QTest::newRow("top kept on the screen") << QRect(400, 1000, 1280, 300) << wide << QPoint(1680, 812);
        QTest::newRow("below fits") << QRect(100, 0, 2400, 700) << wide << QPoint(100, 700);
        // The usual two-thirds editor on a full-HD screen: nothing fits, the
        // preview goes to the right edge (equal room both sides).
        QTest::newRow("none fits: the roomier side")
            << QRect(320, 180, 1280, 720) << QRect(0, 0, 1920, 1080) << QPoint(1248, 180);
        QTest::newRow("none fits: left is roomier")
            << QRect(500, 100, 1300, 900) << QRect(0, 0, 1920, 1080) << QPoint(0, 100);
        QTest::newRow("screen narrower than the preview")
            << QRect(0, 0, 600, 500) << QRect(0, 0, 600, 500) << QPoint(-36, -64);
    }
    void besideEditor()
    {
        QFETCH(QRect, editor);
        QFETCH(QRect, screen);
        QFETCH(QPoint, expected);
        const QSize preview(672, 628);
        const QPoint place = BesideEditor(editor, preview, screen);
        QCOMPARE(place, expected);
        if (editor.width() + preview.width() <= screen.width())
            QVERIFY(!QRect(place, preview).intersects(editor));
    }
};

KORU_TEST_APPLESS_MAIN(TstPlacement)
#include "tst_placement.moc"
