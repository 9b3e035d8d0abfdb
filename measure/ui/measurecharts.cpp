#include "measure/ui/measurecharts.h"

#include "model/textutil.h"
#include "widgets/programfont.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace koru::measure {

namespace {

const QString NothingMeasured = QStringLiteral("まだ計測していません");

// Label steps that keep an axis readable: 1, 2, 5 or 10 times a power of ten.
double NiceStep(double span, int labels)
{
    const double raw = std::max(1.0, span / std::max(1, labels));
    double power = 1;
    while (power * 10 <= raw)
        power *= 10;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

void SetAxis(QValueAxis *axis, double low, double high, double step)
{
    axis->setRange(low, high);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(low);
    axis->setTickInterval(step);
}

} // namespace

MeasureCharts::MeasureCharts(const QFont &font)
    : m_temperature(make(font, QStringLiteral("温度計測"), QStringLiteral("温度"), QColor(0xe8, 0x50, 0x5b))),
      m_humidity(make(font, QStringLiteral("湿度計測"), QStringLiteral("湿度"), QColor(0x2d, 0x8f, 0xe0)))
{
    QChart *chart = temperatureChart();
    m_setLine = new QLineSeries(chart);
    m_setLine->setName(QStringLiteral("設定温度"));
    m_setLine->setPen(QPen(QColor(0x55, 0x55, 0x55), 1.5, Qt::DashLine));
    chart->addSeries(m_setLine);
    m_setLine->attachAxis(m_temperature.x);
    m_setLine->attachAxis(m_temperature.y);
    // The legend stays hidden: the view says what the marks mean.
    const QString meaning = QStringLiteral("点線: 設定温度　青い帯: ファンが回っていた間　橙の帯: 豆球がついていた間");
    m_temperature.view->setToolTip(meaning);
    redraw({});
}

QChart *MeasureCharts::temperatureChart() const
{
    return m_temperature.view->chart();
}

QChart *MeasureCharts::humidityChart() const
{
    return m_humidity.view->chart();
}

MeasureCharts::Chart MeasureCharts::make(const QFont &font, const QString &title, const QString &yTitle,
                                         const QColor &colour)
{
    Chart c;
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(PixelFont(font, 13));
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 0, 2, 0));
    c.series = new QLineSeries(chart);
    c.series->setPen(QPen(colour, 2));
    c.series->setPointsVisible(true);
    chart->addSeries(c.series);
    c.x = new QValueAxis(chart);
    c.x->setTitleText(QStringLiteral("計測回数"));
    c.y = new QValueAxis(chart);
    c.y->setTitleText(yTitle);
    for (QValueAxis *axis : {c.x, c.y}) {
        axis->setLabelFormat(QStringLiteral("%d"));
        axis->setTitleFont(PixelFont(font, 11));
        axis->setLabelsFont(PixelFont(font, 10));
    }
    chart->addAxis(c.x, Qt::AlignBottom);
    chart->addAxis(c.y, Qt::AlignLeft);
    c.series->attachAxis(c.x);
    c.series->attachAxis(c.y);
    c.view = new QChartView(chart);
    c.view->setRenderHint(QPainter::Antialiasing);
    c.view->setAccessibleName(title); // the title is drawn inside the picture
    c.view->setAccessibleDescription(NothingMeasured);
    // Twelve labels of the first temperature range still fit.
    c.view->setMinimumSize(300, 260);
    return c;
}

void MeasureCharts::redraw(const QList<LogEntry> &log)
{
    QList<QPointF> temperatures;
    QList<QPointF> humidities;
    int low = 0;
    int high = 0;
    for (qsizetype k = 0; k < log.size(); ++k) {
        const int t = IntegerOr(log[k].temperature);
        temperatures.append(QPointF(double(k + 1), t));
        humidities.append(QPointF(double(k + 1), IntegerOr(log[k].humidity)));
        low = k == 0 ? t : std::min(low, t);
        high = k == 0 ? t : std::max(high, t);
    }
    m_temperature.series->replace(temperatures);
    m_humidity.series->replace(humidities);
    const int right = std::max(10, int(log.size()) + 1); // the newest point off the edge
    for (QValueAxis *x : {m_temperature.x, m_humidity.x})
        SetAxis(x, 0, right, NiceStep(right, 10));
    if (log.isEmpty())
        SetAxis(m_temperature.y, -10, 100, 10);
    else
        SetAxis(m_temperature.y, low - 5, high + 5, NiceStep(high - low + 10, 8));
    SetAxis(m_humidity.y, 0, 100, 10);

    QList<QPointF> set;
    for (qsizetype k = 0; k < log.size(); ++k) {
        if (log[k].setTemperature >= 0)
            set.append(QPointF(double(k + 1), log[k].setTemperature));
    }
    m_setLine->replace(set);

    QChart *chart = temperatureChart();
    for (QAreaSeries *band : std::as_const(m_bands)) {
        chart->removeSeries(band);
        delete band;
    }
    m_bands.clear();
    const double bottom = m_temperature.y->min();
    const double top = m_temperature.y->max();
    for (const ClimateStretch &stretch : ClimateStretches(log)) {
        auto *upper = new QLineSeries;
        upper->append({QPointF(stretch.from, top), QPointF(stretch.to, top)});
        auto *lower = new QLineSeries;
        lower->append({QPointF(stretch.from, bottom), QPointF(stretch.to, bottom)});
        // Added after the readings (the first series, which the window's
        // users look up) and see-through, so the readings show through.
        auto *band = new QAreaSeries(upper, lower);
        upper->setParent(band);
        lower->setParent(band);
        const bool fan = stretch.climate == Climate::Cooling;
        band->setName(fan ? QStringLiteral("ファン") : QStringLiteral("豆球"));
        band->setBrush(fan ? QColor(0x2d, 0x8f, 0xe0, 45) : QColor(0xff, 0x9f, 0x1c, 55));
        band->setPen(Qt::NoPen);
        chart->addSeries(band);
        band->attachAxis(m_temperature.x);
        band->attachAxis(m_temperature.y);
        m_bands.append(band);
    }

    // A screen reader cannot read the line: the description is its newest point.
    const auto latest = [&log](const QString &value, const QString &unit) {
        return log.isEmpty() ? NothingMeasured : QStringLiteral("%1回目の計測: %2%3").arg(log.size()).arg(value, unit);
    };
    const QString temperature = latest(log.isEmpty() ? QString() : log.last().temperature, QStringLiteral("℃"));
    const QString humidity = latest(log.isEmpty() ? QString() : log.last().humidity, QStringLiteral("%"));
    if (m_temperature.view->accessibleDescription() != temperature)
        m_temperature.view->setAccessibleDescription(temperature);
    if (m_humidity.view->accessibleDescription() != humidity)
        m_humidity.view->setAccessibleDescription(humidity);
}

} // namespace koru::measure
