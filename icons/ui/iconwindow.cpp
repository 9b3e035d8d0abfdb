#include "icons/ui/iconwindow.h"

#include "icons/iconfile.h"
#include "icons/ui/iconwindowparts.h"
#include "model/caption.h"
#include "model/decoder.h"
#include "model/dialogservice.h"
#include "model/paths.h"
#include "model/messages.h"
#include "widgets/decoration.h"
#include "widgets/placement.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QSlider>

#include <exception>

namespace koru::icons {

const QString IconWindow::Caption = CaptionPrefix;
const QString IconWindow::MimeType = QStringLiteral("application/x-koru-icon-kind");

namespace {

const QString DragErrorMessage =
    QStringLiteral("エラーが発生しました。\r\nソフトを再起動するか再度インストールして下さい");
const QString PictureFolder = QStringLiteral("Img\\Icon\\DD\\");
const QString PalettePicture = QStringLiteral("Palette.bmp");

constexpr int PaletteWidth = 215;
constexpr int RowAreaLeft = 216;
constexpr int MinimumWidth = 780;
constexpr int MinimumHeight = 580;
constexpr int ComboInset = 2;
// The slot a parameter control belongs to (Escape goes back there).
constexpr const char *SlotProperty = "koruSlot"; // choice lists span the slot's card but its frame

// Palette pictures: kind, left, top.
struct PalettePlace
{
    int kind;
    int left;
    int top;
};
constexpr PalettePlace PalettePlaces[] = {
    {0, 5, 13},    {1, 75, 13},   {2, 145, 13},   //
    {3, 5, 69},    {4, 75, 69},   {5, 145, 69},   //
    {6, 5, 125},   {7, 75, 125},  {14, 145, 125}, //
    {8, 5, 200},   {9, 75, 200},  {18, 145, 200}, //
    {10, 5, 255},  {11, 75, 255}, {19, 145, 255}, //
    {12, 5, 327},  {13, 75, 327},                 //
    {15, 5, 405},  {16, 75, 405},                 //
    {17, 5, 460},  {22, 75, 460},
};

const char *SliderStyle =
    "QSlider::groove:horizontal { height: 4px; background: #c8c8c8; border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #7aa7e8; border-radius: 2px; }"
    "QSlider::handle:horizontal { width: 18px; margin: -7px 0; background: #3c78d8;"
    " border: 1px solid #2a5aa8; border-radius: 3px; }"
    // The keyboard's focus, inside the slider's place.
    "QSlider:focus { border: 1px dashed #1e5ac8; }";

} // namespace

IconWindow::IconWindow(const EditorContext &context, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("IconWindow"));
    m_frame = new EditorFrame(this, context, editorDocument());
    connect(m_frame, &EditorFrame::closed, this, &IconWindow::closed);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(MinimumWidth, MinimumHeight);

    auto *central = new QWidget(this);
    central->setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(RowAreaLeft - PaletteWidth);

    auto *palette = new QWidget(central);
    palette->setObjectName(QStringLiteral("Palette"));
    palette->setFixedWidth(PaletteWidth);
    buildPalette(palette);
    m_frame->setKeyboardStart(palette->findChild<PaletteImage *>());
    layout->addWidget(palette);

    m_dropPanel = new QScrollArea(central);
    m_dropPanel->setObjectName(QStringLiteral("DropPanel"));
    m_dropPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dropPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_dropPanel->setFrameShape(QFrame::NoFrame);
    m_dropPanel->setWidgetResizable(false);
    m_rowArea = new RowArea(this);
    m_rowArea->setAutoFillBackground(true);
    m_rowArea->setPalette(pal);
    m_dropPanel->setWidget(m_rowArea);
    m_dropPanel->viewport()->setAutoFillBackground(true);
    m_dropPanel->viewport()->setPalette(pal);
    layout->addWidget(m_dropPanel, 1);
    setCentralWidget(central);

