// The measurement window: a room with the set temperature, the fan (冷房),
// the lamp heater (暖房) and the thermo-hygrometer, the state, the CSV
// choice, 計測開始/計測終了 and two charts. It only wires controls to a
// MeasureSession and shows what the session says; the kit is the one on the
// device link the shell hands in, unless a test hands in its own kit and
// ticker. The charts come from the factory handed in (measurecharts.h);
// without them the chart area says so and everything else works.
#pragma once

#include "measure/measuresession.h"
#include "measure/ui/measurecharts.h"

#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLayout;

namespace koru {
class DeviceLink;
}

namespace koru::measure {

class FanBlades;
class PastMeasurementsDialog;
class PictureButton;

class MeasureWindow : public QWidget
{
    Q_OBJECT
public:
    // The measurement's kit on the link (which must outlive the window) and
    // a real timer.
    MeasureWindow(DeviceLink &link, const MeasureChartsFactory &charts, QWidget *parent = nullptr);
    // A given kit (not owned); without a ticker, a real timer.
    MeasureWindow(MeasureKit *kit, Ticker *ticker, const MeasureChartsFactory &charts, QWidget *parent = nullptr);
    ~MeasureWindow() override;

    MeasureSession &session() { return *m_session; }

    // The controls, by the names the pupil's handouts use.
    QLabel *ondoLabel(int digit) const { return digit == 1 ? m_ondo1 : m_ondo2; }
    QLabel *temperatureLabel() const { return m_label1; }
    QLabel *humidityLabel() const { return m_label2; }
    QLabel *stateLabel() const { return m_label7; }
    QCheckBox *csvBox() const { return m_csvBox; }
    QComboBox *intervalBox() const { return m_intervalBox; }
    QWidget *startButton() const;
    QWidget *endButton() const;
    QWidget *keisokuPanel() const { return m_panel; }
    QLabel *journalNote() const { return m_note; }
    bool fanTurning() const;
    bool lampOn() const { return m_lampOn; }
    // The charts made by the factory; null without them, when
    // chartsMissingLabel() stands in their place.
    MeasureCharts *charts() const { return m_charts.get(); }
    QLabel *chartsMissingLabel() const { return m_chartsMissing; }
    // "過去の計測…", beside the state; the list it opens (null before).
    QWidget *pastButton() const;
    PastMeasurementsDialog *pastDialog() const { return m_pastDialog; }

    // The gestures.
    void pressArrow(const QString &arrowName);
    void startMeasuring();
    void endMeasuring();
    // The list of past measurements, shown and read again.
    PastMeasurementsDialog *showPastMeasurements();
    // A past measurement in the charts; refused (with a warning) unless
    // idle, so a running measurement's charts stay as they are.
    bool showPastInCharts(const QString &journal);
    // A past measurement saved as the CSV file, as at the end of one.
    void savePast(const QString &journal);

    static const QString CsvFilter;
    static const QString PanelTitle;
    static const QString PanelText;
    static const QString ChartsMissingText;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    MeasureWindow(std::unique_ptr<MeasureKit> ownKit, MeasureKit *kit, Ticker *ticker,
                  const MeasureChartsFactory &charts, QWidget *parent);
    QLayout *buildCharts(const MeasureChartsFactory &factory);
    QWidget *buildRoom();
    QWidget *buildControls();
    void placeWindow();
    void refresh();
    void redrawCharts();
    void saveLog();
    void showJournalNote();
    void centrePanel();
    QPixmap picture(const QString &path);

    std::unique_ptr<MeasureKit> m_ownKit;
    std::unique_ptr<Ticker> m_ownTicker;
    MeasureSession *m_session = nullptr;
    QHash<QString, QPixmap> m_pictures;
    bool m_placed = false;
    bool m_lampOn = false;
    bool m_closing = false;
    bool m_warningOpen = false; // a session warning is being shown

    QLabel *m_ondo1 = nullptr;
    QLabel *m_ondo2 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label7 = nullptr;
    QLabel *m_lamp = nullptr;
    FanBlades *m_fan = nullptr;
    QLabel *m_wind = nullptr;
    QCheckBox *m_csvBox = nullptr;
    QLabel *m_intervalLabel = nullptr;
    QComboBox *m_intervalBox = nullptr;
    PictureButton *m_start = nullptr;
    PictureButton *m_end = nullptr;
    QWidget *m_panel = nullptr;
    QLabel *m_note = nullptr;
    QWidget *m_pastButton = nullptr;
    PastMeasurementsDialog *m_pastDialog = nullptr;
    std::unique_ptr<MeasureCharts> m_charts;
    QLabel *m_chartsMissing = nullptr;
};

} // namespace koru::measure
