#include "measure/ui/measurewindow.h"

#include "widgets/placement.h"

#include "link/devicelink.h"
#include "measure/linkmeasurekit.h"
#include "measure/chartfigures.h"
#include "measure/ui/measureparts.h"
#include "measure/ui/pastmeasurementsdialog.h"
#include "measure/pastmeasurements.h"
#include "model/caption.h"
#include "model/dialogservice.h"
#include "model/filecommands.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "model/textutil.h"
#include "widgets/programfont.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace koru::measure {

const QString MeasureWindow::CsvFilter = QStringLiteral("CSVファイル(*.csv)|*.csv");
const QString MeasureWindow::PanelTitle = QStringLiteral("計測終了処理中");
const QString MeasureWindow::PanelText = QStringLiteral(
    "温度、湿度計測を終了します。\r\n最後の計測が終わるまでしばらくお待ち下さい。\r\n\r\nこの画面は自動で消えます。");
const QString MeasureWindow::ChartsMissingText = QStringLiteral("グラフを表示できません（koru-charts が見つかりません）");

namespace {

constexpr int MinimumWidth = 780;
constexpr int MinimumHeight = 580;

// The room picture and what lies on it (pixels of Img/Measure/Room.jpg).
constexpr QSize RoomSize(420, 330);
constexpr QRect DigitRects[2] = {{30, 66, 56, 64}, {94, 66, 56, 64}};
constexpr int ArrowUpTop = 40;
constexpr int ArrowDownTop = 134;
constexpr QRect TemperatureRect(290, 46, 74, 40);
constexpr QRect HumidityRect(290, 98, 74, 40);
constexpr QPoint FanCentre(100, 236);
constexpr QRect LampRect(282, 176, 100, 130);
constexpr QPoint WindPlace(160, 200); // right of the fan, while it blows

const QColor CsvBackground(187, 226, 233);
const QString PanelColour = QStringLiteral("#8a5cd6");

const QString RoomPicture = QStringLiteral("Img\\Measure\\Room.jpg");
const QString BladesPicture = QStringLiteral("Img\\Animate\\propera.png");
const QString LampOnPicture = QStringLiteral("Img\\Animate\\ON.jpg");
const QString LampOffPicture = QStringLiteral("Img\\Animate\\OFF.jpg");
const QString WindPicture = QStringLiteral("Img\\Measure\\Wind.png");
const QString UpPicture = QStringLiteral("Img\\Measure\\Up.png");
const QString DownPicture = QStringLiteral("Img\\Measure\\Down.png");
const QString StartPicture = QStringLiteral("Img\\Measure\\Start.png");
const QString EndPicture = QStringLiteral("Img\\Measure\\End.png");

const FileKind &CsvFiles()
{
    static const FileKind kind{QStringLiteral("measure"), MeasureWindow::CsvFilter, QStringLiteral(".csv"),
                               QStringLiteral(".csv"), SaveFailed};
    return kind;
}

const QString JournalNoteText = QStringLiteral("この計測の記録は次のファイルに保存されています。\n%1");

} // namespace

MeasureWindow::MeasureWindow(DeviceLink &link, const MeasureChartsFactory &charts, QWidget *parent)
    : MeasureWindow(std::make_unique<LinkMeasureKit>(link), nullptr, nullptr, charts, parent)
{
}

MeasureWindow::MeasureWindow(MeasureKit *kit, Ticker *ticker, const MeasureChartsFactory &charts, QWidget *parent)
    : MeasureWindow(nullptr, kit, ticker, charts, parent)
{
}

