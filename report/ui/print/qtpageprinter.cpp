#include "report/ui/print/qtpageprinter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace koru::report {

QtPagePrinter::QtPagePrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtPagePrinter::~QtPagePrinter()
{
    // The dialog points at the printer: it goes first, whoever its parent is.
    delete m_dialog.data();
}

void QtPagePrinter::choose(QWidget *parent, const QString &documentName,
                           std::function<void(QPagedPaintDevice *)> print)
{
    m_print = std::move(print);
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    m_printer->setDocName(documentName);
    // Opened, not executed: the program goes on while the dialog is up.
    auto *dialog = new QPrintDialog(m_printer.get(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, dialog, [this] {
        if (m_print)
            m_print(m_printer.get());
    });
    m_dialog = dialog;
    dialog->open();
}

} // namespace koru::report

// The module's one entry point (NewPagePrinterSymbol).
extern "C" Q_DECL_EXPORT koru::report::PagePrinter *KoruNewPagePrinter()
{
    return new koru::report::QtPagePrinter;
}
