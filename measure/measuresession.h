// The measurement as a state machine, apart from any window: 計測開始 and
// 計測終了, the cycle run on every tick (ask the kit for temperature and
// humidity, show and log them, drive the fan or the lamp against the set
// temperature), the end of a measurement at the tick after 計測終了, and the
// log with its journal on disk. Each step sends one request and goes on when
// the kit's replies are in; nothing waits.
//
// A tick that comes while a cycle still waits for the kit is skipped, so two
// cycles never share reply lines; the next cycle then starts as soon as the
// running one is over. 計測終了 ends the measurement right after the running
// cycle (at once between cycles), not at the next tick. When a cycle goes wrong (the kit's replies
// are missing or unreadable) the measurement is ended as by 計測終了 at once:
// the kit is told to switch off, the CSV file is offered, and 計測開始 works
// again.
#pragma once

#include "measure/measurejournal.h"
#include "measure/measurekit.h"
#include "measure/readings.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>

namespace koru::measure {

// Requests of the measurement (the link's values).
namespace request {
inline constexpr int Measure = 244;
inline constexpr int Cooling = 247;
inline constexpr int Heating = 248;
inline constexpr int Off = 249;
} // namespace request

inline const QString IntervalMissingMessage = QStringLiteral("測定間隔時間を設定して下さい。");
inline const QString NoKitAtMeasureMessage = QStringLiteral("本体との接続が確認出来ません。確認して下さい。");
inline const QString NoKitAtOutputMessage = QStringLiteral("本体との接続が確認出来ません。");
inline const QString NoReadingMessage =
    QStringLiteral("本体から温度と湿度を受け取れませんでした。\r\n計測を終了します。");
inline const QString JournalFailedMessage =
    QStringLiteral("計測の記録をファイルに書き込めませんでした。\r\n計測は続けます。");

inline const QString IdleText = QStringLiteral("待機中");
inline const QString MeasuringText = QStringLiteral("計測中");

class MeasureSession : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // now gives the time of day for the log lines and the journal's name.
    MeasureSession(MeasureKit &kit, Ticker &ticker, Clock now = &QDateTime::currentDateTime,
                   QObject *parent = nullptr);

    // Where journals go (default: MeasureJournal::DefaultFolder()).
    void setJournalFolder(const QString &folder) { m_journalFolder = folder; }
    QString journalFolder() const
    {
        return m_journalFolder.isEmpty() ? MeasureJournal::DefaultFolder() : m_journalFolder;
    }

    SetTemperature &setTemperature() { return m_set; }
    const SetTemperature &setTemperature() const { return m_set; }

    // 計測開始: with csv, intervalIndex picks from IntervalChoices() (-1: none
    // chosen). Empty when started or ignored (not idle); otherwise the
    // message to show, and nothing started.
    QString start(bool csv, int intervalIndex);
    // 計測終了: ignored unless measuring. Shows the end panel and ends the
    // measurement once the running cycle is over (at once without one).
    void end();
    // The window closes: the off request (its result not looked at), no ticks.
    void close();
    // One tick of the ticker (connected in the constructor).
    void tick();

    // The measuring flag: from 計測開始 until 計測終了 (or a stop).
    bool measuring() const { return m_measuring; }
    // Nothing started, nothing ending: 計測開始 works.
    bool idle() const { return !m_measuring && !m_panel && m_step == Step::None; }
    bool panelVisible() const { return m_panel; }
    bool cycleRunning() const { return m_step == Step::Measure || m_step == Step::Output; }
    QString stateText() const { return m_stateText; }
    QString temperatureText() const { return m_temperature; }
    QString humidityText() const { return m_humidity; }
    Climate climate() const { return m_climate; }
    // The CSV box and the interval: enabled only while idle.
    bool settingsEnabled() const { return m_settingsEnabled; }
    int intervalMs() const { return m_intervalMs; }
    bool csv() const { return m_csv; }

    const QList<LogEntry> &log() const { return m_log; }
    QStringList logLines() const;
    int nextNumber() const { return m_nextNumber; }
    // The journal of the current or last measurement; empty before the first.
    QString journalPath() const { return m_journal.path(); }
    bool journalWritten() const { return m_journal.written(); }
    int skippedTicks() const { return m_skippedTicks; }

signals:
    // Anything the window shows may have changed.
    void changed();
    // The log has a new line: redraw the charts.
    void logChanged();
    // A warning for the pupil (OK button).
    void warning(const QString &message);
    // The end of a measurement with the CSV box checked: save logLines()
    // now; the end panel is hidden right after this returns.
    void saveWanted();
    // A measurement is over (ended, stopped for lack of a kit, or after an
    // error); saveOffered says whether saveWanted was emitted.
    void stopped(bool saveOffered);

private:
    enum class Step { None, Measure, Output, EndOff };

    void runCycle();
    void onReply(const QString &line);
    void onRequestDone(bool delivered);
    void takeReadings(bool delivered);
    void driveClimate();
    void cycleOver();
    void runEnd();
    void endOver();
    void stopWithoutKit();
    void setIdleLook();

    MeasureKit &m_kit;
    Ticker &m_ticker;
    Clock m_now;
    QString m_journalFolder;

    SetTemperature m_set;
    bool m_measuring = false;
    bool m_panel = false;
    bool m_endDue = false;   // 計測終了 came during a cycle: end when it is over
    bool m_cycleDue = false; // a tick came during a cycle: run the next one when it is over
    Step m_step = Step::None;
    bool m_settingsEnabled = true;
    bool m_csv = false;
    int m_intervalMs = QuickIntervalMs;
    QString m_stateText = IdleText;
    QString m_temperature = QStringLiteral("25");
    QString m_humidity = QStringLiteral("50");
    Climate m_climate = Climate::Off;

    QStringList m_replies;
    SpikeFilter m_filter;
    QList<LogEntry> m_log;
    int m_nextNumber = 1;
    MeasureJournal m_journal;
    bool m_journalWarned = false;
    bool m_journalWarningDue = false;
    int m_skippedTicks = 0;
};

} // namespace koru::measure
