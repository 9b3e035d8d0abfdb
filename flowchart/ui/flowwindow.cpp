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
#include "model/messages.h"
#include "model/paths.h"
#include "model/previewrequest.h"
#include "model/reportrequest.h"
#include "model/textutil.h"
#include "widgets/placement.h"
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

const QString FlowWindow::ClearQuestion = QStringLiteral("プログラムを全て消去します。よろしいですか？");
const QString FlowWindow::CloseQuestion = QStringLiteral("画面を閉じるとプログラムは消去されます。\r\nよろしいですか？");

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

QFont WindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    return font;
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

FlowWindow::FlowWindow(QWidget *parent) : QMainWindow(parent)
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
    m_editor = new FlowEditor(this);

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

    m_playingPanel = new PlayingPanel(this);
    m_getDataPanel = new GetDataPanel(this);

    buildEditMenus();
    connectEditor();
    buildMenus();
    m_kit = new KitCommands(ReplyRole::Flowchart,
                            {this, [this](bool on) { setCommandsEnabled(on); }, m_playingPanel, m_getDataPanel}, this);
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

    connect(e, &FlowEditor::changed, c, qOverload<>(&QWidget::update));
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
    }

    m_panel = new ParameterEditor(ParameterPlace::Panel, column);
    m_panel->move(7, 369);
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
        m_editor->closePanel();
        m_editor->setSelection({});
        setCommandsEnabled(true);
        m_canvas->setFocus();
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

// ---- Undo ------------------------------------------------------------------

void FlowWindow::undo()
{
    if (BlockParameterWindow::instance().isVisible())
        return;
    m_undo->undo();
}

void FlowWindow::redo()
{
    if (BlockParameterWindow::instance().isVisible())
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
    BlockParameterWindow::instance().open(kind, viewport->mapToGlobal(place),
                                          [editor = QPointer<FlowEditor>(m_editor)](const QString &params) {
                                              if (editor)
                                                  editor->confirmDrop(params);
                                          });
}

// ---- Files -----------------------------------------------------------------

void FlowWindow::loadDemo(int number)
{
    m_editor->replaceDocument(QStringLiteral("デモ読み込み"), [number](FlowDocument &doc) {
        ShowFileResult(LoadFlowDemo(doc, number).toFileResult());
        return true;
    });
}

void FlowWindow::openFile()
{
    const FlowDocument before = document();
    std::optional<QString> path;
    m_editor->replaceDocument(QStringLiteral("読み込み"), [&path](FlowDocument &doc) {
        path = OpenProgramCommand(FlowFiles, [&doc](const QString &file) { return LoadFlowFile(doc, file).toFileResult(); });
        return path.has_value();
    });
    if (document() == before && !path)
        return; // cancelled or refused
    setFileCaption(path.value_or(QString())); // a failed load has emptied the document: no file name then
}

void FlowWindow::saveFile()
{
    ListingResult listing;
    const QStringList lines = FlowFileLines(document(), &listing);
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
    setFileCaption({});
    m_editor->replaceDocument(QStringLiteral("全削除"), [](FlowDocument &doc) {
        doc.clear();
        return true;
    });
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
    const Sendable sendable = SendableImage(document());
    if (!sendable.ok()) {
        Dialogs().warning(sendable.message);
        return;
    }
    m_kit->transferImage(sendable.image);
}

void FlowWindow::run()
{
    if (!m_runAction->isEnabled())
        return;
    m_kit->run();
}

void FlowWindow::preview()
{
    const Sendable sendable = SendableImage(document());
    if (!sendable.ok()) {
        Dialogs().warning(sendable.message);
        return;
    }
    PreviewRequest request;
    request.image = ImageTexts(sendable.image);
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

void FlowWindow::makeReport()
{
    if (!WriteReportPictures(document(), m_pictures))
        return;
    m_editor->showRoutine(0);
    if (!RequestReport({{}, RoutineReportKind, frameGeometry()}))
        Dialogs().information(NotAvailableMessage);
}

void FlowWindow::showSentData()
{
    const ListingResult listing = BuildCommandListing(document());
    if (!listing.warning.isEmpty())
        Dialogs().warning(listing.warning);
    if (listing.listing.isEmpty()) {
        if (!listing.failedOnCycle())
            Dialogs().warning(ListingUnavailableMessage());
        return;
    }
    SentDataViewer &viewer = SentDataViewer::instance();
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
            self->setFileCaption({});
            self->m_editor->replaceDocument(
                QStringLiteral("送信済データの読み込み"),
                [](FlowDocument &doc) {
                    doc.clear();
                    return true;
                },
                ReadBackStep);
        },
        [self](const QStringList &lines) {
            if (!self)
                return;
            self->m_editor->replaceDocument(
                QStringLiteral("送信済データの読み込み"),
                [&lines](FlowDocument &doc) {
                    const ReadbackResult result = RebuildFromMemory(doc, lines);
                    if (!result.message.isEmpty())
                        Dialogs().warning(result.message);
                    return true;
                },
                ReadBackStep);
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
    if (BlockParameterWindow::instance().isVisible() || m_kit->sending() || m_kit->readingBack()) {
        event->ignore();
        return;
    }
    if (document().blockCount() > 0) {
        if (!Dialogs().question(CloseQuestion)) {
            event->ignore();
            return;
        }
        m_editor->editableDocument().clear();
    }
    event->accept();
    emit closed();
}

} // namespace koru::flow
