// The measurement cycle over a scripted kit and a hand-turned ticker: what a
// reply shows, logs and switches, how a measurement starts, ends and stops,
// and that nothing is lost on the way.
#include "fakemeasurekit.h"
#include "measure/measuresession.h"
#include "model/programfile.h"
#include "testmain.h"

#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::measure;
using koru::test::FakeMeasureKit;
using koru::test::ManualTicker;

namespace {

// A session with its kit, ticker and a clock that moves one interval a tick.
struct SessionRig
{
    FakeMeasureKit kit;
    ManualTicker ticker;
    QDateTime now{QDate(2026, 12, 10), QTime(10, 15, 40)};
    QTemporaryDir folder;
    MeasureSession session{kit, ticker, [this] { return now; }};
    QStringList warnings;
    int saves = 0;
    QStringList savedLines;

    SessionRig()
    {
        session.setJournalFolder(folder.path());
        QObject::connect(&session, &MeasureSession::warning, [this](const QString &m) { warnings.append(m); });
        QObject::connect(&session, &MeasureSession::saveWanted, [this] {
            ++saves;
            savedLines = session.logLines();
            QVERIFY(session.panelVisible()); // saved before the panel goes
        });
    }
    // Answers the pending measurement request and the output request after it.
    void cycle(const QString &t, const QString &h)
    {
        QCOMPARE(kit.last(), request::Measure);
        kit.answer({t, h});
        QVERIFY(kit.pending);
        kit.answer();
    }
    void nextTick()
    {
        now = now.addMSecs(ticker.interval);
        ticker.fire();
    }
    QString journalText() const
    {
        QFile file(session.journalPath());
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        // The journal is Shift-JIS, as the CSV file is.
        const std::optional<QStringList> lines = DecodeProgramText(file.readAll());
        return lines ? lines->join("\r\n") + "\r\n" : QStringLiteral("(not Shift-JIS)");
    }
};

} // namespace

class TstMeasureSession : public QObject
{
    Q_OBJECT

private slots:
    void logTimeWhateverTheLocale_data();
    void logTimeWhateverTheLocale();
    void oneCycle_data();
    void oneCycle();
    void climateStretches_data();
    void climateStretches();
    void spikeFilter_data();
    void spikeFilter();
    void digitArrows_data();
    void digitArrows();
    void startRefusedWithoutInterval();
    void quickCycleWithoutCsv();
    void hourIntervalEndsAtOnce();
    void endWithoutKitStillSaves();
    void tickDuringCycleIsSkipped();
    void endWaitsForRunningCycle();
    void noKit_data();
    void noKit();
    void errorInsideCycleEndsMeasurement_data();
    void errorInsideCycleEndsMeasurement();
    void noKitAtOutputGoesOn();
    void journalOnDiskAfterEachCycle();
    void journalFailureWarnsOnce();
};

// The CSV time a spreadsheet reads as a time. CTest runs this test under the
// C and the ja_JP locales (tst_measuresession_ja).
void TstMeasureSession::logTimeWhateverTheLocale_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QTime(16, 39, 38) << "16:39:38";
    QTest::newRow("morning, one-digit hour") << QTime(9, 5, 3) << "9:05:03";
    QTest::newRow("midnight") << QTime(0, 0, 0) << "0:00:00";
    QTest::newRow("last second, milliseconds dropped") << QTime(23, 59, 59, 999) << "23:59:59";
}

void TstMeasureSession::logTimeWhateverTheLocale()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    if (qgetenv("LC_ALL").startsWith("ja"))
        QCOMPARE(QLocale::system().language(), QLocale::Japanese); // the locale is really in force
    QCOMPARE(LogTimeText(time), text);
    const LogEntry entry{3, LogTimeText(time), QStringLiteral("24"), QStringLiteral("55")};
    QCOMPARE(entry.line(), QStringLiteral("3,%1,24,55").arg(text));
}

