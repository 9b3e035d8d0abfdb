#include "reportfixture.h"

#include "model/dialogservice.h"
#include "model/filecommands.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "report/reportsave.h"
#include "report/ui/loadedpageprinter.h"
#include "report/ui/print/qtpageprinter.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSet>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::report;

namespace {

// pdfinfo / pdfimages of the poppler tools; empty when they are missing.
QString runPdfTool(const QString &tool, const QStringList &args)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString &path)
{
    const QString info = runPdfTool("pdfinfo", {path});
    for (const QString &line : info.split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// Image lines of "pdfimages -list" (two header lines first).
int pdfImageCount(const QString &path)
{
    const QStringList lines = runPdfTool("pdfimages", {"-list", path}).split('\n', Qt::SkipEmptyParts);
    return lines.size() >= 2 ? int(lines.size() - 2) : -1;
}

} // namespace

// Not in the anonymous namespace: the test class, which has external
// linkage, holds one.
namespace koru::test {

// The print dialog's stand-in: the pupil "chooses" a PDF file at once.
struct PdfPrinter final : PagePrinter
{
    QString path;
    int asked = 0;
    QString documentName;

    void choose(QWidget *, const QString &name, std::function<void(QPagedPaintDevice *)> print) override
    {
        ++asked;
        documentName = name;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        print(&printer);
    }
};

} // namespace koru::test

using koru::test::PdfPrinter;

class TstReportWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<ReportWindow> window;
    PdfPrinter *printer = nullptr; // the window's, once it printed
    QString printTo;               // where the next printer made prints
    QTemporaryDir out;

    PagePrinterFactory pdfPrinters()
    {
        return [this] {
            auto made = std::make_unique<PdfPrinter>();
            made->path = printTo;
            printer = made.get();
            return made;
        };
    }

    QPushButton *button(const QString &name) const { return window->findChild<QPushButton *>(name); }
    QLineEdit *edit(const QString &name) const { return window->findChild<QLineEdit *>(name); }

    void openWith(int kind)
    {
        QVERIFY(RequestReport(test::editorRequest(kind)));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        test::typeInputs(*window);
    }

    QString pageText() const { return window->view()->toPlainText(); }

    // A window with other printers in place of the fixture's; the old one
    // goes first, taking its report handler with it.
    void replaceWindow(const PagePrinterFactory &printers)
    {
        window.reset();
        window = std::make_unique<ReportWindow>(printers);
    }

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        QVERIFY(out.isValid());
    }

    void init()
    {
        dialogs = std::make_unique<test::ScriptedDialogs>();
        printer = nullptr;
        window = std::make_unique<ReportWindow>(pdfPrinters());
    }

    void cleanup()
    {
        QCOMPARE(dialogs->unexpected(), 0);
        window.reset();
        dialogs.reset();
        SetAssetRoot({});
        test::useTemporaryAppData();
    }

    // The window takes an editor's request: kind and lines kept, centred
    // over the editor, the input page up with the grade field focused.
    void openedByAnEditor()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("レポート印刷"));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!window->isVisible());
        const ReportRequest request = test::editorRequest(IconReportKind);
        QVERIFY(RequestReport(request));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(!window->isModal());
        QCOMPARE(window->kind(), IconReportKind);
        QCOMPARE(window->content(), request.lines);
        QCOMPARE(window->frameGeometry().center().x(), request.over.center().x());
        QVERIFY(!window->previewShown());
        QCOMPARE(QApplication::focusWidget(), edit("Edit1"));

        QStringList labels;
        for (QLabel *label : window->findChildren<QLabel *>())
            labels << label->text();
        for (const char *label : {"年", "組", "番", "名前", "■タイトル", "■構想", "■仕様", "■工夫点", "■感想"})
            QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
        QCOMPARE(button("NextButton")->text(), QStringLiteral("次へ →"));
        QCOMPARE(button("PrintButton")->text(), QStringLiteral("印刷"));
        QCOMPARE(button("SaveButton")->text(), QStringLiteral("ファイル保存"));
        QCOMPARE(button("BackButton")->text(), QStringLiteral("入力画面に戻る"));
        QVERIFY(!button("PrintButton")->isVisible()); // on the page not shown
    }

    // Each button of either page refuses to go on while grade, class,
    // number or name is empty, and composes nothing.
    void missingFields_data()
    {
        QTest::addColumn<QString>("empty");
        QTest::addColumn<QString>("action");
        QTest::newRow("grade, next") << "Edit1" << "next";
        QTest::newRow("class, print") << "Edit2" << "print";
        QTest::newRow("number, save") << "Edit4" << "save";
        QTest::newRow("name, pdf") << "Edit3" << "pdf";
    }
    void missingFields()
    {
        QFETCH(QString, empty);
        QFETCH(QString, action);
        openWith(IconReportKind);
        QFile::remove(PrintPagePath());
        edit(empty)->clear();
        if (action == "next")
            window->next();
        else if (action == "print")
            window->print();
        else if (action == "save")
            window->saveFile();
        else
            window->savePdf();
        QCOMPARE(dialogs->texts(), QStringList{MissingFieldsMessage});
        QVERIFY(!window->previewShown());
        QVERIFY(!QFile::exists(PrintPagePath()));
    }

    // 次へ shows the composed page of each kind with its pictures, and puts
    // the keyboard in the view.
    void previewOfEachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("shownText");
        QTest::addColumn<int>("pictures");
        QTest::newRow("flowchart") << RoutineReportKind << QStringList{"メインルーチン", "サブルーチン2"} << 2;
        QTest::newRow("text") << WordReportKind << QStringList{"もし 音 なら", "もしおわり"} << 0;
        QTest::newRow("icons") << IconReportKind << QStringList{"タイマー3秒", "確認音 2"} << 3;
        QTest::newRow("melody") << SoundReportKind << QStringList{"楽譜"} << 1;
    }
    void previewOfEachKind()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, shownText);
        QFETCH(int, pictures);
        openWith(kind);
        QTest::mouseClick(button("NextButton"), Qt::LeftButton);
        QVERIFY2(dialogs->shown().isEmpty(), qPrintable(dialogs->texts().join('|')));
        QVERIFY(window->previewShown());
        QTRY_COMPARE(QApplication::focusWidget(), window->view());
        const QString text = pageText();
        QVERIFY(text.contains("3年　2組　15番　　名前：　テスト"));
        QVERIFY(text.contains("光るめざまし"));
        QVERIFY(text.contains("3秒たつと消える。"));
        for (const QString &expected : shownText)
            QVERIFY2(text.contains(expected), qPrintable(expected));
        const QList<test::ShownPicture> shown = test::shownPictures(*window->view());
        QCOMPARE(shown.size(), pictures);
        for (const test::ShownPicture &picture : shown)
            QVERIFY2(!picture.image.isNull(), qPrintable(picture.source));
    }

    // Every action recomposes from the inputs as they are now and shows the
    // pictures as they are now; going back keeps what was typed.
    void recomposesEachTime()
    {
        openWith(SoundReportKind);
        window->next();
        QCOMPARE(test::shownPictures(*window->view()).value(0).image.pixelColor(5, 5), QColor(255, 250, 240));
        QTest::mouseClick(button("BackButton"), Qt::LeftButton);
        QVERIFY(!window->previewShown());
        QCOMPARE(edit("Edit3")->text(), QStringLiteral("テスト"));
        edit("Edit3")->setText("ゆうき");
        QVERIFY(test::writeReportPicture(SoundPictureName, QSize(700, 160), QColor(0, 0, 255)));
        window->next();
        QVERIFY(pageText().contains("名前：　ゆうき"));
        QCOMPARE(test::shownPictures(*window->view()).value(0).image.pixelColor(5, 5), QColor(0, 0, 255));
    }

    // A missing template is said clearly and the input page stays.
    void missingTemplate()
    {
        openWith(IconReportKind);
        SetAssetRoot(out.path());
        window->next();
        QCOMPARE(dialogs->texts(), QStringList{TemplateMissingMessage(TemplateName(IconReportKind))});
        QVERIFY(!window->previewShown());
    }

    // ファイル保存: the name offered is the pupil's; 課題 becomes 課題.html
    // with 課題Img beside it, and the saved page shows its pictures.
    void saveAndOpenSaved()
    {
        openWith(RoutineReportKind);
        window->next();
        const QString target = out.filePath("課題.html");
        QFile::remove(target);
        dialogs->answerFileName(out.filePath("課題"));
        QTest::mouseClick(button("SaveButton"), Qt::LeftButton);
        QCOMPARE(dialogs->shown().value(0).kind, QStringLiteral("save"));
        QCOMPARE(dialogs->shown().value(0).text, ReportFileFilter);
        QCOMPARE(dialogs->shown().value(0).folder, DocumentsKoruFolder()); // not the working directory
        QCOMPARE(dialogs->shown().value(0).proposedName, QStringLiteral("テスト"));
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(QFile::exists(out.filePath("課題Img/Routine0.bmp")));
        QVERIFY(QFile::exists(out.filePath("課題Img/Routine2.bmp")));

        window->view()->showPage(target);
        QVERIFY(pageText().contains("名前：　テスト"));
        const QList<test::ShownPicture> shown = test::shownPictures(*window->view());
        QCOMPARE(shown.size(), 2);
        for (const test::ShownPicture &picture : shown) {
            QVERIFY2(picture.source.startsWith("課題Img/"), qPrintable(picture.source));
            QVERIFY(!picture.image.isNull());
        }
    }

    // A page over a megabyte (a pupil pasting a long text) is shown and
    // saved whole, not read back through the program-file reader.
    void longPageShownAndSaved()
    {
        openWith(WordReportKind);
        // Lines of text, as pasted: over a megabyte once written.
        const QString line = QStringLiteral("朝になったら音で起こして、LEDを赤く光らせる。\n");
        const QString longText = line.repeated(int(MaxProgramFileBytes / 40)) + QStringLiteral("aaaおわり");
        window->findChild<QPlainTextEdit *>("Memo6")->setPlainText(longText);
        QTest::mouseClick(button("NextButton"), Qt::LeftButton);
        QVERIFY(window->previewShown());
        QVERIFY(pageText().contains(QStringLiteral("aaaおわり")));
        const QString target = out.filePath("long.html");
        QFile::remove(target);
        dialogs->answerFileName(target);
        QTest::mouseClick(button("SaveButton"), Qt::LeftButton);
        QCOMPARE(dialogs->texts(), QStringList{ReportFileFilter}); // the dialog only, no warning
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::optional<QStringList> saved = DecodeProgramText(file.readAll());
        QVERIFY(saved);
        QVERIFY(saved->join('\n').contains(QStringLiteral("aaaおわり")));
    }

    // An existing file is replaced only after Yes.
    void overwriteQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void overwriteQuestion()
    {
        QFETCH(bool, yes);
        openWith(WordReportKind);
        const QString target = out.filePath("word.htm");
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("earlier");
        }
        dialogs->answerFileName(target);
        dialogs->answerQuestion(yes);
        window->saveFile();
        QCOMPARE(dialogs->shown().value(1).kind, QStringLiteral("overwrite"));
        QCOMPARE(dialogs->shown().value(1).text, OverwriteQuestion);
        QCOMPARE(ReadProgramLines(target)->join('\n').contains("もしおわり"), yes);
    }

    // 印刷 makes the printer, has a printer chosen and prints the page shown
    // on it; PDF保存 writes an A4 PDF with the pictures.
    // A flowchart report of two small routines fits on one page.
    void printAndPdf_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("print") << "print";
        QTest::newRow("pdf") << "pdf";
    }
    void printAndPdf()
    {
        QFETCH(QString, action);
        openWith(RoutineReportKind);
        const QString pdf = out.filePath(action + ".pdf");
        QFile::remove(pdf);
        if (action == "print") {
            printTo = pdf;
            QTest::mouseClick(button("NextButton"), Qt::LeftButton);
            QVERIFY(!window->pagePrinter()); // made on the first print
            QTest::mouseClick(button("PrintButton"), Qt::LeftButton);
            QVERIFY(printer && window->pagePrinter() == printer);
            QCOMPARE(printer->asked, 1);
            QCOMPARE(printer->documentName, QStringLiteral("テスト"));
        } else {
            dialogs->answerFileName(out.filePath(action)); // ".pdf" appended
            window->next();
            QTest::mouseClick(button("PdfButton"), Qt::LeftButton);
            QCOMPARE(dialogs->shown().value(0).text, ReportWindow::PdfFilter);
        }
        QVERIFY2(dialogs->shown().size() <= 1, qPrintable(dialogs->texts().join('|')));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdfinfo and pdfimages (poppler-utils) are not installed");
        QCOMPARE(pdfPages(pdf), 1);
        QCOMPARE(pdfImageCount(pdf), 2);
    }

    // Without the printing module 印刷 says so and nothing else happens;
    // the page is still saved as HTML and as PDF.
    void printWithoutModule()
    {
        replaceWindow(LoadedPagePrinter(QStringLiteral("koru-print-not-there")));
        openWith(RoutineReportKind);
        window->next();
        QTest::mouseClick(button("PrintButton"), Qt::LeftButton);
        QCOMPARE(dialogs->texts(), QStringList{QStringLiteral("印刷できません（koru-print が見つかりません）")});
        QVERIFY(!window->pagePrinter());
        QTest::mouseClick(button("PrintButton"), Qt::LeftButton); // and again, the same
        QCOMPARE(dialogs->texts().size(), 2);
        QVERIFY(window->previewShown());

        dialogs->clear();
        dialogs->answerFileName(out.filePath("without-print"));
        QTest::mouseClick(button("SaveButton"), Qt::LeftButton);
        QVERIFY(QFile::exists(out.filePath("without-print.html")));
        dialogs->answerFileName(out.filePath("without-print"));
        QTest::mouseClick(button("PdfButton"), Qt::LeftButton);
        QVERIFY(QFile::exists(out.filePath("without-print.pdf")));
        QCOMPARE(dialogs->texts(), (QStringList{ReportFileFilter, ReportWindow::PdfFilter})); // no warning
    }

    // The program's printer comes from the module beside the programs: the
    // first 印刷 loads it and opens Qt's print dialog over the window
    // without waiting; the window can go while the dialog is up.
    void printDialogFromModule()
    {
        replaceWindow(LoadedPagePrinter());
        openWith(RoutineReportKind);
        window->next();
        QTest::mouseClick(button("PrintButton"), Qt::LeftButton);
        QVERIFY2(window->pagePrinter(), qPrintable(dialogs->texts().join('|')));
        QPointer<QPrintDialog> dialog = window->findChild<QPrintDialog *>();
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isVisible());
        window.reset();
        QVERIFY(!dialog);
    }

    // The dialog is raised, not doubled, when asked again, prints with the
    // newest request on the printer it shows, and goes before that printer
    // does, whoever its parent is.
    void printDialogGoesWithItsPrinter()
    {
        QWidget parent;
        parent.show();
        auto printer = std::make_unique<QtPagePrinter>();
        QList<QPagedPaintDevice *> printed;
        printer->choose(&parent, QStringLiteral("first"), [&](QPagedPaintDevice *) { printed << nullptr; });
        QPointer<QPrintDialog> dialog = printer->dialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), &parent);
        QCOMPARE(dialog->printer(), printer->printer());
        QCOMPARE(printer->printer()->docName(), QStringLiteral("first"));
        printer->choose(&parent, QStringLiteral("second"), [&](QPagedPaintDevice *device) { printed << device; });
        QCOMPARE(parent.findChildren<QPrintDialog *>().size(), 1);
        emit dialog->accepted();
        QCOMPARE(printed, QList<QPagedPaintDevice *>{printer->printer()});
        printer.reset();
        QVERIFY(!dialog);
    }

    // The PDF dialog offers a safe name made from the pupil's, in the folder
    // a report went to last.
    void pdfDialogFolderAndName()
    {
        openWith(SoundReportKind);
        edit("Edit3")->setText(QStringLiteral("\"山田/花子\""));
        const QString folder = out.filePath("reports");
        QVERIFY(QDir().mkpath(folder));
        RememberFileFolder(ReportFolderKey, folder + "/earlier.html");
        dialogs->answerFileName({}); // cancelled
        window->savePdf();
        QCOMPARE(dialogs->shown().value(0).folder, folder);
        QCOMPARE(dialogs->shown().value(0).proposedName, QStringLiteral("_山田_花子_"));
    }

    // Routine pictures that fit stand side by side in the PDF: fewer of
    // them are left for the next page; a heading never parts from its picture.
    void pdfRoutinesSideBySide()
    {
        if (QStandardPaths::findExecutable("pdfimages").isEmpty())
            QSKIP("pdfimages (poppler-utils) is not installed");
        ReportRequest request = test::editorRequest(RoutineReportKind);
        QVERIFY(test::writeReportPicture(RoutinePictureName(0), QSize(260, 560), Qt::white));
        QVERIFY(test::writeReportPicture(RoutinePictureName(1), QSize(200, 300), Qt::white));
        QVERIFY(test::writeReportPicture(RoutinePictureName(2), QSize(480, 560), Qt::white));
        QVERIFY(RequestReport(request));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        test::typeInputs(*window);
        const QString pdf = out.filePath("routines.pdf");
        QFile::remove(pdf);
        dialogs->answerFileName(pdf);
        window->savePdf();
        QVERIFY(QFile::exists(pdf));
        QList<int> picturePages; // in the order they are drawn
        const QStringList list = runPdfTool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
        for (qsizetype i = 2; i < list.size(); ++i)
            picturePages << list[i].simplified().section(' ', 0, 0).toInt();
        QCOMPARE(picturePages.size(), 3);
        QCOMPARE(picturePages[0], picturePages[1]); // 260 and 200 wide: one row
        // The second row would begin at the foot of page 1: heading and
        // picture go to the next page together.
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const auto pageText = [&](int page) {
            return runPdfTool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
        };
        const QStringList headings{QStringLiteral("メインルーチン"), QStringLiteral("サブルーチン1"),
                                   QStringLiteral("サブルーチン2")};
        for (int n = 0; n < headings.size(); ++n)
            QVERIFY2(pageText(picturePages[n]).contains(headings[n]),
                     qPrintable(QStringLiteral("%1 not on page %2 with its picture").arg(headings[n]).arg(picturePages[n])));
        QCOMPARE(picturePages[2], picturePages[0] + 1);
    }

    // Pictures are scaled to their shown size smoothly: the staff's black
    // lines on white come out with grey edges, not a lossy pick of pixels.
    void picturesScaledSmoothly()
    {
        openWith(SoundReportKind);
        window->next();
        const QList<test::ShownPicture> shown = test::shownPictures(*window->view());
        QCOMPARE(shown.size(), 1);
        const QImage image = shown.first().image;
        QCOMPARE(image.size(), QSize(600, 137));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 8, qPrintable(QString::number(colours.size())));
    }

    // A PDF that cannot be written is said, not reported as saved.
    void pdfFailureIsSaid()
    {
        openWith(SoundReportKind);
        dialogs->answerFileName(out.filePath("no/such/folder/x"));
        window->savePdf();
        QCOMPARE(dialogs->lastText(), SaveFailed);
        QVERIFY(!QFile::exists(out.filePath("no/such/folder/x.pdf")));
    }

    // 16 KiB left and an old PDF there: the last part of the new one does
    // not fit, and the old file stays, whole, with the failure said.
    void pdfOnANearlyFullDisk()
    {
        openWith(SoundReportKind);
        window->next();
        const QString probe = out.filePath("probe.pdf");
        QVERIFY(window->writePdf(probe));
        const qint64 size = QFileInfo(probe).size();
        QVERIFY2(size > 1000, qPrintable(QString::number(size)));
        const QString pdf = out.filePath("old.pdf");
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("%PDF- the old one");
        old.close();
        {
            test::FileSizeLimit limit(size - 100); // all but the end fits
            QVERIFY(!window->writePdf(pdf));
        }
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("%PDF- the old one"));
        QCOMPARE(QDir(out.path()).entryList({"old.pdf*", ".old.pdf*"}, QDir::Files | QDir::Hidden), QStringList{"old.pdf"});
    }

    // Pictures of the window for people to look at: only when
    // KORU_SHOTS_DIR names a folder (run under Xvfb with the xcb platform).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("KORU_SHOTS_DIR");
        if (folder.isEmpty())
            QSKIP("KORU_SHOTS_DIR not set");
        QVERIFY(QDir().mkpath(folder));
        auto shoot = [&](const QString &name) {
            QApplication::processEvents();
            QVERIFY(window->grab().save(QDir(folder).filePath(name + ".png")));
        };
        const std::pair<int, const char *> kinds[] = {{RoutineReportKind, "flowchart"}, {WordReportKind, "text"},
                                                      {IconReportKind, "icons"}, {SoundReportKind, "melody"}};
        for (const auto &[kind, name] : kinds) {
            openWith(kind);
            if (kind == RoutineReportKind)
                shoot("report-input");
            window->next();
            shoot(QStringLiteral("report-preview-") + name);
            QVERIFY(window->writePdf(QDir(folder).filePath(QStringLiteral("report-%1.pdf").arg(name))));
        }
        // Four routines: headings with their pictures, side by side where they fit.
        const ReportRequest routines = test::editorRequest(RoutineReportKind);
        QVERIFY(test::writeReportPicture(RoutinePictureName(1), QSize(200, 300), Qt::white));
        QVERIFY(test::writeReportPicture(RoutinePictureName(3), QSize(480, 560), Qt::white));
        RequestReport(routines);
        window->next();
        shoot("report-preview-routines");
        QVERIFY(window->writePdf(QDir(folder).filePath("report-flowchart-routines.pdf")));
        ReportRequest fullRow = test::editorRequest(IconReportKind); // as long as a row gets
        for (int slot = fullRow.lines.size(); slot < 24; ++slot)
            fullRow.lines << QStringLiteral("%1,フルカラーLED色%1点灯1秒").arg(slot % 8);
        RequestReport(fullRow);
        window->next();
        QVERIFY(window->writePdf(QDir(folder).filePath("report-icons-24.pdf")));
        QFile::remove(out.filePath("課題.html"));
        dialogs->answerFileName(out.filePath("課題"));
        window->saveFile();
        window->view()->showPage(out.filePath("課題.html"));
        shoot("report-saved-melody");
    }
};

KORU_TEST_MAIN(TstReportWindow)
#include "tst_reportwindow.moc"
