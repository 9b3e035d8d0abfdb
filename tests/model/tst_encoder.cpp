#include "model/catalogue.h"
#include "model/encoder.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

namespace {
EncoderEntry Entry(const char *keyword, const char *parameters, int next = NoEntry, int branch = NoEntry)
{
    EncoderEntry entry;
    entry.keyword = QLatin1String(keyword);
    entry.parameters = QLatin1String(parameters);
    entry.next = next;
    entry.branch = branch;
    return entry;
}
} // namespace

class TstEncoder : public QObject
{
    Q_OBJECT
private slots:
    void opCodesAndLengths_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("subKind");
        QTest::addColumn<QString>("opCode");
        QTest::addColumn<int>("length");
        QTest::newRow("start") << "start" << 0 << "230" << 2;
        QTest::newRow("start other") << "start" << 4 << "230" << 2;
        QTest::newRow("end") << "end" << 0 << "231" << 1;
        QTest::newRow("colour light") << "full_led" << 0 << "-1" << 4;
        QTest::newRow("fade in") << "full_led" << 1 << "131" << 5;
        QTest::newRow("fade out") << "full_led" << 2 << "132" << 5;
        QTest::newRow("full_led other") << "full_led" << 7 << "132" << 5;
        QTest::newRow("full_led negative") << "full_led" << -1 << "132" << 5;
        QTest::newRow("backlight") << "light_led" << 0 << "145" << 4;
        QTest::newRow("backlight link start") << "light_led" << 1 << "146" << 2;
        QTest::newRow("light_led other") << "light_led" << 9 << "147" << 2;
        QTest::newRow("sound 0") << "sound" << 0 << "150" << 2;
        QTest::newRow("sound 4") << "sound" << 4 << "154" << 2;
        QTest::newRow("sound other") << "sound" << 8 << "155" << 2;
        QTest::newRow("timer") << "timer" << 0 << "160" << 3;
        QTest::newRow("timer other") << "timer" << 3 << "160" << 3;
        QTest::newRow("wait 3") << "wait" << 3 << "173" << 2;
        QTest::newRow("wait 4") << "wait" << 4 << "174" << 3;
        QTest::newRow("wait other") << "wait" << 6 << "175" << 3;
        QTest::newRow("wait negative") << "wait" << -1 << "175" << 3;
        QTest::newRow("if 0") << "if" << 0 << "180" << 3;
        QTest::newRow("if 4") << "if" << 4 << "184" << 4;
        QTest::newRow("if 7") << "if" << 7 << "187" << 3;
        QTest::newRow("if 12") << "if" << 12 << "192" << 4;
        QTest::newRow("if 14") << "if" << 14 << "194" << 3;
        QTest::newRow("if other") << "if" << 30 << "195" << 3;
        QTest::newRow("loop start") << "loop" << 0 << "200" << 3;
        QTest::newRow("loop end") << "loop" << 1 << "201" << 2;
        QTest::newRow("loop other") << "loop" << 3 << "201" << 2;
        QTest::newRow("routine") << "routine" << 0 << "205" << 3;
        QTest::newRow("dainyuu x") << "dainyuu" << 0 << "210" << 2;
        QTest::newRow("dainyuu other") << "dainyuu" << 5 << "211" << 2;
        QTest::newRow("motor") << "vexo" << 0 << "220" << 3;
        QTest::newRow("bulb") << "vexo" << 2 << "222" << 3;
        QTest::newRow("vexo 1") << "vexo" << 1 << "222" << 3;
        QTest::newRow("unknown keyword") << "lamp" << 0 << "220" << 3;
        QTest::newRow("unknown keyword other") << "lamp" << 4 << "222" << 3;
        QTest::newRow("else is no instruction") << "else" << 0 << "220" << 3;
    }
    void opCodesAndLengths()
    {
        QFETCH(QString, keyword);
        QFETCH(int, subKind);
        QFETCH(QString, opCode);
        QFETCH(int, length);
        const QString parameters = BuildParameterString(subKind, {1, 2, 3, 4, 5});
        QCOMPARE(OpCodeOf(keyword, parameters), opCode);
        QCOMPARE(InstructionLength(keyword, parameters), length);
        QCOMPARE(EncodeInstruction(keyword, parameters, 9, 8, 7).size(), length);
    }

    // Addresses are computed from the lengths before any byte is written:
    // every variant must emit exactly its length, and begin with its OpCode.
    void everyVariantEmitsItsLength()
    {
        QStringList keywords = ProgramKeywords();
        keywords << QStringLiteral("lamp") << QString();
        for (const QString &keyword : keywords) {
            for (int sub = -2; sub <= 20; ++sub) {
                const QString parameters = BuildParameterString(sub, {200, 100, 50, 31, 9});
                for (bool endsSubroutine : {false, true}) {
                    const DeviceImage bytes = EncodeInstruction(keyword, parameters, 11, 22, 33, endsSubroutine);
                    QCOMPARE(bytes.size(), InstructionLength(keyword, parameters));
                    const int opCode = OpCodeValueOf(keyword, parameters);
                    if (opCode >= 0 && !(endsSubroutine && keyword == QLatin1String("end")))
                        QCOMPARE(bytes.first(), opCode);
                    QVERIFY(ImageHoldsOnlyBytes(bytes));
                }
            }
        }
    }

    void colourLevels_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("level");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("10") << 10 << 1;
        QTest::newRow("30") << 30 << 1;
        QTest::newRow("31") << 31 << 2;
        QTest::newRow("64") << 64 << 5;
        QTest::newRow("100") << 100 << 11;
        QTest::newRow("128") << 128 << 18;
        QTest::newRow("153 exact square") << 153 << 25;
        QTest::newRow("200") << 200 << 43;
        QTest::newRow("240") << 240 << 62;
        QTest::newRow("241") << 241 << 63;
        QTest::newRow("255") << 255 << 63;
        QTest::newRow("above a byte") << 1000 << 63;
        QTest::newRow("negative") << -5 << 0;
    }
    void colourLevels()
    {
        QFETCH(int, value);
        QFETCH(int, level);
        QCOMPARE(ColourLevelOf(value), level);
    }

    void colourLevelsRiseFromOne()
    {
        int previous = 0;
        for (int v = 1; v <= 255; ++v) {
            const int level = ColourLevelOf(v);
            QVERIFY2(level >= 1 && level >= previous, qPrintable(QString::number(v)));
            previous = level;
        }
    }

    void binaryDigits_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("5") << 5 << "0000 0101";
        QTest::newRow("0") << 0 << "0000 0000";
        QTest::newRow("255") << 255 << "1111 1111";
        QTest::newRow("256 drops high bits") << 256 << "0000 0000";
        QTest::newRow("300") << 300 << "0010 1100";
        QTest::newRow("-1") << -1 << "1111 1111";
    }
    void binaryDigits()
    {
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(BinaryText(n), text);
        QCOMPARE(BinaryValue(QString(text).remove(QLatin1Char(' '))), n & 0xFF);
    }

    void binaryValue()
    {
        QCOMPARE(BinaryValue(QStringLiteral("101")), 5);
        QCOMPARE(BinaryValue(QStringLiteral("1x1")), 5);
        QCOMPARE(BinaryValue(QStringLiteral("0000 0101")), 5); // the blank is a 0 digit
        QCOMPARE(BinaryValue(QStringLiteral("1111 1111")), 0b111101111);
        QCOMPARE(BinaryValue(QString()), 0);
        QCOMPARE(BinaryValue(QStringLiteral("011111")), 31);
    }

    void colourWords_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QList<int>>("bytes");
        QTest::newRow("red for 1 s") << "full_led" << "0,255,0,0,4,0" << QList<int>{126, 0, 4, 99};
        QTest::newRow("white for 7.75 s") << "full_led" << "0,255,255,255,31,0" << QList<int>{127, 255, 255, 99};
        QTest::newRow("black for 0.25 s") << "full_led" << "0,0,0,0,1,0" << QList<int>{0, 0, 1, 99};
        QTest::newRow("green fading in") << "full_led" << "1,0,255,0,11,0" << QList<int>{131, 1, 248, 11, 99};
        QTest::newRow("fade out blue") << "full_led" << "2,0,0,255,11,0" << QList<int>{132, 0, 7, 235, 99};
        QTest::newRow("time keeps low five bits") << "full_led" << "0,0,0,0,33,0" << QList<int>{0, 0, 1, 99};
    }
    void colourWords()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, parameters);
        QFETCH(QList<int>, bytes);
        QCOMPARE(EncodeInstruction(keyword, parameters, 99), bytes);
    }

    void packedDigits()
    {
        QCOMPARE(PackColourWord(QStringLiteral("0,255,0,0,4,0")), QStringLiteral("011111100000000000000100"));
        QCOMPARE(ColourWordBytes(QStringLiteral("0,255,0,0,4,0")), QList<int>({126, 0, 4}));
    }

    void instructionLayouts_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QList<int>>("bytes");
        // next 9, branch 8, called 7
        QTest::newRow("start") << "start" << "0,0,0,0,0,0" << QList<int>{230, 9};
        QTest::newRow("end") << "end" << "0,0,0,0,0,0" << QList<int>{231};
        QTest::newRow("backlight") << "light_led" << "0,80,6,0,0,0" << QList<int>{145, 80, 6, 9};
        QTest::newRow("timer") << "timer" << "0,3,0,0,0,0" << QList<int>{160, 3, 9};
        QTest::newRow("wait humidity") << "wait" << "5,60,0,0,0,0" << QList<int>{175, 60, 9};
        QTest::newRow("wait sound") << "wait" << "0,60,0,0,0,0" << QList<int>{170, 9};
        QTest::newRow("if temperature") << "if" << "4,25,0,0,0,0" << QList<int>{184, 25, 9, 8};
        QTest::newRow("if switch") << "if" << "0,25,0,0,0,0" << QList<int>{180, 9, 8};
        QTest::newRow("loop") << "loop" << "0,5,0,0,0,0" << QList<int>{200, 5, 9};
        QTest::newRow("loop end") << "loop" << "1,0,0,0,0,0" << QList<int>{201, 9};
        QTest::newRow("routine") << "routine" << "0,1,0,0,0,0" << QList<int>{205, 7, 9};
        QTest::newRow("dainyuu") << "dainyuu" << "1,0,0,0,0,0" << QList<int>{211, 9};
        QTest::newRow("bulb") << "vexo" << "2,12,0,0,0,0" << QList<int>{222, 12, 9};
        QTest::newRow("value written as it is") << "timer" << "0,300,0,0,0,0" << QList<int>{160, 300, 9};
    }
    void instructionLayouts()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, parameters);
        QFETCH(QList<int>, bytes);
        QCOMPARE(EncodeInstruction(keyword, parameters, 9, 8, 7), bytes);
    }

    void smallestPrograms()
    {
        const QList<EncoderEntry> program{Entry("start", "0,0,0,0,0,0", 1), Entry("end", "0,0,0,0,0,0")};
        QCOMPARE(EncodeProgram(program, ImageOrder::Flowchart), DeviceImage({230, 2, 231}));
        QCOMPARE(EncodeProgram(program, ImageOrder::Text), DeviceImage({230, 2, 231, 0}));
        QCOMPARE(EncodeProgram({}, ImageOrder::Flowchart), DeviceImage());
    }

    void timerBeforeEnd()
    {
        const QList<EncoderEntry> program{Entry("start", "0,0,0,0,0,0", 1), Entry("timer", "0,3,0,0,0,0", 2),
                                          Entry("end", "0,0,0,0,0,0")};
        QCOMPARE(EntryAddresses(program), QList<int>({0, 2, 5}));
        QCOMPARE(ProgramLength(program), 6);
        QCOMPARE(EncodeProgram(program, ImageOrder::Flowchart), DeviceImage({230, 2, 160, 3, 5, 231}));
    }

    void textStopsAtFirstEnd()
    {
        const QList<EncoderEntry> program{Entry("start", "0,0,0,0,0,0", 1), Entry("end", "0,0,0,0,0,0"),
                                          Entry("timer", "0,3,0,0,0,0", 3), Entry("end", "0,0,0,0,0,0")};
        QCOMPARE(EncodeProgram(program, ImageOrder::Text), DeviceImage({230, 2, 231, 0}));
        // The flowchart encodes every occupied slot, reachable or not.
        QCOMPARE(EncodeProgram(program, ImageOrder::Flowchart), DeviceImage({230, 2, 231, 160, 3, 6, 231}));
    }

    void branchesAndCalls()
    {
        // Main: start(0) if-temp(2) timer(6) end(9) vexo(10) end(13); subroutine: start(14) end(16).
        QList<EncoderEntry> program{
            Entry("start", "0,0,0,0,0,0", 1),    Entry("if", "4,25,0,0,0,0", 2, 4),
            Entry("timer", "0,3,0,0,0,0", 3),    Entry("end", "0,0,0,0,0,0"),
            Entry("routine", "0,1,0,0,0,0", 5),  Entry("end", "0,0,0,0,0,0"),
            Entry("start", "0,0,0,0,0,0", 7),    Entry("end", "0,0,0,0,0,0"),
        };
        program[4].calledEntry = 6;
        program[7].endsSubroutine = true;
        QCOMPARE(EntryAddresses(program), QList<int>({0, 2, 6, 9, 10, 13, 14, 16}));
        QCOMPARE(EncodeProgram(program, ImageOrder::Flowchart),
                 DeviceImage({230, 2, 184, 25, 6, 10, 160, 3, 9, 231, 205, 14, 13, 231, 230, 16, 206}));
        // The text editor has no subroutines: its end is always 231.
        QCOMPARE(EncodeProgram(program, ImageOrder::Text).mid(9), DeviceImage({231, 0}));
    }

    void missingLinksAreZero()
    {
        QList<EncoderEntry> program{Entry("start", "0,0,0,0,0,0"), Entry("if", "0,0,0,0,0,0", 42, -7),
                                    Entry("routine", "0,3,0,0,0,0", 1)};
        program[2].calledEntry = 99;
        QCOMPARE(EncodeProgram(program, ImageOrder::Flowchart), DeviceImage({230, 0, 180, 0, 0, 205, 0, 2}));
    }

    void imageTexts()
    {
        const DeviceImage image{230, 2, 231};
        QCOMPARE(ImageTexts(image), QStringList({QStringLiteral("230"), QStringLiteral("2"), QStringLiteral("231")}));
        QCOMPARE(ImageCommaText(image), QStringLiteral("230,2,231"));
        QCOMPARE(ImageCommaText({}), QString());
        QVERIFY(ImageHoldsOnlyBytes(image));
        QVERIFY(!ImageHoldsOnlyBytes({0, 256}));
        QVERIFY(!ImageHoldsOnlyBytes({-1}));
    }
};

KORU_TEST_GUILESS_MAIN(TstEncoder)
#include "tst_encoder.moc"
