// The measurements kept in the journal folder, for the list of past
// measurements: what each journal holds at a glance, and one journal read
// back into the log the charts draw. Every file in that folder is taken as
// untrusted: a pupil may have edited, truncated or replaced it.
#pragma once

#include "measure/readings.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace koru::measure {

// A journal larger than this is listed but not read: a day of readings at
// the quickest interval is about 1.3 MB.
inline constexpr qint64 MaxJournalBytes = 4 * 1024 * 1024;

struct PastMeasurement
{
    QString path;
    QDateTime start;       // from the file's name
    bool readable = false; // false: missing, not a file, too large, or no reading in it
    int readings = 0;      // lines read as readings
    int damagedLines = 0;  // lines that are not (skipped)
    qint64 seconds = 0;    // from the first reading to the last
};

// The journals in folder, newest first. Only files named as MeasureJournal
// names them ("2026-12-10_10-15-42.csv", "...-2.csv") are taken; a file
// that cannot be read is listed with readable false. Each file is read one
// short line at a time, so memory stays small whatever its size.
QList<PastMeasurement> ListPastMeasurements(const QString &folder);

// A journal read back as the session's log: number, time, temperature and
// humidity (the set temperature and the devices are not in the file).
// Lines that are not readings are skipped; a torn last line (a crash while
// it was appended) is one of them. nullopt when the file cannot be read or
// holds no reading.
std::optional<QList<LogEntry>> ReadPastMeasurement(const QString &path);

// "2026/12/10 10:15:42"
QString PastStartText(const QDateTime &start);
// "45秒", "12分30秒", "2時間05分"
QString DurationText(qint64 seconds);

inline const QString PastWhileMeasuringMessage =
    QStringLiteral("計測中は過去の計測をグラフに表示出来ません。\r\n計測を終了してから開いて下さい。");
inline const QString PastUnreadableMessage = QStringLiteral("この計測の記録は読み込めませんでした。");

} // namespace koru::measure