// The chart's bands: a device runs from the reading that switched it on to
// the next reading; runs of the same device join; the last reaches one step on.
void TstMeasureSession::climateStretches_data()
{
    QTest::addColumn<QList<Climate>>("climates");
    QTest::addColumn<QList<ClimateStretch>>("stretches");
    using C = Climate;
    QTest::newRow("none") << QList<C>{} << QList<ClimateStretch>{};
    QTest::newRow("all off") << QList<C>{C::Off, C::Off} << QList<ClimateStretch>{};
    QTest::newRow("lamp, then fan, then lamp")
        << QList<C>{C::Heating, C::Heating, C::Off, C::Cooling, C::Cooling, C::Heating}
        << QList<ClimateStretch>{{1, 3, C::Heating}, {4, 6, C::Cooling}, {6, 7, C::Heating}};
    QTest::newRow("one reading on") << QList<C>{C::Off, C::Cooling, C::Off}
                                    << QList<ClimateStretch>{{2, 3, C::Cooling}};
}

void TstMeasureSession::climateStretches()
{
    QFETCH(QList<Climate>, climates);
    QFETCH(QList<ClimateStretch>, stretches);
    QList<LogEntry> log;
    for (const Climate c : climates)
        log.append({int(log.size()) + 1, QStringLiteral("10:00:00"), QStringLiteral("25"), QStringLiteral("50"), 25, c});
    QCOMPARE(ClimateStretches(log), stretches);
}

void TstMeasureSession::oneCycle_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<QString>("t");
    QTest::addColumn<QString>("h");
    QTest::addColumn<QString>("shownT");
    QTest::addColumn<QString>("shownH");
    QTest::addColumn<int>("output");
    QTest::addColumn<Climate>("climate");
    QTest::newRow("equal: off") << 25 << "19 " << "37 " << "25" << "55" << request::Off << Climate::Off;
    QTest::newRow("warmer: cool") << 25 << "1E " << "37 " << "30" << "55" << request::Cooling << Climate::Cooling;
    QTest::newRow("colder: heat") << 25 << "14 " << "37 " << "20" << "55" << request::Heating << Climate::Heating;
    QTest::newRow("one digit padded") << 0 << "05 " << "09 " << "05" << "09" << request::Cooling << Climate::Cooling;
    QTest::newRow("humidity over 100") << 25 << "19 " << "6E " << "25" << "100" << request::Off << Climate::Off;
    QTest::newRow("temperature over 100") << 99 << "FF " << "37 " << "100" << "55" << request::Cooling
                                          << Climate::Cooling;
    QTest::newRow("zero") << 0 << "00 " << "00 " << "00" << "00" << request::Off << Climate::Off;
}

void TstMeasureSession::oneCycle()
{
    QFETCH(int, set);
    QFETCH(QString, t);
    QFETCH(QString, h);
    QFETCH(QString, shownT);
    QFETCH(QString, shownH);
    QFETCH(int, output);
    QFETCH(Climate, climate);
    SessionRig rig;
    rig.session.setTemperature().setValue(set);
    QVERIFY(rig.session.start(false, -1).isEmpty());
    QCOMPARE(rig.session.stateText(), MeasuringText);
    QCOMPARE(rig.kit.sent, QList<int>{request::Measure}); // at once, without waiting for a tick
    rig.kit.answer({t, h});
    QCOMPARE(rig.session.temperatureText(), shownT);
    QCOMPARE(rig.session.humidityText(), shownH);
    QCOMPARE(rig.session.climate(), climate);
    QCOMPARE(rig.session.log().last().climate, climate); // kept for the chart
    QCOMPARE(rig.session.log().last().setTemperature, set);
    QCOMPARE(rig.kit.sent, (QList<int>{request::Measure, output}));
    QCOMPARE(rig.session.logLines(),
             QStringList{QStringLiteral("1,10:15:40,%1,%2").arg(shownT, shownH)});
    QCOMPARE(rig.session.nextNumber(), 2);
    QVERIFY(rig.warnings.isEmpty());
}

