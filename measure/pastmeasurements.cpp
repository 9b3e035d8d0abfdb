#include "measure/pastmeasurements.h"

#include "model/programfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace koru::measure {

namespace {

// A journal line is at most "123456789,23:59:59,100,100" and its CR LF; a
// longer one is damage, read past in pieces of this size.
constexpr qint64 LineBuffer = 64;
constexpr int SecondsPerDay = 24 * 60 * 60;

struct JournalName
{
    QDateTime start;
    int copy = 1; // "-2" and so on: taken when the name was in use
};

std::optional<JournalName> NameOf(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:-(\\d{1,6}))?\\.csv$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    JournalName name;
    name.start = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (!name.start.isValid())
        return std::nullopt;
    if (match.hasCaptured(2))
        name.copy = match.captured(2).toInt();
    return name;
}

bool Digits(const QByteArray &field, int most)
{
    return !field.isEmpty() && field.size() <= most
           && std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "3,10:15:42,24,55" as MeasureSession logs it; nothing else.
std::optional<LogEntry> EntryOfLine(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split(',');
    if (fields.size() != 4 || !Digits(fields[0], 9) || !Digits(fields[2], 3) || !Digits(fields[3], 3))
        return std::nullopt;
    const QTime time = QTime::fromString(QString::fromLatin1(fields[1]), QStringLiteral("H:mm:ss"));
    const int number = fields[0].toInt();
    const int temperature = fields[2].toInt();
    const int humidity = fields[3].toInt();
    if (!time.isValid() || number < 1 || temperature > 100 || humidity > 100)
        return std::nullopt;
    LogEntry entry;
    entry.number = number;
    entry.time = LogTimeText(time);
    entry.temperature = ReadingText(temperature);
    entry.humidity = ReadingText(humidity);
    return entry;
}

// Reads path line by line, handing each reading to take; counts what is
// not one. False when the file cannot be read at all.
template <typename Take>
bool ScanJournal(const QString &path, int &damaged, Take take)
{
    damaged = 0;
    QFile file;
    if (!OpenRegularFile(file, path) || file.size() > MaxJournalBytes)
        return false;
    char buffer[LineBuffer + 1];
    qint64 total = 0;
    while (!file.atEnd()) {
        qint64 length = file.readLine(buffer, sizeof buffer);
        if (length < 0)
            return false;
        if (length == 0)
            break;
        // The file may grow while it is read (the running measurement's).
        total += length;
        if (total > MaxJournalBytes)
            return false;
        const bool ended = buffer[length - 1] == '\n';
        if (!ended) {
            // Too long for a reading, or the torn end of the file.
            ++damaged;
            while (!file.atEnd()) {
                const qint64 more = file.readLine(buffer, sizeof buffer);
                if (more <= 0)
                    return more == 0;
                total += more;
                if (total > MaxJournalBytes)
                    return false;
                if (buffer[more - 1] == '\n')
                    break;
            }
            continue;
        }
        --length;
        if (length > 0 && buffer[length - 1] == '\r')
            --length;
        if (length == 0)
            continue; // a blank line, as an editor may leave at the end
        const std::optional<LogEntry> entry = EntryOfLine(QByteArray(buffer, length));
        if (entry)
            take(*entry);
        else
            ++damaged;
    }
    return true;
}

int SecondOfDay(const QString &time)
{
    return QTime::fromString(time, QStringLiteral("H:mm:ss")).msecsSinceStartOfDay() / 1000;
}

} // namespace

QList<PastMeasurement> ListPastMeasurements(const QString &folder)
{
    struct Found
    {
        PastMeasurement past;
        int copy;
    };
    QList<Found> found;
    // System too: a pipe or a broken link under a journal's name is listed
    // (as unreadable) rather than hidden; it is never opened for reading.
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : files) {
        const std::optional<JournalName> name = NameOf(info.fileName());
        if (!name)
            continue;
        PastMeasurement past;
        past.path = info.filePath();
        past.start = name->start;
        int lastSecond = -1;
        const bool read = ScanJournal(past.path, past.damagedLines, [&](const LogEntry &entry) {
            const int second = SecondOfDay(entry.time);
            // Times of day only: a reading before the last one is on the next day.
            if (lastSecond >= 0)
                past.seconds += (second - lastSecond + SecondsPerDay) % SecondsPerDay;
            lastSecond = second;
            ++past.readings;
        });
        past.readable = read && past.readings > 0;
        if (!read) {
            past.readings = 0;
            past.damagedLines = 0;
            past.seconds = 0;
        }
        found.append({past, name->copy});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        if (a.past.start != b.past.start)
            return a.past.start > b.past.start;
        if (a.copy != b.copy)
            return a.copy > b.copy;
        return a.past.path > b.past.path;
    });
    QList<PastMeasurement> list;
    list.reserve(found.size());
    for (const Found &f : std::as_const(found))
        list.append(f.past);
    return list;
}

std::optional<QList<LogEntry>> ReadPastMeasurement(const QString &path)
{
    QList<LogEntry> log;
    int damaged = 0;
    if (!ScanJournal(path, damaged, [&log](const LogEntry &entry) { log.append(entry); }) || log.isEmpty())
        return std::nullopt;
    return log;
}

QString PastStartText(const QDateTime &start)
{
    return start.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString DurationText(qint64 seconds)
{
    seconds = std::max<qint64>(0, seconds);
    const qint64 hours = seconds / 3600;
    const int minutes = int(seconds % 3600 / 60);
    const int rest = int(seconds % 60);
    if (hours > 0)
        return QStringLiteral("%1時間%2分").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
    if (minutes > 0)
        return QStringLiteral("%1分%2秒").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1秒").arg(rest);
}

} // namespace koru::measure
