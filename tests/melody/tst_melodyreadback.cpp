// A melody read back from the kit's memory replies.
#include "melody/melody.h"
#include "melody/readback.h"
#include "model/decoder.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

namespace {

QString hex(int value)
{
    return QStringLiteral("%1 ").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// The memory as the kit sends it: 255 lines, the program area left at FF,
// then the device list of a melody and the end code.
QStringList memoryOf(const Melody &m)
{
    QStringList lines(128, hex(0xFF));
    for (const QString &code : m.deviceList())
        lines << hex(code.toInt());
    lines << hex(250);
    while (lines.size() < 255)
        lines << hex(0xFF);
    return lines;
}

Melody loaded(const MelodyReadBack &result)
{
    Melody m;
    if (!result.ok() || !m.load(result.lines))
        qFatal("read-back did not load");
    return m;
}

} // namespace

class TstMelodyReadBack : public QObject
{
    Q_OBJECT
private slots:
    void readsBackWhatWasSent()
    {
        Melody sent;
        const QStringList keys{"0", "1", "148", "12", "0", "21", "19"};
        const QList<int> black{0, 0, 0, 0, 1, 0, 1};
        for (int i = 0; i < keys.size(); ++i) {
            sent.setSelectedLength(i % 4);
            QCOMPARE(sent.addNote(keys[i], black[i]), MelodyEdit::Done);
        }
        sent.setLedColour(0, 0);
        sent.setLedColour(12, 5);
        sent.setLedLink(true);
        sent.setSpeed(MelodySpeed::Double);

        const MelodyReadBack result = DecodeMelodyReadBack(memoryOf(sent));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.lines.size(), 177);
        const Melody back = loaded(result);
        QVERIFY(back.notes() == sent.notes());
        QCOMPARE(back.nextX(), sent.nextX());
        QCOMPARE(back.deviceList(), sent.deviceList());
    }

    void fullMelodyEndsAtTheLastLine()
    {
        Melody sent;
        for (int i = 0; i < MelodySlotCount; ++i)
            sent.addNote(QString::number(i % 22), 0);
        const QStringList memory = memoryOf(sent);
        QCOMPARE(memory[254], QStringLiteral("FA "));
        QCOMPARE(loaded(DecodeMelodyReadBack(memory)).count(), 110);
    }

    void endCodeFirstGivesAnEmptyMelody()
    {
        Melody sent;
        sent.setLedColour(2, 1);
        sent.setSpeed(MelodySpeed::Quadruple);
        const QStringList memory = memoryOf(sent);
        QCOMPARE(memory[144], QStringLiteral("FA "));
        const Melody back = loaded(DecodeMelodyReadBack(memory));
        QCOMPARE(back.count(), 0);
        QCOMPARE(back.ledColour(2), 1);
        QCOMPARE(back.speed(), MelodySpeed::Quadruple);
        QVERIFY(!back.ledLink());
    }

    // A whole memory without the end code: every code up to the last
    // address is read, as many as the melody has slots.
    void readsAWholeMemoryWithoutEndCode_data()
    {
        QTest::addColumn<int>("codes");
        QTest::addColumn<int>("count");
        QTest::newRow("3 codes, FF up to the end") << 3 << 3;
        QTest::newRow("111 codes") << 111 << 110;
    }
    void readsAWholeMemoryWithoutEndCode()
    {
        QFETCH(int, codes);
        QFETCH(int, count);
        QStringList memory = memoryOf(Melody());
        for (int i = 144; i < 255; ++i)
            memory[i] = i - 144 < codes ? hex((i - 144) % 37) : hex(0xFF);
        const Melody back = loaded(DecodeMelodyReadBack(memory));
        QCOMPARE(back.count(), count);
        QCOMPARE(back.notes()[0].len, 0);
    }

