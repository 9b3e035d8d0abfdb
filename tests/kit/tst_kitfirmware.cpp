// The kit's firmware: frames into the two memory areas, the requests and
// their replies, and values that arrive where nothing expects them.
#include "kit/firmware.h"
#include "kittestutil.h"
#include "testmain.h"

#include <QTest>

using namespace koru;
using namespace koru::kit;
using namespace koru::kit::test;

namespace {

struct Kit
{
    Kit() : firmware(clock, recorder) {}

    void send(const QList<int> &values)
    {
        for (int v : values) {
            firmware.receive(v);
            clock.advanceBy(50); // the PC's pace
            firmware.advance();
        }
    }
    void frame(int start, const QList<int> &codes)
    {
        QList<int> values{start};
        values.append(codes);
        values.append(250);
        send(values);
    }
    void runFor(qint64 ms) { RunUntil(clock, firmware, clock.nowMs() + ms); }
    QList<int> replies() const
    {
        QList<int> out;
        for (const Effect &e : recorder.ofKind(EffectKind::Reply))
            out.append(e.a);
        return out;
    }
    QList<int> area(MemoryArea a) const
    {
        QList<int> out;
        for (int i = a.first; i < a.end(); ++i)
            out.append(firmware.memory().readBack(i));
        return out;
    }

    ManualClock clock;
    Recorder recorder;
    KitFirmware firmware;
};

QList<int> padded(QList<int> bytes, int size)
{
    while (bytes.size() < size)
        bytes.append(0xFF);
    return bytes;
}

const QList<int> Melody{169, 169, 169, 169, 169, 169, 169, 169, 169, 169, 169, 169, 169, 161, 3, 0, 37, 2, 151};

} // namespace

class TestKitFirmware : public QObject
{
    Q_OBJECT

private slots:
    void framesFillTheirOwnArea();
    void readBackSendsEveryAddress();
    void frameEndInsideInstructionIsData();
    void frameEndAfterTrailingByteWaitsForQuiet();
    void overlongFrameLeavesOtherAreaAlone_data();
    void overlongFrameLeavesOtherAreaAlone();
    void unendedFrameIsGivenUp();
    void cutOffFrameGivesWayToTheNext_data();
    void cutOffFrameGivesWayToTheNext();
    void strayValuesAreIgnored();
    void runRepliesWhenProgramEnds();
    void stopRepliesOnlyForARun();
    void playRepliesAfterLastNote();
    void measureRepliesTemperatureThenHumidity();
    void measurementOutputs();
    void frameDuringRunStopsIt();
};

void TestKitFirmware::framesFillTheirOwnArea()
{
    Kit kit;
    kit.frame(240, {230, 2, 231});
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    kit.frame(242, Melody);
    QCOMPARE(kit.replies(), QList<int>({0xFF, 0xFF}));
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded({230, 2, 231, 250}, 128));
    QList<int> melody = Melody;
    melody.append(250);
    QCOMPARE(kit.area(KitMemory::MelodyArea), padded(melody, 127));

    // A shorter program replaces the longer one completely.
    kit.frame(240, {230, 0});
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded({230, 0, 250}, 128));
    QCOMPARE(kit.area(KitMemory::MelodyArea), padded(melody, 127));
}

void TestKitFirmware::readBackSendsEveryAddress()
{
    Kit kit;
    kit.send({245});
    QCOMPARE(kit.replies(), padded({}, 255)); // nothing written yet
    kit.recorder.clear();
    kit.frame(240, {230, 2, 160, 3, 5, 231});
    kit.frame(242, Melody);
    kit.recorder.clear();
    kit.send({245});
    QList<int> expected = padded({230, 2, 160, 3, 5, 231, 250}, 128);
    expected.append(Melody);
    expected.append(250);
    QCOMPARE(kit.replies(), padded(expected, 255));
}

// A 250-second timer and an address 250 are parameters, not the frame end.
void TestKitFirmware::frameEndInsideInstructionIsData()
{
    Kit kit;
    QList<int> image{230, 2, 160, 250, 5, 201, 250};
    kit.frame(240, image);
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    image.append(250);
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded(image, 128));
}

