// The measurement window over a scripted kit and a hand-turned ticker: what
// it shows, the CSV file at the end, and the journal note when no file was
// written. The charts are Qt Charts' (linked here, not loaded), but for the
// window without its charts' module.
#include "fakemeasurekit.h"
#include "measure/ui/charts/qtmeasurecharts.h"
#include "measure/ui/loadedmeasurecharts.h"
#include "measure/ui/measureparts.h"
#include "measure/ui/measurewindow.h"
#include "measure/ui/pastmeasurementsdialog.h"
#include "measureshots.h"
#include "model/programfile.h"
#include "model/textutil.h"
#include "scripteddialogs.h"
#include "spokenname.h"
#include "testmain.h"
#include "testutil.h"
#include "widgets/loadedmodule.h"

#include <QAccessible>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineSeries>
#include <QPushButton>
#include <QTreeWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <functional>
#include <utility>

using namespace koru;
using namespace koru::measure;
using koru::test::FakeMeasureKit;
using koru::test::ManualTicker;

namespace {

QValueAxis *axis(QChart *chart, Qt::Orientation o)
{
    return qobject_cast<QValueAxis *>(chart->axes(o).value(0));
}

QLineSeries *series(QChart *chart)
{
    return qobject_cast<QLineSeries *>(chart->series().value(0));
}

std::unique_ptr<MeasureCharts> NewQtCharts(const QFont &font)
{
    return std::make_unique<QtMeasureCharts>(font);
}

struct Rig
{
    FakeMeasureKit kit;
    ManualTicker ticker;
    test::ScriptedDialogs dialogs;
    QTemporaryDir folder;
    QtMeasureCharts *charts = nullptr; // the window's, when it has Qt Charts'
    MeasureWindow *window = nullptr;

    Rig()
        : Rig([this](const QFont &font) {
              auto made = std::make_unique<QtMeasureCharts>(font);
              charts = made.get();
              return made;
          })
    {
    }
    explicit Rig(const MeasureChartsFactory &factory)
    {
        window = new MeasureWindow(&kit, &ticker, factory);
        window->session().setJournalFolder(folder.path() + "/journal");
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
    }
    ~Rig() { delete window; }
    void cycle(int t, int h)
    {
        if (kit.last() != request::Measure)
            ticker.fire();
        kit.answer({QStringLiteral("%1 ").arg(t, 2, 16, QLatin1Char('0')), QStringLiteral("%1 ").arg(h, 2, 16, QLatin1Char('0'))});
        kit.answer();
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    void startWithCsv()
    {
        window->csvBox()->setChecked(true);
        window->intervalBox()->setCurrentIndex(0);
        click(window->startButton());
    }
    // 計測終了 (between cycles the end runs at once; a tick on the way
    // changes nothing), then the kit's end of the off request.
    void endMeasurement()
    {
        click(window->endButton());
        ticker.fire();
        QCOMPARE(kit.last(), request::Off);
        kit.answer();
    }
};

// Message boxes as the program's are: modal, so that whatever the event
// loop brings while one is open (a tick of the ticker) runs inside it.
class ModalDialogs final : public DialogService
{
public:
    std::function<void()> whileOpen; // runs once, inside the first box
    QStringList warnings;
    int open = 0;
    int mostOpen = 0;

    ModalDialogs() { install(this); }
    ~ModalDialogs() override { install(nullptr); }

    void warning(const QString &text) override
    {
        warnings << text;
        mostOpen = std::max(mostOpen, ++open);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        --open;
    }
    void information(const QString &text) override { warning(text); }
    bool question(const QString &) override { return false; }
    bool destructiveQuestion(const QString &) override { return false; }
    bool confirmOverwrite(const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
};

} // namespace

class TstMeasureWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::useTemporaryAppData(); }
    void looksAsIdle();
    void showsEachCycle();
    void savesCsvAtEnd_data();
    void savesCsvAtEnd();
    void closingSwitchesOff();
    void kitLostWarnsOnce();
    void spokenNamesFollowTheRoom();
    void pastMeasurements();
    void chartsModuleLoaded();
    void worksWithoutChartsModule();
};

