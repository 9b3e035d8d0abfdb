#include "report/ui/pagebreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QWidget> // QWIDGETSIZE_MAX, the height of a page that never ends

#include <cmath>

namespace koru::report {

namespace {

// Every table below a frame, in the order of the page.
void collectTables(QTextFrame *frame, QList<QTextTable *> &tables)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child))
            tables << table;
        collectTables(child, tables);
    }
}

} // namespace

int KeepRowsWhole(QTextDocument &page)
{
    const qreal pageHeight = page.pageSize().height();
    if (!(pageHeight > 0) || pageHeight >= QWIDGETSIZE_MAX)
        return 0; // not paginated: nothing to keep apart
    // The layout leaves the root frame's margins free at each page's top and foot.
    const QTextFrameFormat root = page.rootFrame()->frameFormat();
    const qreal usable = pageHeight - root.topMargin() - root.bottomMargin();
    const auto pageOf = [pageHeight](qreal y) { return int(std::floor(y / pageHeight)); };

    QList<QTextTable *> tables;
    collectTables(page.rootFrame(), tables);
    int moved = 0;
    for (QTextTable *table : tables) {
        if (table->rows() != 1)
            continue;
        // Each move shifts what follows: the layout is asked afresh.
        const QRectF box = page.documentLayout()->frameBoundingRect(table);
        if (box.isEmpty() || pageOf(box.top()) == pageOf(box.bottom() - 1))
            continue;
        QTextTableFormat format = table->format();
        const QTextFormat::PageBreakFlags before = format.pageBreakPolicy();
        format.setPageBreakPolicy(before | QTextFormat::PageBreak_AlwaysBefore);
        table->setFormat(format);
        const QRectF after = page.documentLayout()->frameBoundingRect(table);
        if (after.height() <= usable && pageOf(after.top()) == pageOf(after.bottom() - 1)) {
            ++moved;
        } else { // too tall for any page: cutting it is all that is left
            format.setPageBreakPolicy(before);
            table->setFormat(format);
        }
    }
    return moved;
}

} // namespace koru::report
