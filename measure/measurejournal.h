// The log of one measurement on disk as it grows: every line is appended to
// a file in the work folder right after its cycle, so a cancelled save
// dialog, a closed window, a crash or an unplugged kit lose nothing.
// Same format as the CSV file (Shift-JIS, CR LF, no header line).
#pragma once

#include <QDateTime>
#include <QString>

namespace koru::measure {

class MeasureJournal
{
public:
    // The folder below the work folder that keeps the journals.
    static QString DefaultFolder();

    // A new journal in folder, named by the start time
    // ("2026-12-10_10-15-42.csv", "-2" and so on when taken). Nothing is
    // written until the first line.
    void begin(const QString &folder, const QDateTime &start);
    // Appends one line and flushes it to disk. False when it could not.
    bool append(const QString &line);

    QString path() const { return m_path; }
    bool written() const { return m_lines > 0; }

private:
    QString m_path;
    int m_lines = 0;
};

} // namespace koru::measure