    m_colourMenu = new QMenu(this);
    m_colourMenu->setObjectName(QStringLiteral("ColourMenu"));
    auto *colours = new QActionGroup(m_colourMenu);
    const QStringList names{QStringLiteral("赤色"), QStringLiteral("緑色"), QStringLiteral("青色"),
                            QStringLiteral("黄色"), QStringLiteral("紫色"), QStringLiteral("水色"),
                            QStringLiteral("白色"), QStringLiteral("消灯")};
    for (int i = 0; i < names.size(); ++i) {
        QAction *action = m_colourMenu->addAction(names[i]);
        action->setCheckable(true);
        colours->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] {
            if (m_program.setColour(m_colourSlot, i))
                refreshSlot(m_colourSlot);
        });
    }

    m_frame->buildMenus({
        {.caption = QStringLiteral("デモ読み込み"),
         .items = {{.caption = QStringLiteral("デモ１"), .command = FrameCommand::Demo, .demo = 1},
                   {.caption = QStringLiteral("デモ２"), .command = FrameCommand::Demo, .demo = 2}}},
        {.caption = QStringLiteral("ファイル読み込み"), .command = FrameCommand::Open},
        {.caption = QStringLiteral("ファイルへ保存"), .command = FrameCommand::Save},
        {.caption = QStringLiteral("　　全削除　　"), .command = FrameCommand::Clear},
        {.caption = QStringLiteral("　　転送(F6)　　"), .command = FrameCommand::Transfer},
        {.caption = QStringLiteral("　　実行(F7)　　"), .command = FrameCommand::Run},
        {.caption = QStringLiteral("レポート作成"), .command = FrameCommand::Report},
        {.caption = QStringLiteral("プレビュー"), .command = FrameCommand::Preview},
        {.caption = QStringLiteral("送信データ表示"), .command = FrameCommand::SentData},
        {.caption = QStringLiteral("ヘルプ"), .command = FrameCommand::Help},
    });
}

IconWindow::~IconWindow() = default;

EditorDocument IconWindow::editorDocument()
{
    // A file is read into a copy and taken only when it was read whole.
    const auto readInto = [this](const std::function<FileResult(IconProgram &)> &read) {
        IconProgram loaded;
        const FileResult result = read(loaded);
        if (result.ok) {
            m_program = loaded;
            refreshAll();
        }
        return result;
    };
    return {
        .role = ReplyRole::Icon,
        .files = IconFiles,
        .recoveryKey = QStringLiteral("STEP1"),
        .isEmpty = [this] { return m_program.countUsed() == 0; },
        .clear =
            [this] {
                m_program.clearAll();
                refreshAll();
            },
        .saveContent = [this] { return std::optional<SaveContent>({IconFileLines(m_program), m_program.checkLoops().message}); },
        .load = [readInto](const QString &path) { return readInto([&](IconProgram &p) { return LoadIconFile(path, p); }); },
        .loadDemo = [readInto](int number) { return readInto([&](IconProgram &p) { return LoadDemo(number, p); }); },
        .fileLines = [this] { return std::optional<QStringList>(IconFileLines(m_program)); },
        .sendable = [this] { return SendableImage(m_program); },
        .markFailing = {},
        .running = [this](int address) { markRunning(ElementAtAddress(m_program, address)); },
        .describe = [this](int address) { return IconAtAddressName(m_program, address); },
        .previewable = [this] { return m_program.countUsed() > 0; },
        .decodeReadBack = {},
        .report = [this] { return std::optional<ReportRequest>({m_program.toReportLines(), IconReportKind, {}}); },
        .sentData = [this] { return std::optional<QStringList>(m_program.toRecords()); },
        .budget =
            [this] {
                return QList<BudgetPart>{{QStringLiteral("アイコン"), m_program.countUsed(), SlotCount},
                                         {QStringLiteral("バイト"), int(m_program.toImage().size()), MaxImageBytes}};
            },
    };
}

void IconWindow::buildPalette(QWidget *paletteWidget)
{
    auto *back = new QLabel(paletteWidget);
    back->setObjectName(QStringLiteral("PaletteBack"));
    MarkDecoration(back);
    const QPixmap backPicture = picture(PalettePicture);
    back->setPixmap(backPicture);
    back->setGeometry(0, 0, PaletteWidth, backPicture.isNull() ? 520 : backPicture.height());
    for (const PalettePlace &place : PalettePlaces) {
        auto *image = new PaletteImage(place.kind, this, paletteWidget);
        image->setGeometry(place.left, place.top, 65, 50);
        image->setPixmap(slotPicture(place.kind));
    }
}

