#include "flowchart/ui/flowwindow.h"

#include "flowchart/flowfile.h"
#include "flowchart/flowspoken.h"
#include "flowchart/flowtranslate.h"
#include "flowchart/readback.h"
#include "flowchart/ui/flowcanvas.h"
#include "flowchart/ui/flowundo.h"
#include "flowchart/ui/parametereditor.h"
#include "flowchart/flowgeometry.h"
#include "model/catalogue.h"
#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/reportrequest.h"
#include "model/textutil.h"
#include "widgets/placement.h"

#include <QAction>
#include <QApplication>
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

namespace {

constexpr int ColumnWidth = 206;
constexpr int MinimumWidth = 780;
constexpr int MinimumHeight = 750;

// Palette pictures: left, top, width, height (index order).
const QRect PalettePlaces[] = {
    {16, 72, 74, 45},  {113, 72, 74, 45},  {16, 123, 80, 40}, {113, 123, 80, 40},
    {16, 168, 80, 40}, {113, 168, 80, 40}, {16, 214, 80, 40}, {113, 214, 80, 40},
    {16, 259, 80, 40}, {113, 259, 80, 40}, {16, 304, 80, 40}, {113, 304, 80, 40},
};

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
    : QMainWindow(parent), m_parameterWindow(parameterWindow)
{
    setObjectName(QStringLiteral("FlowWindow"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setMinimumSize(MinimumWidth, 680);

    m_undo = new QUndoStack(this);
    m_editor = new FlowEditor(this);
    m_frame = new EditorFrame(this, context, editorDocument());
    connect(m_frame, &EditorFrame::closed, this, &FlowWindow::closed);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto *column = new LeftColumn(central);
    buildLeftColumn(column);
    layout->addWidget(column);

    auto *scroller = new CanvasScroller(central);
    m_dropPanel = scroller;
    m_canvas = new FlowCanvas(m_editor, &m_pictures, nullptr);
    scroller->setWidget(m_canvas);
    layout->addWidget(scroller, 1);
    setCentralWidget(central);

    buildEditMenus();
    connectEditor();
    m_frame->setKeyboardStart(m_canvas);
    QList<MenuEntry> demos;
    const QStringList demoNames{QStringLiteral("デモ１"), QStringLiteral("デモ２"), QStringLiteral("デモ３"),
                                QStringLiteral("デモ４")};
    for (int n = 1; n <= FlowDemoCount; ++n)
        demos.append({.caption = demoNames.at(n - 1), .command = FrameCommand::Demo, .demo = n});
    m_frame->buildMenus({
        {.caption = QStringLiteral("　　　読み込み　　　"),
         .items = {{.caption = QStringLiteral("デモ読み込み"), .items = demos},
                   {.caption = QStringLiteral("保存ファイルの読み込み"), .command = FrameCommand::Open},
                   {.caption = QStringLiteral("送信済データの読み込み"), .command = FrameCommand::ReadBack}}},
        {.caption = QStringLiteral("ファイルへ保存"), .command = FrameCommand::Save},
        {.caption = QStringLiteral("　　全削除　　"), .command = FrameCommand::Clear},
        {.caption = QStringLiteral("　　転送(F6)　　"), .command = FrameCommand::Transfer},
        {.caption = QStringLiteral("　　実行(F7)　　"), .command = FrameCommand::Run},
        {.caption = QStringLiteral("　プレビュー　"), .command = FrameCommand::Preview},
        {.caption = QStringLiteral("レポート作成　"), .command = FrameCommand::Report},
        {.caption = QStringLiteral("送信データ表示"), .command = FrameCommand::SentData},
        {.caption = QStringLiteral("ヘルプ"), .command = FrameCommand::Help},
    });
}

FlowWindow::~FlowWindow() = default;

const FlowDocument &FlowWindow::document() const
{
    return m_editor->document();
}

void FlowWindow::buildEditMenus()
{
    FlowEditor *e = m_editor;
    m_blockMenu = new QMenu(this);
    m_blockMenu->setObjectName(QStringLiteral("BlockMenu"));
    m_blockMenu->addAction(QStringLiteral("命令の削除"), e, &FlowEditor::deleteSelection);
    m_blockMenu->addSeparator();
    m_blockMenu->addAction(QStringLiteral("矢印を消す"), e, &FlowEditor::removeArrows);
    m_blockMenu->addSeparator();
    m_blockMenu->addAction(QStringLiteral("コピー"), e, &FlowEditor::copySelection);
    m_blockMenu->addAction(QStringLiteral("貼り付け"), e, &FlowEditor::paste);
    m_blockMenu->addSeparator();
    QMenu *horizontal = m_blockMenu->addMenu(QStringLiteral("水平方向位置揃え"));
    horizontal->addAction(QStringLiteral("左揃え"), e, [e] { e->align(Alignment::Left); });
    horizontal->addAction(QStringLiteral("中央揃え"), e, [e] { e->align(Alignment::CentreHorizontal); });
    horizontal->addAction(QStringLiteral("右揃え"), e, [e] { e->align(Alignment::Right); });
    horizontal->addSeparator();
    horizontal->addAction(QStringLiteral("均等揃え"), e, [e] { e->align(Alignment::SpreadHorizontal); });
    QMenu *vertical = m_blockMenu->addMenu(QStringLiteral("垂直方向位置揃え"));
    vertical->addAction(QStringLiteral("上揃え"), e, [e] { e->align(Alignment::Top); });
    vertical->addAction(QStringLiteral("中央揃え"), e, [e] { e->align(Alignment::CentreVertical); });
    vertical->addAction(QStringLiteral("下揃え"), e, [e] { e->align(Alignment::Bottom); });
    vertical->addSeparator();
    vertical->addAction(QStringLiteral("均等揃え"), e, [e] { e->align(Alignment::SpreadVertical); });

    // The empty canvas has no menu of its own; undo and redo are offered
    // there so that a pupil finds them.
    m_canvasMenu = new QMenu(this);
    m_canvasMenu->setObjectName(QStringLiteral("CanvasMenu"));
    QAction *undoItem = m_canvasMenu->addAction(QStringLiteral("元に戻す"), this, &FlowWindow::undo);
    QAction *redoItem = m_canvasMenu->addAction(QStringLiteral("やり直し"), this, &FlowWindow::redo);
    m_canvasMenu->addSeparator();
    m_canvasMenu->addAction(QStringLiteral("貼り付け"), e, &FlowEditor::paste);
    undoItem->setEnabled(false);
    redoItem->setEnabled(false);
    connect(m_undo, &QUndoStack::canUndoChanged, undoItem, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redoItem, &QAction::setEnabled);

    // Keys that do what the pop-up menu does, and undo/redo.
    auto key = [this](const QList<QKeySequence> &keys, auto *receiver, auto slot) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, receiver, slot);
        addAction(action);
    };
    key({QKeySequence(Qt::Key_Delete)}, e, &FlowEditor::deleteSelection);
    key({QKeySequence(Qt::CTRL | Qt::Key_C)}, e, &FlowEditor::copySelection);
    key({QKeySequence(Qt::CTRL | Qt::Key_V)}, e, &FlowEditor::paste);
    key({QKeySequence(Qt::CTRL | Qt::Key_Z)}, this, &FlowWindow::undo);
    key({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, this, &FlowWindow::redo);
}

void FlowWindow::connectEditor()
{
    FlowEditor *e = m_editor;
    FlowCanvas *c = m_canvas;
    connect(c, &FlowCanvas::paletteDropped, e, &FlowEditor::dropPalette);
    connect(c, &FlowCanvas::blockPressed, e, &FlowEditor::pressBlock);
    connect(c, &FlowCanvas::backgroundPressed, e, &FlowEditor::pressBackground);
    connect(c, &FlowCanvas::moveStarted, e, &FlowEditor::beginMove);
    connect(c, &FlowCanvas::selectionDragged, e, &FlowEditor::moveSelection);
    connect(c, &FlowCanvas::moveFinished, e, &FlowEditor::finishMove);
    connect(c, &FlowCanvas::arrowDrawn, e, &FlowEditor::linkArrow);
    connect(c, &FlowCanvas::bandReleased, e, &FlowEditor::selectWithin);
    connect(c, &FlowCanvas::blockClicked, e, &FlowEditor::clickBlock);
    connect(c, &FlowCanvas::blockMenuRequested, m_blockMenu, [this](QPoint at) { m_blockMenu->popup(at); });
    connect(c, &FlowCanvas::canvasMenuRequested, m_canvasMenu, [this](QPoint at) { m_canvasMenu->popup(at); });
    connect(c, &FlowCanvas::arrowKey, this, &FlowWindow::arrowKey);
    connect(c, &FlowCanvas::enterKey, e, &FlowEditor::openSelected);
    connect(c, &FlowCanvas::insertKey, this, [this] { m_editor->placeBelow(m_chosenPalette); });
    // The focus frame is drawn on the visible part of the canvas.
    connect(m_dropPanel->verticalScrollBar(), &QScrollBar::valueChanged, c, [c] {
        if (c->hasFocus())
            c->update();
    });

    connect(e, &FlowEditor::changed, c, qOverload<>(&QWidget::update));
    connect(e, &FlowEditor::changed, m_frame, &EditorFrame::documentChanged);
    connect(e, &FlowEditor::routineShown, m_frame, &EditorFrame::documentChanged);
    connect(e, &FlowEditor::routineShown, this, [this](int routine) {
        const QSignalBlocker block(m_routineCombo);
        m_routineCombo->setCurrentIndex(routine);
        m_dropPanel->verticalScrollBar()->setValue(0);
    });
    connect(e, &FlowEditor::panelOpened, m_panel, &ParameterEditor::openStored);
    connect(e, &FlowEditor::panelClosed, m_panel, &ParameterEditor::closeControls);
    connect(m_panel, &ParameterEditor::confirmed, e, &FlowEditor::confirmPanel);
    connect(m_routineCombo, &QComboBox::activated, e, &FlowEditor::showRoutine);
    connect(e, &FlowEditor::parametersWanted, this, &FlowWindow::openParameterWindow);
    connect(e, &FlowEditor::budgetExceeded, m_frame,
            [this](const BudgetPart &wouldBe) { m_frame->showBudgetRefusal(BudgetRefusalText(wouldBe)); });
    connect(e, &FlowEditor::stepMade, this, [this](const FlowStep &step) {
        m_undo->push(new SnapshotCommand(step.text, step.before, step.after, step.routine,
                                         [this](const FlowDocument &doc, int routine) { m_editor->restore(doc, routine); },
                                         step.mergeId));
    });
}

void FlowWindow::buildLeftColumn(QWidget *column)
{
    m_routineCombo = new QComboBox(column);
    m_routineCombo->setObjectName(QStringLiteral("Routine_Combo"));
    m_routineCombo->setGeometry(8, 18, 190, 22);
    m_routineCombo->addItems(RoutineNames());

    for (int i = 0; i < 12; ++i) {
        auto *image = new PaletteImage(i, column);
        image->setGeometry(PalettePlaces[i]);
        image->setPixmap(m_pictures.palette(i));
        connect(image, &DragSourcePicture::dragRequested, this, [this, image] { startDrag(image); });
        connect(image, &DragSourcePicture::chosen, this, [this, i] {
            m_chosenPalette = i;
            m_editor->placeBelow(i);
            showSelection();
        });
    }

    m_panel = new ParameterEditor(ParameterPlace::Panel, column);
    m_panel->move(7, 369);
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
        m_editor->closePanel();
        m_editor->setSelection({});
        if (!m_pictures.missing().isEmpty())
            Dialogs().warning(UnexpectedError);
    }
    QMainWindow::showEvent(event);
}

void FlowWindow::wheelEvent(QWheelEvent *event)
{
    // A turn over the left column that no control there takes scrolls the canvas.
    QApplication::sendEvent(m_dropPanel->viewport(), event);
}

// ---- Keys ------------------------------------------------------------------

void FlowWindow::arrowKey(KeyDirection direction, bool withCtrl)
{
    if (withCtrl) {
        constexpr int Step = 10;
        const QPoint shift = direction == KeyDirection::Left    ? QPoint(-Step, 0)
                             : direction == KeyDirection::Right ? QPoint(Step, 0)
                             : direction == KeyDirection::Up    ? QPoint(0, -Step)
                                                                : QPoint(0, Step);
        m_editor->nudgeSelection(shift);
    } else {
        m_editor->selectInDirection(direction);
    }
    showSelection();
}

void FlowWindow::showSelection()
{
    if (m_editor->selection().size() != 1)
        return;
    const FlowBlock &b = document().block(m_editor->routine(), m_editor->selection().first());
    if (b.isOccupied())
        m_dropPanel->ensureVisible(b.x + BlockWidth / 2, b.y + BlockHeight / 2, BlockWidth, BlockHeight);
}

// ---- Undo ------------------------------------------------------------------

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
        mime->setData(FlowCanvas::MimeType, QByteArray::number(source->paletteIndex()));
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

void FlowWindow::openParameterWindow(int slot, const QString &kind)
{
    const FlowBlock &b = document().block(m_editor->routine(), slot);
    QWidget *viewport = m_dropPanel->viewport();
    const QPoint place = ParameterWindowPlace(QPoint(b.x, b.y - m_dropPanel->verticalScrollBar()->value()),
                                              QSize(BlockParameterWindow::WindowWidth, BlockParameterWindow::WindowHeight),
                                              viewport->size());
    m_parameterWindow.open(kind, viewport->mapToGlobal(place),
                                          [editor = QPointer<FlowEditor>(m_editor)](const QString &params) {
                                              if (editor)
                                                  editor->confirmDrop(params);
                                          });
}

// ---- The frame's document ---------------------------------------------------

EditorDocument FlowWindow::editorDocument()
{
    constexpr int ReadBackStep = 1; // the emptying and the filling are one undo step
    // Files are read into a new document: one that is not read whole changes nothing.
    using Reader = std::function<FlowLoadResult(FlowDocument &)>;
    const auto readInto = [this](const Reader &read, const QString &step) {
        FlowDocument loaded;
        const FileResult result = read(loaded).toFileResult();
        if (result.ok)
            takeLoaded(loaded, step);
        return result;
    };
    return {
        .role = ReplyRole::Flowchart,
        .files = FlowFiles,
        .recoveryKey = QStringLiteral("STEP2"),
        .isEmpty = [this] { return document().blockCount() == 0; },
        .clear = [this] { takeLoaded(FlowDocument(), QStringLiteral("全削除")); },
        .discard = [this] { takeLoaded(FlowDocument(), QStringLiteral("送信済データの読み込み"), ReadBackStep); },
        .saveContent =
            [this] {
                ListingResult listing;
                const QStringList lines = FlowFileLines(document(), &listing);
                return std::optional<SaveContent>({lines, listing.warning});
            },
        .load =
            [readInto](const QString &path) {
                return readInto([&path](FlowDocument &doc) { return LoadFlowFile(doc, path); }, QStringLiteral("読み込み"));
            },
        .loadDemo =
            [readInto](int number) {
                return readInto([number](FlowDocument &doc) { return LoadFlowDemo(doc, number); },
                                QStringLiteral("デモ読み込み"));
            },
        .fileLines = [this] { return std::optional<QStringList>(FlowFileLines(document())); },
        .sendable = [this] { return SendableImage(document()); },
        .running = [this](int address) { markRunning(address); },
        .describe = [this](int address) { return BlockAtAddressName(document(), address); },
        .decodeReadBack =
            [this](const QStringList &lines) {
                FlowDocument loaded;
                const ReadbackResult result = RebuildFromMemory(loaded, lines);
                if (!result.message.isEmpty())
                    Dialogs().warning(result.message);
                takeLoaded(loaded, QStringLiteral("送信済データの読み込み"), ReadBackStep);
            },
        .report = [this]() -> std::optional<ReportRequest> {
            if (!WriteReportPictures(document(), m_pictures))
                return std::nullopt;
            m_editor->showRoutine(0);
            return ReportRequest{{}, RoutineReportKind, {}};
        },
        .sentData = [this]() -> std::optional<QStringList> {
            const ListingResult listing = BuildCommandListing(document());
            if (!listing.warning.isEmpty())
                Dialogs().warning(listing.warning);
            if (listing.listing.isEmpty()) {
                // Say why, as F6 would (a cycle of arrows passes the check
                // but gives no listing).
                const Sendable sendable = SendableImage(document());
                const QString why = sendable.message.isEmpty() ? ListingUnavailableMessage() : sendable.message;
                if (why != listing.warning)
                    Dialogs().warning(why);
                return std::nullopt;
            }
            return listing.listing;
        },
        .budget =
            [this] {
                return QList<BudgetPart>{
                    {InstructionBudget, document().blockCount(m_editor->routine()), SlotsPerRoutine},
                    {ByteBudget, document().byteTotal(), MaxImageBytes}};
            },
        // The parameter window waits for its "OK".
        .mayClose = [this] { return !m_parameterWindow.isVisible(); },
    };
}

void FlowWindow::takeLoaded(const FlowDocument &loaded, const QString &step, int mergeId)
{
    m_editor->replaceDocument(
        step,
        [&loaded](FlowDocument &doc) {
            doc = loaded;
            return true;
        },
        mergeId);
}

void FlowWindow::markRunning(int address)
{
    const int element = ElementAtAddress(document(), address);
    m_running = element < 0 ? QPair<int, int>{-1, -1} : QPair<int, int>{element / SlotsPerRoutine, element % SlotsPerRoutine};
    if (m_running.first >= 0) {
        if (m_running.first != m_editor->routine())
            m_editor->showRoutine(m_running.first);
        const FlowBlock &b = document().block(m_running.first, m_running.second);
        m_dropPanel->ensureVisible(b.x + BlockWidth / 2, b.y + BlockHeight / 2, BlockWidth, BlockHeight);
    }
    m_canvas->setRunningBlock(m_running);
}

} // namespace koru::flow
