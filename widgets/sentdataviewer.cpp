#include "widgets/sentdataviewer.h"

#include "model/caption.h"
#include "model/paths.h"
#include "model/viewerrows.h"
#include "widgets/picturefile.h"
#include "widgets/placement.h"

#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>

namespace koru {

namespace {
const QString PicturePath = QStringLiteral("Img\\DataView\\Explain.png");
} // namespace

SentDataViewer::SentDataViewer(QWidget *parent, Content content)
    : QDialog(parent), m_lazy([this] { build(); })
{
    setObjectName(QStringLiteral("SentDataViewer"));
    setWindowTitle(WindowCaption());
    setModal(true);
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    setFont(font);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFixedSize(ClientWidth, ClientHeight);
    if (content == Content::Now)
        m_lazy.ensureBuilt();
}

void SentDataViewer::build()
{
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setGeometry(0, 0, 793, 185);
    m_grid->setColumnCount(3);
    m_grid->setHorizontalHeaderLabels(ViewerHeader());
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(24);
    m_grid->setColumnWidth(0, 64);
    m_grid->setColumnWidth(1, 276);
    m_grid->setColumnWidth(2, 425);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(0, 191, 795, 488);
    m_picture->setPixmap(ReadPixmap(AssetPath(PicturePath)));
}

void SentDataViewer::setListing(const QStringList &listing)
{
    m_listing = listing;
    fill();
}

void SentDataViewer::setVisible(bool visible)
{
    if (visible)
        m_lazy.ensureBuilt();
    QDialog::setVisible(visible);
}

void SentDataViewer::fill()
{
    m_lazy.ensureBuilt();
    // Built from the kept listing without changing it: showing the same
    // listing again shows the same rows.
    const QList<ViewerRow> rows = ViewerRows(m_listing);
    m_grid->clearContents();
    m_grid->setRowCount(int(rows.size()) + 2); // two empty rows below the last record
    const QColor fixedColour = palette().color(QPalette::Button);
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        auto *number = new QTableWidgetItem(r < rows.size() ? QString::number(rows[r].number) : QString());
        number->setBackground(fixedColour);
        m_grid->setItem(r, 0, number);
        if (r < rows.size()) {
            m_grid->setItem(r, 1, new QTableWidgetItem(rows[r].text));
            m_grid->setItem(r, 2, new QTableWidgetItem(rows[r].code()));
        }
    }
}

void SentDataViewer::showOver(QWidget *caller)
{
    fill();
    // Shown first so that the frame is part of the size being centred.
    show();
    CentreOver(this, caller);
    exec();
}

} // namespace koru
