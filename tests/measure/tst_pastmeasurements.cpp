// The journals of past measurements read back: the list in its order, what
// odd or damaged files in the folder come to, and one journal as the log.
#include "fakemeasurekit.h"
#include "measure/measuresession.h"
#include "measure/pastmeasurements.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace koru;
using namespace koru::measure;

namespace {

QString Summary(const PastMeasurement &past)
{
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(QFileInfo(past.path).fileName())
        .arg(past.readable ? "ok" : "unreadable")
        .arg(past.readings)
        .arg(past.damagedLines)
        .arg(past.seconds);
}

const QByteArray Three = "1,10:15:42,24,55\r\n2,10:15:45,25,56\r\n3,10:15:48,26,57\r\n";

} // namespace

class TstPastMeasurements : public QObject
{
    Q_OBJECT

private slots:
    void list_data();
    void list();
    void readsWhatTheSessionWrote();
    void texts();
};

void TstPastMeasurements::list_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArrayList>("contents"); // "<fifo>", "<dir>", "<huge>": not plain text
    QTest::addColumn<QStringList>("listed");       // name, readable, readings, damaged lines, seconds

    QTest::newRow("newest first, a taken name after its first")
        << QStringList{"2026-12-09_08-00-00.csv", "2026-12-10_10-15-42.csv", "2026-12-11_07-00-00.csv",
                       "2026-12-10_10-15-42-2.csv", "2026-12-10_10-15-42-10.csv"}
        << QByteArrayList{Three, Three, "1,7:00:00,20,40\r\n", Three, Three}
        << QStringList{"2026-12-11_07-00-00.csv ok 1 0 0", "2026-12-10_10-15-42-10.csv ok 3 0 6",
                       "2026-12-10_10-15-42-2.csv ok 3 0 6", "2026-12-10_10-15-42.csv ok 3 0 6",
                       "2026-12-09_08-00-00.csv ok 3 0 6"};
    QTest::newRow("other files in the folder are not journals")
        << QStringList{"notes.csv", "2026-13-40_10-00-00.csv", "2026-12-10_10-15-42.txt", "2026-12-10_10-15-43.csv",
                       "2026-12-10_10-15-44.CSV", ".2026-12-10_10-15-45.csv"}
        << QByteArrayList{Three, Three, Three, "<dir>", Three, Three}
        << QStringList{"2026-12-10_10-15-44.CSV ok 3 0 6"};
    QTest::newRow("empty") << QStringList{"2026-12-10_10-15-42.csv"} << QByteArrayList{""}
                           << QStringList{"2026-12-10_10-15-42.csv unreadable 0 0 0"};
    QTest::newRow("not text") << QStringList{"2026-12-10_10-15-42.csv"}
                              << QByteArrayList{QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)}
                              << QStringList{"2026-12-10_10-15-42.csv unreadable 0 3 0"};
    QTest::newRow("torn last line") << QStringList{"2026-12-10_10-15-42.csv"} << QByteArrayList{Three + "4,10:1"}
                                    << QStringList{"2026-12-10_10-15-42.csv ok 3 1 6"};
    QTest::newRow("a line far too long, readings on both sides")
        << QStringList{"2026-12-10_10-15-42.csv"}
        << QByteArrayList{"1,10:00:00,20,30\r\n" + QByteArray(100000, '7') + "\r\n2,10:00:05,21,31\r\n"}
        << QStringList{"2026-12-10_10-15-42.csv ok 2 1 5"};
    QTest::newRow("lines that are not readings")
        << QStringList{"2026-12-10_10-15-42.csv"}
        << QByteArrayList{"1,10:00:00,101,50\r\n1,25:00:00,20,20\r\n-1,10:00:00,20,20\r\n1,10:00:00,+2,50\r\n"
                          "1,10:00:00,25\r\n1,10:00:00,25,50,7\r\n0,10:00:00,25,50\r\n1,10:00:00,\xef\xbc\x92\xef\xbc\x95,50\r\n"
                          "\r\n\n5,10:00:09,100,00\n"}
        << QStringList{"2026-12-10_10-15-42.csv ok 1 8 0"};
    QTest::newRow("over midnight") << QStringList{"2026-12-10_23-59-50.csv"}
                                   << QByteArrayList{"1,23:59:58,20,30\r\n2,0:00:01,20,30\r\n3,0:00:04,20,30\r\n"}
                                   << QStringList{"2026-12-10_23-59-50.csv ok 3 0 6"};
    QTest::newRow("too large to read") << QStringList{"2026-12-10_10-15-42.csv"} << QByteArrayList{"<huge>"}
                                       << QStringList{"2026-12-10_10-15-42.csv unreadable 0 0 0"};
