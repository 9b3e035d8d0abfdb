// Byte formats of the link: output reports, reply lines, progress steps, HID
// report descriptors and the virtual kit's socket framing.
#include "kitprotocol/virtualkitprotocol.h"
#include "link/devicelink.h"
#include "link/reportdescriptor.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace koru;

class TestLinkFormats : public QObject
{
    Q_OBJECT
private slots:
    void outputReport_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("one data byte") << 240 << 2 << QByteArray("\x00\xF0", 2);
        QTest::newRow("64 data bytes") << 250 << 65 << (QByteArray(1, '\0') + QByteArray(64, char(250)));
        QTest::newRow("zero value") << 0 << 3 << QByteArray(3, '\0');
        QTest::newRow("no output report") << 241 << 0 << QByteArray(1, '\0');
        QTest::newRow("out of byte range keeps the low byte") << 0x1F1 << 2 << QByteArray("\x00\xF1", 2);
    }
    void outputReport()
    {
        QFETCH(int, value);
        QFETCH(int, length);
        QFETCH(QByteArray, expected);
        QCOMPARE(OutputReportFor(value, length), expected);
    }

    void replyLine_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("line");
        QTest::newRow("ready") << QByteArray("\xFF", 1) << "FF ";
        QTest::newRow("small value keeps two digits") << QByteArray("\x0A", 1) << "0A ";
        QTest::newRow("two bytes") << QByteArray("\x19\x37", 2) << "19 37 ";
        QTest::newRow("nothing") << QByteArray() << "";
    }
    void replyLine()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, line);
        QCOMPARE(ReplyLine(data), line);
    }

    void progressStep_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("step");
        QTest::newRow("1") << 1 << 100;
        QTest::newRow("3") << 3 << 33;
        QTest::newRow("5") << 5 << 20;
        QTest::newRow("8 (12.5 to even)") << 8 << 12;
        QTest::newRow("40 (2.5 to even)") << 40 << 2;
        QTest::newRow("122") << 122 << 1;
        QTest::newRow("200 (0.5 to even)") << 200 << 0;
        QTest::newRow("201") << 201 << 0;
        QTest::newRow("0") << 0 << 0;
    }
    void progressStep()
    {
        QFETCH(int, count);
        QFETCH(int, step);
        QCOMPARE(ProgressStep(count), step);
    }

    void reportDescriptor_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::addColumn<bool>("numbered");
        // Vendor page, 64 bytes in and out, no report IDs.
        QTest::newRow("vendor 64/64") << QByteArray::fromHex("0600ff0901a101"
                                                             "1500 26ff00 7508 9540 0901 8102"
                                                             "9540 0901 9102 c0")
                                      << 65 << 65 << false;
        // One data byte each way.
        QTest::newRow("vendor 1/1") << QByteArray::fromHex("0600ff0901a101 7508 9501 0901 8102 0901 9102 c0") << 2 << 2 << false;
        // Numbered reports: the longest of each kind counts.
        QTest::newRow("report ids") << QByteArray::fromHex("0600ff0901a101 7508"
                                                           "8501 9504 0901 8102"
                                                           "8502 9510 0901 8102"
                                                           "8503 9502 0901 9102 c0")
                                    << 17 << 3 << true;
        // Push and pop restore the report size: 3 bits + 16 bits = 3 bytes.
        QTest::newRow("push pop") << QByteArray::fromHex("7508 9502 a4 7501 9503 8102 b4 8102") << 4 << 0 << false;
        // Bits round up to whole bytes.
        QTest::newRow("bits") << QByteArray::fromHex("7501 9503 8102") << 2 << 0 << false;
        QTest::newRow("long item skipped") << QByteArray::fromHex("fe0212aabb 7508 9501 9102") << 0 << 2 << false;
        QTest::newRow("truncated item") << QByteArray::fromHex("7508 9501 8102 27ff") << 2 << 0 << false;
        QTest::newRow("empty") << QByteArray() << 0 << 0 << false;
    }
    void reportDescriptor()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(int, input);
        QFETCH(int, output);
        QFETCH(bool, numbered);
        const ReportLengths lengths = ParseReportDescriptor(descriptor);
        QCOMPARE(lengths.input, input);
        QCOMPARE(lengths.output, output);
        QCOMPARE(lengths.numbered, numbered);
    }

    void reportDescriptorGarbage()
    {
        // Never reads out of range, lengths stay within 16 bits.
        QRandomGenerator random(7);
        for (int i = 0; i < 2000; ++i) {
            QByteArray bytes(random.bounded(64), '\0');
            for (char &c : bytes)
                c = char(random.bounded(256));
            const ReportLengths lengths = ParseReportDescriptor(bytes);
            QVERIFY(lengths.input >= 0 && lengths.input <= 65535);
            QVERIFY(lengths.output >= 0 && lengths.output <= 65535);
        }
        // Huge counts are capped rather than overflowing.
        QCOMPARE(ParseReportDescriptor(QByteArray::fromHex("77ffffffff 97ffffffff 8102")).input, 65535);
    }

    void helloRoundTrip()
    {
        virtualkit::HelloInfo hello;
        hello.vendorId = 0x1234;
        hello.productId = 0xABCD;
        hello.inputReportLength = 2;
        hello.outputReportLength = 65;
        hello.product = QStringLiteral("ORBA");
        hello.serial = QStringLiteral("試作1");
        virtualkit::MessageReader reader;
        reader.append(virtualkit::EncodeHello(hello));
        const auto message = reader.next();
        QVERIFY(message);
        QCOMPARE(message->type, quint8(virtualkit::Hello));
        QCOMPARE(virtualkit::DecodeHello(message->payload), hello);
        // Every shortened payload is refused, not misread.
        for (qsizetype n = 0; n < message->payload.size(); ++n)
            QVERIFY2(!virtualkit::DecodeHello(message->payload.first(n)), qPrintable(QString::number(n)));
    }

    void helloRefused_data()
    {
        QTest::addColumn<QByteArray>("payload");
        const QByteArray good = virtualkit::EncodeHello({0, 0, 2, 2, QStringLiteral("ORBA"), {}}).mid(3);
        QByteArray badMagic = good;
        badMagic[0] = 'X';
        QByteArray badVersion = good;
        badVersion[4] = 9;
        QByteArray zeroLength = good;
        zeroLength[9] = 0;
        zeroLength[10] = 1; // input length 1: no data byte
        QByteArray hugeLength = good;
        hugeLength[11] = char(0x7F); // output length far above the limit
        QByteArray longString = good;
        longString[13] = char(0x7F); // product string runs past the end
        QTest::newRow("magic") << badMagic;
        QTest::newRow("version") << badVersion;
        QTest::newRow("input length 1") << zeroLength;
        QTest::newRow("output length huge") << hugeLength;
        QTest::newRow("string past end") << longString;
    }
    void helloRefused()
    {
        QFETCH(QByteArray, payload);
        QVERIFY(!virtualkit::DecodeHello(payload));
    }

    void readerSplitsAndJoins()
    {
        using namespace virtualkit;
        const QByteArray stream = EncodeMessage(InputReport, QByteArray("\x00\xFF", 2))
                                  + EncodeMessage('?', QByteArray("unknown")) + EncodeMessage(InputReport, {})
                                  + EncodeMessage(OutputReport, QByteArray(65, 'x'));
        // Byte by byte and all at once give the same messages.
        for (int chunk : {1, 2, 5, int(stream.size())}) {
            MessageReader reader;
            QList<Message> got;
            for (qsizetype at = 0; at < stream.size(); at += chunk) {
                reader.append(QByteArrayView(stream).sliced(at, qMin<qsizetype>(chunk, stream.size() - at)));
                while (auto m = reader.next())
                    got.append(*m);
            }
            QCOMPARE(got.size(), 4);
            QCOMPARE(got[0].payload, QByteArray("\x00\xFF", 2));
            QCOMPARE(got[1].type, quint8('?'));
            QCOMPARE(got[2].payload, QByteArray());
            QCOMPARE(got[3].payload.size(), 65);
            QVERIFY(!reader.broken());
        }
    }

    void readerBreaksOnOversizedMessage()
    {
        using namespace virtualkit;
        MessageReader reader;
        reader.append(QByteArray::fromHex("49ffff") + QByteArray(10, 'x'));
        QVERIFY(!reader.next());
        QVERIFY(reader.broken());
        reader.append(EncodeMessage(InputReport, QByteArray("\x00\xFF", 2)));
        QVERIFY(!reader.next()); // stays broken
    }
};

KORU_TEST_GUILESS_MAIN(TestLinkFormats)
#include "tst_linkformats.moc"
