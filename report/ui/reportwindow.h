// The window "レポート印刷": an input page (grade, class, number, name and
// five texts) and a preview page (the composed page, print, save as HTML or
// PDF, back to the inputs), switched without visible tabs. Created once at
// start-up; while it exists it receives the editors' report requests and
// keeps the kind and content of the last one. Composing and saving are
// koru_report's; the window only wires them to its controls and dialogs.
// Printing goes through the PagePrinter its factory makes on the first print
// (pageprinter.h); without one the window says it cannot print.
#pragma once

#include "model/reportrequest.h"
#include "report/reportpage.h"
#include "report/ui/pageprinter.h"
#include "widgets/lazycontent.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QLineEdit;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace koru::report {

class ReportView;

class ReportWindow : public QDialog
{
    Q_OBJECT
public:
    // Made at start-up, the window builds its pages when first shown or used.
    explicit ReportWindow(PagePrinterFactory printers, QWidget *parent = nullptr, Content content = Content::Now);
    ~ReportWindow() override;

    static const QString Caption;
    static const QString PdfFilter;
    static const QString PrintMissingMessage;

    // An editor's request: kind and content replace the earlier ones; the
    // window shows its input page centred over the editor.
    void open(const ReportRequest &request);

    int kind() const { return m_kind; }
    const QStringList &content() const { return m_content; }
    ReportInputs inputs() const;

    // The page buttons (also reached from the buttons).
    void next();
    void print();
    void saveFile();
    void savePdf();
    void backToInput();

    bool previewShown() const;
    ReportView *view() const
    {
        m_lazy.ensureBuilt();
        return m_view;
    }

    void setVisible(bool visible) override;

    // The printer, once the first print made it (null before, or without one).
    PagePrinter *pagePrinter() const { return m_printer.get(); }

    // Writes the page shown as a PDF file (A4); false when it could not be written.
    bool writePdf(const QString &path) const;
    // Prints the page shown on the device's paper.
    void printPage(QPagedPaintDevice *device) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void buildInputPage(QWidget *page);
    void buildPreviewPage(QWidget *page);
    // Checks the inputs, composes the page and loads it; `then` runs once
    // the view has it ready. Nothing runs after a refusal or failure.
    void composeThen(std::function<void()> then);
    void pageReady();
    void showInputPage();
    QString askTarget(const QString &filter, const std::function<QString(const QString &)> &withExtension);

    int m_kind = 0;
    QStringList m_content;
    std::function<void()> m_afterLoad;
    PagePrinterFactory m_printers;
    std::unique_ptr<PagePrinter> m_printer; // kept, so a chosen printer stays chosen

    QStackedWidget *m_pages = nullptr;
    QLineEdit *m_grade = nullptr;
    QLineEdit *m_class = nullptr;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_name = nullptr;
    QPlainTextEdit *m_title = nullptr;
    QPlainTextEdit *m_idea = nullptr;
    QPlainTextEdit *m_workings = nullptr;
    QPlainTextEdit *m_ingenuity = nullptr;
    QPlainTextEdit *m_impressions = nullptr;
    ReportView *m_view = nullptr;
    LazyContent m_lazy; // last: builds into the members above
};

} // namespace koru::report