QPixmap IconWindow::picture(const QString &name)
{
    auto it = m_pictures.find(name);
    if (it != m_pictures.end())
        return *it;
    const QPixmap pixmap(AssetPath(PictureFolder + name));
    m_pictures.insert(name, pixmap);
    return pixmap;
}

QPixmap IconWindow::slotPicture(int kind)
{
    return picture(QString::number(kind) + QStringLiteral(".bmp"));
}

bool IconWindow::checkPictures()
{
    QStringList names{QStringLiteral("Empty.bmp"), QStringLiteral("arrow.bmp"), PalettePicture};
    for (const PalettePlace &place : PalettePlaces)
        names.append(QString::number(place.kind) + QStringLiteral(".bmp"));
    for (const QString &name : names) {
        if (picture(name).isNull())
            return false;
    }
    return true;
}

void IconWindow::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        PlaceEditorWindow(this, QSize(MinimumWidth, MinimumHeight));
        if (layout())
            layout()->activate();
        layOutSlots();
        if (!checkPictures())
            Dialogs().warning(SaveErrorMessage);
    }
    QMainWindow::showEvent(event);
}

void IconWindow::layOutSlots()
{
    if (m_laidOut)
        return;
    m_laidOut = true;
    const int w = m_dropPanel->viewport()->width();
    const QPixmap empty = picture(QStringLiteral("Empty.bmp"));
    const QPixmap arrow = picture(QStringLiteral("arrow.bmp"));
    QFont numberFont = font();
    numberFont.setPointSize(20);
    numberFont.setBold(true);

    int x = 20;
    int y = 0;
    for (int n = 0; n < SlotCount; ++n) {
        if (x > w - 120) {
            x = 20;
            y += 150;
        }
        SlotControls &c = m_slots[size_t(n)];
        QPixmap back(100, 130);
        back.fill(Qt::white);
        {
            QPainter painter(&back);
            if (!empty.isNull())
                painter.drawPixmap(back.rect(), empty);
            painter.setFont(numberFont);
            painter.setPen(QColor(0xb8, 0xc4, 0xd0));
            painter.drawText(QRect(QPoint(17, 10), QPoint(82, 60)), Qt::AlignCenter | Qt::TextSingleLine,
                             QString::number(n));
        }
        c.back = new QLabel(m_rowArea);
        c.back->setObjectName(QStringLiteral("Back_Image%1").arg(n));
        c.back->setGeometry(x, y, 100, 130);
        c.back->setPixmap(back);
        MarkDecoration(c.back);
        c.image = new SlotImage(n, this, m_rowArea);
        c.image->setGeometry(x + 17, y + 10, 65, 50);
        x += 100;
        if (n < SlotCount - 1) {
            if (x > w - 65) {
                x = 20;
                y += 150;
            }
            c.arrow = new QLabel(m_rowArea);
            c.arrow->setObjectName(QStringLiteral("Arrow_Image%1").arg(n));
            c.arrow->setScaledContents(true);
            c.arrow->setPixmap(arrow);
            MarkDecoration(c.arrow);
            c.arrow->setGeometry(x + 10, y + 40, 25, 21);
            x += 45;
        }
    }
    m_rowArea->resize(std::max(w, 1), y + 150);
    for (SlotControls &c : m_slots) {
        c.back->show();
        c.image->show();
        if (c.arrow)
            c.arrow->show();
    }
    refreshAll();
}

void IconWindow::refreshAll()
{
    for (int n = 0; n < SlotCount; ++n)
        showSlot(n);
    m_frame->documentChanged(); // once for all slots
}

void IconWindow::refreshSlot(int n)
{
    showSlot(n);
    m_frame->documentChanged();
}

