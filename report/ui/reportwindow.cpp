#include "report/ui/reportwindow.h"

#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/filecommands.h"
#include "model/programfile.h"
#include "report/reportsave.h"
#include "report/ui/pagebreaks.h"
#include "report/ui/reportview.h"
#include "widgets/placement.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace koru::report {

const QString ReportWindow::Caption = QStringLiteral("レポート印刷");
const QString ReportWindow::PdfFilter = QStringLiteral("PDFファイル(*.pdf)|*.pdf");
const QString ReportWindow::PrintMissingMessage = QStringLiteral("印刷できません（koru-print が見つかりません）");

namespace {

constexpr QSize WindowSize(720, 640);
// Margins of a printed page in millimetres (left, top, right, bottom).
constexpr QMarginsF PrintMargins(12, 12, 12, 12);

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumSize(120, 30);
    return b;
}

QLineEdit *lineEdit(const QString &name, int width, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFixedWidth(width);
    return edit;
}

} // namespace

ReportWindow::ReportWindow(PagePrinterFactory printers, QWidget *parent, Content content)
    : QDialog(parent), m_printers(std::move(printers)), m_lazy([this] { build(); })
{
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowTitle(Caption);
    setModal(false);
    setFixedSize(WindowSize);
    SetReportHandler([this](const ReportRequest &request) { open(request); });
    if (content == Content::Now)
        m_lazy.ensureBuilt();
}

void ReportWindow::setVisible(bool visible)
{
    if (visible)
        m_lazy.ensureBuilt();
    QDialog::setVisible(visible);
}

void ReportWindow::build()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);
    auto *input = new QWidget(m_pages);
    input->setObjectName(QStringLiteral("InputPage"));
    auto *preview = new QWidget(m_pages);
    preview->setObjectName(QStringLiteral("PreviewPage"));
    buildInputPage(input);
    buildPreviewPage(preview);
    m_pages->addWidget(input);
    m_pages->addWidget(preview);

    connect(m_view, &ReportView::pageReady, this, &ReportWindow::pageReady);
}

ReportWindow::~ReportWindow()
{
    SetReportHandler({});
}

void ReportWindow::buildInputPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(4);

    auto *pupil = new QHBoxLayout;
    pupil->setSpacing(6);
    m_grade = lineEdit(QStringLiteral("Edit1"), 44, page);
    m_class = lineEdit(QStringLiteral("Edit2"), 44, page);
    m_number = lineEdit(QStringLiteral("Edit4"), 44, page);
    m_name = lineEdit(QStringLiteral("Edit3"), 220, page);
    pupil->addWidget(m_grade);
    pupil->addWidget(new QLabel(QStringLiteral("年"), page));
    pupil->addSpacing(10);
    pupil->addWidget(m_class);
    pupil->addWidget(new QLabel(QStringLiteral("組"), page));
    pupil->addSpacing(10);
    pupil->addWidget(m_number);
    pupil->addWidget(new QLabel(QStringLiteral("番"), page));
    pupil->addSpacing(24);
    pupil->addWidget(new QLabel(QStringLiteral("名前"), page));
    pupil->addWidget(m_name);
    pupil->addStretch();
    layout->addLayout(pupil);
    layout->addSpacing(8);

    auto memo = [&](const QString &label, const QString &name, int height) {
        auto *caption = new QLabel(label, page);
        auto *edit = new QPlainTextEdit(page);
        edit->setObjectName(name);
        edit->setTabChangesFocus(true);
        edit->setFixedHeight(height);
        caption->setBuddy(edit);
        layout->addWidget(caption);
        layout->addWidget(edit);
        layout->addSpacing(4);
        return edit;
    };
    m_title = memo(QStringLiteral("■タイトル"), QStringLiteral("Memo2"), 44);
    m_idea = memo(QStringLiteral("■構想"), QStringLiteral("Memo3"), 86);
    m_workings = memo(QStringLiteral("■仕様"), QStringLiteral("Memo4"), 86);
    m_ingenuity = memo(QStringLiteral("■工夫点"), QStringLiteral("Memo5"), 86);
    m_impressions = memo(QStringLiteral("■感想"), QStringLiteral("Memo6"), 86);
    layout->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton *next = button(QStringLiteral("次へ →"), QStringLiteral("NextButton"), page);
    buttons->addWidget(next);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, &ReportWindow::next);
}

void ReportWindow::buildPreviewPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    m_view = new ReportView(page);
    layout->addWidget(m_view, 1);

    auto *buttons = new QHBoxLayout;
    QPushButton *back = button(QStringLiteral("入力画面に戻る"), QStringLiteral("BackButton"), page);
    QPushButton *print = button(QStringLiteral("印刷"), QStringLiteral("PrintButton"), page);
    QPushButton *save = button(QStringLiteral("ファイル保存"), QStringLiteral("SaveButton"), page);
    QPushButton *pdf = button(QStringLiteral("PDF保存"), QStringLiteral("PdfButton"), page);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(save);
    buttons->addWidget(pdf);
    layout->addLayout(buttons);
    connect(back, &QPushButton::clicked, this, &ReportWindow::backToInput);
    connect(print, &QPushButton::clicked, this, &ReportWindow::print);
    connect(save, &QPushButton::clicked, this, &ReportWindow::saveFile);
    connect(pdf, &QPushButton::clicked, this, &ReportWindow::savePdf);
}

