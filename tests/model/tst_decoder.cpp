#include "model/catalogue.h"
#include "model/decoder.h"
#include "model/encoder.h"
#include "model/textutil.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace koru;

class TstDecoder : public QObject
{
    Q_OBJECT
private slots:
    void hexToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: does not convert
        QTest::newRow("FF") << "FF" << 255;
        QTest::newRow("ff") << "ff" << 255;
        QTest::newRow("mixed case") << "eA" << 234;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("leading zeros") << "000E6" << 230;
        QTest::newRow("largest") << "7FFFFFFF" << 0x7FFFFFFF;
        QTest::newRow("too large") << "80000000" << -1;
        QTest::newRow("far too large") << "123456789ABCDEF0" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << " " << -1;
        QTest::newRow("not hex") << "G1" << -1;
        QTest::newRow("dollar") << "$FF" << -1;
        QTest::newRow("0x") << "0x10" << -1;
        QTest::newRow("sign") << "-1" << -1;
        QTest::newRow("full-width digits") << "１２" << -1;
        QTest::newRow("inner blank") << "F F" << -1;
    }
    void hexToInt()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        const std::optional<int> result = HexToInt(text);
        if (value < 0)
            QVERIFY(!result);
        else
            QCOMPARE(result, std::optional<int>(value));
    }

    void replyLines()
    {
        QCOMPARE(ByteValueOfLine(QStringLiteral("E6 ")), std::optional<int>(230));
        QCOMPARE(ByteValueOfLine(QStringLiteral(" 0 2 ")), std::optional<int>(2));
        QVERIFY(!ByteValueOfLine(QString()));
        QVERIFY(!ByteValueOfLine(QStringLiteral("  ")));
        QVERIFY(!ByteValueOfLine(QStringLiteral("230 "))); // three digits: no byte
        QCOMPARE(ByteValueOfLine(QStringLiteral("FF ")), std::optional<int>(255));
        QCOMPARE(ConversionFailedMessage, QStringLiteral("変換できません"));
    }

    void kindOfOpCode_data()
    {
        QTest::addColumn<QString>("byte");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("230") << "230" << "start";
        QTest::newRow("231") << "231" << "end";
        QTest::newRow("206") << "206" << "end";
        QTest::newRow("131") << "131" << "full_led";
        QTest::newRow("145") << "145" << "light_led";
        QTest::newRow("147") << "147" << "light_led";
        QTest::newRow("150") << "150" << "sound";
        QTest::newRow("155") << "155" << "sound";
        QTest::newRow("160") << "160" << "timer";
        QTest::newRow("170") << "170" << "wait";
        QTest::newRow("175") << "175" << "wait";
        QTest::newRow("180") << "180" << "if";
        QTest::newRow("195") << "195" << "if";
        QTest::newRow("200") << "200" << "loop";
        QTest::newRow("201") << "201" << "loop";
        QTest::newRow("205") << "205" << "routine";
        QTest::newRow("210") << "210" << "dainyuu";
        QTest::newRow("211") << "211" << "dainyuu";
        QTest::newRow("220") << "220" << "vexo";
        QTest::newRow("222") << "222" << "vexo";
        QTest::newRow("221 is a colour") << "221" << "full_led";
        QTest::newRow("156 is a colour") << "156" << "full_led";
        QTest::newRow("250 is a colour") << "250" << "full_led";
        QTest::newRow("126") << "126" << "full_led";
        QTest::newRow("padded text") << "0230" << "full_led";
        QTest::newRow("empty") << "" << "full_led";
    }
    void kindOfOpCode()
    {
        QFETCH(QString, byte);
        QFETCH(QString, keyword);
        QCOMPARE(KindOfOpCode(byte), keyword);
    }

    void channelValues_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("value");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 31;
        QTest::newRow("2") << 2 << 43;
        QTest::newRow("4") << 4 << 61;
        QTest::newRow("9") << 9 << 92;
        QTest::newRow("18") << 18 << 130;
        QTest::newRow("25") << 25 << 153;
        QTest::newRow("34 (70 %: 178.5 to even)") << 34 << 178;
        QTest::newRow("43") << 43 << 201;
        QTest::newRow("56 (90 %: 229.5 to even)") << 56 << 230;
        QTest::newRow("62") << 62 << 240;
        QTest::newRow("63") << 63 << 255;
    }
    void channelValues()
    {
        QFETCH(int, level);
        QFETCH(int, value);
        const QString digits = BinaryText(level).remove(QLatin1Char(' ')).right(6);
        QCOMPARE(ChannelValueOf(digits), value);
    }

    void colourWordBits()
    {
        QCOMPARE(ColourWordBits(QStringLiteral("126"), QStringLiteral("0"), QStringLiteral("4")),
                 QStringLiteral("011111100000000000000100"));
        QCOMPARE(ChannelValueOf(QStringLiteral("111111")), 255);
        QCOMPARE(ChannelValueOf(QStringLiteral("000000")), 0);
        const ColourWordFields white = UnpackColourWord(127, 255, 255);
        QCOMPARE(QList<int>({white.red, white.green, white.blue, white.time}), QList<int>({255, 255, 255, 31}));
    }

    void replyLinesOfSmallestProgram()
    {
        const QStringList lines{QStringLiteral("E6 "), QStringLiteral("02 "), QStringLiteral("E7 ")};
        const DecodedInstruction start = DecodeReplyLines(lines, 0);
        QVERIFY(start.complete());
        QCOMPARE(start.keyword, QStringLiteral("start"));
        QCOMPARE(start.parameters, QStringLiteral("0,0,0,0,0,0"));
        QCOMPARE(start.successors(), QList<int>({2}));
        const DecodedInstruction end = DecodeReplyLines(lines, start.next);
        QVERIFY(end.complete());
        QCOMPARE(end.keyword, QStringLiteral("end"));
        QVERIFY(end.successors().isEmpty());
        QVERIFY(!end.endsSubroutine);
    }

    void instructions_data()
    {
        QTest::addColumn<QList<int>>("image");
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QList<int>>("successors");
        QTest::addColumn<int>("length");
        QTest::newRow("colour at 5") << QList<int>{0, 0, 0, 0, 0, 126, 0, 4, 12} << 5 << "full_led"
                                     << "0,255,0,0,4,0" << QList<int>{12} << 4;
        QTest::newRow("fade in") << QList<int>{131, 1, 248, 11, 7} << 0 << "full_led" << "1,0,255,0,11,0"
                                 << QList<int>{7} << 5;
        QTest::newRow("fade out") << QList<int>{132, 0, 7, 235, 7} << 0 << "full_led" << "2,0,0,255,11,0"
                                  << QList<int>{7} << 5;
        QTest::newRow("if temperature") << QList<int>{184, 25, 14, 20} << 0 << "if" << "4,25,0,0,0,0"
                                        << QList<int>{14, 20} << 4;
        QTest::newRow("if switch") << QList<int>{181, 3, 9} << 0 << "if" << "1,0,0,0,0,0" << QList<int>{3, 9} << 3;
        QTest::newRow("if humidity y") << QList<int>{195, 3, 9} << 0 << "if" << "15,0,0,0,0,0"
                                       << QList<int>{3, 9} << 3;
        QTest::newRow("backlight") << QList<int>{145, 80, 6, 4} << 0 << "light_led" << "0,80,6,0,0,0"
                                   << QList<int>{4} << 4;
        QTest::newRow("backlight link end") << QList<int>{147, 2} << 0 << "light_led" << "2,0,0,0,0,0"
                                            << QList<int>{2} << 2;
        QTest::newRow("sound") << QList<int>{153, 2} << 0 << "sound" << "3,0,0,0,0,0" << QList<int>{2} << 2;
        QTest::newRow("timer") << QList<int>{160, 3, 5} << 0 << "timer" << "0,3,0,0,0,0" << QList<int>{5} << 3;
        QTest::newRow("wait light") << QList<int>{172, 2} << 0 << "wait" << "2,0,0,0,0,0" << QList<int>{2} << 2;
        QTest::newRow("wait temperature") << QList<int>{174, 30, 3} << 0 << "wait" << "4,30,0,0,0,0"
                                          << QList<int>{3} << 3;
        QTest::newRow("loop") << QList<int>{200, 5, 3} << 0 << "loop" << "0,5,0,0,0,0" << QList<int>{3} << 3;
        QTest::newRow("loop end") << QList<int>{201, 2} << 0 << "loop" << "1,0,0,0,0,0" << QList<int>{2} << 2;
        QTest::newRow("dainyuu") << QList<int>{211, 2} << 0 << "dainyuu" << "1,0,0,0,0,0" << QList<int>{2} << 2;
        QTest::newRow("bulb") << QList<int>{222, 9, 3} << 0 << "vexo" << "2,9,0,0,0,0" << QList<int>{3} << 3;
        QTest::newRow("subroutine end") << QList<int>{206} << 0 << "end" << "0,0,0,0,0,0" << QList<int>{} << 1;
        QTest::newRow("frame value read as colour") << QList<int>{250, 0, 1, 2} << 0 << "full_led"
                                                    << "0,240,0,0,1,0" << QList<int>{2} << 4;
    }
    void instructions()
    {
        QFETCH(QList<int>, image);
        QFETCH(int, address);
        QFETCH(QString, keyword);
        QFETCH(QString, parameters);
        QFETCH(QList<int>, successors);
        QFETCH(int, length);
        const DecodedInstruction decoded = DecodeInstruction(image, address);
        QVERIFY(decoded.complete());
        QCOMPARE(decoded.keyword, keyword);
        QCOMPARE(decoded.parameters, parameters);
        QCOMPARE(decoded.successors(), successors);
        QCOMPARE(decoded.length, length);
        QCOMPARE(decoded.firstByte, image[address]);
    }

    void subroutinesNumberedByFirstAppearance()
    {
        const DeviceImage image{205, 40, 3, 205, 60, 6, 205, 40, 9};
        SubroutineNumbering numbering;
        QStringList parameters;
        for (int address : {0, 3, 6}) {
            const DecodedInstruction call = DecodeInstruction(image, address, &numbering);
            QCOMPARE(call.keyword, QStringLiteral("routine"));
            parameters << call.parameters;
        }
        QCOMPARE(parameters, QStringList({QStringLiteral("0,1,0,0,0,0"), QStringLiteral("0,2,0,0,0,0"),
                                          QStringLiteral("0,1,0,0,0,0")}));
        QCOMPARE(numbering.addresses(), QList<int>({40, 60}));
        const DecodedInstruction call = DecodeInstruction(image, 3);
        QCOMPARE(call.parameters, QStringLiteral("0,0,0,0,0,0")); // no numbering given
        QCOMPARE(call.subroutineAddress, 60);
        QCOMPARE(call.successors(), QList<int>({60, 6}));
    }

    // Whatever the encoder writes, the decoder reads back as the same
    // instruction; colours come back through the square law (exact for 0 and 255).
    void roundTripEveryVariant()
    {
        SubroutineNumbering numbering;
        for (const QString &keyword : ProgramKeywords()) {
            QList<int> subKinds;
            for (int position = 0; position < OfferedTexts(keyword).size(); ++position)
                subKinds << SubKindOfOffered(keyword, position);
            if (subKinds.isEmpty())
                subKinds << 0;
            for (int sub : subKinds) {
                QList<int> values;
                for (const ParameterRange &range : ParameterRangesOf(keyword, sub))
                    values << (range.unit == ParameterUnit::ColourValue ? 255 * (values.size() % 2) : range.max);
                if (keyword == QLatin1String("routine"))
                    values = {1};
                const QString parameters = BuildParameterString(sub, values);
                const DeviceImage bytes = EncodeInstruction(keyword, parameters, 77, 88, 99);
                const DecodedInstruction decoded = DecodeInstruction(bytes, 0, &numbering);
                const QString row = keyword + QLatin1Char(' ') + parameters;
                QVERIFY2(decoded.complete(), qPrintable(row));
                QCOMPARE(decoded.keyword, keyword);
                QCOMPARE(decoded.parameters, parameters);
                QCOMPARE(decoded.length, bytes.size());
                if (keyword == QLatin1String("end"))
                    QVERIFY(decoded.successors().isEmpty());
                else if (keyword == QLatin1String("if"))
                    QCOMPARE(decoded.successors(), QList<int>({77, 88}));
                else if (keyword == QLatin1String("routine"))
                    QCOMPARE(decoded.successors(), QList<int>({99, 77}));
                else
                    QCOMPARE(decoded.successors(), QList<int>({77}));
                // And a read-back re-sent gives the same bytes.
                QCOMPARE(EncodeInstruction(decoded.keyword, decoded.parameters, 77, 88, 99), bytes);
            }
        }
    }

    void colourRoundTripIsApproximate()
    {
        const DecodedInstruction mid = DecodeInstruction(EncodeInstruction(QStringLiteral("full_led"),
                                                                           QStringLiteral("0,128,1,10,31,0"), 5),
                                                         0);
        QCOMPARE(mid.parameters, QStringLiteral("0,130,31,31,31,0"));
    }

    void subroutineEndRoundTrip()
    {
        const DecodedInstruction end =
            DecodeInstruction(EncodeInstruction(QStringLiteral("end"), QString(), 0, 0, 0, true), 0);
        QVERIFY(end.endsSubroutine);
        QCOMPARE(end.keyword, QStringLiteral("end"));
    }

    // A cut-off image is reported, never read past.
    void truncatedInstructions()
    {
        const QList<DeviceImage> whole{{230, 2}, {126, 0, 4, 9}, {131, 1, 248, 11, 9}, {145, 80, 6, 4},
                                       {184, 25, 14, 20}, {205, 40, 12}, {160, 3, 5}};
        for (const DeviceImage &instruction : whole) {
            for (int cut = 0; cut < instruction.size(); ++cut) {
                const DecodedInstruction decoded = DecodeInstruction(instruction.first(cut), 0);
                QCOMPARE(decoded.status, DecodeStatus::Truncated);
                QCOMPARE(decoded.failedAddress, cut);
                QVERIFY(decoded.parameters.isEmpty());
                QVERIFY(decoded.successors().isEmpty());
            }
            QVERIFY(DecodeInstruction(instruction, 0).complete());
        }
        QCOMPARE(DecodeInstruction({230, 2}, -1).status, DecodeStatus::Truncated);
        QCOMPARE(DecodeInstruction({230, 2}, 2).status, DecodeStatus::Truncated);
        QCOMPARE(DecodeInstruction({230, 2}, std::numeric_limits<int>::max()).status, DecodeStatus::Truncated);
    }

    // Any first byte at any place of any image: a complete instruction of
    // its own length, or a report of the first missing address.
    void anyBytesDecodeSafely()
    {
        QRandomGenerator random(20261210);
        for (int round = 0; round < 300; ++round) {
            DeviceImage image(random.bounded(1, 12));
            for (int &value : image)
                value = random.bounded(256);
            image[0] = round % 256;
            for (int address = 0; address < image.size(); ++address) {
                const DecodedInstruction decoded = DecodeInstruction(image, address);
                if (decoded.complete()) {
                    QVERIFY(address + decoded.length <= image.size());
                    QCOMPARE(decoded.length, InstructionLength(decoded.keyword, decoded.parameters));
                    QCOMPARE(FieldCount(decoded.parameters, QLatin1Char(',')), 6);
                } else {
                    QCOMPARE(decoded.status, DecodeStatus::Truncated);
                    QCOMPARE(decoded.failedAddress, int(image.size()));
                }
            }
        }
    }

    void unconvertibleReplyLines()
    {
        // Fewer replies arrived than the instruction needs.
        const DecodedInstruction cut = DecodeReplyLines({QStringLiteral("B8 "), QStringLiteral("19 ")}, 0);
        QCOMPARE(cut.status, DecodeStatus::Unconvertible);
        QCOMPARE(cut.failedAddress, 2);
        QCOMPARE(cut.keyword, QStringLiteral("if"));
        const DecodedInstruction garbage = DecodeReplyLines({QStringLiteral("E6 "), QStringLiteral("ZZ ")}, 0);
        QCOMPARE(garbage.status, DecodeStatus::Unconvertible);
        QCOMPARE(garbage.failedAddress, 1);
        QCOMPARE(DecodeReplyLines({}, 0).status, DecodeStatus::Unconvertible);

        const ByteSource none = [](int) { return std::optional<int>(); };
        QCOMPARE(DecodeInstructionFrom(none, 0).status, DecodeStatus::Truncated);
    }
};

KORU_TEST_GUILESS_MAIN(TstDecoder)
#include "tst_decoder.moc"
