#include "report/reportpage.h"

#include "model/paths.h"
#include "model/programfile.h"
#include "model/reportrequest.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>



using namespace koru;
using namespace koru::report;
using koru::test::writeBytes;

namespace {

ReportInputs pupil()
{
    ReportInputs in;
    in.grade = QStringLiteral("3");
    in.className = QStringLiteral("2");
    in.number = QStringLiteral("15");
    in.name = QStringLiteral("テスト");
    in.title = QStringLiteral("ラジオ");
    in.idea = QStringLiteral("X");
    in.workings = QStringLiteral("S1\nS2\n");
    in.ingenuity = QString();
    in.impressions = QStringLiteral("A\nB");
    return in;
}

void writePicture(const QString &path, int width, int height, QRgb colour = qRgb(40, 120, 200))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "BMP"));
}

} // namespace

class TstReportPage : public QObject
{
    Q_OBJECT

    QTemporaryDir pictures;
    ReportSources sources() const { return {pictures.path(), QStringLiteral("/opt/koru/Img/Icon/DD")}; }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        QVERIFY(pictures.isValid());
    }

    void init()
    {
        for (const QString &name : QDir(pictures.path()).entryList(QDir::Files))
            QFile::remove(QDir(pictures.path()).filePath(name));
    }

    void compose_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("templateLines");
        QTest::addColumn<QStringList>("content");
        QTest::addColumn<QStringList>("expected");

        const QStringList none;
        QTest::newRow("name line") << IconReportKind << QStringList{"Name"} << none
                                   << QStringList{"3年　2組　15番　　名前：　テスト"};
        QTest::newRow("impressions, two lines") << IconReportKind << QStringList{"<p>Kanso</p>"} << none
                                                << QStringList{"<p>A<BR>B<BR></p>"};
        QTest::newRow("first key only") << IconReportKind << QStringList{"Name Kanso"} << none
                                        << QStringList{"3年　2組　15番　　名前：　テスト Kanso"};
        QTest::newRow("order, not position") << IconReportKind << QStringList{"Kuhu Koso"} << none
                                             << QStringList{"Kuhu X<BR>"};
        QTest::newRow("every occurrence") << IconReportKind << QStringList{"Taitoru|Taitoru"} << none
                                          << QStringList{"ラジオ<BR>|ラジオ<BR>"};
        QTest::newRow("final line break ends a line") << IconReportKind << QStringList{"Siyou"} << none
                                                      << QStringList{"S1<BR>S2<BR>"};
        QTest::newRow("empty box drops a bare key line")
            << IconReportKind << QStringList{"a", "Kuhu", "<div>Kuhu</div>", "b"} << none
            << QStringList{"a", "<div></div>", "b"};
        QTest::newRow("keys are case-sensitive, other lines unchanged")
            << IconReportKind << QStringList{"name NAME kanso", "", "<hr>"} << none
            << QStringList{"name NAME kanso", "", "<hr>"};
        QTest::newRow("program text") << WordReportKind << QStringList{"<div>WORD</div>"}
                                      << QStringList{"もし 音 なら", "", "x<3 & y"}
                                      << QStringList{"<div>もし 音 なら<BR><BR><BR><BR>x&lt;3 &amp; y<BR><BR></div>"};
        QTest::newRow("program key of another kind") << WordReportKind << QStringList{"ICON Picture ROUTINE"}
                                                     << QStringList{"a"} << QStringList{"ICON Picture ROUTINE"};
        QTest::newRow("icons") << IconReportKind << QStringList{"<tr><td>ICON</td><td>Content</td></tr>"}
                               << QStringList{"15,タイマー3秒", "16,確認音 2"}
                               << QStringList{"<tr><td><img src=\"file:///opt/koru/Img/Icon/DD/15.bmp\" width=\"32\" "
                                              "height=\"25\"></td><td>タイマー3秒</td></tr>"
                                              "<tr><td><img src=\"file:///opt/koru/Img/Icon/DD/16.bmp\" width=\"32\" "
                                              "height=\"25\"></td><td>確認音 2</td></tr>"};
        QTest::newRow("icon entries are text, read once")
            << IconReportKind << QStringList{"ICON:Content"} << QStringList{"1,Content <ICON>", "x\"y"}
            << QStringList{"<img src=\"file:///opt/koru/Img/Icon/DD/1.bmp\" width=\"32\" height=\"25\">:Content "
                           "&lt;ICON&gt;<img src=\"file:///opt/koru/Img/Icon/DD/x%22y.bmp\" width=\"32\" height=\"25\">:"};
        QTest::newRow("no icons") << IconReportKind << QStringList{"ICON"} << none << QStringList{""};
    }
    void compose()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, templateLines);
        QFETCH(QStringList, content);
        QFETCH(QStringList, expected);
        const ComposedPage page = ComposePage(templateLines, pupil(), kind, content, sources());
        QVERIFY2(page.ok(), qPrintable(page.error));
        QCOMPARE(page.lines, expected);
    }

    // The main routine and subroutines 2 and 3 have pictures: the line is
    // copied into a table cell for each, with its own label and sized
    // picture; cells stand side by side while they fit 640 pixels, each row
    // a table of its own that printing keeps on one page.
    void routinePictures()
    {
        writePicture(QDir(pictures.path()).filePath("Routine0.bmp"), 600, 300);
        writePicture(QDir(pictures.path()).filePath("Routine2.bmp"), 100, 800);
        writePicture(QDir(pictures.path()).filePath("Routine3.bmp"), 300, 200);
        const ComposedPage page = ComposePage({"<h3>ROUTINE</h3>Picture", "<h3>ROUTINE</h3>", "Name"}, pupil(),
                                              RoutineReportKind, {}, sources());
        QVERIFY2(page.ok(), qPrintable(page.error));
        QCOMPARE(page.lines,
                 (QStringList{"<table class=\"routines\" style=\"page-break-inside: avoid\" cellspacing=\"0\" cellpadding=\"4\"><tr>"
                              "<td valign=\"top\"><h3>メインルーチン</h3><img src=\"Img/Routine0.bmp\" width=\"500\" height=\"250\"></td>"
                              "<td valign=\"top\"><h3>サブルーチン2</h3><img src=\"Img/Routine2.bmp\" width=\"88\" height=\"700\"></td>"
                              "</tr></table><table class=\"routines\" style=\"page-break-inside: avoid\" cellspacing=\"0\" cellpadding=\"4\"><tr>"
                              "<td valign=\"top\"><h3>サブルーチン3</h3><img src=\"Img/Routine3.bmp\" width=\"300\" height=\"200\"></td>"
                              "</tr></table>",
                              "", "3年　2組　15番　　名前：　テスト"}));
    }

    void soundPicture()
    {
        writePicture(QDir(pictures.path()).filePath("Sound.bmp"), 1200, 300);
        const ComposedPage page = ComposePage({"<p>Picture</p>"}, pupil(), SoundReportKind, {}, sources());
        QVERIFY2(page.ok(), qPrintable(page.error));
        QCOMPARE(page.lines, QStringList{"<p><img src=\"Img/Sound.bmp\" width=\"600\" height=\"150\"></p>"});
    }

    void unreadablePicture_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::newRow("no staff picture") << SoundReportKind << "Sound.bmp" << QByteArray();
        QTest::newRow("damaged routine picture") << RoutineReportKind << "Routine3.bmp" << QByteArray("BM\x10\x00");
    }
    void unreadablePicture()
    {
        QFETCH(int, kind);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        if (!bytes.isEmpty())
            writeBytes(QDir(pictures.path()).filePath(file), bytes);
        const ComposedPage page = ComposePage({"a", "ROUTINE Picture", "b"}, pupil(), kind, {}, sources());
        QVERIFY(!page.ok());
        QVERIFY(page.lines.isEmpty());
        QCOMPARE(page.error, PictureUnreadableMessage(file));
    }

    void shownSize_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("staff, wide") << SoundReportKind << QSize(1200, 300) << QSize(600, 150);
        QTest::newRow("staff, tall") << SoundReportKind << QSize(400, 900) << QSize(356, 800);
        QTest::newRow("staff within limits") << SoundReportKind << QSize(600, 90) << QSize(600, 90);
        QTest::newRow("routine, wide") << RoutineReportKind << QSize(600, 300) << QSize(500, 250);
        QTest::newRow("routine, square at the limit") << RoutineReportKind << QSize(700, 700) << QSize(700, 700);
        QTest::newRow("routine, square above") << RoutineReportKind << QSize(701, 701) << QSize(700, 700);
        QTest::newRow("half down to even") << RoutineReportKind << QSize(1000, 5) << QSize(500, 2);
        QTest::newRow("half up to even") << RoutineReportKind << QSize(1000, 3) << QSize(500, 2);
        QTest::newRow("tall, half to even") << RoutineReportKind << QSize(1, 1400) << QSize(0, 700);
    }
    void shownSize()
    {
        QFETCH(int, kind);
        QFETCH(QSize, picture);
        QFETCH(QSize, shown);
        QCOMPARE(ShownSize(kind, picture), shown);
    }

    void bitmapSize_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QSize>("size"); // invalid: refused
        auto header = [](quint32 infoSize, const QByteArray &sides) {
            QByteArray b("BM");
            b += QByteArray(12, '\0');
            b += QByteArray(reinterpret_cast<const char *>(&infoSize), 4);
            b += sides;
            b += QByteArray(40, '\0');
            return b;
        };
        auto le32 = [](qint32 a, qint32 b) {
            QByteArray out(reinterpret_cast<const char *>(&a), 4);
            out += QByteArray(reinterpret_cast<const char *>(&b), 4);
            return out;
        };
        QTest::newRow("info header") << header(40, le32(640, 480)) << QSize(640, 480);
        QTest::newRow("top-down") << header(124, le32(20, -30)) << QSize(20, 30);
        QTest::newRow("core header") << header(12, QByteArray("\x10\x00\x08\x00", 4)) << QSize(16, 8);
        QTest::newRow("not a bitmap") << QByteArray("GIF89a").append(40, '\0') << QSize();
        QTest::newRow("cut short") << QByteArray("BM\x00\x00", 4) << QSize();
        QTest::newRow("zero width") << header(40, le32(0, 10)) << QSize();
        QTest::newRow("absurd height") << header(40, le32(10, 1 << 30)) << QSize();
        QTest::newRow("unknown header") << header(20, le32(10, 10)) << QSize();
    }
    void bitmapSize()
    {
        QFETCH(QByteArray, head);
        QFETCH(QSize, size);
        const QString path = QDir(pictures.path()).filePath("x.bmp");
        writeBytes(path, head);
        const std::optional<QSize> read = BitmapSize(path);
        QCOMPARE(read.value_or(QSize()), size);
        QVERIFY(!BitmapSize(QDir(pictures.path()).filePath("missing.bmp")));
    }

    // Whatever a pupil types, the page keeps its own markup: the text shows
    // as typed and the page can be stored in Shift-JIS.
    void hostileInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("script") << "<script>alert('x')</script>" << "&lt;script&gt;alert('x')&lt;/script&gt;";
        QTest::newRow("entity stays text") << "&amp; A&B" << "&amp;amp; A&amp;B";
        QTest::newRow("quotes") << "\"><img src=x onerror=y>" << "&quot;&gt;&lt;img src=x onerror=y&gt;";
        QTest::newRow("not in Shift-JIS") << QString::fromUtf8("晴れ😀") << "晴れ&#x1F600;";
        QTest::newRow("control characters") << QString("a\x01\tb") + QChar(0) << "a\tb";
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "z" << "&#xFFFD;z";
        QTest::newRow("10,000 characters") << QString(9999, 'x') + "<" << QString(9999, 'x') + "&lt;";
    }
    void hostileInput()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        const QString templateFolder = QDir(pictures.path()).filePath("Data/Report");
        QVERIFY(QDir().mkpath(templateFolder));
        writeBytes(templateFolder + "/Report_Word.html",
                   "<html>\r\n<p>Name</p>\r\n<p>Kanso</p>\r\n<pre>WORD</pre>\r\n</html>\r\n");
        SetAssetRoot(pictures.path());
        ReportInputs in = pupil();
        in.name = typed;
        in.impressions = typed + "\n\n" + typed;
        const PrintPageResult result = WritePrintPage(in, WordReportKind, {typed, QString()});
        SetAssetRoot({});
        QVERIFY2(result.ok(), qPrintable(result.error));
        const std::optional<QStringList> page = ReadProgramLines(result.path);
        QVERIFY(page);
        QCOMPARE(*page, (QStringList{"<html>", "<p>3年　2組　15番　　名前：　" + written + "</p>",
                                     "<p>" + written + "<BR><BR>" + written + "<BR></p>",
                                     "<pre>" + written + "<BR><BR><BR><BR></pre>", "</html>"}));
    }

    // A page of more than a program file's megabyte (a long pasted text)
    // is written and reads back whole; one too large for anything to read
    // back is refused plainly, and the earlier page stays.
    void pageSizeLimits_data()
    {
        QTest::addColumn<qint64>("characters");
        QTest::addColumn<bool>("written");
        QTest::newRow("over 1 MiB") << qint64(MaxProgramFileBytes + 1000) << true;
        QTest::newRow("over the page limit") << qint64(MaxReportPageBytes + 1) << false;
    }
    void pageSizeLimits()
    {
        QFETCH(qint64, characters);
        QFETCH(bool, written);
        writeBytes(PrintPagePath(), "earlier\r\n");
        ReportInputs in = pupil();
        in.impressions = QString(characters, 'a') + QStringLiteral("おわり");
        const PrintPageResult result = WritePrintPage(in, WordReportKind, {"ledon();"});
        if (!written) {
            QCOMPARE(result.error, PageTooLargeMessage);
            QCOMPARE(ReadReportPage(PrintPagePath()), std::optional<QStringList>(QStringList{"earlier"}));
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        QVERIFY(QFileInfo(result.path).size() > MaxProgramFileBytes);
        const std::optional<QStringList> page = ReadReportPage(result.path);
        QVERIFY(page);
        QVERIFY(page->join('\n').contains(QStringLiteral("aaaおわり")));
    }

    // A missing template stops with a message naming it; the page written
    // before stays as it was.
    // The view and the save read the page by its name: a named pipe or a
    // folder standing there is refused at once, never waited on.
    void pageThatIsNoRegularFile()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("print.html"));
        QVERIFY2(test::ReadsNamedPipeWithoutWaiting(pipe, [&pipe] { return !ReadReportPage(pipe); }),
                 "reading a named pipe waited for a writer or took it for a page");
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("folder.html"))));
        QVERIFY(!ReadReportPage(dir.filePath(QStringLiteral("folder.html"))));
    }

    void missingTemplate_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("icons") << IconReportKind;
        QTest::newRow("unknown kind") << 7;
    }
    void missingTemplate()
    {
        QFETCH(int, kind);
        writeBytes(PrintPagePath(), "earlier\r\n");
        SetAssetRoot(pictures.path()); // no Data folder there
        const PrintPageResult result = WritePrintPage(pupil(), kind, {"15,タイマー3秒"});
        SetAssetRoot({});
        QVERIFY(!result.ok());
        QCOMPARE(result.error, TemplateMissingMessage(TemplateName(kind)));
        if (kind == IconReportKind)
            QVERIFY(result.error.contains("Data\\Report\\Report_DD.html"));
        QFile page(PrintPagePath());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), QByteArray("earlier\r\n"));
    }

    // The shipped templates: each holds its program key and every input key
    // on a line of its own, and composes into a page of its kind.
    void shippedTemplates_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("programKey");
        QTest::newRow("flowchart") << RoutineReportKind << "ROUTINE";
        QTest::newRow("text") << WordReportKind << "WORD";
        QTest::newRow("icons") << IconReportKind << "ICON";
        QTest::newRow("melody") << SoundReportKind << "Picture";
    }
    void shippedTemplates()
    {
        QFETCH(int, kind);
        QFETCH(QString, programKey);
        const std::optional<QStringList> lines = ReadTemplate(AssetPath(TemplateName(kind)));
        QVERIFY(lines);
        const QStringList keys{"Name", "Kanso", "Koso", "Taitoru", "Siyou", "Kuhu", programKey};
        for (const QString &key : keys) {
            const QStringList holding = lines->filter(key);
            QVERIFY2(holding.size() == 1, qPrintable(key));
            for (const QString &other : keys)
                QVERIFY2(other == key || !holding.first().contains(other), qPrintable(holding.first()));
        }
        writePicture(QDir(pictures.path()).filePath("Routine0.bmp"), 300, 200);
        writePicture(QDir(pictures.path()).filePath("Sound.bmp"), 300, 200);
        const ComposedPage page = ComposePage(*lines, pupil(), kind, {"15,タイマー3秒"}, sources());
        QVERIFY2(page.ok(), qPrintable(page.error));
        const QString text = page.lines.join('\n');
        QVERIFY(text.contains("3年　2組　15番　　名前：　テスト"));
        QVERIFY(!text.contains(programKey));
        QVERIFY(text.contains(QStringLiteral("charset=Shift_JIS"), Qt::CaseInsensitive));
        if (kind != WordReportKind)
            QVERIFY(text.contains("<img src="));
    }
};

KORU_TEST_GUILESS_MAIN(TstReportPage)
#include "tst_reportpage.moc"
