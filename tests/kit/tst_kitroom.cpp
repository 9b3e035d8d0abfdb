// The virtual kit's room: the fan cools it, the lamp warms it, both off let
// it settle back, and sensor settings win at once.
#include "kit/room.h"
#include "testmain.h"

#include <QTest>

using koru::kit::Room;
using Mode = Room::Mode;

struct Phase
{
    Mode mode;
    qint64 forMs;
};
Q_DECLARE_METATYPE(QList<Phase>)

class TstKitRoom : public QObject
{
    Q_OBJECT

private slots:
    void follows_data();
    void follows();
    void sensorSettingWins();
};

void TstKitRoom::follows_data()
{
    QTest::addColumn<int>("startTemperature");
    QTest::addColumn<QList<Phase>>("phases");
    QTest::addColumn<int>("temperature");
    QTest::addColumn<int>("humidity");
    const qint64 step = Room::ActiveStepMs;
    QTest::newRow("off: nothing moves") << 25 << QList<Phase>{{Mode::Off, 3600000}} << 25 << 50;
    QTest::newRow("cooling a step short") << 25 << QList<Phase>{{Mode::Cooling, step - 1}} << 25 << 50;
    QTest::newRow("cooling three steps") << 25 << QList<Phase>{{Mode::Cooling, 3 * step}} << 22 << 56;
    QTest::newRow("heating three steps") << 25 << QList<Phase>{{Mode::Heating, 3 * step}} << 28 << 44;
    QTest::newRow("heating stops at its limit")
        << 25 << QList<Phase>{{Mode::Heating, 3600000}} << 25 + Room::MaxDegrees << 20;
    QTest::newRow("cooling stops at 0 degrees") << 5 << QList<Phase>{{Mode::Cooling, 3600000}} << 0 << 60;
    QTest::newRow("settles back slowly")
        << 25 << QList<Phase>{{Mode::Heating, 4 * step}, {Mode::Off, 2 * Room::SettleStepMs}} << 27 << 46;
    QTest::newRow("settles back fully")
        << 25 << QList<Phase>{{Mode::Cooling, 4 * step}, {Mode::Off, 3600000}} << 25 << 50;
    QTest::newRow("steps counted from the switch")
        << 25 << QList<Phase>{{Mode::Off, step / 2}, {Mode::Cooling, step - 1}} << 25 << 50;
}

void TstKitRoom::follows()
{
    QFETCH(int, startTemperature);
    QFETCH(QList<Phase>, phases);
    QFETCH(int, temperature);
    QFETCH(int, humidity);
    Room room;
    qint64 now = 1000;
    room.setTemperature(startTemperature, 0);
    room.advance(now, Mode::Off);
    for (const Phase &phase : phases) {
        room.advance(now, phase.mode);
        // Called at each due time, as the kit's timer does, then at the end.
        while (room.nextDueMs() && *room.nextDueMs() <= now + phase.forMs)
            room.advance(*room.nextDueMs(), phase.mode);
        now += phase.forMs;
        room.advance(now, phase.mode);
    }
    QCOMPARE(room.temperature(), temperature);
    QCOMPARE(room.humidity(), humidity);
}

void TstKitRoom::sensorSettingWins()
{
    Room room;
    room.advance(0, Mode::Cooling);
    QVERIFY(room.advance(10 * Room::ActiveStepMs, Mode::Cooling)); // a late call catches up at once
    QCOMPARE(room.temperature(), 15);
    const qint64 now = 10 * Room::ActiveStepMs + 500;
    room.setTemperature(30, now);
    room.setHumidity(40, now);
    QCOMPARE(room.temperature(), 30);
    QCOMPARE(room.humidity(), 40);
    QCOMPARE(room.nextDueMs(), now + Room::ActiveStepMs); // a whole step from the setting
    room.advance(now + 1, Mode::Off);
    QVERIFY(!room.nextDueMs()); // at its set values: no timer needed
}

KORU_TEST_GUILESS_MAIN(TstKitRoom)
#include "tst_kitroom.moc"