// The program's charts come from the module beside the programs: it loads
// and gives working Qt Charts views.
void TstMeasureWindow::chartsModuleLoaded()
{
    Rig rig(LoadedMeasureCharts());
    MeasureWindow *w = rig.window;
    QVERIFY2(w->charts(), qPrintable(ModulePaths(QStringLiteral("koru-charts")).join('\n')));
    QVERIFY(!w->chartsMissingLabel());
    auto *view = qobject_cast<QChartView *>(w->charts()->temperatureView());
    QVERIFY(view);
    rig.click(w->startButton());
    rig.cycle(30, 40);
    QCOMPARE(series(view->chart())->points(), QList<QPointF>{QPointF(1, 30)});
}

// Without the module the chart area says why there are no charts; the
// measurement, its CSV file and the thermostat work as ever, and the past
// measurements can be saved but not drawn.
void TstMeasureWindow::worksWithoutChartsModule()
{
    Rig rig(LoadedMeasureCharts(QStringLiteral("koru-charts-not-there")));
    MeasureWindow *w = rig.window;
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(!w->charts());
    QLabel *missing = w->chartsMissingLabel();
    QVERIFY(missing && missing->isVisible());
    const QString said = QStringLiteral("グラフを表示できません（koru-charts が見つかりません）");
    QCOMPARE(missing->text().remove('\n'), said); // shown on two lines
    QCOMPARE(test::spokenName(missing), said);
    QVERIFY(missing->parentWidget()->height() >= 260); // where the charts would be
    test::MeasureShot(w, QStringLiteral("no-charts"));

    rig.startWithCsv();
    rig.cycle(30, 40);
    QVERIFY(w->fanTurning());
    rig.cycle(20, 45);
    QVERIFY(w->lampOn());
    QCOMPARE(rig.kit.last(), request::Heating);
    const QString target = rig.folder.filePath("log.csv");
    rig.dialogs.answerFileName(target);
    rig.endMeasurement();
    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), EncodeProgramText(w->session().logLines()).value());

    rig.click(w->pastButton());
    PastMeasurementsDialog *past = w->pastDialog();
    QTreeWidget *list = past->list();
    QCOMPARE(list->topLevelItemCount(), 1);
    list->setCurrentItem(list->topLevelItem(0));
    QVERIFY(past->saveButton()->isEnabled());
    QVERIFY(!past->chartButton()->isEnabled());
    emit list->itemActivated(list->topLevelItem(0), 0); // a double-click draws nothing either
    QVERIFY(!w->showPastInCharts(w->session().journalPath()));
    QCOMPARE(rig.dialogs.unexpected(), 0);
}

// Two measurements ended; the list shows them newest first, the older one
// comes back in the charts as it was drawn live and is saved as the CSV
// file the window would have written; a journal that cannot be read offers
// nothing; while a measurement runs its charts are not taken over.
void TstMeasureWindow::pastMeasurements()
{
    Rig rig;
    MeasureWindow *w = rig.window;
    const auto points = [](QChart *chart) { return series(chart)->points(); };
    QtMeasureCharts *charts = rig.charts;
    rig.click(w->startButton());
    rig.cycle(30, 40);
    rig.cycle(28, 45);
    rig.cycle(26, 47);
    rig.endMeasurement();
    const QList<QPointF> firstTemperatures = points(charts->temperatureChart());
    const QList<QPointF> firstHumidities = points(charts->humidityChart());
    const QByteArray firstCsv = EncodeProgramText(w->session().logLines()).value();
    QCOMPARE(firstTemperatures.size(), 3);
    rig.click(w->startButton());
    rig.cycle(20, 60);
    rig.endMeasurement();
    QVERIFY(points(charts->temperatureChart()) != firstTemperatures);
    // An empty file under a journal's name, older than both.
    QFile empty(w->session().journalFolder() + "/2000-01-01_00-00-00.csv");
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();

    rig.click(w->pastButton());
    PastMeasurementsDialog *past = w->pastDialog();
    QVERIFY(past && past->isVisible());
    QTreeWidget *list = past->list();
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("1回"));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("3回"));
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("2000/01/01 00:00:00"));
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("読み込めません"));
    list->setCurrentItem(list->topLevelItem(2));
    QVERIFY(!past->chartButton()->isEnabled());
    QVERIFY(!past->saveButton()->isEnabled());

    list->setCurrentItem(list->topLevelItem(1));
    rig.click(past->chartButton());
    QCOMPARE(points(charts->temperatureChart()), firstTemperatures);
    QCOMPARE(points(charts->humidityChart()), firstHumidities);

    const QString target = rig.folder.filePath("past");
    rig.dialogs.answerFileName(target);
    rig.click(past->saveButton());
    QCOMPARE(rig.dialogs.unexpected(), 0);
    QCOMPARE(rig.dialogs.shown().last().text, MeasureWindow::CsvFilter);
    QFile saved(target + ".csv");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), firstCsv);
    test::MeasureShot(past, QStringLiteral("past-measurements"));

    // Measuring: the past one is refused, the live charts stay.
    rig.click(w->startButton());
    rig.cycle(33, 50);
    const QList<QPointF> live = points(charts->temperatureChart());
    rig.dialogs.clear();
    rig.click(past->chartButton());
    QCOMPARE(rig.dialogs.texts(), QStringList{PastWhileMeasuringMessage});
    QCOMPARE(points(charts->temperatureChart()), live);
    // The list read again shows the running one too.
    rig.click(w->pastButton());
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(list->currentItem()->text(1), QStringLiteral("3回")); // still the one chosen
    rig.click(past->closeButton());
    QVERIFY(!past->isVisible());
}

