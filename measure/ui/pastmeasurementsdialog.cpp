#include "measure/ui/pastmeasurementsdialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace koru::measure {

const QString PastMeasurementsDialog::Title = QStringLiteral("過去の計測");

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ReadableRole = Qt::UserRole + 1;

QString ReadingsText(const PastMeasurement &past)
{
    if (!past.readable)
        return QStringLiteral("読み込めません");
    const QString count = QStringLiteral("%1回").arg(past.readings);
    return past.damagedLines > 0 ? count + QStringLiteral("（読めない行あり）") : count;
}

} // namespace

PastMeasurementsDialog::PastMeasurementsDialog(const QString &folder, QWidget *parent)
    : QDialog(parent), m_folder(folder)
{
    setObjectName(QStringLiteral("PastMeasurements"));
    setWindowTitle(Title);
    // The measurement window's light blue, and letters a pupil reads easily.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xee, 0xf7, 0xff));
    setPalette(pal);
    QFont text = font();
    text.setPixelSize(14);
    setFont(text);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(8);

    auto *caption = new QLabel(QStringLiteral("これまでの計測（新しい順）"));
    column->addWidget(caption);

    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("PastList"));
    m_list->setAccessibleName(caption->text());
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("開始日時"), QStringLiteral("計測回数"), QStringLiteral("計測時間")});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setDefaultAlignment(Qt::AlignCenter);
    m_list->header()->setFont(text); // not taken over through the style sheet
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_list->setStyleSheet(QStringLiteral("QTreeWidget::item { padding: 3px 6px; }"));
    m_list->setMinimumSize(460, 260);
    caption->setBuddy(m_list);
    column->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    m_save = new QPushButton(QStringLiteral("CSVで保存…"));
    m_save->setObjectName(QStringLiteral("PastSaveButton"));
    m_chart = new QPushButton(QStringLiteral("グラフで見る"));
    m_chart->setObjectName(QStringLiteral("PastChartButton"));
    m_close = new QPushButton(QStringLiteral("閉じる"));
    m_close->setObjectName(QStringLiteral("PastCloseButton"));
    for (QPushButton *button : {m_save, m_chart, m_close})
        button->setMinimumSize(110, 32);
    buttons->addWidget(m_save);
    buttons->addWidget(m_chart);
    buttons->addStretch();
    buttons->addWidget(m_close);
    column->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &PastMeasurementsDialog::updateButtons);
    connect(m_list, &QTreeWidget::itemActivated, this, [this] {
        if (m_chartsAvailable && !chosenPath().isEmpty())
            emit chartWanted(chosenPath());
    });
    connect(m_save, &QPushButton::clicked, this, [this] { emit saveWanted(chosenPath()); });
    connect(m_chart, &QPushButton::clicked, this, [this] { emit chartWanted(chosenPath()); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    reload();
}

void PastMeasurementsDialog::reload()
{
    const QString chosen = m_list->currentItem() ? m_list->currentItem()->data(0, PathRole).toString() : QString();
    m_past = ListPastMeasurements(m_folder);
    m_list->clear();
    QTreeWidgetItem *current = nullptr;
    for (const PastMeasurement &past : std::as_const(m_past)) {
        auto *item = new QTreeWidgetItem(m_list, {PastStartText(past.start), ReadingsText(past),
                                                   past.readable ? DurationText(past.seconds) : QStringLiteral("―")});
        item->setData(0, PathRole, past.path);
        item->setData(0, ReadableRole, past.readable);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (!past.readable)
            for (int c = 0; c < 3; ++c)
                item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
        if (past.path == chosen || (!current && chosen.isEmpty()))
            current = item;
    }
    if (m_past.isEmpty()) {
        auto *none = new QTreeWidgetItem(m_list, {QStringLiteral("まだ計測の記録がありません")});
        none->setFlags(Qt::NoItemFlags);
        m_list->setFirstColumnSpanned(0, QModelIndex(), true);
    }
    m_list->setCurrentItem(current);
    updateButtons();
}

QString PastMeasurementsDialog::chosenPath() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->data(0, ReadableRole).toBool())
        return QString();
    return item->data(0, PathRole).toString();
}

void PastMeasurementsDialog::updateButtons()
{
    const bool chosen = !chosenPath().isEmpty();
    m_save->setEnabled(chosen);
    m_chart->setEnabled(chosen && m_chartsAvailable);
}

void PastMeasurementsDialog::setChartsAvailable(bool available)
{
    m_chartsAvailable = available;
    m_chart->setToolTip(available ? QString() : QStringLiteral("グラフを表示できません"));
    updateButtons();
}

} // namespace koru::measure
