#include "measure/measuresession.h"

#include "model/textutil.h"

namespace koru::measure {

MeasureSession::MeasureSession(MeasureKit &kit, Ticker &ticker, Clock now, QObject *parent)
    : QObject(parent), m_kit(kit), m_ticker(ticker), m_now(std::move(now))
{
    connect(&m_kit, &MeasureKit::reply, this, &MeasureSession::onReply);
    connect(&m_kit, &MeasureKit::requestDone, this, &MeasureSession::onRequestDone);
    connect(&m_ticker, &Ticker::tick, this, &MeasureSession::tick);
}

QStringList MeasureSession::logLines() const
{
    QStringList lines;
    lines.reserve(m_log.size());
    for (const LogEntry &entry : m_log)
        lines.append(entry.line());
    return lines;
}

QString MeasureSession::start(bool csv, int intervalIndex)
{
    if (!idle())
        return {};
    int interval = QuickIntervalMs;
    if (csv) {
        if (intervalIndex < 0 || intervalIndex >= IntervalChoices().size())
            return IntervalMissingMessage;
        interval = IntervalChoices()[intervalIndex].ms;
    }
    m_csv = csv;
    m_intervalMs = interval;
    m_log.clear();
    m_settingsEnabled = false;
    m_stateText = MeasuringText;
    m_measuring = true;
    m_nextNumber = 1;
    m_skippedTicks = 0;
    m_cycleDue = false;
    m_journal.begin(journalFolder(), m_now());
    m_journalWarned = false;
    m_journalWarningDue = false;
    m_ticker.start(interval);
    emit changed();
    emit logChanged();
    runCycle();
    return {};
}

// The end follows the running cycle at once, or comes at once between
// cycles: with an hour between ticks the panel must not stay for the hour.
void MeasureSession::end()
{
    if (!m_measuring)
        return;
    m_measuring = false;
    m_panel = true;
    m_cycleDue = false;
    emit changed();
    if (cycleRunning())
        m_endDue = true;
    else if (m_step == Step::None)
        runEnd();
}

void MeasureSession::close()
{
    m_ticker.stop();
    m_measuring = false;
    m_panel = false;
    m_endDue = false;
    m_cycleDue = false;
    m_step = Step::None;
    m_kit.request(request::Off);
}

// A tick while the kit is still answering the last one would mix the reply
// lines of two cycles: it is skipped, and its cycle starts as soon as the
// running one is over (a cycle takes longer than the quick interval, and
// skipping alone would give a reading only every other tick).
void MeasureSession::tick()
{
    if (cycleRunning()) {
        ++m_skippedTicks;
        if (m_panel)
            m_endDue = true;
        else if (m_measuring)
            m_cycleDue = true;
        return;
    }
    if (m_step != Step::None)
        return; // the end is under way
    if (m_measuring)
        runCycle();
    else if (m_panel)
        runEnd();
}

void MeasureSession::runCycle()
{
    m_cycleDue = false;
    m_replies.clear();
    m_step = Step::Measure;
    if (!m_kit.request(request::Measure)) {
        m_step = Step::None;
        stopWithoutKit();
    }
}

void MeasureSession::onReply(const QString &line)
{
    // The first two lines after the measurement request are the readings.
    if (m_step == Step::Measure && m_replies.size() < 2)
        m_replies.append(line);
}

void MeasureSession::onRequestDone(bool delivered)
{
    const Step step = m_step;
    m_step = Step::None;
    switch (step) {
    case Step::Measure:
        takeReadings(delivered);
        break;
    case Step::Output:
        emit changed();
        if (!delivered)
            emit warning(NoKitAtOutputMessage);
        cycleOver();
        break;
    case Step::EndOff:
        endOver();
        break;
    case Step::None:
        break;
    }
}

void MeasureSession::takeReadings(bool delivered)
{
    if (!delivered) {
        stopWithoutKit();
        return;
    }
    const QString t = m_replies.value(0);
    const QString h = m_replies.value(1);
    const std::optional<int> temperature = ReadingOfLine(t);
    const std::optional<int> humidity = ReadingOfLine(h);
    const bool blank = StripSpaces(t).isEmpty() || StripSpaces(h).isEmpty();
    if (m_replies.size() < 2 || (!blank && (!temperature || !humidity))) {
        // The kit did not answer as it should: end the measurement now,
        // keeping what was logged, rather than leave it half-stopped.
        m_measuring = false;
        m_panel = true;
        m_ticker.stop();
        emit changed();
        emit warning(NoReadingMessage);
        if (m_step == Step::None && m_panel)
            runEnd();
        return;
    }
    if (!blank) {
        const Reading shown = m_filter.take({qMin(*temperature, 100), qMin(*humidity, 100)}, !m_log.isEmpty());
        m_temperature = ReadingText(shown.temperature);
        m_humidity = ReadingText(shown.humidity);
        const int set = m_set.value();
        const LogEntry entry{int(m_log.size()) + 1, LogTimeText(m_now().time()), m_temperature, m_humidity, set,
                             ClimateFor(IntegerOr(m_temperature, 0), set)};
        m_log.append(entry);
        // Said once the cycle is over: a message box lets ticks in.
        if (!m_journal.append(entry.line()) && !m_journalWarned)
            m_journalWarned = m_journalWarningDue = true;
    }
    m_nextNumber = int(m_log.size()) + 1;
    emit logChanged();
    driveClimate();
}

void MeasureSession::driveClimate()
{
    m_climate = ClimateFor(IntegerOr(m_temperature, 0), m_set.value());
    const int value = m_climate == Climate::Cooling   ? request::Cooling
                      : m_climate == Climate::Heating ? request::Heating
                                                      : request::Off;
    m_step = Step::Output;
    emit changed();
    if (!m_kit.request(value)) {
        // The measurement goes on; the next cycle finds out whether the kit
        // is back.
        m_step = Step::None;
        emit warning(NoKitAtOutputMessage);
        cycleOver();
    }
}

void MeasureSession::cycleOver()
{
    if (m_endDue && m_step == Step::None && m_panel && !m_measuring)
        runEnd();
    if (m_journalWarningDue) {
        m_journalWarningDue = false;
        emit warning(JournalFailedMessage);
    }
    // After the warning: its box lets ticks in, which may have started the
    // due cycle already.
    if (m_cycleDue && m_measuring && m_step == Step::None)
        runCycle();
}

void MeasureSession::runEnd()
{
    m_endDue = false;
    m_ticker.stop();
    setIdleLook();
    m_step = Step::EndOff;
    emit changed();
    if (!m_kit.request(request::Off)) {
        // Without a kit nothing is left to switch off: the log is still
        // offered and the panel goes, so the window is usable again.
        m_step = Step::None;
        emit warning(NoKitAtOutputMessage);
        if (m_panel)
            endOver();
    }
}

void MeasureSession::endOver()
{
    m_step = Step::None;
    const bool offer = m_csv;
    if (offer)
        emit saveWanted();
    m_panel = false;
    emit changed();
    emit stopped(offer);
}

void MeasureSession::stopWithoutKit()
{
    m_ticker.stop();
    setIdleLook();
    m_measuring = false;
    m_panel = false;
    m_endDue = false;
    m_cycleDue = false;
    m_step = Step::None;
    emit changed();
    emit warning(NoKitAtMeasureMessage);
    emit stopped(false);
}

void MeasureSession::setIdleLook()
{
    m_stateText = IdleText;
    m_climate = Climate::Off;
    m_settingsEnabled = true;
}

} // namespace koru::measure