// Bare digits and pictures mean nothing read aloud: each reading says what
// it is and follows the session, each arrow says which digit it changes.
void TstMeasureWindow::spokenNamesFollowTheRoom()
{
    Rig rig;
    MeasureWindow *w = rig.window;
    const auto name = [w](const char *object) { return test::spokenName(w->findChild<QWidget *>(object)); };
    QCOMPARE(name("IncImage1"), QStringLiteral("設定温度の十の位を上げる"));
    QCOMPARE(name("DecImage2"), QStringLiteral("設定温度の一の位を下げる"));
    QCOMPARE(name("StartButton"), QStringLiteral("計測開始"));
    QCOMPARE(name("EndButton"), QStringLiteral("計測終了"));
    QCOMPARE(test::spokenPurpose(w->intervalBox()), QStringLiteral("計測する間隔"));
    QCOMPARE(name("Label7"), QStringLiteral("現在の状態: 待機中"));
    QCOMPARE(name("Lamp"), QStringLiteral("暖房: 停止"));
    w->pressArrow(QStringLiteral("IncImage2"));
    QCOMPARE(name("OndoLabel1"), QStringLiteral("設定温度の十の位: 2"));
    QCOMPARE(name("OndoLabel2"), QStringLiteral("設定温度の一の位: 6"));
    rig.click(w->startButton());
    rig.cycle(30, 40); // warmer than the setting: the fan turns
    QCOMPARE(name("Label1"), QStringLiteral("温度: 30"));
    QCOMPARE(name("Label2"), QStringLiteral("湿度: 40"));
    QCOMPARE(name("Label7"), QStringLiteral("現在の状態: 計測中"));
    QCOMPARE(test::spokenName(w->findChild<FanBlades *>()), QStringLiteral("冷房: 運転中"));
    // Whatever a pupil can press or set here is named.
    QCOMPARE(test::unnamedControls(w, [](QWidget *c) { return qobject_cast<PictureButton *>(c) != nullptr; }),
             QStringList());
}

// The kit pulled out while the fan's request is out: the warning's box is
// open when the next tick finds no kit, and that second warning must not
// stack on the first.
void TstMeasureWindow::kitLostWarnsOnce()
{
    FakeMeasureKit kit;
    ManualTicker ticker;
    QTemporaryDir folder;
    ModalDialogs dialogs;
    MeasureWindow window(&kit, &ticker, NewQtCharts);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.session().setJournalFolder(folder.path() + "/journal");
    window.show();
    QTest::mouseClick(window.startButton(), Qt::LeftButton);
    QCOMPARE(kit.last(), request::Measure);
    kit.answer({"1E ", "37 "}); // warm: the fan's request goes out
    QCOMPARE(kit.last(), request::Cooling);
    dialogs.whileOpen = [&] {
        kit.present = false;
        ticker.fire();
    };
    kit.answer({}, false);
    QCOMPARE(dialogs.mostOpen, 1);
    QCOMPARE(dialogs.warnings.size(), 1);
    QVERIFY(window.session().idle()); // the measurement stopped all the same
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("待機中"));
}

