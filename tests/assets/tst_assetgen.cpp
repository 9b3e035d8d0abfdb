// The picture generator: GIF encoding, options, placeholders, and the built
// pictures against the manifest.
#include "assets/gen/gifwriter.h"
#include "assets/gen/render.h"
#include "testmain.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace koru::assets;

namespace {

QImage decodeGif(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QImage stripes(int w, int h, const QList<QRgb> &colours)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, colours[(x + 3 * y) % colours.size()]);
    return image;
}

} // namespace

class TstAssetGen : public QObject
{
    Q_OBJECT
private slots:
    // Pictures with few colours come back pixel for pixel, whatever their
    // size and however long the LZW stream gets (table resets at 4096 codes).
    void gifRoundTripIsExact_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::newRow("1x1 one colour") << stripes(1, 1, {qRgb(10, 20, 30)});
        QTest::newRow("two colours") << stripes(7, 3, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
        QTest::newRow("odd width, five colours")
            << stripes(13, 9, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9), qRgb(200, 100, 0)});
        QList<QRgb> many;
        for (int i = 0; i < 256; ++i)
            many << qRgb(i, 255 - i, (i * 7) & 0xff);
        QTest::newRow("256 colours") << stripes(650, 300, many);
        QImage noise(300, 200, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, many[random.bounded(256)]);
        QTest::newRow("noise, many table resets") << noise;
    }
    void gifRoundTripIsExact()
    {
        QFETCH(QImage, image);
        const QByteArray bytes = EncodeGif(image);
        QVERIFY(bytes.startsWith("GIF89a"));
        QVERIFY(bytes.endsWith(';'));
        const QImage back = decodeGif(bytes);
        QCOMPARE(back.size(), image.size());
        QCOMPARE(back, image.convertToFormat(QImage::Format_ARGB32));
    }

    void gifKeyColourIsTransparentAndExact()
    {
        const QRgb key = qRgb(255, 0, 255);
        // The key among many shades: the quantiser must not merge it away.
        QImage image(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                image.setPixel(x, y, (x < 8) ? key : qRgb(x * 4, y * 4, 250));
        const QImage back = decodeGif(EncodeGif(image, key));
        QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(back.pixel(7, 63)), 0);
        QCOMPARE(qAlpha(back.pixel(8, 0)), 255);
        QCOMPARE(qAlpha(back.pixel(63, 63)), 255);
    }

    void gifQuantisesRichPictures()
    {
        QImage image(128, 128, QImage::Format_RGB32);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                image.setPixel(x, y, qRgb(x * 2, y * 2, (x + y)));
        const QImage back = decodeGif(EncodeGif(image));
        QCOMPARE(back.size(), image.size());
        int worst = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                const QRgb a = image.pixel(x, y), b = back.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        QVERIFY2(worst <= 24, qPrintable(QString::number(worst)));
    }

    void gifRefusesEmpty()
    {
        QVERIFY(EncodeGif(QImage()).isEmpty());
    }

    void options_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << "65x50" << QStringList{} << true;
        QTest::newRow("all options") << "1x1" << QStringList{"bg=#102030", "key=#ff00ff", "quality=80", "caption=赤"} << true;
        QTest::newRow("zero width") << "0x10" << QStringList{} << false;
        QTest::newRow("no x") << "65*50" << QStringList{} << false;
        QTest::newRow("huge") << "123456x2" << QStringList{} << false;
        QTest::newRow("bad colour") << "2x2" << QStringList{"bg=purpleish"} << false;
        QTest::newRow("quality range") << "2x2" << QStringList{"quality=0"} << false;
        QTest::newRow("not name=value") << "2x2" << QStringList{"loose"} << false;
        QTest::newRow("empty name") << "2x2" << QStringList{"=3"} << false;
    }
    void options()
    {
        QFETCH(QString, size);
        QFETCH(QStringList, words);
        QFETCH(bool, ok);
        QString error;
        const RenderOptions options = ParseOptions(size, words, &error);
        QCOMPARE(error.isEmpty(), ok);
        if (ok && words.size() == 4) {
            QCOMPARE(options.size, QSize(1, 1));
            QCOMPARE(options.background, QColor(0x10, 0x20, 0x30));
            QCOMPARE(*options.key, qRgb(255, 0, 255));
            QCOMPARE(options.quality, 80);
            QCOMPARE(options.values.value("caption"), QStringLiteral("赤"));
        }
    }

    void placeholders()
    {
        QString error;
        const QByteArray svg = SubstituteValues("<text fill='{{c}}'>{{t}}</text>", {{"c", "#f00"}, {"t", "<&>"}}, &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(svg, QByteArray("<text fill='#f00'>&lt;&amp;&gt;</text>"));
        SubstituteValues("<text>{{missing}}</text>", {}, &error);
        QVERIFY(error.contains("missing"));
    }

    // Opaque formats: background under transparent parts, or the exact key
    // colour there, and drawn pixels never equal to the key.
    void writesOpaqueFormats_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("bmp") << "a.bmp";
        QTest::newRow("gif") << "a.gif";
        QTest::newRow("png") << "a.png";
    }
    void writesOpaqueFormats()
    {
        QFETCH(QString, file);
        QTemporaryDir dir;
        QImage picture(4, 2, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(1, 0, qRgb(255, 0, 255)); // opaque, equal to the key
        picture.setPixel(2, 0, qRgb(0, 128, 0));
        QString error;
        RenderOptions options = ParseOptions("4x2", {"key=#ff00ff"}, &error);
        const QString path = dir.filePath("sub/" + file);
        QVERIFY(WritePicture(picture, path, options, &error));
        const QImage back(path);
        QCOMPARE(back.size(), QSize(4, 2));
        QCOMPARE(back.pixel(2, 0) | 0xff000000u, qRgb(0, 128, 0));
        if (file.endsWith("gif")) {
            QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(back.pixel(1, 0)), 255);
        } else {
            QCOMPARE(back.pixel(0, 0) | 0xff000000u, qRgb(255, 0, 255));
            QVERIFY((back.pixel(1, 0) | 0xff000000u) != qRgb(255, 0, 255));
        }
        QVERIFY(!WritePicture(picture, dir.filePath("a.tiff"), options, &error));
        QVERIFY(error.contains("format"));
    }

    void refusesBadSources()
    {
        QTemporaryDir dir;
        QFile bad(dir.filePath("bad.svg"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("<svg><rect");
        bad.close();
        QString error;
        const RenderOptions options = ParseOptions("8x8", {}, &error);
        QVERIFY(RenderSource(dir.filePath("bad.svg"), options, &error).isNull());
        QVERIFY(!error.isEmpty());
        QVERIFY(RenderSource(dir.filePath("none.svg"), options, &error).isNull());
        QVERIFY(!error.isEmpty());
    }

    // Every picture the manifest names was built, in its size and format.
    void builtPicturesMatchManifest()
    {
        QFile manifest(QStringLiteral(KORU_MANIFEST));
        QVERIFY(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
        const QDir bin(QCoreApplication::applicationDirPath());
        static const QRegularExpression line(QStringLiteral("^(\\S+)\\s+->\\s+(\\S+)\\s+(\\d+)x(\\d+)"));
        int checked = 0;
        while (!manifest.atEnd()) {
            const QString text = QString::fromUtf8(manifest.readLine()).trimmed();
            const auto m = line.match(text);
            if (text.startsWith('#') || !m.hasMatch())
                continue;
            const QString out = bin.filePath(m.captured(2));
            QImageReader reader(out);
            QVERIFY2(reader.canRead(), qPrintable(out));
            QCOMPARE(reader.size(), QSize(m.captured(3).toInt(), m.captured(4).toInt()));
            const QByteArray format = reader.format();
            const QString suffix = QFileInfo(out).suffix().toLower();
            QVERIFY2(format == suffix.toLatin1() || (format == "jpeg" && suffix == "jpg"), qPrintable(out));
            ++checked;
        }
        QVERIFY(checked > 0);
    }
};

KORU_TEST_MAIN(TstAssetGen)
#include "tst_assetgen.moc"
