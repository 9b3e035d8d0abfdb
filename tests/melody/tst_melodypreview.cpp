// The preview sound file.
#include "melody/preview.h"
#include "model/paths.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <limits>
#include <numeric>

using namespace koru;

namespace {

Melody melodyOf(const QStringList &keys, int len)
{
    Melody m;
    m.setSelectedLength(len);
    for (const QString &k : keys)
        m.addNote(k, 0);
    return m;
}

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

class TstMelodyPreview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void oneQuarterA4()
    {
        const Melody m = melodyOf({"12"}, 1);
        const QString path = BuildPreview(m, PreviewRange::All);
        QCOMPARE(path, WorkFolder() + QStringLiteral("Melo.WAV"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wave = file.readAll();
        QCOMPARE(wave.size(), 48444);
        QCOMPARE(wave.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(wave, 4), 48400u + 36u);
        QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le32(wave, 16), 16u);
        QCOMPARE(le16(wave, 20), 1);     // PCM
        QCOMPARE(le16(wave, 22), 1);     // mono
        QCOMPARE(le32(wave, 24), 48000u);
        QCOMPARE(le32(wave, 28), 48000u);
        QCOMPARE(le16(wave, 32), 1);
        QCOMPARE(le16(wave, 34), 8);
        QCOMPARE(wave.mid(36, 4), QByteArray("data"));
        QCOMPARE(le32(wave, 40), 48400u);
        // 440 periods of 55 high and 55 low samples.
        const QByteArray period = QByteArray(55, '\xff') + QByteArray(55, '\0');
        QCOMPARE(wave.mid(44), period.repeated(440));
    }

    void lengthsSpeedsAndRests_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("samples");
        // h = round(24000 / f), n = round(c (f - 1) / 2 / d) + 1, 2 h n samples.
        QTest::newRow("C3 eighth") << QStringList{"0"} << 1 << 2 * 183 * 66;
        QTest::newRow("A4 half") << QStringList{"132"} << 1 << 2 * 55 * 879;
        QTest::newRow("A4 quarter double") << QStringList{"58"} << 2 << 2 * 55 * 221;
        QTest::newRow("A4 dotted quadruple") << QStringList{"95"} << 3 << 2 * 55 * (165 + 1);
        QTest::newRow("rest eighth") << QStringList{"148"} << 1 << 10100;
        QTest::newRow("rest half quadruple") << QStringList{"151"} << 3 << 10100;
        QTest::newRow("note, rest, note") << QStringList{"58", "149", "58"} << 1 << 2 * 48400 + 10100;
        QTest::newRow("nothing") << QStringList{} << 1 << 0;
    }
    void lengthsSpeedsAndRests()
    {
        QFETCH(QStringList, codes);
        QFETCH(int, speed);
        QFETCH(int, samples);
        QCOMPARE(PreviewSamples(codes, static_cast<MelodySpeed>(speed)).size(), samples);
        // The player follows the notes with the same lengths, one per code.
        const QList<qsizetype> counts = PreviewSampleCounts(codes, static_cast<MelodySpeed>(speed));
        QCOMPARE(counts.size(), codes.size());
        QCOMPARE(std::accumulate(counts.begin(), counts.end(), qsizetype(0)), qsizetype(samples));
    }

    // A clicked key sounds as an eighth note at double speed; the rest is silent.
    void keySound()
    {
        const QString path = BuildKeySound(Key{12, false}); // A4: h 55, n round(439 / 4) + 1
        QCOMPARE(path, WorkFolder() + KeySoundFileName);
        QCOMPARE(QFileInfo(path).size(), qint64(44 + 2 * 55 * 111));
        QVERIFY(BuildKeySound(Key{RestKey, false}).isEmpty());
        QVERIFY(QFile::remove(path));
    }

    void restIsSilence()
    {
        QCOMPARE(PreviewSamples({"150"}, MelodySpeed::Standard), QByteArray(10100, '\0'));
    }

    void ranges()
    {
        const Melody five = melodyOf({"0", "1", "2", "3", "4"}, 0);
        QCOMPARE(PreviewCodes(five, PreviewRange::Last10), (QStringList{"0", "2", "4", "5", "7"}));
        QCOMPARE(PreviewCodes(five, PreviewRange::Last10), PreviewCodes(five, PreviewRange::All));

        Melody many = melodyOf({}, 0);
        for (int i = 0; i < 25; ++i)
            many.addNote(QString::number(i % 22), 0);
        QCOMPARE(PreviewCodes(many, PreviewRange::All).size(), 25);
        const QStringList last10 = PreviewCodes(many, PreviewRange::Last10);
        QCOMPARE(last10.size(), 10);
        QCOMPARE(last10.first(), PreviewCodes(many, PreviewRange::All)[15]);
        QCOMPARE(PreviewCodes(many, PreviewRange::Last20).size(), 20);
        QCOMPARE(PreviewCodes(Melody(), PreviewRange::Last20), QStringList());
    }

    // F6 sends the device list as it is; a melody is never refused.
    void sendableImageIsTheDeviceList()
    {
        for (const Melody &m : {Melody(), melodyOf({"12", "148", "0"}, 2)}) {
            const Sendable sendable = SendableImage(m);
            QVERIFY(sendable.ok());
            QCOMPARE(sendable.element, -1);
            QCOMPARE(ImageTexts(sendable.image), m.deviceList());
        }
        QCOMPARE(SendableImage(Melody()).image.size(), 16);
    }