void TstMeasureWindow::looksAsIdle()
{
    Rig rig;
    MeasureWindow *w = rig.window;
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), QStringLiteral("コントロールラジオ制御ソフト :"));
    const QRect screen = w->screen()->geometry();
    QCOMPARE(w->size(), QSize(std::max(780, qRound(screen.width() * 2 / 3.0)), std::max(580, qRound(screen.height() * 2 / 3.0))));
    QCOMPARE(w->ondoLabel(1)->text() + w->ondoLabel(2)->text(), QStringLiteral("25"));
    QCOMPARE(w->temperatureLabel()->text(), QStringLiteral("25"));
    QCOMPARE(w->humidityLabel()->text(), QStringLiteral("50"));
    QCOMPARE(w->stateLabel()->text(), QStringLiteral("待機中"));
    QVERIFY(!w->keisokuPanel()->isVisible());
    QVERIFY(!w->fanTurning());
    QVERIFY(!w->lampOn());
    QVERIFY(!w->intervalBox()->isEnabled());
    QCOMPARE(w->intervalBox()->count(), 9);
    w->csvBox()->setChecked(true);
    QVERIFY(w->intervalBox()->isEnabled());
    QCOMPARE(axis(rig.charts->temperatureChart(), Qt::Vertical)->min(), -10.0);
    QCOMPARE(axis(rig.charts->temperatureChart(), Qt::Vertical)->max(), 100.0);
    QVERIFY(!rig.charts->temperatureChart()->legend()->isVisible());
    // The arrows, clicked.
    rig.click(w->findChild<QWidget *>("DecImage1"));
    rig.click(w->findChild<QWidget *>("DecImage1"));
    rig.click(w->findChild<QWidget *>("IncImage2"));
    QCOMPARE(w->ondoLabel(1)->text() + w->ondoLabel(2)->text(), QStringLiteral("06"));
    // 計測開始 with the CSV file and no interval is refused.
    rig.click(w->startButton());
    QCOMPARE(rig.dialogs.texts(), QStringList{IntervalMissingMessage});
    QVERIFY(rig.kit.sent.isEmpty());
}

void TstMeasureWindow::showsEachCycle()
{
    Rig rig;
    MeasureWindow *w = rig.window;
    rig.click(w->startButton());
    QCOMPARE(w->stateLabel()->text(), QStringLiteral("計測中"));
    QVERIFY(!w->csvBox()->isEnabled());
    QVERIFY(!w->startButton()->isEnabled());
    rig.cycle(30, 40); // warmer than 25: the fan turns
    QCOMPARE(w->temperatureLabel()->text(), QStringLiteral("30"));
    QVERIFY(w->fanTurning());
    QVERIFY(!w->lampOn());
    rig.cycle(20, 45); // colder: the lamp
    QVERIFY(!w->fanTurning());
    QVERIFY(w->lampOn());
    for (int i = 0; i < 10; ++i)
        rig.cycle(22 + i % 3, 50 + i);
    QCOMPARE(series(rig.charts->temperatureChart())->count(), 12);
    QCOMPARE(series(rig.charts->humidityChart())->count(), 12);
    QCOMPARE(series(rig.charts->temperatureChart())->at(0), QPointF(1, 30));
    QCOMPARE(axis(rig.charts->temperatureChart(), Qt::Vertical)->min(), 15.0);
    QCOMPARE(axis(rig.charts->temperatureChart(), Qt::Vertical)->max(), 35.0);
    QCOMPARE(axis(rig.charts->humidityChart(), Qt::Vertical)->max(), 100.0);
    QCOMPARE(axis(rig.charts->humidityChart(), Qt::Horizontal)->max(), 13.0);
    // The thermostat in the chart: the set temperature dashed, the fan's
    // and the lamp's stretches as bands from the reading that switched
    // them on to the next one, across the whole height.
    QList<QLineSeries *> lines;
    QStringList bands;
    for (QAbstractSeries *s : rig.charts->temperatureChart()->series()) {
        if (auto *line = qobject_cast<QLineSeries *>(s))
            lines << line;
        if (auto *band = qobject_cast<QAreaSeries *>(s)) {
            bands << QStringLiteral("%1 %2-%3").arg(band->name()).arg(band->upperSeries()->at(0).x()).arg(band->upperSeries()->at(1).x());
            QCOMPARE(band->upperSeries()->at(0).y(), 35.0);
            QCOMPARE(band->lowerSeries()->at(0).y(), 15.0);
        }
    }
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1]->pen().style(), Qt::DashLine);
    QCOMPARE(lines[1]->count(), 12);
    QCOMPARE(lines[1]->at(11), QPointF(12, 25));
    QCOMPARE(bands.mid(0, 2), (QStringList{QStringLiteral("ファン 1-2"), QStringLiteral("豆球 2-13")}));
    // A screen reader hears each chart's newest point.
    const auto heard = [](QChart *chart) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(chart->scene()->views().value(0));
        return face ? face->text(QAccessible::Name) + QStringLiteral(" / ") + face->text(QAccessible::Description)
                    : QString();
    };
    QCOMPARE(heard(rig.charts->temperatureChart()), QStringLiteral("温度計測 / 12回目の計測: 22℃"));
    QCOMPARE(heard(rig.charts->humidityChart()), QStringLiteral("湿度計測 / 12回目の計測: 59%"));
    // Without the CSV box the end saves nothing and shows where the log is.
    rig.click(w->endButton());
    QVERIFY(w->keisokuPanel()->isVisible());
    const QWidget *panel = w->keisokuPanel();
    QCOMPARE(panel->pos(), QPoint(RoundHalfEven((w->width() - panel->width()) / 2.0),
                                  RoundHalfEven((w->height() - panel->height()) / 2.0)));
    rig.ticker.fire();
    rig.kit.answer();
    QVERIFY(!w->keisokuPanel()->isVisible());
    QCOMPARE(w->stateLabel()->text(), QStringLiteral("待機中"));
    QVERIFY(rig.dialogs.shown().isEmpty());
    QVERIFY(w->journalNote()->isVisible());
    QVERIFY(w->journalNote()->text().contains(QFileInfo(w->session().journalPath()).fileName()));
    test::MeasureShot(w, QStringLiteral("journal-note"));
}