MeasureWindow::MeasureWindow(std::unique_ptr<MeasureKit> ownKit, MeasureKit *kit, Ticker *ticker,
                             const MeasureChartsFactory &charts, QWidget *parent)
    : QWidget(parent), m_ownKit(std::move(ownKit))
{
    setObjectName(QStringLiteral("Thermometer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WindowCaption());
    setMinimumSize(MinimumWidth, MinimumHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xee, 0xf7, 0xff));
    setPalette(pal);
    setAutoFillBackground(true);

    if (m_ownKit)
        kit = m_ownKit.get();
    if (!ticker) {
        m_ownTicker = std::make_unique<TimerTicker>();
        ticker = m_ownTicker.get();
    }
    m_session = new MeasureSession(*kit, *ticker, &QDateTime::currentDateTime, this);

    // Left the room and the controls at their own size, right the two
    // charts sharing what is left.
    auto *top = new QHBoxLayout(this);
    top->setContentsMargins(10, 10, 10, 10);
    top->setSpacing(12);
    auto *left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(buildRoom(), 0, Qt::AlignHCenter);
    left->addWidget(buildControls());
    left->addStretch();
    top->addLayout(left);
    top->addLayout(buildCharts(charts), 1);

    // The end panel, over everything while a measurement ends.
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("KeisokuPanel"));
    m_panel->setAutoFillBackground(true);
    QPalette panelPal = m_panel->palette();
    panelPal.setColor(QPalette::Window, QColor(PanelColour));
    panelPal.setColor(QPalette::WindowText, Qt::white);
    m_panel->setPalette(panelPal);
    auto *panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(24, 18, 24, 18);
    auto *panelTitle = new QLabel(PanelTitle);
    panelTitle->setFont(PixelFont(font(), 20));
    auto *panelText = new QLabel(QString(PanelText).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    panelText->setFont(PixelFont(font(), 14));
    panelLayout->addWidget(panelTitle);
    panelLayout->addWidget(panelText);
    m_panel->setFixedSize(420, 170);
    m_panel->hide();

    // Never shown: asks the kit for its memory, whose replies only land in
    // the reply lines.
    auto *memory = new QPushButton(QStringLiteral("NIVAのプログラム取得"), this);
    memory->setObjectName(QStringLiteral("MemoryButton"));
    memory->hide();
    connect(memory, &QPushButton::clicked, this, [this, kit] {
        if (m_session->idle() && !kit->request(kit::SendMemory))
            Dialogs().warning(NoKitMessage);
    });

    connect(m_session, &MeasureSession::changed, this, &MeasureWindow::refresh);
    connect(m_session, &MeasureSession::logChanged, this, &MeasureWindow::redrawCharts);
    connect(m_session, &MeasureSession::warning, this, [this](const QString &message) {
        // A message box lets the ticker in: the kit lost while the fan's
        // request was out warns, and the next tick, while that box is open,
        // finds no kit and would stack a second warning on it. One is enough.
        if (m_warningOpen)
            return;
        m_warningOpen = true;
        Dialogs().warning(message);
        m_warningOpen = false;
    });
    connect(m_session, &MeasureSession::saveWanted, this, &MeasureWindow::saveLog);
    connect(m_session, &MeasureSession::stopped, this, [this](bool saveOffered) {
        if (!saveOffered)
            showJournalNote();
    });
    refresh();
    redrawCharts();
}

MeasureWindow::~MeasureWindow()
{
    // The session goes before the kit and the ticker it refers to.
    delete m_session;
    m_session = nullptr;
}

QPixmap MeasureWindow::picture(const QString &path)
{
    auto it = m_pictures.find(path);
    if (it == m_pictures.end())
        it = m_pictures.insert(path, QPixmap(AssetPath(path)));
    return *it;
}

QWidget *MeasureWindow::buildRoom()
{
    auto *room = new QLabel;
    room->setObjectName(QStringLiteral("Room"));
    // The room is read through its parts: the temperatures, the fan and lamp.
    room->setAccessibleName(QStringLiteral("部屋"));
    room->setFixedSize(RoomSize);
    room->setPixmap(picture(RoomPicture));

    const QFont digitFont = PixelFont(font(), 48);
    const QString names[2][2] = {{QStringLiteral("IncImage1"), QStringLiteral("DecImage1")},
                                 {QStringLiteral("IncImage2"), QStringLiteral("DecImage2")}};
    for (int i = 0; i < 2; ++i) {
        auto *digit = new QLabel(room);
        digit->setObjectName(QStringLiteral("OndoLabel%1").arg(i + 1));
        digit->setGeometry(DigitRects[i]);
        digit->setAlignment(Qt::AlignCenter);
        digit->setFont(digitFont);
        digit->setStyleSheet(QStringLiteral("color: #333d47;"));
        (i == 0 ? m_ondo1 : m_ondo2) = digit;
        const QRect r = DigitRects[i];
        auto *up = new PictureButton(picture(UpPicture), QStringLiteral("上げる"), room);
        auto *down = new PictureButton(picture(DownPicture), QStringLiteral("下げる"), room);
        up->setObjectName(names[i][0]);
        down->setObjectName(names[i][1]);
        // Both columns carry the same arrows: say which digit they change.
        const QString digitName = i == 0 ? QStringLiteral("設定温度の十の位") : QStringLiteral("設定温度の一の位");
        up->setAccessibleName(digitName + QStringLiteral("を上げる"));
        down->setAccessibleName(digitName + QStringLiteral("を下げる"));
        up->move(r.center().x() - up->width() / 2 + 1, ArrowUpTop);
        down->move(r.center().x() - down->width() / 2 + 1, ArrowDownTop);
        for (PictureButton *arrow : {up, down})
            connect(arrow, &PictureButton::clicked, this, [this, arrow] { pressArrow(arrow->objectName()); });
    }

    const QFont readingFont = PixelFont(font(), 32);
    m_label1 = new QLabel(room);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(TemperatureRect);
    m_label2 = new QLabel(room);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(HumidityRect);
    for (QLabel *label : {m_label1, m_label2}) {
        label->setFont(readingFont);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setStyleSheet(QStringLiteral("color: #1f3b2c;"));
    }

    const QPixmap blades = picture(BladesPicture);
    m_fan = new FanBlades(blades, room);
    const QSize bladeBox = blades.isNull() ? QSize(96, 96) : blades.size();
    m_fan->setGeometry(QRect(QPoint(0, 0), bladeBox).translated(FanCentre - QPoint(bladeBox.width() / 2, bladeBox.height() / 2)));

    m_wind = new QLabel(room);
    m_wind->setObjectName(QStringLiteral("Wind"));
    m_wind->setPixmap(picture(WindPicture));
    m_wind->move(WindPlace);
    m_wind->adjustSize();
    m_wind->hide();

    m_lamp = new QLabel(room);
    m_lamp->setObjectName(QStringLiteral("Lamp"));
    m_lamp->setGeometry(LampRect);
    return room;
}

QLayout *MeasureWindow::buildCharts(const MeasureChartsFactory &factory)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(8);
    if (factory)
        m_charts = factory(font());
    if (m_charts) {
        column->addWidget(m_charts->temperatureView(), 1);
        column->addWidget(m_charts->humidityView(), 1);
        return column;
    }
    // Where the charts would be, what a pupil can tell the teacher, broken
    // before the module's name rather than wherever the width ends; and that
    // the measurement itself, its log and the CSV file work without them.
    auto *panel = new QFrame;
    panel->setObjectName(QStringLiteral("ChartsMissingPanel"));
    panel->setMinimumSize(300, 260);
    panel->setStyleSheet(QStringLiteral(
        "#ChartsMissingPanel { background: white; border: 1px solid #c5d3e0; border-radius: 6px; }"));
    auto *lines = new QVBoxLayout(panel);
    lines->setContentsMargins(16, 16, 16, 16);
    lines->setSpacing(10);
    m_chartsMissing = new QLabel(QString(ChartsMissingText).replace(QStringLiteral("（"), QStringLiteral("\n（")));
    m_chartsMissing->setObjectName(QStringLiteral("ChartsMissing"));
    m_chartsMissing->setAccessibleName(ChartsMissingText);
    m_chartsMissing->setAlignment(Qt::AlignCenter);
    m_chartsMissing->setWordWrap(true);
    m_chartsMissing->setFont(PixelFont(font(), 16));
    m_chartsMissing->setStyleSheet(QStringLiteral("color: #46505a;"));
    auto *still = new QLabel(QStringLiteral("計測と記録、CSVファイルの書き出しはこのまま使えます。"));
    still->setAlignment(Qt::AlignCenter);
    still->setWordWrap(true);
    still->setFont(PixelFont(font(), 13));
    still->setStyleSheet(QStringLiteral("color: #6b7884;"));
    lines->addStretch();
    lines->addWidget(m_chartsMissing);
    lines->addWidget(still);
    lines->addStretch();
    column->addWidget(panel, 1);
    return column;
}