void IconWindow::showSlot(int n)
{
    if (n < 0 || n >= SlotCount || !m_laidOut)
        return;
    SlotControls &c = m_slots[size_t(n)];
    const IconSlot &s = m_program.slot(n);
    if (c.shownOnce && c.shown == s)
        return;
    const int left = c.back->x();
    const int top = c.back->y();

    if (s.isEmpty())
        c.image->clear();
    else
        c.image->setPixmap(slotPicture(s.kind));
    c.image->setAccessibleName(SlotName(n, s));

    if (s.mode) {
        const QStringList choices = ChoicesOf(s.kind);
        if (!c.combo) {
            c.combo = new QComboBox(m_rowArea);
            c.combo->setObjectName(QStringLiteral("Para_Combo%1").arg(n));
            c.combo->setEditable(false);
            // Three pixels wider on each side than the slider below: at the
            // program's font "フェードアウト" needs the room beside the arrow.
            c.combo->setGeometry(left + ComboInset, top + 65, 100 - 2 * ComboInset, 20);
            c.combo->setProperty(SlotProperty, n);
            c.combo->installEventFilter(this);
            connect(c.combo, &QComboBox::activated, this, [this, n](int index) {
                if (m_program.setMode(n, index))
                    refreshSlot(n);
            });
        }
        QStringList items;
        for (int i = 0; i < c.combo->count(); ++i)
            items.append(c.combo->itemText(i));
        const QSignalBlocker block(c.combo);
        if (items != choices) {
            c.combo->clear();
            c.combo->addItems(choices);
        }
        c.combo->setCurrentIndex(*s.mode);
        // Linux screen readers say a choice list's current item as its name:
        // what the list is for goes in the description too.
        const QString purpose = QStringLiteral("%1番目: %2の選択").arg(n).arg(IconCaption(s.kind));
        c.combo->setAccessibleName(purpose);
        c.combo->setAccessibleDescription(purpose);
        c.combo->show();
    } else if (c.combo) {
        delete c.combo;
        c.combo = nullptr;
    }

    if (s.value) {
        const SliderSpec spec = SliderSpecOf(s.slider());
        if (!c.slider) {
            c.caption = new QLabel(m_rowArea);
            c.caption->setObjectName(QStringLiteral("Para_Label%1").arg(n));
            c.caption->setGeometry(left + 5, top + 88, 90, 12);
            c.caption->setAutoFillBackground(true);
            QPalette white = c.caption->palette();
            white.setColor(QPalette::Window, Qt::white);
            c.caption->setPalette(white);
            QFont small = c.caption->font();
            small.setPixelSize(11);
            c.caption->setFont(small);
            c.slider = new QSlider(Qt::Horizontal, m_rowArea);
            c.slider->setObjectName(QStringLiteral("Para_TrackBar%1").arg(n));
            c.slider->setGeometry(left + 5, top + 100, 90, 20);
            c.slider->setTickPosition(QSlider::NoTicks);
            c.slider->setSingleStep(1);
            c.slider->setStyleSheet(QLatin1String(SliderStyle));
            c.slider->setProperty(SlotProperty, n);
            c.slider->installEventFilter(this);
            connect(c.slider, &QSlider::valueChanged, this, [this, n](int value) {
                if (m_program.setValue(n, value))
                    refreshSlot(n);
            });
        }
        const QSignalBlocker block(c.slider);
        c.slider->setRange(spec.min, spec.max);
        c.slider->setPageStep(spec.pageStep);
        c.slider->setValue(*s.value);
        c.caption->setText(s.caption);
        c.slider->setAccessibleName(QStringLiteral("%1番目: %2").arg(n).arg(SliderLabel(s.slider())));
        c.caption->show();
        c.slider->show();
    } else if (c.slider) {
        delete c.slider;
        delete c.caption;
        c.slider = nullptr;
        c.caption = nullptr;
    }
    c.shown = s;
    c.shownOnce = true;
}

