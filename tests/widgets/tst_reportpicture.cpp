// Report pictures: written as the bitmap QImage would save, and a failure
// warns the one way in every editor.
#include "widgets/reportpicture.h"

#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/reportrequest.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString picturePath(const QString &name)
{
    return QDir(ReportPictureFolder()).filePath(name);
}

} // namespace

class TstReportPicture : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    // Odd widths (rows padded to four bytes), transparency and a palette.
    void bytesAreTheBitmapQImageSaves_data()
    {
        QTest::addColumn<QImage>("image");
        QImage rgb(7, 5, QImage::Format_RGB32);
        rgb.fill(QColor(250, 240, 230));
        QPainter(&rgb).fillRect(2, 1, 3, 2, QColor(10, 120, 200));
        QImage alpha(3, 4, QImage::Format_ARGB32);
        alpha.fill(QColor(0, 128, 255, 100));
        QImage indexed(5, 3, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
        for (int y = 0; y < indexed.height(); ++y)
            for (int x = 0; x < indexed.width(); ++x)
                indexed.setPixel(x, y, uint((x + y) % 3));
        QTest::newRow("rgb, odd width") << rgb;
        QTest::newRow("argb") << alpha;
        QTest::newRow("indexed") << indexed;
    }
    void bytesAreTheBitmapQImageSaves()
    {
        QFETCH(QImage, image);
        test::ScriptedDialogs dialogs;
        QDir(ReportPictureFolder()).removeRecursively(); // created when missing
        QVERIFY(SaveReportPicture(SoundPictureName, image));
        QVERIFY(dialogs.shown().isEmpty());

        QTemporaryDir dir;
        const QString reference = dir.filePath(QStringLiteral("reference.bmp"));
        QVERIFY(image.save(reference, "BMP"));
        const QByteArray written = fileBytes(picturePath(SoundPictureName));
        QVERIFY(written.startsWith("BM"));
        QCOMPARE(written, fileBytes(reference));
        QCOMPARE(EncodeBitmap(image), written);
        const QImage back(picturePath(SoundPictureName), "BMP");
        QCOMPARE(back.size(), image.size());
    }

    // A routine without blocks this time leaves no picture of an earlier one.
    void nullPicturesRemoveLeftOvers()
    {
        test::ScriptedDialogs dialogs;
        QImage block(4, 4, QImage::Format_RGB32);
        block.fill(Qt::white);
        QVERIFY(SaveReportPictures({{RoutinePictureName(0), block}, {RoutinePictureName(1), block}}));
        QVERIFY(SaveReportPictures({{RoutinePictureName(0), block}, {RoutinePictureName(1), QImage()}}));
        QVERIFY(QFile::exists(picturePath(RoutinePictureName(0))));
        QVERIFY(!QFile::exists(picturePath(RoutinePictureName(1))));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void failuresWarn_data()
    {
        QTest::addColumn<QString>("blocker"); // "folder": a file stands there; "picture": a folder does
        QTest::addColumn<bool>("nullImage");
        QTest::newRow("folder is a file") << "folder" << false;
        QTest::newRow("picture is a folder") << "picture" << false;
        QTest::newRow("nothing drawn") << "" << true;
    }
    void failuresWarn()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, nullImage);
        test::ScriptedDialogs dialogs;
        QDir(ReportPictureFolder()).removeRecursively();
        std::unique_ptr<test::BlockedReportPictureFolder> blocked;
        if (blocker == QLatin1String("folder"))
            blocked = std::make_unique<test::BlockedReportPictureFolder>();
        if (blocker == QLatin1String("picture"))
            QVERIFY(QDir().mkpath(picturePath(SoundPictureName)));
        QImage staff(20, 10, QImage::Format_RGB32);
        staff.fill(Qt::white);

        QVERIFY(!SaveReportPicture(SoundPictureName, nullImage ? QImage() : staff));
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, QStringLiteral("warning"));
        QCOMPARE(dialogs.lastText(), SaveFailed);
        QDir(ReportPictureFolder()).removeRecursively();
    }

    void severalPicturesWarnOnce()
    {
        test::ScriptedDialogs dialogs;
        test::BlockedReportPictureFolder blocked;
        QImage block(4, 4, QImage::Format_RGB32);
        block.fill(Qt::white);
        QVERIFY(!SaveReportPictures({{RoutinePictureName(0), block}, {RoutinePictureName(1), block}}));
        QCOMPARE(dialogs.texts(), QStringList{SaveFailed});
    }
};

KORU_TEST_MAIN(TstReportPicture)
#include "tst_reportpicture.moc"
