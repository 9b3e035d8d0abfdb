#include "report/reportsave.h"

#include "model/messages.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "report/reportpage.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace koru;
using namespace koru::report;
using koru::test::writeBytes;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writePicture(const QString &path, QRgb colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "BMP"));
}

} // namespace

class TstReportSave : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString work;    // the composed page and its pictures
    QString out;     // where the pupil saves
    QString page() const { return work + "/print.html"; }
    QString picture(const QString &name) const { return work + "/Img/" + name; }

    void writePage(const QStringList &lines) { QVERIFY(WriteProgramLines(page(), lines)); }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        work = dir.filePath("work");
        out = dir.filePath("out");
        QDir(work).removeRecursively();
        QDir(out).removeRecursively();
        QVERIFY(QDir().mkpath(work + "/Img") && QDir().mkpath(out));
    }

    void extension_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("html") << "課題.html" << "課題.html";
        QTest::newRow("none") << "課題" << "課題.html";
        QTest::newRow("HTM kept") << "課題.HTM" << "課題.HTM";
        QTest::newRow("mixed case") << "a.Html" << "a.Html";
        QTest::newRow("other extension") << "a.htm.txt" << "a.htm.txt.html";
        QTest::newRow("dot only") << "a." << "a..html";
    }
    void extension()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(WithReportExtension(chosen), saved);
    }

    // A melody report saved as 課題.html: the page, the folder 課題Img with
    // the staff picture, the page pointing into it, Shift-JIS with CR LF.
    void melodyReport()
    {
        writePicture(picture("Sound.bmp"), qRgb(200, 0, 0));
        writePage({"<p>楽譜</p>", "<p><img src=\"Img/Sound.bmp\" width=\"40\" height=\"30\"></p>"});
        const QString target = out + "/課題.html";
        QCOMPARE(SaveReportPage(page(), work + "/Img", SoundReportKind, target), QString());
        QCOMPARE(readAll(out + "/課題Img/Sound.bmp"), readAll(picture("Sound.bmp")));
        const QByteArray bytes = readAll(target);
        QCOMPARE(DecodeProgramText(bytes).value_or(QStringList()),
                 (QStringList{"<p>楽譜</p>", "<p><img src=\"課題Img/Sound.bmp\" width=\"40\" height=\"30\"></p>"}));
        QCOMPARE(bytes.count("\r\n"), 2);
        QCOMPARE(bytes.count('\n'), 2);
    }

    // A base name that would change the meaning of a URL is encoded in the
    // picture sources; the folder keeps the name as chosen.
    void baseNameInSources_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("source");
        QTest::newRow("blank and hash") << "my #1" << "my%20%231Img/Sound.bmp";
        QTest::newRow("quote and ampersand") << "a\"&b" << "a%22&amp;bImg/Sound.bmp";
        QTest::newRow("percent and question mark") << "100%?" << "100%25%3FImg/Sound.bmp";
        QTest::newRow("outside Shift-JIS") << QString::fromUtf8("🎵") << "&#x1F3B5;Img/Sound.bmp";
    }
    void baseNameInSources()
    {
        QFETCH(QString, base);
        QFETCH(QString, source);
        writePicture(picture("Sound.bmp"), qRgb(0, 0, 200));
        writePage({"<img src=\"Img/Sound.bmp\" width=\"40\" height=\"30\">"});
        const QString target = out + "/" + base + ".html";
        QCOMPARE(SaveReportPage(page(), work + "/Img", SoundReportKind, target), QString());
        QVERIFY(QFile::exists(out + "/" + base + "Img/Sound.bmp"));
        QCOMPARE(ReadProgramLines(target).value_or(QStringList()),
                 QStringList{"<img src=\"" + source + "\" width=\"40\" height=\"30\">"});
    }

    // Saving again under the same name after the program changed: the new
    // pictures replace the old ones, a routine that is gone loses its
    // picture, and files that are not report pictures stay.
    void savingAgainReplacesPictures()
    {
        const QString target = out + "/flow.html";
        writePicture(picture("Routine0.bmp"), qRgb(255, 0, 0));
        writePicture(picture("Routine1.bmp"), qRgb(0, 255, 0));
        writePage({"<img src=\"Img/Routine0.bmp\" width=\"40\" height=\"30\">"
                   "<img src=\"Img/Routine1.bmp\" width=\"40\" height=\"30\">"});
        QCOMPARE(SaveReportPage(page(), work + "/Img", RoutineReportKind, target), QString());
        QVERIFY(QFile::exists(out + "/flowImg/Routine1.bmp"));
        writeBytes(out + "/flowImg/notes.txt", "mine");

        writePicture(picture("Routine0.bmp"), qRgb(0, 0, 255));
        QVERIFY(QFile::remove(picture("Routine1.bmp")));
        writePage({"<img src=\"Img/Routine0.bmp\" width=\"40\" height=\"30\">"});
        QCOMPARE(SaveReportPage(page(), work + "/Img", RoutineReportKind, target), QString());

        QCOMPARE(readAll(out + "/flowImg/Routine0.bmp"), readAll(picture("Routine0.bmp")));
        QVERIFY(!QFile::exists(out + "/flowImg/Routine1.bmp"));
        QCOMPARE(readAll(out + "/flowImg/notes.txt"), QByteArray("mine"));
        QCOMPARE(ReadProgramLines(target).value_or(QStringList()),
                 QStringList{"<img src=\"flowImg/Routine0.bmp\" width=\"40\" height=\"30\">"});
    }

    // A page saved as ".html" beside the composed one points into the
    // work folder's own pictures, which stay as they are.
    void savedBesideTheWorkPictures()
    {
        writePicture(picture("Routine0.bmp"), qRgb(1, 1, 1));
        writePicture(picture("Sound.bmp"), qRgb(2, 2, 2));
        const QByteArray sound = readAll(picture("Sound.bmp"));
        writePage({"<img src=\"Img/Routine0.bmp\" width=\"40\" height=\"30\">"});
        QCOMPARE(SaveReportPage(page(), work + "/Img", RoutineReportKind, work + "/.html"), QString());
        QCOMPARE(readAll(picture("Sound.bmp")), sound);
        QVERIFY(QFile::exists(picture("Routine0.bmp")));
    }

    // A text report saves the page alone.
    void textPageAlone()
    {
        writePicture(picture("Sound.bmp"), qRgb(1, 2, 3));
        writePage({"<pre>ledon(255,0,0,1);</pre>"});
        const QString target = out + "/word.htm";
        QCOMPARE(SaveReportPage(page(), work + "/Img", WordReportKind, target), QString());
        QCOMPARE(ReadProgramLines(target), ReadProgramLines(page()));
        QVERIFY(!QFileInfo::exists(out + "/wordImg"));
    }

    // A STEP1 page points at the program's own icon pictures: the saved
    // page gets copies beside it and points at them, so it keeps its
    // pictures on another PC.
    void iconPicturesCopiedBesideThePage()
    {
        const QString icons = dir.filePath("program/Img/Icon/DD");
        QVERIFY(QDir().mkpath(icons));
        writePicture(icons + "/15.bmp", qRgb(10, 20, 30));
        writePicture(icons + "/8.bmp", qRgb(40, 50, 60));
        const QString url15 = QUrl::fromLocalFile(icons + "/15.bmp").toString(QUrl::FullyEncoded);
        const QString url8 = QUrl::fromLocalFile(icons + "/8.bmp").toString(QUrl::FullyEncoded);
        writePage({"<table>", "<tr><td><img src=\"" + url15 + "\" width=\"32\" height=\"25\"></td><td>タイマー3秒</td></tr>",
                   "<tr><td><img src=\"" + url8 + "\" width=\"32\" height=\"25\"></td><td>音が鳴るまで待つ</td></tr>",
                   "</table>"});
        const QString target = out + "/アイコン 1.html";
        QCOMPARE(SaveReportPage(page(), work + "/Img", IconReportKind, target), QString());
        QCOMPARE(readAll(out + "/アイコン 1Img/15.bmp"), readAll(icons + "/15.bmp"));
        QCOMPARE(readAll(out + "/アイコン 1Img/8.bmp"), readAll(icons + "/8.bmp"));
        const QString saved = ReadProgramLines(target)->join('\n');
        QVERIFY2(saved.contains("<img src=\"アイコン%201Img/15.bmp\" width=\"32\" height=\"25\">"), qPrintable(saved));
        QVERIFY(saved.contains("<img src=\"アイコン%201Img/8.bmp\""));
        QVERIFY(!saved.contains("file:"));
        // An icon picture that is gone: said, and no page written.
        QVERIFY(QFile::remove(icons + "/8.bmp"));
        QCOMPARE(SaveReportPage(page(), work + "/Img", IconReportKind, out + "/b.html"), SaveFailed);
        QVERIFY(!QFileInfo::exists(out + "/b.html"));
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("pupil");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "山田 花子" << "山田 花子";
        QTest::newRow("slashes and quotes") << "a/b\\c\"d" << "a_b_c_d";
        QTest::newRow("reserved") << "x:y*z?<>|" << "x_y_z____";
        QTest::newRow("blanks and dots at the ends") << " ..名前. " << "名前";
        QTest::newRow("full-width blank at the ends") << "　名前　" << "名前";
        QTest::newRow("nothing left") << "..." << "レポート";
        QTest::newRow("empty") << "" << "レポート";
        QTest::newRow("tab inside") << "a\tb" << "a_b";
    }
    void safeFileName()
    {
        QFETCH(QString, pupil);
        QFETCH(QString, name);
        QCOMPARE(SafeReportFileName(pupil), name);
    }

    // A save that cannot be completed says so and leaves the earlier page.
    void failureKeepsEarlierPage_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("blocker"); // what stands in the way
        QTest::newRow("picture folder is a file") << SoundReportKind << "folder";
        QTest::newRow("staff picture gone") << SoundReportKind << "picture";
        QTest::newRow("composed page gone") << WordReportKind << "page";
    }
    void failureKeepsEarlierPage()
    {
        QFETCH(int, kind);
        QFETCH(QString, blocker);
        const QString target = out + "/r.html";
        writeBytes(target, "earlier");
        writePicture(picture("Sound.bmp"), qRgb(9, 9, 9));
        writePage({"<img src=\"Img/Sound.bmp\" width=\"40\" height=\"30\">"});
        if (blocker == "folder")
            writeBytes(out + "/rImg", "x");
        if (blocker == "picture")
            QVERIFY(QFile::remove(picture("Sound.bmp")));
        if (blocker == "page")
            QVERIFY(QFile::remove(page()));
        const QString message = SaveReportPage(page(), work + "/Img", kind, target);
        QCOMPARE(message, blocker == "page" ? LoadFailed : SaveFailed);
        QCOMPARE(readAll(target), QByteArray("earlier"));
    }

    // A picture that does not fit on the disk any more is a failed save:
    // the earlier picture stays whole, never a cut-off copy in its place.
    void pictureCopyOnAFullDisk()
    {
        const QString target = out + "/r.html";
        QImage big(60, 40, QImage::Format_RGB32); // some 7 KB as a BMP: a buffered write
        big.fill(qRgb(1, 2, 3));
        QVERIFY(big.save(picture("Sound.bmp"), "BMP"));
        writePage({"<img src=\"Img/Sound.bmp\" width=\"60\" height=\"40\">"});
        QVERIFY(QDir().mkpath(out + "/rImg"));
        writeBytes(out + "/rImg/Sound.bmp", "earlier picture");
        {
            test::FileSizeLimit limit(4096);
            QCOMPARE(SaveReportPage(page(), work + "/Img", SoundReportKind, target), SaveFailed);
        }
        QCOMPARE(readAll(out + "/rImg/Sound.bmp"), QByteArray("earlier picture"));
        QVERIFY(!QFile::exists(target));
    }
};

KORU_TEST_GUILESS_MAIN(TstReportSave)
#include "tst_reportsave.moc"