// The text editor's image ends with 231 and an extra 0; the 250 after it sits
// where an instruction's bytes would be, and ends the frame once the PC has
// gone quiet.
void TestKitFirmware::frameEndAfterTrailingByteWaitsForQuiet()
{
    Kit kit;
    kit.frame(240, {230, 2, 231, 0});
    QVERIFY(kit.replies().isEmpty());
    kit.runFor(KitFirmware::DataEndQuietMs);
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded({230, 2, 231, 0, 250}, 128));
    QVERIFY(!kit.firmware.receivingFrame());
    kit.send({241});
    kit.runFor(100);
    QCOMPARE(kit.replies(), QList<int>({0xFF, 0xFF}));
}

void TestKitFirmware::overlongFrameLeavesOtherAreaAlone_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("fits");
    QTest::newRow("program of 127 bytes fits") << 240 << 127 << true;
    QTest::newRow("program of 128 bytes") << 240 << 128 << false;
    QTest::newRow("program of 1000 bytes") << 240 << 1000 << false;
    QTest::newRow("melody of 126 codes fits") << 242 << 126 << true;
    QTest::newRow("melody of 127 codes") << 242 << 127 << false;
}

void TestKitFirmware::overlongFrameLeavesOtherAreaAlone()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, fits);
    Kit kit;
    kit.frame(240, {230, 2, 231});
    kit.frame(242, Melody);
    const QList<int> program = kit.area(KitMemory::ProgramArea);
    const QList<int> melody = kit.area(KitMemory::MelodyArea);
    // Single-byte instructions (206) so that every value stands where an
    // instruction begins.
    kit.frame(start, QList<int>(length, start == 240 ? 206 : 37));
    QCOMPARE(kit.replies().size(), 3);
    const MemoryArea target = start == 240 ? KitMemory::ProgramArea : KitMemory::MelodyArea;
    QCOMPARE(kit.area(start == 240 ? KitMemory::MelodyArea : KitMemory::ProgramArea),
             start == 240 ? melody : program);
    const QList<int> written = kit.area(target);
    if (fits) {
        QCOMPARE(written[length], 250);
    } else {
        QCOMPARE(written, padded({}, target.size)); // refused: the area is empty
        QCOMPARE(kit.recorder.ofKind(EffectKind::Frame).last().c, 0);
    }
}

void TestKitFirmware::unendedFrameIsGivenUp()
{
    Kit kit;
    kit.frame(240, {230, 2, 160, 1, 5, 231});
    kit.send({240, 230, 2});
    kit.runFor(KitFirmware::AbandonQuietMs);
    QVERIFY(!kit.firmware.receivingFrame());
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded({230, 2, 160, 1, 5, 231, 250}, 128));
    kit.send({241});
    QVERIFY(kit.firmware.interpreter().running());
}

// A transfer cut off half-way, then a new one at once: the new program is
// stored as sent, never the old head with the new program behind it. Cut
// where an instruction would begin, the next 240 or 242 is known for a frame
// start; cut inside an instruction, only the sender's going away (its
// connection closing) tells; a 240 standing as a parameter (a 240-second
// timer) stays data.
void TestKitFirmware::cutOffFrameGivesWayToTheNext_data()
{
    QTest::addColumn<QList<int>>("cutOff");
    QTest::addColumn<bool>("senderGone");
    QTest::addColumn<QList<int>>("next");
    QTest::addColumn<int>("start");
    const QList<int> program{230, 2, 160, 3, 5, 231};
    QTest::newRow("program after program") << QList<int>{240, 230, 2} << false << program << 240;
    QTest::newRow("after a whole timer") << QList<int>{240, 230, 2, 160, 1, 5} << false << QList<int>{230, 2, 231} << 240;
    QTest::newRow("melody after program") << QList<int>{240, 230, 2} << false << QList<int>{1, 2, 3, 160, 2, 0, 10} << 242;
    QTest::newRow("program after melody") << QList<int>{242, 1, 2, 3} << false << program << 240;
    QTest::newRow("inside an instruction, sender gone") << QList<int>{240, 230, 2, 160} << true << program << 240;
    QTest::newRow("240 as a timer's seconds") << QList<int>{} << false << QList<int>{230, 2, 160, 240, 5, 231} << 240;
}