    // The note the preview is sounding, from the position the sound output
    // reports (ms since the start): a rest lasts 10100 samples (210.4 ms), an
    // A4 quarter at standard speed 48400 (1008.3 ms).
    void elementAtAddress_data()
    {
        QTest::addColumn<QStringList>("keys"); // quarter notes
        QTest::addColumn<int>("range");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<int>("note");
        const QStringList rests(12, "148");
        const int all = int(PreviewRange::All);
        const int last10 = int(PreviewRange::Last10);
        const int last20 = int(PreviewRange::Last20);
        QTest::newRow("first at the start") << rests << all << qint64(0) << 0;
        QTest::newRow("first up to its last sample") << rests << all << qint64(210) << 0;
        QTest::newRow("second") << rests << all << qint64(211) << 1;
        QTest::newRow("last") << rests << all << qint64(2524) << 11;
        QTest::newRow("after the end") << rests << all << qint64(2525) << -1;
        QTest::newRow("last 10 start at the third") << rests << last10 << qint64(0) << 2;
        QTest::newRow("last 10, second rest") << rests << last10 << qint64(211) << 3;
        QTest::newRow("last 10 end sooner") << rests << last10 << qint64(2104) << 11;
        QTest::newRow("last 10 ended") << rests << last10 << qint64(2105) << -1;
        QTest::newRow("last 20 of 12 is all") << rests << last20 << qint64(0) << 0;
        QTest::newRow("note then rest: the note") << QStringList{"12", "148"} << all << qint64(1008) << 0;
        QTest::newRow("note then rest: the rest") << QStringList{"12", "148"} << all << qint64(1009) << 1;
        QTest::newRow("empty melody") << QStringList{} << all << qint64(0) << -1;
        QTest::newRow("negative") << rests << all << qint64(-1) << -1;
        QTest::newRow("lowest") << rests << all << std::numeric_limits<qint64>::min() << -1;
        QTest::newRow("highest") << rests << all << std::numeric_limits<qint64>::max() << -1;
    }
    void elementAtAddress()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, range);
        QFETCH(qint64, ms);
        QFETCH(int, note);
        const Melody m = melodyOf(keys, 1);
        QCOMPARE(m.count(), keys.size());
        QCOMPARE(ElementAtAddress(m, static_cast<PreviewRange>(range), ms), note);
    }

    // A real audio tool reads the file and finds its length.
    void opensInSox_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("len");
        QTest::addColumn<qint64>("samples");
        QTest::newRow("A4 quarter") << QStringList{"12"} << 1 << qint64(48400);
        QTest::newRow("two rests") << QStringList{"148", "148"} << 3 << qint64(20200);
        QTest::newRow("empty") << QStringList{} << 1 << qint64(0);
    }
    void opensInSox()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, len);
        QFETCH(qint64, samples);
        const QString soxi = QStandardPaths::findExecutable(QStringLiteral("soxi"));
        if (soxi.isEmpty())
            QSKIP("soxi is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Melo.WAV"));
        QVERIFY(WritePreview(melodyOf(keys, len), PreviewRange::All, path));
        QProcess process;
        process.start(soxi, {QStringLiteral("-s"), path});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardOutput().trimmed().toLongLong(), samples);
        process.start(soxi, {QStringLiteral("-r"), path});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.readAllStandardOutput().trimmed(), QByteArray("48000"));
    }

    void replacesTheEarlierPreview()
    {
        const QString first = BuildPreview(melodyOf({"12", "12"}, 1), PreviewRange::All);
        const QString second = BuildPreview(melodyOf({"148"}, 0), PreviewRange::All);
        QCOMPARE(second, first);
        QCOMPARE(QFileInfo(second).size(), 44 + 10100);
        QCOMPARE(QDir(WorkFolder()).entryList(QDir::Files), QStringList{"Melo.WAV"});
    }

    void saveFailureKeepsTheEarlierPreview()
    {
        // A disk too full for the new sound leaves the old one playable, and
        // the preview says it failed; a link to the sound stays a link.
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("sound.wav"));
        const QString path = dir.filePath(QStringLiteral("Melo.WAV"));
        QVERIFY(WritePreview(melodyOf({"148"}, 0), PreviewRange::All, target));
        QVERIFY(QFile::link(target, path));
        QFile before(target);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray old = before.readAll();
        before.close();
        bool written = true;
        {
            test::FileSizeLimit limit(old.size() + 100);
            written = WritePreview(melodyOf({"12", "12", "12", "12"}, 3), PreviewRange::All, path);
        }
        QVERIFY(!written);
        QVERIFY(before.open(QIODevice::ReadOnly));
        QCOMPARE(before.readAll(), old);
        QVERIFY(QFileInfo(path).isSymLink());
        QVERIFY(WritePreview(melodyOf({"12"}, 0), PreviewRange::All, path));
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
    }

    void unwritableFolderGivesNoPath()
    {
        QVERIFY(!WritePreview(Melody(), PreviewRange::All, QStringLiteral("/proc/no/Melo.WAV")));
    }
};

KORU_TEST_GUILESS_MAIN(TstMelodyPreview)
#include "tst_melodypreview.moc"
