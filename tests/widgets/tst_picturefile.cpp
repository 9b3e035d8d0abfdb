// Pictures read by the format their name gives, and the files that do not
// fit their name: read by their contents, or a null picture, never a crash.
#include "testmain.h"
#include "testutil.h"
#include "widgets/picturefile.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;

class TstPictureFile : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format"); // what is written; empty: garbage
        QTest::addColumn<bool>("readable");
        QTest::newRow("png as png") << "a.png" << QByteArray("PNG") << true;
        QTest::newRow("jpeg as jpg") << "a.jpg" << QByteArray("JPG") << true;
        QTest::newRow("bmp as BMP") << "a.BMP" << QByteArray("BMP") << true;
        QTest::newRow("png named jpg") << "b.jpg" << QByteArray("PNG") << true;
        QTest::newRow("no suffix") << "picture" << QByteArray("PNG") << true;
        QTest::newRow("garbage named png") << "c.png" << QByteArray() << false;
        QTest::newRow("truncated png") << "d.png" << QByteArray("PNG-half") << false;
    }
    void read()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(bool, readable);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QByteArray bytes = "not a picture at all";
        if (!format.isEmpty()) {
            QImage image(6, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(image.save(&buffer, format.startsWith("PNG") ? "PNG" : format.constData()));
            if (format.endsWith("-half"))
                bytes.truncate(bytes.size() / 2);
        }
        test::writeBytes(path, bytes);
        const QImage image = ReadPicture(path);
        QCOMPARE(!image.isNull(), readable);
        if (readable)
            QCOMPARE(image.size(), QSize(6, 4));
        QCOMPARE(ReadPixmap(path).isNull(), !readable);
    }
    void missingFile()
    {
        QVERIFY(ReadPicture(QStringLiteral("/nonexistent/picture.png")).isNull());
        QVERIFY(ReadPixmap(QStringLiteral("/nonexistent/picture.png")).isNull());
    }
};

KORU_TEST_MAIN(TstPictureFile)
#include "tst_picturefile.moc"