QWidget *MeasureWindow::buildControls()
{
    auto *box = new QWidget;
    box->setFixedWidth(RoomSize.width());
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);

    auto *stateRow = new QHBoxLayout;
    auto *stateCaption = new QLabel(QStringLiteral("現在の状態"));
    stateCaption->setFont(PixelFont(font(), 16));
    m_label7 = new QLabel;
    m_label7->setObjectName(QStringLiteral("Label7"));
    m_label7->setFont(PixelFont(font(), 22));
    m_label7->setStyleSheet(QStringLiteral("color: red;"));
    stateRow->addWidget(stateCaption);
    stateRow->addSpacing(12);
    stateRow->addWidget(m_label7);
    stateRow->addStretch();
    column->addLayout(stateRow);

    auto *csv = new QWidget;
    csv->setObjectName(QStringLiteral("CsvPanel"));
    csv->setAutoFillBackground(true);
    QPalette csvPal = csv->palette();
    csvPal.setColor(QPalette::Window, CsvBackground);
    csv->setPalette(csvPal);
    auto *csvRow = new QHBoxLayout(csv);
    csvRow->setContentsMargins(10, 8, 10, 8);
    m_csvBox = new QCheckBox(QStringLiteral("CSVファイル書き出し"));
    m_csvBox->setObjectName(QStringLiteral("CheckBox1"));
    m_intervalLabel = new QLabel(QStringLiteral("計測する間隔"));
    m_intervalBox = new QComboBox;
    m_intervalBox->setObjectName(QStringLiteral("ComboBox1"));
    // Its label names it; on Linux a screen reader says the current item
    // as the name, so the purpose is the description too.
    m_intervalLabel->setBuddy(m_intervalBox);
    m_intervalBox->setAccessibleName(m_intervalLabel->text());
    m_intervalBox->setAccessibleDescription(m_intervalLabel->text());
    for (const IntervalChoice &choice : IntervalChoices())
        m_intervalBox->addItem(choice.text);
    m_intervalBox->setCurrentIndex(-1);
    m_intervalBox->setMinimumWidth(80);
    csvRow->addWidget(m_csvBox);
    csvRow->addStretch();
    csvRow->addWidget(m_intervalLabel);
    csvRow->addWidget(m_intervalBox);
    connect(m_csvBox, &QCheckBox::toggled, this, &MeasureWindow::refresh);
    column->addWidget(csv);

    auto *buttons = new QHBoxLayout;
    m_start = new PictureButton(picture(StartPicture), QStringLiteral("計測開始"));
    m_start->setObjectName(QStringLiteral("StartButton"));
    m_end = new PictureButton(picture(EndPicture), QStringLiteral("計測終了"));
    m_end->setObjectName(QStringLiteral("EndButton"));
    connect(m_start, &PictureButton::clicked, this, &MeasureWindow::startMeasuring);
    connect(m_end, &PictureButton::clicked, this, &MeasureWindow::endMeasuring);
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addSpacing(24);
    buttons->addWidget(m_end);
    buttons->addStretch();
    column->addLayout(buttons);

    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("JournalNote"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note->setStyleSheet(QStringLiteral("color: #1b62a3;"));
    m_note->hide();
    column->addWidget(m_note);
    column->addStretch();

    // In the free end of the state's row, outside the layout, so nothing
    // the layout places moves for it.
    auto *past = new QPushButton(QStringLiteral("過去の計測…"), box);
    past->setObjectName(QStringLiteral("PastButton"));
    past->setCursor(Qt::PointingHandCursor);
    past->adjustSize();
    const int rowHeight = std::max(stateCaption->sizeHint().height(), m_label7->sizeHint().height());
    past->move(RoomSize.width() - past->width(), std::max(0, (rowHeight - past->height()) / 2));
    connect(past, &QPushButton::clicked, this, &MeasureWindow::showPastMeasurements);
    m_pastButton = past;
    return box;
}

