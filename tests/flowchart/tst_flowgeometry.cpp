// Arrow routes, block zones, the parameter window's place and the report
// picture's rectangle.
#include "flowchart/flowgeometry.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

using Route = QList<QPoint>;
Q_DECLARE_METATYPE(Route)

class TstFlowGeometry : public QObject
{
    Q_OBJECT
private slots:
    void bottomArrow_data()
    {
        QTest::addColumn<QPoint>("source");
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<Route>("route");
        QTest::newRow("straight below") << QPoint(50, 10) << QPoint(50, 100) << Route{{100, 60}, {100, 100}};
        QTest::newRow("25 aside still straight") << QPoint(50, 10) << QPoint(75, 100) << Route{{100, 60}, {125, 100}};
        QTest::newRow("30 aside, 100 lower") << QPoint(50, 10) << QPoint(80, 110)
                                            << Route{{100, 60}, {100, 90}, {130, 90}, {130, 110}};
        QTest::newRow("above, same column: round the right")
            << QPoint(50, 200) << QPoint(50, 10)
            << Route{{100, 250}, {100, 270}, {160, 270}, {160, -10}, {100, -10}, {100, 10}};
        QTest::newRow("above, a little right: round the left")
            << QPoint(50, 200) << QPoint(90, 10)
            << Route{{100, 250}, {100, 270}, {40, 270}, {40, -10}, {140, -10}, {140, 10}};
        QTest::newRow("close below: straight") << QPoint(50, 10) << QPoint(70, 80) << Route{{100, 60}, {120, 80}};
        QTest::newRow("shallow, far right: turn halfway")
            << QPoint(50, 10) << QPoint(250, 30)
            << Route{{100, 60}, {100, 80}, {200, 80}, {200, 10}, {300, 10}, {300, 30}};
        QTest::newRow("halfway 76.5 rounds to even")
            << QPoint(0, 10) << QPoint(153, 0) << Route{{50, 60}, {50, 80}, {126, 80}, {126, -20}, {203, -20}, {203, 0}};
    }
    void bottomArrow()
    {
        QFETCH(QPoint, source);
        QFETCH(QPoint, target);
        QFETCH(Route, route);
        QCOMPARE(BottomArrowRoute(source, target), route);
    }

    void sideArrow_data()
    {
        QTest::addColumn<QPoint>("source");
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<Route>("route");
        QTest::newRow("lower right: across, then down") << QPoint(50, 10) << QPoint(200, 90)
                                                      << Route{{150, 35}, {250, 35}, {250, 90}};
        QTest::newRow("lower left: out, down, across")
            << QPoint(200, 10) << QPoint(50, 200) << Route{{300, 35}, {320, 35}, {320, 180}, {100, 180}, {100, 200}};
        QTest::newRow("above, far right: halfway to its left edge")
            << QPoint(50, 200) << QPoint(300, 10) << Route{{150, 225}, {225, 225}, {225, -10}, {350, -10}, {350, 10}};
        QTest::newRow("above, just right: up between, then beside")
            << QPoint(50, 200) << QPoint(120, 10)
            << Route{{150, 225}, {170, 225}, {170, 130}, {110, 130}, {110, -10}, {170, -10}, {170, 10}};
        QTest::newRow("above, left") << QPoint(200, 200) << QPoint(0, 10)
                                    << Route{{300, 225}, {320, 225}, {320, -10}, {50, -10}, {50, 10}};
    }
    void sideArrow()
    {
        QFETCH(QPoint, source);
        QFETCH(QPoint, target);
        QFETCH(Route, route);
        QCOMPARE(SideArrowRoute(source, target), route);
    }

    void arrowHead()
    {
        const auto head = ArrowHead(QPoint(100, 60));
        QCOMPARE(head[0], QPoint(100, 60));
        QCOMPARE(head[1], QPoint(95, 55));
        QCOMPARE(head[2], QPoint(105, 55));
    }

    void zones_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("zone");
        const int body = int(BlockZone::Body), bottom = int(BlockZone::BottomHandle), side = int(BlockZone::SideHandle);
        QTest::newRow("bottom middle") << QPoint(50, 40) << bottom;
        QTest::newRow("bottom handle left border is body") << QPoint(35, 40) << body;
        QTest::newRow("bottom handle inner corner") << QPoint(64, 49) << bottom;
        QTest::newRow("above the bottom handle") << QPoint(50, 30) << body;
        QTest::newRow("side middle") << QPoint(90, 25) << side;
        QTest::newRow("side handle left border is body") << QPoint(80, 25) << body;
        QTest::newRow("side handle top border is body") << QPoint(90, 10) << body;
        QTest::newRow("centre") << QPoint(20, 20) << body;
    }
    void zones()
    {
        QFETCH(QPoint, point);
        QFETCH(int, zone);
        QCOMPARE(int(ZoneAt(point)), zone);
    }

    void parameterWindowPlace()
    {
        const QSize window(210, 300), panel(600, 700);
        QCOMPARE(ParameterWindowPlace({100, 100}, window, panel), QPoint(100, 140));
        QCOMPARE(ParameterWindowPlace({390, 100}, window, panel), QPoint(390, 140)); // just fits
        QCOMPARE(ParameterWindowPlace({391, 100}, window, panel), QPoint(181, 140));
        QCOMPARE(ParameterWindowPlace({100, 320}, window, panel), QPoint(100, 360)); // 40 to spare exactly
        QCOMPARE(ParameterWindowPlace({100, 321}, window, panel), QPoint(100, 400)); // at the bottom
    }

    void reportRectangle()
    {
        FlowDocument doc;
        QVERIFY(ReportPictureRect(doc, 0).isNull());
        doc.place(0, 0, "start", 50, 10);
        doc.place(0, 1, "timer", 200, 170);
        QCOMPARE(ReportPictureRect(doc, 0), QRect(50, 10, 200 + 100 - 50 + 35, 170 + 50 - 10 + 35));
        QVERIFY(ReportPictureRect(doc, 1).isNull());

        // A block standing at x = 0 belongs to the picture like any other;
        // the free slots' zero coordinates do not.
        doc.place(0, 2, "end", 0, 250);
        QCOMPARE(ReportPictureRect(doc, 0), QRect(0, 10, 200 + 100 + 35, 250 + 50 - 10 + 35));

        // Whatever a document holds, the picture stays within the canvas.
        doc.setPosition(0, 2, 20000, 20000);
        QCOMPARE(ReportPictureRect(doc, 0), QRect(50, 10, CanvasMaxWidth + 35 - 50, CanvasHeight + 35 - 10));
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowGeometry)
#include "tst_flowgeometry.moc"