void TstMeasureSession::spikeFilter_data()
{
    QTest::addColumn<QList<int>>("raw");
    QTest::addColumn<QStringList>("temperatures");
    QTest::addColumn<QStringList>("humidities");
    // Temperatures as given, humidities twice the temperature.
    QTest::newRow("rise of 25 filtered once") << QList<int>{20, 45, 45} << QStringList{"20", "20", "45"}
                                              << QStringList{"40", "40", "90"};
    QTest::newRow("rise of exactly 20 kept") << QList<int>{20, 40} << QStringList{"20", "40"}
                                             << QStringList{"40", "80"};
    QTest::newRow("falls never filtered") << QList<int>{45, 10} << QStringList{"45", "10"}
                                          << QStringList{"90", "20"};
    QTest::newRow("humidity rise of 42 filtered") << QList<int>{5, 26} << QStringList{"05", "05"}
                                                  << QStringList{"10", "10"};
}

void TstMeasureSession::spikeFilter()
{
    QFETCH(QList<int>, raw);
    QFETCH(QStringList, temperatures);
    QFETCH(QStringList, humidities);
    SessionRig rig;
    QVERIFY(rig.session.start(false, -1).isEmpty());
    for (int i = 0; i < raw.size(); ++i) {
        if (i > 0)
            rig.nextTick();
        rig.cycle(QStringLiteral("%1 ").arg(raw[i], 2, 16, QLatin1Char('0')).toUpper(),
                  QStringLiteral("%1 ").arg(raw[i] * 2, 2, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(rig.session.temperatureText(), temperatures[i]);
        QCOMPARE(rig.session.humidityText(), humidities[i]);
        QCOMPARE(rig.session.log().last().temperature, temperatures[i]);
    }
}

void TstMeasureSession::digitArrows_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("arrow");
    QTest::addColumn<int>("to");
    QTest::newRow("ones down") << 9 << "DecImage2" << 8;
    QTest::newRow("tens down from 0") << 0 << "DecImage1" << 90;
    QTest::newRow("ones down from 0 leaves tens") << 10 << "DecImage2" << 19;
    QTest::newRow("ones up from 9 leaves tens") << 99 << "IncImage2" << 90;
    QTest::newRow("tens up from 9") << 95 << "IncImage1" << 5;
    QTest::newRow("unknown digit") << 25 << "IncImage3" << 25;
    QTest::newRow("unknown arrow") << 25 << "Label1" << 25;
}

void TstMeasureSession::digitArrows()
{
    QFETCH(int, from);
    QFETCH(QString, arrow);
    QFETCH(int, to);
    SetTemperature set;
    QCOMPARE(set.value(), 25);
    set.setValue(from);
    QCOMPARE(set.press(arrow), to != from);
    QCOMPARE(set.value(), to);
}

void TstMeasureSession::startRefusedWithoutInterval()
{
    SessionRig rig;
    QCOMPARE(rig.session.start(true, -1), IntervalMissingMessage);
    QVERIFY(!rig.session.measuring());
    QVERIFY(rig.kit.sent.isEmpty());
    QVERIFY(!rig.ticker.running);
    QCOMPARE(rig.session.stateText(), IdleText);
    QVERIFY(rig.session.settingsEnabled());
    // With a choice it starts, at that interval.
    QVERIFY(rig.session.start(true, 2).isEmpty());
    QCOMPARE(rig.ticker.interval, 10000);
    QVERIFY(!rig.session.settingsEnabled());
    // A second 計測開始 while measuring changes nothing.
    QVERIFY(rig.session.start(false, -1).isEmpty());
    QCOMPARE(rig.ticker.interval, 10000);
    QCOMPARE(rig.kit.sent, QList<int>{request::Measure});
}

void TstMeasureSession::quickCycleWithoutCsv()
{
    SessionRig rig;
    QVERIFY(rig.session.start(false, 8).isEmpty()); // the choice counts only with the CSV file
    QCOMPARE(rig.ticker.interval, QuickIntervalMs);
    rig.cycle("19 ", "37 ");
    for (int i = 0; i < 3; ++i) {
        rig.nextTick();
        rig.cycle("1A ", "37 ");
    }
    QCOMPARE(rig.session.log().size(), 4);
    rig.session.end(); // between cycles: the end runs at once
    QVERIFY(rig.session.panelVisible());
    QCOMPARE(rig.kit.last(), request::Off);
    QVERIFY(!rig.ticker.running);
    rig.kit.answer();
    QVERIFY(!rig.session.panelVisible());
    QVERIFY(rig.session.idle());
    QCOMPARE(rig.saves, 0);
    QVERIFY(rig.warnings.isEmpty());
}

// With an hour between ticks the end panel does not wait for the next one:
// 計測終了 between cycles ends the measurement at once.
void TstMeasureSession::hourIntervalEndsAtOnce()
{
    SessionRig rig;
    QVERIFY(rig.session.start(true, 8).isEmpty());
    QCOMPARE(rig.ticker.interval, 3600000);
    rig.cycle("19 ", "37 ");
    rig.session.end();
    QVERIFY(!rig.session.measuring());
    QVERIFY(rig.session.panelVisible()); // while the kit is told to switch off
    QCOMPARE(rig.session.stateText(), IdleText);
    QVERIFY(rig.session.settingsEnabled());
    QCOMPARE(rig.session.climate(), Climate::Off);
    QCOMPARE(rig.kit.last(), request::Off);
    QVERIFY(!rig.ticker.running);
    QVERIFY(rig.session.start(false, -1).isEmpty()); // 計測開始 cannot cut the end short
    QCOMPARE(rig.kit.sent.size(), 3);
    rig.session.end(); // a second 計測終了 is ignored
    QCOMPARE(rig.saves, 0);
    rig.kit.answer();
    QCOMPARE(rig.saves, 1);
    QCOMPARE(rig.savedLines, rig.session.logLines());
    QCOMPARE(rig.savedLines.size(), 1);
    QVERIFY(!rig.session.panelVisible());
    QVERIFY(rig.session.idle());
    // The next measurement starts from an empty log.
    QVERIFY(rig.session.start(true, 0).isEmpty());
    QVERIFY(rig.session.log().isEmpty());
    QCOMPARE(rig.session.nextNumber(), 1);
}

void TstMeasureSession::endWithoutKitStillSaves()
{
    SessionRig rig;
    QVERIFY(rig.session.start(true, 8).isEmpty());
    rig.cycle("1E ", "37 ");
    rig.kit.present = false; // unplugged during the hour
    rig.session.end();
    QCOMPARE(rig.warnings, QStringList{NoKitAtOutputMessage});
    QCOMPARE(rig.saves, 1); // the hour's readings are offered all the same
    QCOMPARE(rig.savedLines.size(), 1);
    QVERIFY(!rig.session.panelVisible()); // and the panel does not stay for good
    QVERIFY(rig.session.idle());
    QCOMPARE(rig.session.climate(), Climate::Off);
}

// A tick while a cycle still waits for the kit is skipped (the cycles'
// replies never mix), and the next cycle starts as soon as the running one
// is over: readings come as often as the kit allows, not every other tick.
void TstMeasureSession::tickDuringCycleIsSkipped()
{
    SessionRig rig;
    QVERIFY(rig.session.start(false, -1).isEmpty());
    rig.nextTick(); // while the kit still answers the measurement request
    QCOMPARE(rig.kit.sent, QList<int>{request::Measure});
    rig.kit.answer({"19 ", "37 "});
    rig.nextTick(); // while the off request is out: still one cycle due, not two
    rig.kit.answer();
    QCOMPARE(rig.kit.sent, (QList<int>{request::Measure, request::Off, request::Measure}));
    QCOMPARE(rig.session.skippedTicks(), 2);
    QCOMPARE(rig.session.log().size(), 1);
    rig.cycle("1A ", "38 ");
    QCOMPARE(rig.session.logLines().last(), QStringLiteral("2,10:15:43,26,56"));
    QCOMPARE(rig.kit.sent.size(), 4); // nothing more was due
    // A late reply of the kit between cycles is no reading.
    emit rig.kit.reply("63 ");
    rig.nextTick();
    rig.cycle("1B ", "39 ");
    QCOMPARE(rig.session.logLines().last(), QStringLiteral("3,10:15:44,27,57"));
}

// 計測終了 during a cycle: the cycle finishes, then the end runs at once,
// without waiting for a tick.
void TstMeasureSession::endWaitsForRunningCycle()
{
    SessionRig rig;
    QVERIFY(rig.session.start(true, 0).isEmpty());
    rig.session.end(); // during the first cycle
    rig.kit.answer({"19 ", "37 "});
    QCOMPARE(rig.session.log().size(), 1); // the running cycle still counts
    QCOMPARE(rig.kit.sent, (QList<int>{request::Measure, request::Off}));
    rig.kit.answer();
    QCOMPARE(rig.kit.sent, (QList<int>{request::Measure, request::Off, request::Off}));
    rig.nextTick(); // a tick on the way changes nothing
    QCOMPARE(rig.kit.sent.size(), 3);
    rig.kit.answer();
    QCOMPARE(rig.saves, 1);
    QVERIFY(rig.session.idle());
}

void TstMeasureSession::noKit_data()
{
    QTest::addColumn<bool>("whileAsking"); // the kit goes away during the request
    QTest::newRow("no kit at the request") << false;
    QTest::newRow("kit gone during the request") << true;
}

void TstMeasureSession::noKit()
{
    QFETCH(bool, whileAsking);
    SessionRig rig;
    QSignalSpy stopped(&rig.session, &MeasureSession::stopped);
    QVERIFY(rig.session.start(true, 0).isEmpty());
    rig.cycle("1E ", "37 ");
    QCOMPARE(rig.session.climate(), Climate::Cooling);
    if (whileAsking) {
        rig.nextTick();
        rig.session.end(); // its panel must not stay
        rig.kit.answer({}, false);
    } else {
        rig.kit.present = false;
        rig.nextTick();
    }
    QCOMPARE(rig.warnings, QStringList{NoKitAtMeasureMessage});
    QCOMPARE(stopped.size(), 1);
    QVERIFY(rig.session.idle());
    QVERIFY(!rig.ticker.running);
    QCOMPARE(rig.session.stateText(), IdleText);
    QCOMPARE(rig.session.climate(), Climate::Off);
    QVERIFY(rig.session.settingsEnabled());
    QCOMPARE(rig.saves, 0);
    QCOMPARE(rig.journalText().count("\r\n"), 1); // the readings are on disk all the same
    rig.kit.present = true;
    QVERIFY(rig.session.start(true, 0).isEmpty());
    QVERIFY(rig.session.measuring());
}

void TstMeasureSession::errorInsideCycleEndsMeasurement_data()
{
    QTest::addColumn<QStringList>("replies");
    QTest::newRow("one reply") << QStringList{"19 "};
    QTest::newRow("no reply") << QStringList{};
    QTest::newRow("not hexadecimal") << QStringList{"19 ", "ZZ "};
}

void TstMeasureSession::errorInsideCycleEndsMeasurement()
{
    QFETCH(QStringList, replies);
    SessionRig rig;
    QVERIFY(rig.session.start(true, 0).isEmpty());
    rig.cycle("1E ", "37 ");
    rig.nextTick();
    rig.kit.answer(replies);
    QCOMPARE(rig.warnings, QStringList{NoReadingMessage});
    QCOMPARE(rig.kit.last(), request::Off); // the fan does not run on
    QVERIFY(!rig.ticker.running);
    QVERIFY(rig.session.panelVisible());
    rig.kit.answer();
    QCOMPARE(rig.saves, 1);
    QCOMPARE(rig.savedLines.size(), 1);
    QVERIFY(!rig.session.panelVisible());
    QVERIFY(rig.session.idle());
    QCOMPARE(rig.session.stateText(), IdleText);
    QVERIFY(rig.session.start(true, 0).isEmpty()); // 計測開始 works again
    QVERIFY(rig.session.measuring());
}

void TstMeasureSession::noKitAtOutputGoesOn()
{
    SessionRig rig;
    QVERIFY(rig.session.start(false, -1).isEmpty());
    rig.kit.answer({"1E ", "37 "});
    rig.kit.answer({}, false); // the kit went away while the fan request was out
    QCOMPARE(rig.warnings, QStringList{NoKitAtOutputMessage});
    QVERIFY(rig.session.measuring());
    QVERIFY(rig.ticker.running);
    rig.nextTick();
    rig.kit.present = false;
    rig.kit.answer({"1E ", "37 "}); // refused at once this time
    QCOMPARE(rig.warnings, (QStringList{NoKitAtOutputMessage, NoKitAtOutputMessage}));
    QVERIFY(rig.session.measuring());
}

void TstMeasureSession::journalOnDiskAfterEachCycle()
{
    SessionRig rig;
    QVERIFY(rig.session.start(true, 0).isEmpty());
    QVERIFY(!QFile::exists(rig.session.journalPath())); // nothing before the first line
    QVERIFY(rig.session.journalPath().startsWith(rig.folder.path() + "/2026-12-10_10-15-40"));
    rig.cycle("19 ", "37 ");
    QCOMPARE(rig.journalText(), rig.session.logLines().join("\r\n") + "\r\n");
    rig.nextTick();
    rig.cycle("1A ", "6E ");
    QCOMPARE(rig.journalText(), rig.session.logLines().join("\r\n") + "\r\n");
    QCOMPARE(EncodeProgramText(rig.session.logLines()).value(), rig.journalText().toLatin1());
    // The window closes mid-measurement: the off request goes, the journal stays.
    const QString path = rig.session.journalPath();
    rig.session.close();
    QCOMPARE(rig.kit.last(), request::Off);
    QVERIFY(!rig.ticker.running);
    QCOMPARE(rig.journalText().count("\r\n"), 2);
    // A second measurement in the same second gets a file of its own.
    MeasureSession second{rig.kit, rig.ticker, [] { return QDateTime(QDate(2026, 12, 10), QTime(10, 15, 40, 500)); }};
    second.setJournalFolder(rig.folder.path());
    QVERIFY(second.start(false, -1).isEmpty());
    rig.kit.answer({"19 ", "37 "});
    QVERIFY(second.journalPath() != path);
}

void TstMeasureSession::journalFailureWarnsOnce()
{
    SessionRig rig;
    QFile blocker(rig.folder.filePath("taken"));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    rig.session.setJournalFolder(blocker.fileName());
    QVERIFY(rig.session.start(false, -1).isEmpty());
    rig.kit.answer({"19 ", "37 "});
    QVERIFY(rig.warnings.isEmpty()); // not while the cycle still waits for the kit
    rig.kit.answer();
    QCOMPARE(rig.warnings, QStringList{JournalFailedMessage});
    rig.nextTick();
    rig.cycle("19 ", "37 ");
    QCOMPARE(rig.warnings.size(), 1);
    QCOMPARE(rig.session.log().size(), 2); // the measurement goes on
    QVERIFY(rig.session.measuring());
}

KORU_TEST_GUILESS_MAIN(TstMeasureSession)
#include "tst_measuresession.moc"
