#include "text/ui/textwindow.h"

#include "link/ui/kitcommands.h"
#include "model/caption.h"
#include "model/dialogservice.h"
#include "model/encoder.h"
#include "model/helppage.h"
#include "model/paths.h"
#include "model/previewrequest.h"
#include "model/reportrequest.h"
#include "model/textutil.h"
#include "text/keywordsettings.h"
#include "text/ui/textfilecommands.h"
#include "widgets/kitpanels.h"
#include "widgets/sentdataviewer.h"
#include "widgets/sourceeditor.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace koru::text {

const QString TextWindow::ClearQuestion = QStringLiteral("プログラムを全て消去します。よろしいですか？");
const QString TextWindow::CloseQuestion =
    QStringLiteral("画面を閉じるとプログラムは消去されます。\r\nよろしいですか？");
const QString TextWindow::NotShownMessage = QStringLiteral("プログラムが正しくないため表示できません。");

namespace {

const QString GuidePage = QStringLiteral("HTML\\Navi\\KORUnavi.html");

constexpr int HelpButtonWidth = 75;
constexpr int HelpButtonHeight = 53;
constexpr int HelpButtonLeft = 14;
constexpr int HelpButtonTop = 8;
constexpr int HelpButtonGap = 5; // buttons at x = 14, 94, 174
constexpr int BrowserTop = 64;

bool isEmptyText(const QStringList &lines)
{
    return lines.join(QString()).isEmpty();
}

} // namespace

TextWindow::TextWindow(const EditorContext &context, QWidget *parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("TextWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WindowCaption());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(MinimumWidth, MinimumHeight);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(3);
    m_splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background: #c8d6e5; }"));
    m_splitter->setChildrenCollapsible(false);
    m_editor = new SourceEditor(m_splitter);
    m_splitter->addWidget(m_editor);
    m_splitter->addWidget(buildHelpPanel());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({EditorWidth, MinimumWidth - EditorWidth});
    setCentralWidget(m_splitter);

    m_playingPanel = new PlayingPanel(this);
    buildMenus();
    m_kit = new KitCommands(ReplyRole::Text, m_context.kit, m_context.transferWindow,
                            {this, [this](bool on) { setCommandsEnabled(on); }, m_playingPanel, nullptr}, this);
}

TextWindow::~TextWindow() = default;

QWidget *TextWindow::buildHelpPanel()
{
    auto *panel = new QWidget(m_splitter);
    panel->setObjectName(QStringLiteral("HelpPanel"));
    panel->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, HelpButtonTop, 0, 0);
    column->setSpacing(BrowserTop - HelpButtonTop - HelpButtonHeight);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(HelpButtonLeft, 0, 0, 0);
    row->setSpacing(HelpButtonGap);
    const auto addButton = [&](const QString &name, const QString &caption, void (TextWindow::*slot)()) {
        auto *button = new QPushButton(caption, panel);
        button->setObjectName(name);
        button->setFixedSize(HelpButtonWidth, HelpButtonHeight);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, slot);
        row->addWidget(button);
    };
    addButton(QStringLiteral("BackButton"), QStringLiteral("戻る"), &TextWindow::goBack);
    addButton(QStringLiteral("ForwardButton"), QStringLiteral("進む"), &TextWindow::goForward);
    addButton(QStringLiteral("TopButton"), QStringLiteral("トップページ"), &TextWindow::goHome);
    row->addStretch(1);
    column->addLayout(row);

    m_browser = new QTextBrowser(panel);
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(true);
    m_browser->setFrameShape(QFrame::NoFrame);
    column->addWidget(m_browser, 1);
    return panel;
}

void TextWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *demo = bar->addMenu(QStringLiteral("デモ読み込み"));
    const QStringList demoNames{QStringLiteral("デモ１"), QStringLiteral("デモ２"), QStringLiteral("デモ３"),
                                QStringLiteral("デモ４")};
    for (int n = 1; n <= demoNames.size(); ++n)
        demo->addAction(demoNames[n - 1], this, [this, n] { loadDemo(n); });
    bar->addAction(QStringLiteral("ファイル読み込み"), this, &TextWindow::openFile);
    bar->addAction(QStringLiteral("ファイルへ保存"), this, &TextWindow::saveFile);
    bar->addAction(QStringLiteral("　　全削除　　"), this, &TextWindow::clearProgram);
    m_transferAction = bar->addAction(QStringLiteral("　　転送(F6)　　"), this, &TextWindow::transfer);
    m_transferAction->setShortcut(QKeySequence(Qt::Key_F6));
    m_runAction = bar->addAction(QStringLiteral("　　実行(F7)　　"), this, &TextWindow::run);
    m_runAction->setShortcut(QKeySequence(Qt::Key_F7));
    // Shortcuts of menu-bar items work while the window is active.
    addAction(m_transferAction);
    addAction(m_runAction);
    bar->addAction(QStringLiteral("プレビュー"), this, &TextWindow::preview);
    bar->addAction(QStringLiteral("レポート作成"), this, &TextWindow::makeReport);
    bar->addAction(QStringLiteral("送信データ表示"), this, &TextWindow::showSentData);
    bar->addAction(QStringLiteral("ヘルプ"), this, &TextWindow::openHelp);
}

