// Random images through the preview run, with the pupil pressing buttons,
// moving sliders, stepping, changing the speed and stopping at random: no
// crash (the state beside the kit included), no run that cannot be
// stopped, no picture outside the known set, and a bounded amount of work.
#include "preview/previewstate.h"
#include "previewtrace.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace koru;
using namespace koru::preview;
using namespace koru::preview::test;

class TestPreviewFuzz : public QObject
{
    Q_OBJECT
private slots:
    void randomImages();
};

namespace {
// Mostly instruction codes and small addresses, so that runs go somewhere.
int RandomByte(QRandomGenerator &random)
{
    static const QList<int> codes{230, 231, 131, 132, 145, 146, 147, 150, 151, 152, 153, 154, 155, 160,
                                  170, 171, 172, 173, 174, 175, 180, 184, 187, 190, 195, 200, 201, 205,
                                  206, 210, 211, 220, 222, 250, 255};
    switch (random.bounded(3)) {
    case 0: return codes[random.bounded(int(codes.size()))];
    case 1: return random.bounded(40);
    default: return random.bounded(256);
    }
}

bool KnownScene(const PreviewScene &scene)
{
    static const QSet<QString> known{
        pictures::Back, pictures::Body, pictures::Clock, pictures::Backlight, pictures::Radio,
        pictures::Melody, pictures::Beep, pictures::Experiment, WaitPicture(1), WaitPicture(2),
        WaitPicture(3), WaitPicture(4), WaitPicture(5), WaitPicture(6)};
    for (const QString &picture : scene.layers) {
        if (!picture.isEmpty() && !known.contains(picture))
            return false;
    }
    return scene.glowLevel >= 0 && scene.glowLevel <= 255;
}
} // namespace

void TestPreviewFuzz::randomImages()
{
    QRandomGenerator random(20261210);
    for (int round = 0; round < 1000; ++round) {
        QList<int> image;
        const int length = random.bounded(1, 121);
        for (int k = 0; k < length; ++k)
            image.append(RandomByte(random));
        if (random.bounded(2))
            image[0] = 230;
        Rig rig;
        rig.start(image, random.bounded(2) ? PreviewRun::Pace::Stepping : PreviewRun::Pace::Continuous);
        for (int action = 0; action < 30 && rig.run.playing(); ++action) {
            switch (random.bounded(8)) {
            case 5: rig.step(3000); break;
            case 6: rig.run.resume(); break;
            case 7: rig.run.setSpeed(QList<int>{2, 4, 8, 16}[random.bounded(4)]); break;
            case 0: rig.run.pressWaitButton(random.bounded(0, 8)); break;
            case 1:
                rig.run.setWorld({bool(random.bounded(2)), bool(random.bounded(2)), random.bounded(41),
                                  random.bounded(101)});
                break;
            default: rig.runFor(random.bounded(3000)); break;
            }
            QVERIFY2(KnownScene(rig.run.scene()), qPrintable(ImageCommaText(image)));
            ViewOf(rig.run); // names whatever address the run is at
        }
        rig.run.setSpeed(SpeedClock::NormalQuarters); // at ½× the longest hold (255 s) takes 510 s
        rig.run.stop();
        rig.runFor(256000);
        QVERIFY2(rig.run.state() == PreviewRun::State::Idle, qPrintable(ImageCommaText(image)));
        QVERIFY(rig.run.scene().empty());
    }
}

KORU_TEST_GUILESS_MAIN(TestPreviewFuzz)
#include "tst_previewfuzz.moc"
