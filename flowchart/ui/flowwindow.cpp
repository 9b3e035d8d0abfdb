#include "flowchart/ui/flowwindow.h"

#include "flowchart/flowfile.h"
#include "flowchart/flowtranslate.h"
#include "flowchart/readback.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowundo.h"
#include "flowchart/ui/parametereditor.h"
#include "flowchart/flowgeometry.h"
#include "link/ui/kitcommands.h"
#include "model/caption.h"
#include "model/catalogue.h"
#include "model/dialogservice.h"
#include "model/filecommands.h"
#include "model/helppage.h"
#include "model/paths.h"
#include "model/previewrequest.h"
#include "model/reportrequest.h"
#include "model/textutil.h"
#include "widgets/windowplacement.h"
#include "widgets/kitpanels.h"
#include "widgets/sentdataviewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDrag>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QUndoStack>
#include <QWheelEvent>

#include <exception>

namespace koru::flow {

const QString FlowWindow::MimeType = QStringLiteral("application/x-koru-flow-kind");
const QString FlowWindow::ClearQuestion = QStringLiteral("プログラムを全て消去します。よろしいですか？");
const QString FlowWindow::CloseQuestion = QStringLiteral("画面を閉じるとプログラムは消去されます。\r\nよろしいですか？");

namespace {

constexpr int ColumnWidth = 206;
constexpr int MinimumWidth = 780;
constexpr int MinimumHeight = 750;
constexpr int WheelStep = 32;

// Palette pictures: left, top, width, height (index order).
const QRect PalettePlaces[] = {
    {16, 72, 74, 45},  {113, 72, 74, 45},  {16, 123, 80, 40}, {113, 123, 80, 40},
    {16, 168, 80, 40}, {113, 168, 80, 40}, {16, 214, 80, 40}, {113, 214, 80, 40},
    {16, 259, 80, 40}, {113, 259, 80, 40}, {16, 304, 80, 40}, {113, 304, 80, 40},
};

QFont WindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    return font;
}

bool IsStartOrEnd(const QString &kind)
{
    return kind == QLatin1String("start") || kind == QLatin1String("end");
}

// The left column's white background with its three framed areas.
class LeftColumn : public QWidget
{
public:
    explicit LeftColumn(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("LeftColumn"));
        setFixedWidth(ColumnWidth);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        const struct
        {
            QRect frame;
            const char16_t *caption;
        } areas[] = {{{3, 7, 200, 40}, u"ルーチン"}, {{3, 57, 200, 296}, u"コマンド"}, {{3, 359, 200, 280}, u"パラメータ"}};
        for (const auto &area : areas) {
            painter.setPen(QPen(QColor(0x9a, 0xa8, 0xb6), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(area.frame).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
            const QString caption = QString::fromUtf16(area.caption);
            const QRect text(area.frame.left() + 8, area.frame.top() - 7, fontMetrics().horizontalAdvance(caption) + 6, 14);
            painter.fillRect(text, Qt::white);
            painter.setPen(QColor(0x33, 0x3d, 0x47));
            painter.drawText(text, Qt::AlignCenter, caption);
        }
    }
};

} // namespace

FlowWindow::FlowWindow(const EditorContext &context, BlockParameterWindow &parameterWindow, QWidget *parent)
    : QMainWindow(parent), m_context(context), m_parameterWindow(parameterWindow)
{
    setObjectName(QStringLiteral("FlowWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WindowCaption());
    setFont(WindowFont());
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setMinimumSize(MinimumWidth, 680);

    m_undo = new QUndoStack(this);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto *column = new LeftColumn(central);
    buildLeftColumn(column);
    layout->addWidget(column);

    m_dropPanel = new QScrollArea(central);
    m_dropPanel->setObjectName(QStringLiteral("DropPanel"));
    m_dropPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dropPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_dropPanel->setFrameShape(QFrame::StyledPanel);
    m_dropPanel->setWidgetResizable(false);
    m_canvas = new FlowCanvas(this, nullptr);
    m_dropPanel->setWidget(m_canvas);
    m_dropPanel->viewport()->installEventFilter(this);
    layout->addWidget(m_dropPanel, 1);
    setCentralWidget(central);

    m_playingPanel = new PlayingPanel(this);
    m_getDataPanel = new GetDataPanel(this);

    m_blockMenu = new QMenu(this);
    m_blockMenu->setObjectName(QStringLiteral("BlockMenu"));
    m_blockMenu->addAction(QStringLiteral("命令の削除"), this, &FlowWindow::deleteSelection);
    m_blockMenu->addSeparator();
    m_blockMenu->addAction(QStringLiteral("矢印を消す"), this, &FlowWindow::removeArrows);
    m_blockMenu->addSeparator();
    m_blockMenu->addAction(QStringLiteral("コピー"), this, &FlowWindow::copySelection);
    m_blockMenu->addAction(QStringLiteral("貼り付け"), this, &FlowWindow::paste);
    m_blockMenu->addSeparator();
    QMenu *horizontal = m_blockMenu->addMenu(QStringLiteral("水平方向位置揃え"));
    horizontal->addAction(QStringLiteral("左揃え"), this, [this] { align(Alignment::Left); });
    horizontal->addAction(QStringLiteral("中央揃え"), this, [this] { align(Alignment::CentreHorizontal); });
    horizontal->addAction(QStringLiteral("右揃え"), this, [this] { align(Alignment::Right); });
    horizontal->addSeparator();
    horizontal->addAction(QStringLiteral("均等揃え"), this, [this] { align(Alignment::SpreadHorizontal); });
    QMenu *vertical = m_blockMenu->addMenu(QStringLiteral("垂直方向位置揃え"));
    vertical->addAction(QStringLiteral("上揃え"), this, [this] { align(Alignment::Top); });
    vertical->addAction(QStringLiteral("中央揃え"), this, [this] { align(Alignment::CentreVertical); });
    vertical->addAction(QStringLiteral("下揃え"), this, [this] { align(Alignment::Bottom); });
    vertical->addSeparator();
    vertical->addAction(QStringLiteral("均等揃え"), this, [this] { align(Alignment::SpreadVertical); });

    // The empty canvas has no menu of its own; undo and redo are offered
    // there so that a pupil finds them.
    m_canvasMenu = new QMenu(this);
    m_canvasMenu->setObjectName(QStringLiteral("CanvasMenu"));
    QAction *undoItem = m_canvasMenu->addAction(QStringLiteral("元に戻す"), this, &FlowWindow::undo);
    QAction *redoItem = m_canvasMenu->addAction(QStringLiteral("やり直し"), this, &FlowWindow::redo);
    m_canvasMenu->addSeparator();
    m_canvasMenu->addAction(QStringLiteral("貼り付け"), this, &FlowWindow::paste);
    undoItem->setEnabled(false);
    redoItem->setEnabled(false);
    connect(m_undo, &QUndoStack::canUndoChanged, undoItem, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redoItem, &QAction::setEnabled);

    // Keys that do what the pop-up menu does, and undo/redo.
    auto key = [this](const QList<QKeySequence> &keys, void (FlowWindow::*slot)()) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    key({QKeySequence(Qt::Key_Delete)}, &FlowWindow::deleteSelection);
    key({QKeySequence(Qt::CTRL | Qt::Key_C)}, &FlowWindow::copySelection);
    key({QKeySequence(Qt::CTRL | Qt::Key_V)}, &FlowWindow::paste);
    key({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &FlowWindow::undo);
    key({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, &FlowWindow::redo);

    buildMenus();
    m_kit = new KitCommands(ReplyRole::Flowchart, m_context.kit, m_context.transferWindow,
                            {this, [this](bool on) { setCommandsEnabled(on); }, m_playingPanel, m_getDataPanel}, this);
    qApp->installEventFilter(this);
}

FlowWindow::~FlowWindow()
{
    qApp->removeEventFilter(this);
}

void FlowWindow::buildLeftColumn(QWidget *column)
{
    m_routineCombo = new QComboBox(column);
    m_routineCombo->setObjectName(QStringLiteral("Routine_Combo"));
    m_routineCombo->setGeometry(8, 18, 190, 22);
    m_routineCombo->addItems(RoutineNames());
    connect(m_routineCombo, &QComboBox::activated, this, &FlowWindow::showRoutine);

    for (int i = 0; i < 12; ++i) {
        auto *image = new PaletteImage(i, this, column);
        image->setGeometry(PalettePlaces[i]);
        image->setPixmap(m_pictures.palette(i));
    }

    m_panel = new ParameterEditor(ParameterPlace::Panel, column);
    m_panel->move(7, 369);
    connect(m_panel, &ParameterEditor::confirmed, this, &FlowWindow::panelConfirmed);
}

void FlowWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    // The captions' ideographic spaces are wide: narrow item margins keep
    // every item on the bar at the smallest window width.
    bar->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; }"
                                      " QMenuBar::item { padding: 3px 1px; background: transparent; }"
                                      " QMenuBar::item:selected { background: #d6e8fa; }"));
    QMenu *load = bar->addMenu(QStringLiteral("　　　読み込み　　　"));
    QMenu *demos = load->addMenu(QStringLiteral("デモ読み込み"));
    const QStringList demoNames{QStringLiteral("デモ１"), QStringLiteral("デモ２"), QStringLiteral("デモ３"),
                                QStringLiteral("デモ４")};
    for (int n = 1; n <= FlowDemoCount; ++n)
        demos->addAction(demoNames.at(n - 1), this, [this, n] { loadDemo(n); });
    load->addAction(QStringLiteral("保存ファイルの読み込み"), this, &FlowWindow::openFile);
    load->addAction(QStringLiteral("送信済データの読み込み"), this, &FlowWindow::readBack);
    bar->addAction(QStringLiteral("ファイルへ保存"), this, &FlowWindow::saveFile);
    bar->addAction(QStringLiteral("　　全削除　　"), this, &FlowWindow::clearAll);
    m_transferAction = bar->addAction(QStringLiteral("　　転送(F6)　　"), this, &FlowWindow::transfer);
    m_transferAction->setShortcut(QKeySequence(Qt::Key_F6));
    m_runAction = bar->addAction(QStringLiteral("　　実行(F7)　　"), this, &FlowWindow::run);
    m_runAction->setShortcut(QKeySequence(Qt::Key_F7));
    addAction(m_transferAction);
    addAction(m_runAction);
    bar->addAction(QStringLiteral("　プレビュー　"), this, &FlowWindow::preview);
    bar->addAction(QStringLiteral("レポート作成　"), this, &FlowWindow::makeReport);
    bar->addAction(QStringLiteral("送信データ表示"), this, &FlowWindow::showSentData);
    bar->addAction(QStringLiteral("ヘルプ"), this, &FlowWindow::openHelp);
}

void FlowWindow::placeWindow()
{
    PlaceEditorWindow(this, QSize(MinimumWidth, MinimumHeight));
}

void FlowWindow::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        placeWindow();
        closePanel();
        setSelection({});
        setCommandsEnabled(true);
        m_canvas->setFocus();
        if (!m_pictures.missing().isEmpty())
            Dialogs().warning(UnexpectedError);
    }
    QMainWindow::showEvent(event);
}

