#include "measure/ui/charts/qtmeasurecharts.h"

#include "measure/chartfigures.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

namespace koru::measure {

namespace {

// The module links nothing of the program's libraries (it would carry a
// copy of them): its own PixelFont, and only the figures' plain structures.
QFont Pixels(const QFont &base, int pixels)
{
    QFont font = base;
    font.setPixelSize(pixels);
    return font;
}

void SetAxis(QValueAxis *axis, const ChartAxis &figures)
{
    axis->setRange(figures.low, figures.high);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(figures.low);
    axis->setTickInterval(figures.step);
}

void SetSpoken(QWidget *view, const QString &text)
{
    if (view->accessibleDescription() != text)
        view->setAccessibleDescription(text);
}

} // namespace

QtMeasureCharts::QtMeasureCharts(const QFont &font)
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
}

QWidget *QtMeasureCharts::temperatureView() const
{
    return m_temperature.view;
}

QWidget *QtMeasureCharts::humidityView() const
{
    return m_humidity.view;
}

QChart *QtMeasureCharts::temperatureChart() const
{
    return m_temperature.view->chart();
}

QChart *QtMeasureCharts::humidityChart() const
{
    return m_humidity.view->chart();
}

QtMeasureCharts::Chart QtMeasureCharts::make(const QFont &font, const QString &title, const QString &yTitle,
                                             const QColor &colour)
{
    Chart c;
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(Pixels(font, 13));
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
        axis->setTitleFont(Pixels(font, 11));
        axis->setLabelsFont(Pixels(font, 10));
    }
    chart->addAxis(c.x, Qt::AlignBottom);
    chart->addAxis(c.y, Qt::AlignLeft);
    c.series->attachAxis(c.x);
    c.series->attachAxis(c.y);
    c.view = new QChartView(chart);
    c.view->setRenderHint(QPainter::Antialiasing);
    c.view->setAccessibleName(title); // the title is drawn inside the picture
    // Twelve labels of the first temperature range still fit.
    c.view->setMinimumSize(300, 260);
    return c;
}

void QtMeasureCharts::draw(const ChartFigures &figures)
{
    m_temperature.series->replace(figures.temperatures);
    m_humidity.series->replace(figures.humidities);
    SetAxis(m_temperature.x, figures.count);
    SetAxis(m_humidity.x, figures.count);
    SetAxis(m_temperature.y, figures.temperature);
    SetAxis(m_humidity.y, figures.humidity);
    m_setLine->replace(figures.setTemperatures);

    QChart *chart = temperatureChart();
    for (QAreaSeries *band : std::as_const(m_bands)) {
        chart->removeSeries(band);
        delete band;
    }
    m_bands.clear();
    const double bottom = figures.temperature.low;
    const double top = figures.temperature.high;
    for (const ClimateStretch &stretch : figures.climate) {
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
    SetSpoken(m_temperature.view, figures.temperatureSpoken);
    SetSpoken(m_humidity.view, figures.humiditySpoken);
}

} // namespace koru::measure

// The module's one entry point (NewMeasureChartsSymbol).
extern "C" Q_DECL_EXPORT koru::measure::MeasureCharts *KoruNewMeasureCharts(const QFont *font)
{
    return new koru::measure::QtMeasureCharts(*font);
}