void TstMeasureWindow::savesCsvAtEnd_data()
{
    QTest::addColumn<QString>("answer");  // file name chosen ("" cancels)
    QTest::addColumn<bool>("existing");   // a file is there already
    QTest::addColumn<bool>("overwrite");  // the answer to the question
    QTest::addColumn<QString>("written"); // the file that holds the log, if any
    QTest::newRow("suffix added") << "log" << false << false << "log.csv";
    QTest::newRow("upper-case extension kept") << "LOG.CSV" << false << false << "LOG.CSV";
    QTest::newRow("overwrite yes") << "log.csv" << true << true << "log.csv";
    QTest::newRow("overwrite no") << "log.csv" << true << false << "";
    QTest::newRow("cancelled") << "" << false << false << "";
}

void TstMeasureWindow::savesCsvAtEnd()
{
    QFETCH(QString, answer);
    QFETCH(bool, existing);
    QFETCH(bool, overwrite);
    QFETCH(QString, written);
    Rig rig;
    const QString target = rig.folder.filePath("log.csv");
    if (existing) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    rig.startWithCsv();
    rig.cycle(25, 80);
    rig.cycle(26, 110);
    rig.dialogs.answerFileName(answer.isEmpty() ? QString() : rig.folder.filePath(answer));
    if (existing)
        rig.dialogs.answerQuestion(overwrite);
    rig.endMeasurement();
    QCOMPARE(rig.dialogs.unexpected(), 0);
    QCOMPARE(rig.dialogs.shown().first().text, MeasureWindow::CsvFilter);
    QVERIFY(!rig.window->keisokuPanel()->isVisible());
    const QByteArray expected = EncodeProgramText(rig.window->session().logLines()).value();
    QVERIFY(expected.endsWith(",26,100\r\n"));
    if (!written.isEmpty()) {
        QFile file(rig.folder.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
        QVERIFY(!rig.window->journalNote()->isVisible());
    } else {
        QVERIFY(rig.window->journalNote()->isVisible());
        if (existing) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("old"));
        }
    }
    // The journal holds the same bytes either way.
    QFile journal(rig.window->session().journalPath());
    QVERIFY(journal.open(QIODevice::ReadOnly));
    QCOMPARE(journal.readAll(), expected);
}

void TstMeasureWindow::closingSwitchesOff()
{
    Rig rig;
    rig.click(rig.window->startButton());
    rig.cycle(30, 40);
    QVERIFY(rig.window->fanTurning());
    rig.window->close();
    QCOMPARE(rig.kit.last(), request::Off);
    QVERIFY(!rig.ticker.running);
    QVERIFY(!rig.window->fanTurning());
    QVERIFY(rig.dialogs.shown().isEmpty());
}

KORU_TEST_MAIN(TstMeasureWindow)
#include "tst_measurewindow.moc"
