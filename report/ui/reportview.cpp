#include "report/ui/reportview.h"

#include "model/programfile.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QTextDocument>

namespace koru::report {

ReportView::ReportView(QWidget *parent)
    : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("ReportView"));
    setOpenLinks(false); // a report page is not for browsing
    setFocusPolicy(Qt::StrongFocus);
}

void ReportView::showPage(const QString &path)
{
    // Pictures of the earlier page may have been replaced on disk under the
    // same names: forget what the document had loaded.
    document()->clear();
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (source() == url)
        reload();
    else
        setSource(url, QTextDocument::HtmlResource);
    // Laying out loads every picture, so the page is complete from here on.
    (void)document()->documentLayout()->documentSize();
    emit pageReady();
}

QVariant ReportView::loadResource(int type, const QUrl &name)
{
    if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
        const std::optional<QStringList> lines = ReadProgramLines(name.toLocalFile());
        return lines ? QVariant(lines->join(QLatin1Char('\n'))) : QVariant();
    }
    return QTextBrowser::loadResource(type, name);
}

} // namespace koru::report
