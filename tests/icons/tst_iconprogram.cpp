#include "icons/iconprogram.h"
#include "model/catalogue.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <limits>

using namespace koru;
using namespace koru::icons;

namespace {
QStringList texts(std::initializer_list<int> values)
{
    QStringList list;
    for (int v : values)
        list.append(QString::number(v));
    return list;
}
// The row's image written out by hand, byte by byte: the oracle the shared
// encoder must match.
DeviceImage handEncoded(const IconProgram &program)
{
    DeviceImage image{230, 2};
    for (const IconSlot &s : program.allSlots()) {
        if (s.isEmpty())
            continue;
        const int value = s.value.value_or(0);
        DeviceImage bytes;
        if (IsLedKind(s.kind)) {
            const ColourPreset c = ColourPresetAt(s.kind);
            const int mode = s.mode.value_or(0);
            if (mode != 0)
                bytes.append(mode == 1 ? 131 : 132);
            bytes.append(ColourWordBytes(BuildParameterString(0, {c.red, c.green, c.blue, mode == 0 ? value : 4})));
        } else {
            switch (s.kind) {
            case WaitSound: bytes = {170}; break;
            case WaitSwitch: bytes = {171}; break;
            case WaitBright: bytes = {172}; break;
            case WaitDark: bytes = {173}; break;
            case LoopStart: bytes = {200, value}; break;
            case LoopEnd: bytes = {201}; break;
            case Backlight: bytes = {145, 100, value}; break;
            case Timer: bytes = {160, value}; break;
            case Beep: bytes = {153 + s.mode.value_or(0)}; break;
            case WaitTemperature: bytes = {174, value}; break;
            case WaitHumidity: bytes = {175, value}; break;
            default: continue;
            }
        }
        image.append(bytes);
        image.append(int(image.size()) + 1);
    }
    image.append({231, 0});
    return image;
}

// The listing's records as the shared encoder takes them, in row order; a
// fade carries STEP1's fade time (4) in the image.
QList<EncoderEntry> entriesOfRecords(const QStringList &listing)
{
    QList<EncoderEntry> entries{{QStringLiteral("start"), BuildParameterString(0)}};
    for (const QString &record : listing.mid(1, listing.size() - 2)) {
        const int comma = int(record.indexOf(QLatin1Char(',')));
        EncoderEntry entry{KeywordOfKindNumber(record.left(comma).toInt()), record.mid(comma + 1)};
        QStringList fields = entry.parameters.split(QLatin1Char(','));
        if (entry.keyword == QLatin1String("full_led") && fields[0] != QLatin1String("0")) {
            fields[4] = QStringLiteral("4");
            entry.parameters = fields.join(QLatin1Char(','));
        }
        entries.append(entry);
    }
    entries.append({QStringLiteral("end"), BuildParameterString(0)});
    for (qsizetype i = 0; i + 1 < entries.size(); ++i)
        entries[i].next = int(i + 1);
    return entries;
}

} // namespace

