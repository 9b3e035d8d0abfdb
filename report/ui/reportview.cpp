#include "report/ui/reportview.h"

#include "model/programfile.h"
#include "report/reportpage.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCharFormat>
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
        const std::optional<QStringList> lines = ReadReportPage(name.toLocalFile());
        return lines ? QVariant(lines->join(QLatin1Char('\n'))) : QVariant();
    }
    const QVariant loaded = QTextBrowser::loadResource(type, name);
    if (type == QTextDocument::ImageResource)
        return shownSmoothly(loaded, name);
    return loaded;
}

// The document would draw a picture at its shown size without smoothing,
// so that a routine picture's small captions come out garbled: it gets the
// picture already scaled, smoothly, to the size the page shows it at.
QVariant ReportView::shownSmoothly(const QVariant &loaded, const QUrl &name) const
{
    QImage image = loaded.userType() == QMetaType::QImage ? loaded.value<QImage>()
                                                           : QImage::fromData(loaded.toByteArray());
    if (image.isNull())
        return loaded;
    const QUrl wanted = source().resolved(name);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QTextImageFormat picture = format.toImageFormat();
            if (source().resolved(QUrl(picture.name())) != wanted)
                continue;
            const QSize shown(qRound(picture.width()), qRound(picture.height()));
            if (shown.width() > 0 && shown.height() > 0 && shown != image.size())
                return image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return image;
        }
    }
    return image;
}

} // namespace koru::report