void ReportWindow::open(const ReportRequest &request)
{
    m_lazy.ensureBuilt();
    m_kind = request.kind;
    m_content = request.lines;
    showInputPage();
    show(); // shown first, so that the frame is part of the size centred
    if (request.over.isValid())
        CentreOver(this, request.over);
    raise();
    activateWindow();
    m_grade->setFocus();
}

void ReportWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) // not when the window manager restores it
        showInputPage();
}

void ReportWindow::showInputPage()
{
    m_pages->setCurrentIndex(0);
    m_grade->setFocus();
}

ReportInputs ReportWindow::inputs() const
{
    m_lazy.ensureBuilt();
    ReportInputs in;
    in.grade = m_grade->text();
    in.className = m_class->text();
    in.number = m_number->text();
    in.name = m_name->text();
    in.title = m_title->toPlainText();
    in.idea = m_idea->toPlainText();
    in.workings = m_workings->toPlainText();
    in.ingenuity = m_ingenuity->toPlainText();
    in.impressions = m_impressions->toPlainText();
    return in;
}

bool ReportWindow::previewShown() const
{
    m_lazy.ensureBuilt();
    return m_pages->currentIndex() == 1;
}

void ReportWindow::composeThen(std::function<void()> then)
{
    const ReportInputs in = inputs();
    if (!in.complete()) {
        Dialogs().warning(MissingFieldsMessage);
        return;
    }
    const PrintPageResult page = WritePrintPage(in, m_kind, m_content);
    if (!page.ok()) {
        Dialogs().warning(page.error);
        return;
    }
    m_afterLoad = std::move(then);
    m_view->showPage(page.path);
}

void ReportWindow::pageReady()
{
    if (std::function<void()> then = std::exchange(m_afterLoad, {}))
        then();
}

void ReportWindow::next()
{
    m_lazy.ensureBuilt();
    composeThen([this] {
        m_pages->setCurrentIndex(1);
        m_view->setFocus();
    });
}

void ReportWindow::backToInput()
{
    m_lazy.ensureBuilt();
    showInputPage();
}

void ReportWindow::print()
{
    m_lazy.ensureBuilt();
    if (!m_printer && m_printers)
        m_printer = m_printers();
    if (!m_printer) {
        // Nothing else needs the module: the page can still be saved.
        Dialogs().warning(PrintMissingMessage);
        return;
    }
    composeThen([this] {
        m_printer->choose(this, m_name->text(), [this](QPagedPaintDevice *device) { printPage(device); });
    });
}

QString ReportWindow::askTarget(const QString &filter, const std::function<QString(const QString &)> &withExtension)
{
    // In the pupil's folder (the last one a report went to, else the
    // editors' KORU folder), never the program's working directory.
    const QString chosen =
        Dialogs().saveFileName(filter, FileDialogFolder(ReportFolderKey), SafeReportFileName(m_name->text()));
    if (chosen.isEmpty())
        return {};
    const QString target = withExtension(chosen);
    if (QFileInfo::exists(target) && !Dialogs().confirmOverwrite(OverwriteQuestion))
        return {};
    RememberFileFolder(ReportFolderKey, target);
    return target;
}

void ReportWindow::saveFile()
{
    m_lazy.ensureBuilt();
    composeThen([this] {
        const QString target = askTarget(ReportFileFilter, WithReportExtension);
        if (target.isEmpty())
            return;
        const QString error = SaveReportPage(PrintPagePath(), ReportPictureFolder(), m_kind, target);
        if (!error.isEmpty())
            Dialogs().warning(error);
    });
}

void ReportWindow::savePdf()
{
    m_lazy.ensureBuilt();
    composeThen([this] {
        const QString target = askTarget(PdfFilter, [](const QString &name) {
            return WithExtension(name, QStringLiteral(".pdf"), QStringLiteral(".pdf"));
        });
        if (!target.isEmpty() && !writePdf(target))
            Dialogs().warning(SaveFailed);
    });
}

bool ReportWindow::writePdf(const QString &path) const
{
    m_lazy.ensureBuilt();
    // Rendered into memory, then written like every other file: a save
    // file's buffered last part can fail inside commit() unreported, and a
    // truncated PDF would replace the old one.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly))
            return false;
        QPdfWriter writer(&buffer);
        writer.setTitle(Caption);
        writer.setCreator(QStringLiteral("KORU"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, PrintMargins,
                                         QPageLayout::Millimeter));
        printPage(&writer);
    } // the writer finishes the document here
    return !bytes.isEmpty() && WriteFileAtomically(path, bytes);
}

void ReportWindow::printPage(QPagedPaintDevice *device) const
{
    m_lazy.ensureBuilt();
    // The page is laid out on the paper's printable area at the size it has
    // on screen, so that it keeps its proportions and, where the content
    // allows, fits one sheet.
    std::unique_ptr<QTextDocument> page(m_view->document()->clone(m_view->document()));
    const QSizeF area = device->pageLayout().paintRect(QPageLayout::Point).size();
    constexpr qreal ScreenPixelsPerPoint = 96.0 / 72.0;
    page->setPageSize(area * ScreenPixelsPerPoint);
    KeepRowsWhole(*page);
    page->print(device);
}

} // namespace koru::report