class TstIconProgram : public QObject
{
    Q_OBJECT
private slots:
    void placeGivesDefaults_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mode");   // -1: no choice list
        QTest::addColumn<int>("value");  // -1: no slider
        QTest::addColumn<QString>("caption");
        QTest::newRow("red") << 0 << 0 << 1 << "秒数： 0.25秒";
        QTest::newRow("off") << 7 << 0 << 1 << "秒数： 0.25秒";
        QTest::newRow("sound") << 8 << -1 << -1 << "";
        QTest::newRow("loop start") << 12 << -1 << 1 << "回数： 1回";
        QTest::newRow("loop end") << 13 << -1 << -1 << "";
        QTest::newRow("backlight") << 14 << -1 << 1 << "秒数： 0.25秒";
        QTest::newRow("timer") << 15 << -1 << 1 << "秒数： 1秒";
        QTest::newRow("beep") << 16 << 0 << -1 << "";
        QTest::newRow("temperature") << 18 << -1 << 25 << "温度： 25度";
        QTest::newRow("humidity") << 19 << -1 << 50 << "湿度： 50％";
    }
    void placeGivesDefaults()
    {
        QFETCH(int, kind);
        QFETCH(int, mode);
        QFETCH(int, value);
        QFETCH(QString, caption);
        IconProgram program;
        QVERIFY(program.place(3, kind));
        const IconSlot &s = program.slot(3);
        QCOMPARE(s.kind, kind);
        QCOMPARE(s.mode.value_or(-1), mode);
        QCOMPARE(s.value.value_or(-1), value);
        QCOMPARE(s.caption, caption);
        QCOMPARE(program.countUsed(), 1);
    }

    void refusesWhatTheRowCannotHold()
    {
        IconProgram program;
        for (int kind : {17, 20, 21, 22, -1, 23})
            QVERIFY2(!program.place(0, kind), qPrintable(QString::number(kind)));
        QVERIFY(!program.place(24, 0));
        QVERIFY(!program.place(-1, 0));
        QVERIFY(!program.insert(24));
        QVERIFY(!program.deleteSlot(-1));
        program.place(0, Timer);
        QVERIFY(!program.setColour(0, 2)); // not an LED
        QVERIFY(!program.setMode(0, 0));   // no choice list
        program.place(1, Beep);
        QVERIFY(!program.setMode(1, 3));
        QVERIFY(!program.setValue(1, 2));  // no slider
        QCOMPARE(program.slot(1).mode, 0);
        QCOMPARE(program.countUsed(), 2);
        QVERIFY(program.slot(99).isEmpty());
    }

    void sliderCaptions_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("caption");
        QTest::newRow("duration 0.5") << 0 << 2 << 2 << "秒数： 0.5秒";
        QTest::newRow("duration 1") << 0 << 4 << 4 << "秒数： 1秒";
        QTest::newRow("duration 7.75") << 14 << 31 << 31 << "秒数： 7.75秒";
        QTest::newRow("duration clamped") << 14 << 40 << 31 << "秒数： 7.75秒";
        QTest::newRow("seconds") << 15 << 255 << 255 << "秒数： 255秒";
        QTest::newRow("seconds below range") << 15 << 0 << 1 << "秒数： 1秒";
        QTest::newRow("count") << 12 << 3 << 3 << "回数： 3回";
        QTest::newRow("temperature 0") << 18 << 0 << 0 << "温度： 0度";
        QTest::newRow("humidity clamped") << 19 << 101 << 100 << "湿度： 100％";
    }
    void sliderCaptions()
    {
        QFETCH(int, kind);
        QFETCH(int, position);
        QFETCH(int, stored);
        QFETCH(QString, caption);
        IconProgram program;
        program.place(0, kind);
        QVERIFY(program.setValue(0, position));
        QCOMPARE(program.slot(0).value, stored);
        QCOMPARE(program.slot(0).caption, caption);
    }

    // What a pupil who cannot see the row hears for a slot.
    void slotNames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mode"); // -1: left as placed
        QTest::addColumn<int>("position"); // -1: left as placed
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << int(Empty) << -1 << -1 << "3番目: 空き";
        QTest::newRow("timer") << int(Timer) << -1 << 2 << "3番目: タイマー 2秒";
        QTest::newRow("LED on") << int(RedLed) << 0 << 2 << "3番目: 赤色LED LED点灯 0.5秒";
        QTest::newRow("LED fade, no time") << int(LightBlueLed) << 1 << -1 << "3番目: 水色LED フェードイン";
        QTest::newRow("LED off, one choice") << int(LedOff) << -1 << 4 << "3番目: LED消灯 1秒";
        QTest::newRow("beep") << int(Beep) << 2 << -1 << "3番目: 確認音 確認音３";
        QTest::newRow("wait, nothing to set") << int(WaitSwitch) << -1 << -1 << "3番目: SWセンサ 信号待ち";
        QTest::newRow("temperature") << int(WaitTemperature) << -1 << 0 << "3番目: 温度センサ 信号待ち 0度";
        QTest::newRow("humidity default") << int(WaitHumidity) << -1 << -1 << "3番目: 湿度センサ 信号待ち 50％";
        QTest::newRow("loop") << int(LoopStart) << -1 << 3 << "3番目: 繰返 開始 3回";
        QTest::newRow("backlight") << int(Backlight) << -1 << 7 << "3番目: バックライト 1.75秒";
    }
    void slotNames()
    {
        QFETCH(int, kind);
        QFETCH(int, mode);
        QFETCH(int, position);
        QFETCH(QString, name);
        IconProgram program;
        if (kind != Empty)
            QVERIFY(program.place(3, kind));
        if (mode >= 0)
            QVERIFY(program.setMode(3, mode));
        if (position >= 0)
            QVERIFY(program.setValue(3, position));
        QCOMPARE(SlotName(3, program.slot(3)), name);
    }

    void everyPaletteKindHasItsOwnCaption()
    {
        QSet<QString> seen;
        for (int kind = -1; kind <= 23; ++kind) {
            const QString caption = IconCaption(kind);
            QCOMPARE(caption.isEmpty(), !IsPaletteKind(kind));
            if (!caption.isEmpty())
                QVERIFY2(!seen.contains(caption), qPrintable(caption));
            seen.insert(caption);
        }
    }

    void sliderRanges()
    {
        QCOMPARE(SliderSpecOf(SliderKind::Duration).pageStep, 3);
        QCOMPARE(SliderSpecOf(SliderKind::Seconds).pageStep, 5);
        QCOMPARE(SliderSpecOf(SliderKind::Count).pageStep, 2);
        QCOMPARE(SliderSpecOf(SliderKind::Humidity).max, 100);
        QCOMPARE(SliderSpecOf(SliderKind::Temperature).max, 40);
    }

    void modeChangeRestartsSlider()
    {
        IconProgram program;
        program.place(0, RedLed);
        program.setValue(0, 9);
        QVERIFY(program.setMode(0, 1)); // fade in: no slider
        QVERIFY(!program.slot(0).value);
        QVERIFY(program.slot(0).caption.isEmpty());
        QVERIFY(program.setMode(0, 0)); // back on: 0.25 s again
        QCOMPARE(program.slot(0).value, 1);
        QCOMPARE(program.slot(0).caption, QStringLiteral("秒数： 0.25秒"));
    }

    void fadeToDarkToBlue()
    {
        IconProgram program;
        program.place(0, RedLed);
        program.setMode(0, 1);
        QVERIFY(program.setColour(0, LedOff));
        QCOMPARE(program.slot(0).kind, int(LedOff));
        QCOMPARE(program.slot(0).mode, 0);
        QCOMPARE(program.slot(0).value, 1);
        QCOMPARE(ChoicesOf(program.slot(0).kind), QStringList{"LED消灯"});
        program.setValue(0, 6);
        QVERIFY(program.setColour(0, BlueLed));
        QCOMPARE(program.slot(0).mode, 0);
        QCOMPARE(program.slot(0).value, 6); // keeps its duration
        QCOMPARE(program.slot(0).caption, QStringLiteral("秒数： 1.5秒"));
        QCOMPARE(ChoicesOf(BlueLed).first(), QStringLiteral("LED点灯"));
    }

    void colourToColourKeepsMode()
    {
        IconProgram program;
        program.place(0, GreenLed);
        program.setMode(0, 2);
        QVERIFY(program.setColour(0, WhiteLed));
        QCOMPARE(program.slot(0).kind, int(WhiteLed));
        QCOMPARE(program.slot(0).mode, 2);
        QVERIFY(!program.slot(0).value);
        program.place(1, YellowLed);
        program.setValue(1, 5);
        program.setColour(1, LedOff);
        QCOMPARE(program.slot(1).value, 5); // the existing slider keeps its place
    }

    void insertShiftsRightAndDropsLast()
    {
        IconProgram program;
        program.place(5, Beep);
        program.setMode(5, 2);
        program.place(6, RedLed);
        program.setMode(6, 1);
        program.place(7, Timer);
        program.setValue(7, 30);
        program.place(23, WaitDark);
        const IconProgram before = program;
        QVERIFY(program.insert(5));
        QVERIFY(program.slot(5).isEmpty());
        for (int n = 6; n < SlotCount; ++n)
            QCOMPARE(program.slot(n), before.slot(n - 1));
        QCOMPARE(program.slot(6).mode, 2);          // the beep keeps its choice
        QVERIFY(!program.slot(7).value);             // the fade moves without a slider
        QCOMPARE(program.slot(8).caption, QStringLiteral("秒数： 30秒"));
        QCOMPARE(program.countUsed(), 3);            // slot 23 fell off
    }

    void insertOnLastSlotEmptiesIt()
    {
        IconProgram program;
        program.place(23, Timer);
        program.insert(23);
        QCOMPARE(program.countUsed(), 0);
    }

    void deleteLeavesGaps()
    {
        IconProgram program;
        program.place(0, WaitSound);
        program.place(1, WaitSwitch);
        program.place(2, WaitBright);
        QVERIFY(program.deleteSlot(1));
        QVERIFY(program.slot(1).isEmpty());
        QCOMPARE(program.slot(2).kind, int(WaitBright));
        QVERIFY(program.deleteSlot(5)); // already empty
        QCOMPARE(program.countUsed(), 2);
        program.clearAll();
        QCOMPARE(program.countUsed(), 0);
    }

    void loopCheck_data()
    {
        QTest::addColumn<QList<int>>("kinds"); // placed from slot 0, -1 leaves a gap
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty program") << QList<int>{} << true;
        QTest::newRow("no loops") << QList<int>{0, 15, 16} << true;
        QTest::newRow("one loop") << QList<int>{12, 16, 13} << true;
        QTest::newRow("two loops, gaps") << QList<int>{12, -1, 13, 12, 13} << true;
        QTest::newRow("end before start") << QList<int>{13, 12} << false;
        QTest::newRow("two starts") << QList<int>{12, 12, 13} << false;
        QTest::newRow("start without end") << QList<int>{15, 12, 16} << false;
        QTest::newRow("second end") << QList<int>{12, 13, 13} << false;
    }
    void loopCheck()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(bool, valid);
        IconProgram program;
        for (int n = 0; n < kinds.size(); ++n)
            program.place(n, kinds[n]);
        QCOMPARE(program.loopsAreValid(), valid);
        QCOMPARE(program.checkLoops().ok, valid);
        QCOMPARE(program.checkLoops().message, valid ? QString() : LoopMessage);
    }

    void records_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mode");  // -1: leave
        QTest::addColumn<int>("value"); // -1: leave
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("bytes"); // instruction bytes with its next address
        QTest::newRow("green on 0.75 s") << 1 << 0 << 3 << "2,0,0,255,0,3,0" << "1,フルカラーLED緑色点灯0.75秒" << texts({1, 248, 3, 6});
        QTest::newRow("red on 1 s") << 0 << 0 << 4 << "2,0,255,0,0,4,0" << "0,フルカラーLED赤色点灯1秒" << texts({126, 0, 4, 6});
        QTest::newRow("white 7.75 s") << 6 << 0 << 31 << "2,0,255,255,255,31,0" << "6,フルカラーLED白色点灯7.75秒" << texts({127, 255, 255, 6});
        QTest::newRow("green fade in") << 1 << 1 << -1 << "2,1,0,255,0,0,0" << "1,フルカラーLED緑色フェードイン" << texts({131, 1, 248, 4, 7});
        QTest::newRow("blue fade out") << 2 << 2 << -1 << "2,2,0,0,255,0,0" << "2,フルカラーLED青色フェードアウト" << texts({132, 0, 7, 228, 7});
        QTest::newRow("dark default") << 7 << -1 << -1 << "2,0,0,0,0,1,0" << "7,フルカラーLED消灯点灯0.25秒" << texts({0, 0, 1, 6});
        QTest::newRow("sound") << 8 << -1 << -1 << "6,0,0,0,0,0,0" << "8,音入力があるまで停止" << texts({170, 4});
        QTest::newRow("switch") << 9 << -1 << -1 << "6,1,0,0,0,0,0" << "9,SWが押されるまで停止" << texts({171, 4});
        QTest::newRow("bright") << 10 << -1 << -1 << "6,2,0,0,0,0,0" << "10,明るくなるまで停止" << texts({172, 4});
        QTest::newRow("dark") << 11 << -1 << -1 << "6,3,0,0,0,0,0" << "11,暗くなるまで停止" << texts({173, 4});
        QTest::newRow("temperature") << 18 << -1 << 30 << "6,4,30,0,0,0,0" << "18,30度になるまで停止" << texts({174, 30, 5});
        QTest::newRow("humidity") << 19 << -1 << 60 << "6,5,60,0,0,0,0" << "19,60％になるまで停止" << texts({175, 60, 5});
        QTest::newRow("loop start") << 12 << -1 << 5 << "8,0,5,0,0,0,0" << "12,繰り返し開始5回" << texts({200, 5, 5});
        QTest::newRow("loop end") << 13 << -1 << -1 << "8,1,0,0,0,0,0" << "13,繰り返し終了" << texts({201, 4});
        QTest::newRow("backlight") << 14 << -1 << 6 << "3,0,100,6,0,0,0" << "14,バックライト点灯1.5秒" << texts({145, 100, 6, 6});
        QTest::newRow("timer") << 15 << -1 << 3 << "5,0,3,0,0,0,0" << "15,タイマー3秒" << texts({160, 3, 5});
        QTest::newRow("beep 1") << 16 << 0 << -1 << "4,3,0,0,0,0,0" << "16,確認音 1" << texts({153, 4});
        QTest::newRow("beep 3") << 16 << 2 << -1 << "4,5,0,0,0,0,0" << "16,確認音 3" << texts({155, 4});
    }
    void records()
    {
        QFETCH(int, kind);
        QFETCH(int, mode);
        QFETCH(int, value);
        QFETCH(QString, record);
        QFETCH(QString, report);
        QFETCH(QStringList, bytes);
        IconProgram program;
        program.place(9, kind); // slots before it stay empty and add nothing
        if (mode >= 0)
            program.setMode(9, mode);
        if (value >= 0)
            program.setValue(9, value);
        QCOMPARE(program.toRecords(), (QStringList{"START", record, "END"}));
        QCOMPARE(program.toReportLines(), QStringList{report});
        QCOMPARE(ImageTexts(program.toImage()), texts({230, 2}) + bytes + texts({231, 0}));
    }

    void emptyProgram()
    {
        IconProgram program;
        QCOMPARE(ImageTexts(program.toImage()), texts({230, 2, 231, 0}));
        QCOMPARE(program.toRecords(), (QStringList{"START", "END"}));
        QVERIFY(program.toReportLines().isEmpty());
    }

    void loopAroundBeep()
    {
        IconProgram program;
        program.place(2, LoopStart);
        program.setValue(2, 3);
        program.place(10, Beep);
        program.place(11, LoopEnd);
        QCOMPARE(ImageTexts(program.toImage()), texts({230, 2, 200, 3, 5, 153, 7, 201, 9, 231, 0}));
    }

    void fadeKeepsTimeFourWhateverTheSliderShowed()
    {
        IconProgram program;
        program.place(0, RedLed);
        program.setValue(0, 20);
        program.setMode(0, 1);
        QCOMPARE(program.toImage().mid(2, 4), (DeviceImage{131, 126, 0, 4}));
    }

    void imageIsTheSharedEncodingOfTheRecords()
    {
        // Random rows of every kind, choice and slider position, gaps
        // included: the image is the shared encoder's output for the
        // records, and byte for byte the image written out by hand.
        QRandomGenerator random(20261210);
        const QList<int> kinds{RedLed,  GreenLed,  BlueLed,  YellowLed, PurpleLed, LightBlueLed,    WhiteLed,
                               LedOff,  WaitSound, WaitSwitch, WaitBright, WaitDark, LoopStart, LoopEnd,
                               Backlight, Timer,   Beep,     WaitTemperature, WaitHumidity};
        for (int round = 0; round < 500; ++round) {
            IconProgram program;
            for (int n = 0; n < SlotCount; ++n) {
                if (random.bounded(4) == 0)
                    continue;
                program.place(n, kinds[random.bounded(int(kinds.size()))]);
                program.setMode(n, random.bounded(3));
                program.setValue(n, random.bounded(-5, 300));
            }
            const DeviceImage image = program.toImage();
            QCOMPARE(image, EncodeProgram(entriesOfRecords(program.toRecords()), ImageOrder::Text));
            QCOMPARE(image, handEncoded(program));
        }
    }

    void fullRowOfFadesExceedsTheKitsMemory()
    {
        IconProgram program;
        for (int n = 0; n < SlotCount; ++n) {
            program.place(n, n % 7);
            program.setMode(n, 1);
        }
        QCOMPARE(program.toImage().size(), 2 + 24 * 5 + 2);
        QVERIFY(program.toImage().size() > MaxImageBytes);
    }

    // What F6 sends is what the preview runs: both ask SendableImage, so a
    // row the kit cannot hold is refused by both with the same words.
    void sendableImage_data()
    {
        QTest::addColumn<QList<int>>("kinds"); // slot by slot, -1 empty
        QTest::addColumn<int>("fadeSlots");    // the first n LED slots fade in
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("element");
        QTest::addColumn<int>("imageSize");

        QList<int> leds;
        for (int n = 0; n < SlotCount; ++n)
            leds.append(n % 7);
        QTest::newRow("24 fades") << leds << 24 << ImageTooLargeMessage << -1 << 0;
        // 22 fades, a lit LED and a beep fill the 120 bytes; a timer in
        // place of the beep is one byte too many.
        QList<int> full = leds;
        full[23] = Beep;
        QTest::newRow("exactly full") << full << 22 << QString() << -1 << MaxImageBytes;
        full[23] = Timer;
        QTest::newRow("one byte over") << full << 22 << ImageTooLargeMessage << -1 << 0;
        QTest::newRow("empty row: start and end") << QList<int>{} << 0 << QString() << -1 << 4;
        QTest::newRow("end before any start")
            << QList<int>{RedLed, Empty, LoopEnd, LoopStart} << 0 << LoopMessage << 2 << 0;
        QTest::newRow("start inside a loop")
            << QList<int>{LoopStart, Beep, LoopStart, LoopEnd} << 0 << LoopMessage << 2 << 0;
        QTest::newRow("loop left open") << QList<int>{Beep, LoopStart, Beep} << 0 << LoopMessage << 1 << 0;
        // The loop check comes first, as in the window.
        QList<int> fadesInLoop = leds;
        fadesInLoop[23] = LoopEnd;
        QTest::newRow("loop fault in a row too large") << fadesInLoop << 23 << LoopMessage << 23 << 0;
    }
    void sendableImage()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(int, fadeSlots);
        QFETCH(QString, message);
        QFETCH(int, element);
        QFETCH(int, imageSize);
        IconProgram program;
        for (int n = 0; n < kinds.size(); ++n) {
            if (kinds[n] != Empty)
                QVERIFY(program.place(n, kinds[n]));
            if (n < fadeSlots && IsLedKind(kinds[n]))
                QVERIFY(program.setMode(n, 1));
        }
        const Sendable sendable = SendableImage(program);
        QCOMPARE(sendable.message, message);
        QCOMPARE(sendable.element, element);
        QCOMPARE(sendable.image.size(), imageSize);
        QCOMPARE(sendable.ok(), message.isEmpty());
        if (sendable.ok())
            QCOMPARE(sendable.image, program.toImage());
        QCOMPARE(program.checkLoops().slot, message == LoopMessage ? element : -1);
    }

    // Which slot the preview is at: instructions follow one another from
    // address 2 in slot order, empty slots taking no room.
    void elementAtAddress_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("slot");
        // Slot 1 red LED (4 bytes) at 2, slot 3 timer (3) at 6, slot 5 beep
        // (2) at 9, end at 11.
        QTest::newRow("LED") << 2 << 1;
        QTest::newRow("timer") << 6 << 3;
        QTest::newRow("beep") << 9 << 5;
        QTest::newRow("start") << 0 << -1;
        QTest::newRow("inside the start") << 1 << -1;
        QTest::newRow("inside the LED") << 3 << -1;
        QTest::newRow("inside the timer") << 8 << -1;
        QTest::newRow("end") << 11 << -1;
        QTest::newRow("past the image") << 12 << -1;
        QTest::newRow("far past") << 100000 << -1;
        QTest::newRow("negative") << -2 << -1;
        QTest::newRow("lowest int") << std::numeric_limits<int>::min() << -1;
        QTest::newRow("highest int") << std::numeric_limits<int>::max() << -1;
    }
    void elementAtAddress()
    {
        QFETCH(int, address);
        QFETCH(int, slot);
        IconProgram program;
        QVERIFY(program.place(1, RedLed));
        QVERIFY(program.place(3, Timer));
        QVERIFY(program.place(5, Beep));
        QCOMPARE(program.toImage().size(), 13);
        QCOMPARE(ElementAtAddress(program, address), slot);
        QCOMPARE(ElementAtAddress(IconProgram(), address), -1);
    }

    // A full row of the longest icons: every instruction is found, also
    // those beyond the kit's memory.
    void elementAtAddressOfAFullRow()
    {
        IconProgram program;
        for (int n = 0; n < SlotCount; ++n) {
            program.place(n, n % 7);
            program.setMode(n, 1);
        }
        for (int n = 0; n < SlotCount; ++n) {
            QCOMPARE(ElementAtAddress(program, 2 + 5 * n), n);
            QCOMPARE(ElementAtAddress(program, 3 + 5 * n), -1);
        }
        QCOMPARE(ElementAtAddress(program, 2 + 5 * SlotCount), -1);
    }
};

KORU_TEST_GUILESS_MAIN(TstIconProgram)
#include "tst_iconprogram.moc"