#ifdef Q_OS_UNIX
    QTest::newRow("a pipe under a journal's name is never opened")
        << QStringList{"2026-12-10_10-15-42.csv", "2026-12-10_10-15-41.csv"} << QByteArrayList{"<fifo>", Three}
        << QStringList{"2026-12-10_10-15-42.csv unreadable 0 0 0", "2026-12-10_10-15-41.csv ok 3 0 6"};
#endif
}

void TstPastMeasurements::list()
{
    QFETCH(QStringList, names);
    QFETCH(QByteArrayList, contents);
    QFETCH(QStringList, listed);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (qsizetype k = 0; k < names.size(); ++k) {
        const QString path = folder.filePath(names[k]);
        if (contents[k] == "<dir>") {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
#ifdef Q_OS_UNIX
        if (contents[k] == "<fifo>") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            continue;
        }
#endif
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (contents[k] == "<huge>") {
            file.write(Three);
            QVERIFY(file.resize(MaxJournalBytes + 1)); // sparse: no 4 MB written
        } else {
            file.write(contents[k]);
        }
    }
    QStringList got;
    for (const PastMeasurement &past : ListPastMeasurements(folder.path()))
        got << Summary(past);
    QCOMPARE(got, listed);
    // Whatever is listed as readable reads back with as many readings.
    for (const PastMeasurement &past : ListPastMeasurements(folder.path())) {
        const std::optional<QList<LogEntry>> log = ReadPastMeasurement(past.path);
        QCOMPARE(log.has_value(), past.readable);
        QCOMPARE(log ? log->size() : 0, past.readings);
    }
    QVERIFY(ListPastMeasurements(folder.filePath("missing")).isEmpty());
}

// The journal a real session wrote comes back as the session's log, less
// what the file never held (the set temperature and the devices).
void TstPastMeasurements::readsWhatTheSessionWrote()
{
    test::FakeMeasureKit kit;
    test::ManualTicker ticker;
    QTemporaryDir folder;
    QDateTime now(QDate(2026, 12, 10), QTime(9, 5, 3));
    MeasureSession session(kit, ticker, [&now] { return now; });
    session.setJournalFolder(folder.path());
    QVERIFY(session.start(false, -1).isEmpty());
    for (const auto &[t, h] : {std::pair{"1E", "37"}, std::pair{"05", "5A"}, std::pair{"0C", "00"}}) {
        if (kit.last() != request::Measure) {
            now = now.addSecs(2);
            ticker.fire();
        }
        kit.answer({t, h});
        kit.answer();
    }
    QCOMPARE(session.log().size(), 3);
    const std::optional<QList<LogEntry>> log = ReadPastMeasurement(session.journalPath());
    QVERIFY(log);
    QStringList back;
    for (const LogEntry &entry : *log) {
        back << entry.line();
        QCOMPARE(entry.setTemperature, -1);
        QCOMPARE(entry.climate, Climate::Off);
    }
    QCOMPARE(back, session.logLines());
    QCOMPARE(back, (QStringList{"1,9:05:03,30,55", "2,9:05:05,05,90", "3,9:05:07,12,00"}));
    const QList<PastMeasurement> listed = ListPastMeasurements(folder.path());
    QCOMPARE(listed.size(), 1);
    QCOMPARE(Summary(listed[0]), QStringLiteral("2026-12-10_09-05-03.csv ok 3 0 4"));
    QCOMPARE(listed[0].start, now.addSecs(-4));
}

void TstPastMeasurements::texts()
{
    QCOMPARE(PastStartText(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))), QStringLiteral("2026/01/02 03:04:05"));
    QCOMPARE(DurationText(0), QStringLiteral("0秒"));
    QCOMPARE(DurationText(59), QStringLiteral("59秒"));
    QCOMPARE(DurationText(60), QStringLiteral("1分00秒"));
    QCOMPARE(DurationText(3599), QStringLiteral("59分59秒"));
    QCOMPARE(DurationText(3600 + 5 * 60 + 59), QStringLiteral("1時間05分"));
    QCOMPARE(DurationText(30 * 3600), QStringLiteral("30時間00分"));
}

KORU_TEST_GUILESS_MAIN(TstPastMeasurements)
#include "tst_pastmeasurements.moc"