bool FlowWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_dropPanel->viewport()) {
        m_canvas->resize(std::max(int(FlowCanvas::MinimumWidth), m_dropPanel->viewport()->width()),
                         FlowCanvas::SurfaceHeight);
    } else if (event->type() == QEvent::Wheel) {
        // Every wheel turn over the window scrolls the canvas 32 pixels a step.
        auto *widget = qobject_cast<QWidget *>(watched);
        const auto *wheel = static_cast<QWheelEvent *>(event);
        // A turn that a control ignores travels up to its parents: count it once.
        const bool seen = wheel == m_lastWheel && wheel->timestamp() == m_lastWheelTime;
        if (widget && widget->window() == this && !seen) {
            m_lastWheel = wheel;
            m_lastWheelTime = wheel->timestamp();
            const int steps = wheel->angleDelta().y() / 120;
            const int direction = steps != 0 ? steps : (wheel->angleDelta().y() > 0 ? 1 : wheel->angleDelta().y() < 0 ? -1 : 0);
            QScrollBar *bar = m_dropPanel->verticalScrollBar();
            bar->setValue(bar->value() - direction * WheelStep);
            m_canvas->update();
            // The canvas would scroll once more by itself; other controls get the turn.
            return m_dropPanel->isAncestorOf(widget) || widget == m_dropPanel;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

int FlowWindow::scrollY() const
{
    return m_dropPanel->verticalScrollBar()->value();
}

void FlowWindow::repaintCanvas()
{
    m_canvas->update();
}

// ---- Routines, selection, panel --------------------------------------------

void FlowWindow::showRoutine(int routine)
{
    if (!FlowDocument::isValidRoutine(routine))
        return;
    closePanel();
    m_doc.state().currentRoutine = routine;
    m_doc.state().selection.clear();
    {
        const QSignalBlocker block(m_routineCombo);
        m_routineCombo->setCurrentIndex(routine);
    }
    m_dropPanel->verticalScrollBar()->setValue(0);
    m_canvas->update();
}

void FlowWindow::setSelection(const QList<int> &slotList)
{
    m_doc.state().selection = slotList;
    m_canvas->update();
}

void FlowWindow::openPanel(int slot)
{
    const int routine = currentRoutine();
    if (!m_doc.isOccupied(routine, slot))
        return;
    const FlowBlock &b = m_doc.block(routine, slot);
    if (IsStartOrEnd(b.kind))
        return;
    m_doc.state().panelOwner = int(ProgramKeywords().indexOf(b.kind));
    m_doc.state().panelSubKind = OfferedPositionOf(b.kind, SubKindOf(b.params));
    m_panelSlot = slot;
    m_panel->openStored(b.kind, b.params);
}

void FlowWindow::closePanel()
{
    m_panel->closeControls();
    m_doc.state().panelOwner = -1;
    m_panelSlot = NoSlot;
}

void FlowWindow::panelConfirmed(const QString &params)
{
    const int routine = currentRoutine();
    const int slot = m_panelSlot;
    const FlowDocument before = m_doc;
    const EditResult result = ChangeParams(m_doc, routine, slot, params);
    if (!result.ok())
        Dialogs().warning(result.message);
    closePanel();
    setSelection({});
    commit(QStringLiteral("パラメータ"), before);
}

// ---- Undo ------------------------------------------------------------------

void FlowWindow::commit(const QString &text, const FlowDocument &before, int mergeId)
{
    m_canvas->update();
    if (before == m_doc)
        return;
    m_undo->push(new SnapshotCommand(text, before, m_doc, currentRoutine(),
                                     [this](const FlowDocument &doc, int routine) { restore(doc, routine); }, mergeId));
}

void FlowWindow::restore(const FlowDocument &document, int routine)
{
    const FlowEditState state = m_doc.state();
    m_doc = document;
    m_doc.state() = state;
    m_doc.state().selection.clear();
    if (routine != currentRoutine())
        showRoutine(routine);
    closePanel();
    m_canvas->update();
}

void FlowWindow::undo()
{
    if (m_parameterWindow.isVisible())
        return;
    m_undo->undo();
}

void FlowWindow::redo()
{
    if (m_parameterWindow.isVisible())
        return;
    m_undo->redo();
}

// ---- Drops -----------------------------------------------------------------

void FlowWindow::startDrag(PaletteImage *source)
{
    try {
        emit dragStarted(source->paletteIndex());
        auto *mime = new QMimeData;
        mime->setData(MimeType, QByteArray::number(source->paletteIndex()));
        QPointer<QDrag> drag = new QDrag(source);
        drag->setMimeData(mime);
        const QPixmap pixmap = m_pictures.palette(source->paletteIndex());
        if (!pixmap.isNull()) {
            drag->setPixmap(pixmap);
            drag->setHotSpot(QPoint(0, 0)); // the point becomes the block's corner
        }
        drag->exec(Qt::CopyAction);
    } catch (const std::exception &) {
        Dialogs().warning(UnexpectedError);
    }
}

void FlowWindow::dropPalette(int paletteIndex, QPoint canvasPoint)
{
    if (paletteIndex < 0 || paletteIndex >= 12 || m_parameterWindow.isVisible())
        return;
    try {
        const int target = m_doc.blockAt(currentRoutine(), canvasPoint);
        if (target != NoSlot)
            replaceBlock(target, paletteIndex);
        else
            newBlock(paletteIndex, canvasPoint);
    } catch (const std::exception &) {
        Dialogs().warning(UnexpectedError);
    }
}

void FlowWindow::openParameterWindow(int slot, const QString &kind, std::function<void(const QString &)> done)
{
    const FlowBlock &b = m_doc.block(currentRoutine(), slot);
    QWidget *viewport = m_dropPanel->viewport();
    const QPoint place = ParameterWindowPlace(QPoint(b.x, b.y - scrollY()),
                                              QSize(BlockParameterWindow::WindowWidth, BlockParameterWindow::WindowHeight),
                                              viewport->size());
    m_parameterWindow.open(kind, viewport->mapToGlobal(place), std::move(done));
}

void FlowWindow::newBlock(int paletteIndex, QPoint canvasPoint)
{
    const int routine = currentRoutine();
    const FlowDocument before = m_doc;
    const EditResult dropped = DropNewBlock(m_doc, routine, paletteIndex, canvasPoint);
    if (!dropped.ok()) {
        Dialogs().warning(dropped.message);
        return;
    }
    closePanel();
    setSelection({});
    const int slot = dropped.slot;
    auto finish = [self = QPointer<FlowWindow>(this), routine, slot, before](const QString &params) {
        if (!self)
            return;
        const EditResult confirmed = ConfirmNewBlock(self->m_doc, routine, slot, params);
        if (!confirmed.ok())
            Dialogs().warning(confirmed.message);
        self->commit(QStringLiteral("配置"), before);
    };
    const QString kind = m_doc.block(routine, slot).kind;
    if (IsStartOrEnd(kind)) {
        finish({});
        return;
    }
    m_canvas->update(); // the palette picture stands there while the window is open
    openParameterWindow(slot, kind, finish);
}

void FlowWindow::replaceBlock(int slot, int paletteIndex)
{
    const int routine = currentRoutine();
    const QString refusal = ReplaceRefusal(m_doc, routine, paletteIndex);
    if (!refusal.isEmpty()) {
        Dialogs().warning(refusal);
        return;
    }
    closePanel();
    const FlowDocument before = m_doc;
    auto finish = [self = QPointer<FlowWindow>(this), routine, slot, paletteIndex, before](const QString &params) {
        if (!self)
            return;
        const EditResult replaced = ReplaceBlock(self->m_doc, routine, slot, paletteIndex, params);
        if (!replaced.ok())
            Dialogs().warning(replaced.message);
        self->setSelection({});
        self->commit(QStringLiteral("置き換え"), before);
    };
    const QString kind = KindNameOf(QString::number(paletteIndex));
    if (IsStartOrEnd(kind))
        finish({});
    else
        openParameterWindow(slot, kind, finish);
}

// ---- Canvas gestures ---------------------------------------------------------

void FlowWindow::linkArrow(bool side, int source, QPoint canvasPoint)
{
    const FlowDocument before = m_doc;
    if (side)
        m_doc.linkSideAt(currentRoutine(), source, canvasPoint);
    else
        m_doc.linkBottomAt(currentRoutine(), source, canvasPoint);
    commit(QStringLiteral("矢印"), before);
}

void FlowWindow::finishMove(const FlowDocument &before)
{
    commit(QStringLiteral("移動"), before);
}

void FlowWindow::openBlockMenu(const QPoint &globalPos)
{
    m_blockMenu->popup(globalPos);
}

void FlowWindow::openCanvasMenu(const QPoint &globalPos)
{
    m_canvasMenu->popup(globalPos);
}

// ---- Block menu ------------------------------------------------------------

void FlowWindow::deleteSelection()
{
    if (m_doc.state().selection.isEmpty())
        return;
    const FlowDocument before = m_doc;
    m_doc.removeBlocks(currentRoutine(), m_doc.state().selection);
    closePanel();
    setSelection({});
    commit(QStringLiteral("削除"), before);
}

void FlowWindow::removeArrows()
{
    const int slot = m_doc.state().currentBlock;
    if (!m_doc.isOccupied(currentRoutine(), slot))
        return;
    const FlowDocument before = m_doc;
    m_doc.removeArrows(currentRoutine(), slot);
    commit(QStringLiteral("矢印を消す"), before);
}

void FlowWindow::copySelection()
{
    m_doc.state().clipboard = m_doc.state().selection;
    m_clipboardRoutine = currentRoutine();
}

void FlowWindow::paste()
{
    const QList<int> clipboard = m_doc.state().clipboard;
    if (clipboard.isEmpty())
        return;
    const FlowDocument before = m_doc;
    const PasteResult result = PasteBlocks(m_doc, currentRoutine(), clipboard, m_clipboardRoutine);
    if (!result.message.isEmpty())
        Dialogs().warning(result.message);
    closePanel();
    setSelection(result.pasted);
    commit(QStringLiteral("貼り付け"), before);
}

void FlowWindow::align(Alignment alignment)
{
    const FlowDocument before = m_doc;
    AlignBlocks(m_doc, currentRoutine(), m_doc.state().selection, alignment);
    setSelection({});
    commit(QStringLiteral("位置揃え"), before);
}

// ---- Files -----------------------------------------------------------------

void FlowWindow::afterLoad()
{
    closePanel();
    showRoutine(0);
}

void FlowWindow::loadDemo(int number)
{
    const FlowDocument before = m_doc;
    ShowFileResult(LoadFlowDemo(m_doc, number).toFileResult());
    afterLoad();
    commit(QStringLiteral("デモ読み込み"), before);
}

void FlowWindow::openFile()
{
    const FlowDocument before = m_doc;
    const std::optional<QString> path =
        OpenProgramCommand(FlowFiles, [this](const QString &file) { return LoadFlowFile(m_doc, file).toFileResult(); });
    if (m_doc == before && !path)
        return; // cancelled or refused
    afterLoad();
    commit(QStringLiteral("読み込み"), before);
    setFileCaption(path.value_or(QString())); // a failed load has emptied the document: no file name then
}

void FlowWindow::saveFile()
{
    ListingResult listing;
    const QStringList lines = FlowFileLines(m_doc, &listing);
    if (const std::optional<QString> path = SaveProgramCommand(FlowFiles, lines, listing.warning))
        setFileCaption(*path);
}

void FlowWindow::setFileCaption(const QString &path)
{
    setWindowTitle(WindowCaption(path));
}

void FlowWindow::clearAll()
{
    if (!Dialogs().question(ClearQuestion))
        return;
    const FlowDocument before = m_doc;
    m_doc.clear();
    setFileCaption({});
    afterLoad();
    commit(QStringLiteral("全削除"), before);
}

// ---- The kit, preview, report, viewer ---------------------------------------

void FlowWindow::setCommandsEnabled(bool enabled)
{
    m_transferAction->setEnabled(enabled);
    m_runAction->setEnabled(enabled);
}

QWidget *FlowWindow::playingPanel() const
{
    return m_playingPanel;
}

QWidget *FlowWindow::getDataPanel() const
{
    return m_getDataPanel;
}

void FlowWindow::transfer()
{
    if (!m_transferAction->isEnabled())
        return;
    const ImageResult built = BuildDeviceImage(m_doc);
    if (!built.ok()) {
        Dialogs().warning(built.check.message);
        return;
    }
    m_kit->transfer(ImageTexts(built.image));
}

void FlowWindow::run()
{
    if (!m_runAction->isEnabled())
        return;
    m_kit->run();
}

void FlowWindow::preview()
{
    const ImageResult built = BuildDeviceImage(m_doc);
    if (!built.ok()) {
        Dialogs().warning(built.check.message);
        return;
    }
    PreviewRequest request;
    request.image = ImageTexts(built.image);
    request.over = frameGeometry();
    request.running = [self = QPointer<FlowWindow>(this)](int address) {
        if (self)
            self->markRunning(address);
    };
    if (!RequestPreview(request))
        Dialogs().information(NotAvailableMessage);
}

void FlowWindow::markRunning(int address)
{
    m_running = {-1, -1};
    if (address >= 0) {
        for (int r = 0; r < RoutineCount && m_running.first < 0; ++r) {
            for (int s : m_doc.occupiedSlots(r)) {
                if (m_doc.byteAddress(r, s) == address) {
                    m_running = {r, s};
                    break;
                }
            }
        }
    }
    if (m_running.first >= 0) {
        if (m_running.first != currentRoutine())
            showRoutine(m_running.first);
        const FlowBlock &b = m_doc.block(m_running.first, m_running.second);
        m_dropPanel->ensureVisible(b.x + BlockWidth / 2, b.y + BlockHeight / 2, BlockWidth, BlockHeight);
    }
    m_canvas->update();
}

void FlowWindow::makeReport()
{
    if (!WriteReportPictures(m_doc, m_pictures, ReportPictureFolder()))
        Dialogs().warning(SaveFailed);
    showRoutine(0);
    if (!RequestReport({{}, RoutineReportKind, frameGeometry()}))
        Dialogs().information(NotAvailableMessage);
}

void FlowWindow::showSentData()
{
    const ListingResult listing = BuildCommandListing(m_doc);
    if (!listing.warning.isEmpty())
        Dialogs().warning(listing.warning);
    if (listing.listing.isEmpty()) {
        if (!listing.failedOnCycle())
            Dialogs().warning(ListingUnavailableMessage());
        return;
    }
    SentDataViewer &viewer = *m_context.viewer;
    viewer.setListing(listing.listing);
    viewer.showOver(this);
}

void FlowWindow::readBack()
{
    QPointer<FlowWindow> self(this);
    constexpr int ReadBackStep = 1; // the emptying and the filling are one undo step
    m_kit->readBack(
        [self] {
            if (!self)
                return;
            const FlowDocument before = self->m_doc;
            self->m_doc.clear();
            self->setFileCaption({});
            self->afterLoad();
            self->commit(QStringLiteral("送信済データの読み込み"), before, ReadBackStep);
        },
        [self](const QStringList &lines) {
            if (!self)
                return;
            const FlowDocument before = self->m_doc;
            const ReadbackResult result = RebuildFromMemory(self->m_doc, lines);
            if (!result.message.isEmpty())
                Dialogs().warning(result.message);
            self->afterLoad();
            self->commit(QStringLiteral("送信済データの読み込み"), before, ReadBackStep);
        },
        true);
}

void FlowWindow::openHelp()
{
    OpenHelpPage(QStringLiteral("HTML\\Navi\\KORUnavi.html"));
}

void FlowWindow::closeEvent(QCloseEvent *event)
{
    // The parameter window waits for its "OK"; a transfer or read-back
    // finishes within seconds.
    if (m_parameterWindow.isVisible() || m_kit->sending() || m_kit->readingBack()) {
        event->ignore();
        return;
    }
    if (m_doc.blockCount() > 0) {
        if (!Dialogs().question(CloseQuestion)) {
            event->ignore();
            return;
        }
        m_doc.clear();
    }
    event->accept();
    emit closed();
}

} // namespace koru::flow