void TextWindow::placeWindow()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->geometry();
    // Wide enough that every menu item shows (their captions carry wide
    // ideographic spaces), even on screens where two thirds would hide ヘルプ.
    const int width = std::max({MinimumWidth, RoundHalfEven(area.width() * 2.0 / 3.0),
                                std::min(menuBar()->sizeHint().width(), area.width())});
    const int height = std::max(MinimumHeight, RoundHalfEven(area.height() * 2.0 / 3.0));
    resize(width, height);
    move(area.left() + RoundHalfEven(area.width() / 6.0), area.top() + RoundHalfEven(area.height() / 6.0));
    m_splitter->setSizes({EditorWidth, std::max(0, width - EditorWidth - m_splitter->handleWidth())});
}

void TextWindow::readKeywords()
{
    m_language.reset();
    if (std::optional<KeywordTable> table = ReadKeywordTable())
        m_language.emplace(*table);
    QStringList words;
    if (m_language) {
        for (const KeywordLine &line : m_language->keywords().lines()) {
            if (line.usable)
                words.append(line.keyword);
        }
        words << QStringLiteral("else");
    }
    m_editor->setCompletionWords(words);
}

void TextWindow::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (!m_placed) {
            m_placed = true;
            placeWindow();
        }
        // The keywords may have been renamed in the settings since.
        readKeywords();
        setCommandsEnabled(true);
        if (!m_language)
            Dialogs().warning(KeywordReadErrorMessage);
        goHome();
    }
    QMainWindow::showEvent(event);
}

void TextWindow::setCommandsEnabled(bool enabled)
{
    m_transferAction->setEnabled(enabled);
    m_runAction->setEnabled(enabled);
}

QWidget *TextWindow::playingPanel() const
{
    return m_playingPanel;
}

void TextWindow::goBack()
{
    m_browser->backward();
}

void TextWindow::goForward()
{
    m_browser->forward();
}

void TextWindow::goHome()
{
    const QString page = ActiveIndexPagePath();
    if (!QFileInfo(page).isFile()) {
        Dialogs().warning(KeywordReadErrorMessage);
        return;
    }
    m_browser->setSource(QUrl::fromLocalFile(page));
}

bool TextWindow::checkProgram()
{
    if (!m_language) {
        Dialogs().warning(KeywordReadErrorMessage);
        return false;
    }
    const CheckResult result = m_language->check(m_editor->lines());
    if (result.passed())
        return true;
    m_editor->markLine(result.line);
    Dialogs().warning(result.message);
    return false;
}

std::optional<DeviceImage> TextWindow::sendableImage()
{
    if (!checkProgram())
        return std::nullopt;
    const TextImage image = m_language->toBytes(m_editor->lines());
    if (!image.sendable()) {
        Dialogs().warning(image.refusal);
        return std::nullopt;
    }
    return image.image;
}

void TextWindow::transfer()
{
    if (!m_transferAction->isEnabled())
        return;
    if (const std::optional<DeviceImage> image = sendableImage())
        m_kit->transferImage(*image);
}

void TextWindow::run()
{
    if (!m_runAction->isEnabled())
        return;
    m_kit->run();
}

void TextWindow::preview()
{
    const std::optional<DeviceImage> image = sendableImage();
    if (!image)
        return;
    // The preview tells which instruction runs; the line that wrote it is
    // shown running.
    const QHash<int, int> lines = m_language->linesByAddress(m_editor->lines());
    QPointer<SourceEditor> editor(m_editor);
    const bool shown = RequestPreview({ImageTexts(*image), frameGeometry(), [lines, editor](int address) {
                                           if (editor)
                                               editor->setRunningLine(lines.value(address, -1));
                                       }});
    if (!shown)
        Dialogs().information(NotAvailableMessage);
}

void TextWindow::makeReport()
{
    if (!RequestReport({m_editor->lines(), WordReportKind, frameGeometry()}))
        Dialogs().information(NotAvailableMessage);
}

void TextWindow::showSentData()
{
    if (!checkProgram()) {
        Dialogs().warning(NotShownMessage);
        return;
    }
    SentDataViewer &viewer = *m_context.viewer;
    viewer.setListing(m_language->toRecords(m_editor->lines()));
    viewer.showOver(this);
}

void TextWindow::openHelp()
{
    OpenHelpPage(GuidePage);
}

void TextWindow::clearProgram()
{
    if (!Dialogs().question(ClearQuestion))
        return;
    m_editor->setLines({});
}

void TextWindow::loadDemo(int number)
{
    if (!m_language) {
        Dialogs().warning(KeywordReadErrorMessage);
        return;
    }
    if (const std::optional<QStringList> text = ReadTextDemo(number, *m_language))
        m_editor->setLines(*text);
}

void TextWindow::openFile()
{
    if (!m_language) {
        Dialogs().warning(KeywordReadErrorMessage);
        return;
    }
    if (const std::optional<OpenedText> opened = OpenTextProgram(*m_language)) {
        m_editor->setLines(opened->programText);
        setWindowTitle(WindowCaption(opened->path));
    }
}

void TextWindow::saveFile()
{
    if (!m_language) {
        Dialogs().warning(KeywordReadErrorMessage);
        return;
    }
    checkProgram(); // its message, and "NG" in the file when it fails
    if (const std::optional<QString> path = SaveTextProgram(m_editor->lines(), *m_language))
        setWindowTitle(WindowCaption(*path));
}

void TextWindow::closeEvent(QCloseEvent *event)
{
    if (m_kit->sending()) {
        event->ignore(); // the send finishes within seconds
        return;
    }
    if (!isEmptyText(m_editor->lines())) {
        if (!Dialogs().question(CloseQuestion)) {
            event->ignore();
            return;
        }
        m_editor->setLines({});
    }
    event->accept();
}

} // namespace koru::text