void TestKitFirmware::cutOffFrameGivesWayToTheNext()
{
    QFETCH(QList<int>, cutOff);
    QFETCH(bool, senderGone);
    QFETCH(QList<int>, next);
    QFETCH(int, start);
    Kit kit;
    kit.send(cutOff);
    if (senderGone)
        kit.firmware.abandonFrame();
    kit.frame(start, next);
    QVERIFY(!kit.firmware.receivingFrame());
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    const MemoryArea area = start == 240 ? KitMemory::ProgramArea : KitMemory::MelodyArea;
    QList<int> stored = next;
    stored.append(250);
    QCOMPARE(kit.area(area).mid(0, stored.size()), stored);
}

void TestKitFirmware::strayValuesAreIgnored()
{
    Kit kit;
    QList<int> stray;
    for (int v = 0; v < 256; ++v)
        if (v < 240 || v >= 250)
            stray.append(v);
    kit.send(stray);
    QVERIFY(kit.recorder.effects.isEmpty());
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded({}, 128));
}

void TestKitFirmware::runRepliesWhenProgramEnds()
{
    Kit kit;
    kit.frame(240, {230, 2, 160, 3, 5, 231});
    kit.recorder.clear();
    kit.send({241});
    kit.runFor(2800);
    QVERIFY(kit.replies().isEmpty());
    kit.send({241}); // already running: no second run
    kit.runFor(200);
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    QCOMPARE(kit.recorder.ofKind(EffectKind::RunStarted).size(), 1);

    Kit empty;
    empty.send({241});
    QCOMPARE(empty.replies(), QList<int>{0xFF});
}

void TestKitFirmware::stopRepliesOnlyForARun()
{
    Kit kit;
    kit.send({246});
    QVERIFY(kit.replies().isEmpty());
    kit.frame(240, {230, 0});
    kit.send({241});
    kit.runFor(10000);
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    kit.send({246});
    QCOMPARE(kit.replies(), QList<int>({0xFF, 0xFF}));
    QCOMPARE(kit.recorder.ofKind(EffectKind::Ended).last().a, int(EndReason::Stopped));
}

// Quarter C3, eighth C#3, half rest at standard speed: 1 + 0.5 + 2 seconds.
void TestKitFirmware::playRepliesAfterLastNote()
{
    Kit kit;
    kit.frame(242, Melody);
    kit.recorder.clear();
    kit.send({243});
    const qint64 started = kit.recorder.effects.first().atMs;
    kit.runFor(5000);
    QCOMPARE(kit.replies(), QList<int>{0xFF});
    QCOMPARE(kit.recorder.ofKind(EffectKind::Reply).first().atMs - started, 3500);
    QCOMPARE(kit.recorder.ofKind(EffectKind::Note).size(), 3);

    Kit silent; // nothing stored: the melody is over at once
    silent.send({243});
    QCOMPARE(silent.replies(), QList<int>{0xFF});
}

void TestKitFirmware::measureRepliesTemperatureThenHumidity()
{
    Kit kit;
    kit.firmware.interpreter().setTemperature(28);
    kit.firmware.interpreter().setHumidity(63);
    kit.send({244});
    QCOMPARE(kit.replies(), QList<int>({28, 63}));
}

void TestKitFirmware::measurementOutputs()
{
    Kit kit;
    const KitOutputs &out = kit.firmware.interpreter().outputs();
    kit.send({247});
    QVERIFY(out.fan && !out.lamp);
    kit.send({248});
    QVERIFY(!out.fan && out.lamp);
    kit.send({249});
    QVERIFY(!out.fan && !out.lamp);
    QVERIFY(kit.replies().isEmpty());
}

void TestKitFirmware::frameDuringRunStopsIt()
{
    Kit kit;
    kit.frame(240, {230, 0});
    kit.send({241});
    kit.recorder.clear();
    kit.frame(240, {230, 2, 241, 246, 250, 231}); // LED colour bytes that look like requests
    QCOMPARE(kit.replies(), QList<int>({0xFF, 0xFF})); // the stopped run, then the frame
    QVERIFY(!kit.firmware.interpreter().running());
    QCOMPARE(kit.area(KitMemory::ProgramArea), padded({230, 2, 241, 246, 250, 231, 250}, 128));
}

KORU_TEST_GUILESS_MAIN(TestKitFirmware)
#include "tst_kitfirmware.moc"
