// The report's printing with Qt Print Support: Qt's print dialog (in
// Japanese, as the program loads Qt's catalogue) over one kept QPrinter.
// Built into the module koru-print, which the program loads on its first
// print (../pageprinter.h); tests link it directly.
#pragma once

#include "report/ui/pageprinter.h"

#include <QPointer>

class QPrintDialog;
class QPrinter;

namespace koru::report {

class QtPagePrinter final : public PagePrinter
{
public:
    QtPagePrinter();
    ~QtPagePrinter() override;

    void choose(QWidget *parent, const QString &documentName,
                std::function<void(QPagedPaintDevice *)> print) override;

    QPrinter *printer() const { return m_printer.get(); }
    QPrintDialog *dialog() const { return m_dialog; } // null when none is up

private:
    std::unique_ptr<QPrinter> m_printer;
    QPointer<QPrintDialog> m_dialog;
    std::function<void(QPagedPaintDevice *)> m_print;
};

} // namespace koru::report
