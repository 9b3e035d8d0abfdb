// Random and half-sensible report streams into the kit's firmware, from fixed
// seeds so a failure repeats. The checks live in FuzzKitStream (it aborts).
#include "kitfuzzstream.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

class TestKitFuzzStreams : public QObject
{
    Q_OBJECT

private slots:
    void randomStreams();
    void framesWithNoise();
};

void TestKitFuzzStreams::randomStreams()
{
    QRandomGenerator random(20261210);
    for (int n = 0; n < 400; ++n) {
        std::vector<std::uint8_t> bytes(random.bounded(4096));
        for (auto &b : bytes)
            b = std::uint8_t(random.bounded(256));
        koru::kit::test::FuzzKitStream(bytes.data(), bytes.size());
    }
}

// Streams made of frames, requests and time, so that runs actually happen:
// every value goes in as a "receive" step (op 0), time as op 5.
void TestKitFuzzStreams::framesWithNoise()
{
    QRandomGenerator random(4242);
    for (int n = 0; n < 300; ++n) {
        std::vector<std::uint8_t> bytes;
        const auto value = [&bytes](int v) {
            bytes.push_back(0);
            bytes.push_back(std::uint8_t(v));
        };
        for (int part = 0; part < 12; ++part) {
            switch (random.bounded(5)) {
            case 0:
            case 1: {
                value(random.bounded(2) ? 240 : 242);
                const int length = int(random.bounded(200));
                for (int k = 0; k < length; ++k)
                    value(random.bounded(10) == 0 ? 230 + int(random.bounded(26)) : int(random.bounded(256)));
                if (random.bounded(4) != 0)
                    value(250);
                break;
            }
            case 2:
                value(241 + int(random.bounded(9)));
                break;
            case 3:
                bytes.push_back(5);
                bytes.push_back(std::uint8_t(random.bounded(256)));
                break;
            default:
                bytes.push_back(7);
                bytes.push_back(std::uint8_t(random.bounded(256)));
                break;
            }
        }
        koru::kit::test::FuzzKitStream(bytes.data(), bytes.size());
    }
}

KORU_TEST_GUILESS_MAIN(TestKitFuzzStreams)
#include "tst_kitfuzzstreams.moc"