void IconWindow::startDrag(PaletteImage *source)
{
    try {
        m_draggedKind = source->kind();
        emit dragStarted(m_draggedKind);
        auto *mime = new QMimeData;
        mime->setData(MimeType, QByteArray::number(m_draggedKind));
        QPointer<QDrag> drag = new QDrag(source);
        drag->setMimeData(mime);
        const QPixmap pixmap = slotPicture(m_draggedKind);
        if (!pixmap.isNull()) {
            drag->setPixmap(pixmap);
            drag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height() / 2));
        }
        drag->exec(Qt::CopyAction);
    } catch (const std::exception &) {
        Dialogs().warning(DragErrorMessage);
    }
}

void IconWindow::dropOnSlot(int slot, int kind)
{
    try {
        if (kind == InsertTool) {
            m_program.insert(slot);
            refreshAll();
        } else if (kind == DeleteTool) {
            m_program.deleteSlot(slot);
            refreshSlot(slot);
        } else if (IsPlaceableKind(kind)) {
            if (slotPicture(kind).isNull()) {
                Dialogs().warning(UnexpectedError);
                return;
            }
            m_program.place(slot, kind);
            refreshSlot(slot);
        }
    } catch (const std::exception &) {
        Dialogs().warning(UnexpectedError);
    }
}

bool IconWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        const QVariant slot = watched->property(SlotProperty);
        if (slot.isValid() && slot.toInt() >= 0 && slot.toInt() < SlotCount && m_slots[size_t(slot.toInt())].image) {
            m_slots[size_t(slot.toInt())].image->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void IconWindow::chooseSlot(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    m_chosenSlot = slot;
    if (SlotImage *image = m_slots[size_t(slot)].image)
        m_dropPanel->ensureWidgetVisible(image, 0, 20);
}

void IconWindow::choosePaletteKind(int kind)
{
    m_chosenKind = kind;
    const int slot = m_chosenSlot;
    dropOnSlot(slot, kind);
    // Building a row key by key: the next Enter fills the next slot.
    if (IsPlaceableKind(kind) && m_program.slot(slot).kind == kind)
        chooseSlot(std::min(slot + 1, SlotCount - 1));
}

void IconWindow::enterOnSlot(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    const SlotControls &c = m_slots[size_t(slot)];
    if (c.combo) {
        c.combo->setFocus(Qt::OtherFocusReason);
    } else if (c.slider) {
        c.slider->setFocus(Qt::OtherFocusReason);
    } else if (m_chosenKind >= 0) {
        dropOnSlot(slot, m_chosenKind);
    }
}

void IconWindow::emptySlot(int slot)
{
    dropOnSlot(slot, DeleteTool);
}

int IconWindow::slotAt(const QPoint &rowAreaPoint) const
{
    for (int n = 0; n < SlotCount; ++n) {
        const QLabel *card = m_slots[size_t(n)].back;
        if (card && card->geometry().contains(rowAreaPoint))
            return n;
    }
    return -1;
}

void IconWindow::openColourMenu(int slot, const QPoint &globalPos)
{
    const int kind = m_program.slot(slot).kind;
    if (!IsLedKind(kind))
        return;
    m_colourSlot = slot;
    const QList<QAction *> actions = m_colourMenu->actions();
    for (int i = 0; i < actions.size(); ++i)
        actions[i]->setChecked(i == kind);
    m_colourMenu->popup(globalPos);
}

QScrollArea *IconWindow::dropPanel() const
{
    return m_dropPanel;
}

void IconWindow::markRunning(int slot)
{
    m_runningSlot = slot;
    if (!m_runningMark) {
        m_runningMark = new QLabel(m_rowArea);
        m_runningMark->setObjectName(QStringLiteral("RunningMark"));
        m_runningMark->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_runningMark->setStyleSheet(QStringLiteral("border: 4px solid #f08a24; border-radius: 10px;"));
    }
    if (slot < 0 || !m_slots[size_t(slot)].back) {
        m_runningMark->hide();
        return;
    }
    m_runningMark->setGeometry(m_slots[size_t(slot)].back->geometry().adjusted(2, 2, -2, -2));
    m_runningMark->raise();
    m_runningMark->show();
    m_dropPanel->ensureWidgetVisible(m_runningMark, 0, 0);
}

} // namespace koru::icons