    void decodesSingleCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("line");
        QTest::newRow("38: C#3 quarter") << 38 << "0,1,1,80,40";
        QTest::newRow("0: C3 eighth") << 0 << "0,0,0,80,40";
        QTest::newRow("147: C6 half") << 147 << "21,3,0,80,-44";
        QTest::newRow("84: A#3 dotted") << 84 << "5,2,1,80,20";
        QTest::newRow("71: A#5 quarter") << 71 << "19,1,1,80,-36";
        QTest::newRow("70: A5 quarter") << 70 << "19,1,0,80,-36";
        QTest::newRow("150: dotted rest") << 150 << "148,2,0,80,0";
        // above the rests: key and length as for a note, the length at most whole
        QTest::newRow("152: E3 whole") << 152 << "2,3,0,80,32";
        QTest::newRow("249: D#5 whole") << 249 << "15,3,1,80,-20";
    }
    void decodesSingleCodes()
    {
        QFETCH(int, code);
        QFETCH(QString, line);
        QStringList memory = memoryOf(Melody());
        memory[144] = hex(code);
        memory[145] = hex(250);
        const MelodyReadBack result = DecodeMelodyReadBack(memory);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.lines[18], line);
        QCOMPARE(result.lines[19], QString());
    }

    void skipsUnwrittenAndEmptyLines()
    {
        QStringList memory = memoryOf(Melody());
        memory[144] = hex(37);
        memory[145] = QStringLiteral("FF ");
        memory[146] = QString();
        memory[147] = QStringLiteral("fa"); // lower case and no blank
        const Melody back = loaded(DecodeMelodyReadBack(memory));
        QCOMPARE(back.count(), 1);
    }

    void linkAndSpeedCodes_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("linkOn");
        QTest::addColumn<int>("speedValue");
        QTest::newRow("on, standard") << 160 << 3 << true << 1;
        QTest::newRow("off, double") << 161 << 2 << false << 2;
        QTest::newRow("other, quadruple") << 0 << 1 << false << 3;
        QTest::newRow("unwritten speed") << 160 << 0xFF << true << 3;
    }
    void linkAndSpeedCodes()
    {
        QFETCH(int, link);
        QFETCH(int, speed);
        QFETCH(bool, linkOn);
        QFETCH(int, speedValue);
        QStringList memory = memoryOf(Melody());
        memory[141] = hex(link);
        memory[142] = hex(speed);
        const Melody back = loaded(DecodeMelodyReadBack(memory));
        QCOMPARE(back.ledLink(), linkOn);
        QCOMPARE(SpeedFileValue(back.speed()), speedValue);
    }

    // Replies the decoding cannot turn into a melody end with a message.
    void refusesWhatIsNoMelody_data()
    {
        QTest::addColumn<QStringList>("memory");
        QTest::addColumn<QString>("message");
        const QStringList good = memoryOf(Melody());
        QTest::newRow("no melody stored") << QStringList(255, "FF ") << NoMelodyInKitMessage;
        QStringList firstUnwritten = good;
        firstUnwritten[128] = hex(0xFF);
        QTest::newRow("melody area begins with FF") << firstUnwritten << NoMelodyInKitMessage;
        QStringList laterUnwritten = good;
        laterUnwritten[130] = hex(0xFF);
        QTest::newRow("unwritten colour after the first") << laterUnwritten << MelodyReadBackFailedMessage;
        QTest::newRow("no reply") << QStringList() << MelodyReadBackFailedMessage;
        QTest::newRow("142 lines") << good.mid(0, 142) << MelodyReadBackFailedMessage;
        QTest::newRow("cut before the end") << good.mid(0, 144) << MelodyReadBackFailedMessage;
        QStringList colour = good;
        colour[130] = hex(170);
        QTest::newRow("colour code 170") << colour << MelodyReadBackFailedMessage;
        QStringList cut = good.mid(0, 200);
        cut[144] = hex(37);
        cut[145] = hex(0xFF);
        QTest::newRow("cut short without the end") << cut << MelodyReadBackFailedMessage;
        QStringList text = good;
        text[144] = QStringLiteral("G1 ");
        QTest::newRow("not hexadecimal") << text << ConversionFailedMessage;
    }
    void refusesWhatIsNoMelody()
    {
        QFETCH(QStringList, memory);
        QFETCH(QString, message);
        const MelodyReadBack result = DecodeMelodyReadBack(memory);
        QCOMPARE(result.error, message);
        QVERIFY(result.lines.isEmpty());
        QCOMPARE(result.noMelody, message == NoMelodyInKitMessage);
    }
};

KORU_TEST_GUILESS_MAIN(TstMelodyReadBack)
#include "tst_melodyreadback.moc"