QWidget *MeasureWindow::startButton() const
{
    return m_start;
}

QWidget *MeasureWindow::endButton() const
{
    return m_end;
}

QWidget *MeasureWindow::pastButton() const
{
    return m_pastButton;
}

bool MeasureWindow::fanTurning() const
{
    return m_fan->turning();
}

void MeasureWindow::pressArrow(const QString &arrowName)
{
    if (m_session->setTemperature().press(arrowName))
        refresh();
}

void MeasureWindow::startMeasuring()
{
    const bool wasIdle = m_session->idle();
    const QString refusal = m_session->start(m_csvBox->isChecked(), m_intervalBox->currentIndex());
    if (!refusal.isEmpty()) {
        Dialogs().warning(refusal);
        return;
    }
    if (wasIdle)
        m_note->hide();
}

void MeasureWindow::endMeasuring()
{
    m_session->end();
}

void MeasureWindow::refresh()
{
    if (!m_session)
        return;
    const SetTemperature &set = m_session->setTemperature();
    m_ondo1->setText(QString::number(set.tens()));
    m_ondo2->setText(QString::number(set.ones()));
    m_label1->setText(m_session->temperatureText());
    m_label2->setText(m_session->humidityText());
    m_label7->setText(m_session->stateText());
    m_fan->setTurning(m_session->climate() == Climate::Cooling);
    m_wind->setVisible(m_fan->turning());
    m_lampOn = m_session->climate() == Climate::Heating;
    m_lamp->setPixmap(picture(m_lampOn ? LampOnPicture : LampOffPicture));
    // A bare digit or reading means nothing read aloud: say what it is.
    m_ondo1->setAccessibleName(QStringLiteral("設定温度の十の位: ") + m_ondo1->text());
    m_ondo2->setAccessibleName(QStringLiteral("設定温度の一の位: ") + m_ondo2->text());
    m_label1->setAccessibleName(QStringLiteral("温度: ") + m_label1->text());
    m_label2->setAccessibleName(QStringLiteral("湿度: ") + m_label2->text());
    m_label7->setAccessibleName(QStringLiteral("現在の状態: ") + m_label7->text());
    m_fan->setAccessibleName(m_fan->turning() ? QStringLiteral("冷房: 運転中") : QStringLiteral("冷房: 停止"));
    m_lamp->setAccessibleName(m_lampOn ? QStringLiteral("暖房: 運転中") : QStringLiteral("暖房: 停止"));
    const bool settings = m_session->settingsEnabled();
    m_csvBox->setEnabled(settings);
    m_intervalLabel->setEnabled(settings && m_csvBox->isChecked());
    m_intervalBox->setEnabled(settings && m_csvBox->isChecked());
    m_start->setEnabled(m_session->idle());
    m_end->setEnabled(m_session->measuring());
    if (m_session->panelVisible()) {
        centrePanel();
        m_panel->show();
        m_panel->raise();
    } else {
        m_panel->hide();
    }
}

