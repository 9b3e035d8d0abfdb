// Page breaks of a printed report page. Qt's text layout cuts a table row
// wherever a page ends, so a routine's heading could stay at the foot of one
// page while its picture went to the next. The print path moves such a row
// whole to the next page, as "page-break-inside: avoid" asks of a browser.
#pragma once

class QTextDocument;

namespace koru::report {

// Lays the page out on its page size and moves every table of one row that
// a page break would cut, but that fits on one page, to the top of the next
// page (a row of routine headings with their pictures is such a table).
// Taller rows are left to be cut. Returns how many tables were moved.
int KeepRowsWhole(QTextDocument &page);

} // namespace koru::report
