// What the measurement charts show of a log: the axes' ranges and label
// steps, the points, the set temperature's line and what a screen reader
// hears, for logs from empty to long.
#include "measure/chartfigures.h"
#include "testmain.h"

#include <QTest>

using namespace koru;
using namespace koru::measure;

namespace {

// "low..high/step"
QString AxisText(const ChartAxis &axis)
{
    return QStringLiteral("%1..%2/%3").arg(axis.low).arg(axis.high).arg(axis.step);
}

QList<LogEntry> LogOf(const QStringList &temperatures, const QList<int> &sets)
{
    QList<LogEntry> log;
    for (qsizetype k = 0; k < temperatures.size(); ++k) {
        LogEntry entry;
        entry.number = int(k + 1);
        entry.temperature = temperatures[k];
        entry.humidity = QStringLiteral("5%1").arg(k % 10);
        entry.setTemperature = sets.value(k, -1);
        log.append(entry);
    }
    return log;
}

} // namespace

class TstChartFigures : public QObject
{
    Q_OBJECT

private slots:
    void figures_data()
    {
        QTest::addColumn<QStringList>("temperatures");
        QTest::addColumn<QList<int>>("sets");         // -1: not known
        QTest::addColumn<QString>("count");           // the x axis
        QTest::addColumn<QString>("temperature");     // the temperature axis
        QTest::addColumn<QList<QPointF>>("setLine");
        QTest::addColumn<QString>("spoken");          // of the temperature chart

        QTest::newRow("nothing measured") << QStringList() << QList<int>() << "0..10/1" << "-10..100/10"
                                          << QList<QPointF>() << "まだ計測していません";
        QTest::newRow("one reading") << QStringList{"25"} << QList<int>{26} << "0..10/1" << "20..30/2"
                                     << QList<QPointF>{{1, 26}} << "1回目の計測: 25℃";
        QTest::newRow("unknown set temperatures left out")
            << QStringList{"25", "26", "27"} << QList<int>{-1, 24, -1} << "0..10/1" << "20..32/2"
            << QList<QPointF>{{2, 24}} << "3回目の計測: 27℃";
        QTest::newRow("unreadable reading counts as 0")
            << QStringList{"30", "--"} << QList<int>() << "0..10/1" << "-5..35/5" << QList<QPointF>()
            << "2回目の計測: --℃";
        QTest::newRow("wide span: steps of 20") << QStringList{"0", "95"} << QList<int>() << "0..10/1"
                                                << "-5..100/20" << QList<QPointF>() << "2回目の計測: 95℃";
        QTest::newRow("nine readings still 0 to 10")
            << QStringList(9, "25") << QList<int>() << "0..10/1" << "20..30/2" << QList<QPointF>()
            << "9回目の計測: 25℃";
        QTest::newRow("ten readings: the newest off the edge")
            << QStringList(10, "25") << QList<int>() << "0..11/2" << "20..30/2" << QList<QPointF>()
            << "10回目の計測: 25℃";
        QTest::newRow("a long measurement") << QStringList(120, "25") << QList<int>() << "0..121/20"
                                            << "20..30/2" << QList<QPointF>() << "120回目の計測: 25℃";
    }
    void figures()
    {
        QFETCH(QStringList, temperatures);
        QFETCH(QList<int>, sets);
        QFETCH(QString, count);
        QFETCH(QString, temperature);
        QFETCH(QList<QPointF>, setLine);
        QFETCH(QString, spoken);
        const QList<LogEntry> log = LogOf(temperatures, sets);
        const ChartFigures f = ChartFiguresOf(log);
        QCOMPARE(AxisText(f.count), count);
        QCOMPARE(AxisText(f.temperature), temperature);
        QCOMPARE(AxisText(f.humidity), QStringLiteral("0..100/10"));
        QCOMPARE(f.setTemperatures, setLine);
        QCOMPARE(f.temperatureSpoken, spoken);
        // One point a reading at x = its number, in both charts; every
        // reading lies inside the temperature axis.
        QCOMPARE(f.temperatures.size(), log.size());
        QCOMPARE(f.humidities.size(), log.size());
        for (qsizetype k = 0; k < log.size(); ++k) {
            QCOMPARE(f.temperatures[k].x(), double(k + 1));
            QCOMPARE(f.humidities[k], QPointF(k + 1, log[k].humidity.toInt()));
            QVERIFY(f.temperatures[k].y() >= f.temperature.low && f.temperatures[k].y() <= f.temperature.high);
        }
        if (!log.isEmpty())
            QCOMPARE(f.humiditySpoken, QStringLiteral("%1回目の計測: %2%").arg(log.size()).arg(log.last().humidity));
    }

    // Label steps: 1, 2, 5 or 10 times a power of ten, never below 1.
    void niceSteps_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<int>("labels");
        QTest::addColumn<double>("step");
        QTest::newRow("nothing to span") << 0.0 << 10 << 1.0;
        QTest::newRow("exactly ten") << 10.0 << 10 << 1.0;
        QTest::newRow("just over one") << 13.0 << 10 << 2.0;
        QTest::newRow("to five") << 40.0 << 10 << 5.0;
        QTest::newRow("a power of ten") << 1000.0 << 10 << 100.0;
        QTest::newRow("just over a power") << 1001.0 << 10 << 200.0;
        QTest::newRow("no labels asked") << 7.0 << 0 << 10.0;
    }
    void niceSteps()
    {
        QFETCH(double, span);
        QFETCH(int, labels);
        QFETCH(double, step);
        QCOMPARE(NiceStep(span, labels), step);
    }
};

KORU_TEST_GUILESS_MAIN(TstChartFigures)
#include "tst_chartfigures.moc"