void MeasureWindow::redrawCharts()
{
    if (m_charts)
        m_charts->draw(ChartFiguresOf(m_session->log()));
}

void MeasureWindow::saveLog()
{
    const std::optional<QByteArray> bytes = EncodeProgramText(m_session->logLines());
    // Cancelled or failed (the failure shown): the journal still has it all.
    if (!bytes || !SaveBytesCommand(CsvFiles(), *bytes))
        showJournalNote();
}

PastMeasurementsDialog *MeasureWindow::showPastMeasurements()
{
    if (!m_pastDialog) {
        m_pastDialog = new PastMeasurementsDialog(m_session->journalFolder(), this);
        m_pastDialog->setChartsAvailable(m_charts != nullptr);
        connect(m_pastDialog, &PastMeasurementsDialog::chartWanted, this, &MeasureWindow::showPastInCharts);
        connect(m_pastDialog, &PastMeasurementsDialog::saveWanted, this, &MeasureWindow::savePast);
    } else {
        m_pastDialog->reload();
    }
    m_pastDialog->show();
    m_pastDialog->raise();
    m_pastDialog->activateWindow();
    return m_pastDialog;
}

bool MeasureWindow::showPastInCharts(const QString &journal)
{
    if (!m_charts)
        return false; // the list offers no charts then
    if (!m_session->idle()) {
        Dialogs().warning(PastWhileMeasuringMessage);
        return false;
    }
    const std::optional<QList<LogEntry>> log = ReadPastMeasurement(journal);
    if (!log) {
        Dialogs().warning(PastUnreadableMessage);
        return false;
    }
    m_charts->draw(ChartFiguresOf(*log));
    return true;
}

void MeasureWindow::savePast(const QString &journal)
{
    const std::optional<QList<LogEntry>> log = ReadPastMeasurement(journal);
    if (!log) {
        Dialogs().warning(PastUnreadableMessage);
        return;
    }
    QStringList lines;
    lines.reserve(log->size());
    for (const LogEntry &entry : *log)
        lines.append(entry.line());
    if (const std::optional<QByteArray> bytes = EncodeProgramText(lines))
        SaveBytesCommand(CsvFiles(), *bytes);
}

void MeasureWindow::showJournalNote()
{
    if (!m_session->journalWritten())
        return;
    m_note->setText(JournalNoteText.arg(QDir::toNativeSeparators(m_session->journalPath())));
    m_note->show();
}

void MeasureWindow::centrePanel()
{
    m_panel->move(RoundHalfEven((width() - m_panel->width()) / 2.0), RoundHalfEven((height() - m_panel->height()) / 2.0));
}

void MeasureWindow::placeWindow()
{
    PlaceEditorWindow(this, QSize(MinimumWidth, MinimumHeight));
}

void MeasureWindow::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        placeWindow();
    }
    QWidget::showEvent(event);
}

void MeasureWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    centrePanel();
}

void MeasureWindow::closeEvent(QCloseEvent *event)
{
    m_session->close();
    m_fan->setTurning(false);
    m_wind->hide();
    event->accept();
}

} // namespace koru::measure
