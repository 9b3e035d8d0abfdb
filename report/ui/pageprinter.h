// Printing the report page, behind an interface: the window composes the
// page and lays it out on whatever paged device it is handed; choosing a
// printer (the print dialog) and the printer itself are Qt Print Support's,
// in the module koru-print (print/qtpageprinter.cpp), which the window loads
// on its first print (loadedpageprinter.h), so that the program starts
// without Qt Print Support. Saving the page as HTML or PDF needs none of it.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QWidget;

namespace koru::report {

class PagePrinter
{
public:
    virtual ~PagePrinter() = default;

    // Puts up the print dialog over `parent` without waiting for it; when
    // the pupil chooses a printer, `print` lays the page out on it. The
    // printer is kept, so a chosen printer stays chosen for the next page;
    // `documentName` is also the name offered when printing to a file. The
    // dialog goes, at the latest, with this object (never outliving the
    // printer it shows); asked again while it is up, it is raised and
    // prints with the newest `print`.
    virtual void choose(QWidget *parent, const QString &documentName,
                        std::function<void(QPagedPaintDevice *)> print) = 0;
};

// Makes the printer on the first print; null when there is none to make
// (the window then says that it cannot print).
using PagePrinterFactory = std::function<std::unique_ptr<PagePrinter>()>;

// The module's factory: a new PagePrinter, owned by the caller.
using NewPagePrinterFunction = PagePrinter *(*)();
inline constexpr char NewPagePrinterSymbol[] = "KoruNewPagePrinter";

} // namespace koru::report
