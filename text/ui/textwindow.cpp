#include "text/ui/textwindow.h"

#include "model/dialogservice.h"
#include "model/textutil.h"
#include "text/keywordhelp.h"
#include "text/keywordsettings.h"
#include "text/livecheck.h"
#include "text/textfile.h"
#include "text/ui/textfilecommands.h"
#include "widgets/placement.h"
#include "widgets/sourceeditor.h"

#include <QAccessible>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace koru::text {

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

TextWindow::TextWindow(const EditorContext &context, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TextWindow"));
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
    m_editor->setAccessibleName(QStringLiteral("プログラム"));
    m_splitter->addWidget(m_editor);
    m_splitter->addWidget(buildHelpPanel());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({EditorWidth, MinimumWidth - EditorWidth});
    setCentralWidget(m_splitter);

    m_frame = new EditorFrame(this, context, editorDocument());
    connect(m_frame, &EditorFrame::closed, this, &TextWindow::closed);
    QList<MenuEntry> demos;
    const QStringList demoNames{QStringLiteral("デモ１"), QStringLiteral("デモ２"), QStringLiteral("デモ３"),
                                QStringLiteral("デモ４")};
    for (int n = 1; n <= demoNames.size(); ++n)
        demos.append({.caption = demoNames[n - 1], .command = FrameCommand::Demo, .demo = n});
    m_frame->buildMenus({
        {.caption = QStringLiteral("デモ読み込み"), .items = demos},
        {.caption = QStringLiteral("ファイル読み込み"), .command = FrameCommand::Open},
        {.caption = QStringLiteral("ファイルへ保存"), .command = FrameCommand::Save},
        {.caption = QStringLiteral("　　全削除　　"), .command = FrameCommand::Clear},
        {.caption = QStringLiteral("　　転送(F6)　　"), .command = FrameCommand::Transfer},
        {.caption = QStringLiteral("　　実行(F7)　　"), .command = FrameCommand::Run},
        {.caption = QStringLiteral("プレビュー"), .command = FrameCommand::Preview},
        {.caption = QStringLiteral("レポート作成"), .command = FrameCommand::Report},
        {.caption = QStringLiteral("送信データ表示"), .command = FrameCommand::SentData},
        {.caption = QStringLiteral("ヘルプ"), .command = FrameCommand::Help},
    });
    // The keywords are read again on every show (the settings may have
    // renamed them); reading them now gives the frame the document's lines
    // from the start.
    readKeywords();
    connect(m_editor, &QPlainTextEdit::textChanged, m_frame, &EditorFrame::documentChanged);

    m_findingLabel = new QLabel(this);
    m_findingLabel->setObjectName(QStringLiteral("LiveCheck"));
    m_findingLabel->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_findingLabel->setAccessibleName(QStringLiteral("チェックの結果"));
    statusBar()->addWidget(m_findingLabel, 1);
    m_checkPool.setMaxThreadCount(1);
    m_liveTimer.setSingleShot(true);
    m_liveTimer.setInterval(LiveCheckDelayMs);
    connect(&m_liveTimer, &QTimer::timeout, this, &TextWindow::startLiveCheck);
    connect(m_editor, &QPlainTextEdit::textChanged, &m_liveTimer, qOverload<>(&QTimer::start));
    // A template's arguments stay in sight while they are typed.
    connect(m_editor, &SourceEditor::hintShown, this,
            [this](const QString &hint) { statusBar()->showMessage(hint, HintShownMs); });
}

TextWindow::~TextWindow()
{
    m_checkPool.clear();
    m_checkPool.waitForDone();
}

void TextWindow::startLiveCheck()
{
    if (!m_language)
        return;
    const quint64 generation = ++m_checkGeneration;
    m_checkPool.start([this, generation, language = *m_language, lines = m_editor->lines()] {
        const LiveFinding finding = CheckAsTyped(language, lines);
        // Queued to the window's thread; the pool is waited for before
        // the window goes, so `this` is still there to post to.
        QMetaObject::invokeMethod(
            this,
            [this, generation, finding] {
                if (generation != m_checkGeneration)
                    return; // typed on since
                m_editor->setFindingLine(finding.line);
                if (!finding.ok())
                    statusBar()->clearMessage(); // the finding comes before a hint
                m_findingLabel->setText(LiveFindingText(finding));
                m_findingLabel->setToolTip(finding.message);
                if (!finding.ok()) {
                    QAccessibleEvent changed(m_findingLabel, QAccessible::NameChanged);
                    QAccessible::updateAccessibility(&changed);
                }
            },
            Qt::QueuedConnection);
    });
}

EditorDocument TextWindow::editorDocument()
{
    return {
        .role = ReplyRole::Text,
        .files = TextFiles,
        .helpPage = GuidePage,
        .recoveryKey = QStringLiteral("STEP3"),
        .isEmpty = [this] { return isEmptyText(m_editor->lines()); },
        .clear = [this] { m_editor->setLines({}); },
        .ready = [this] { return languageReady(); },
        .saveContent =
            [this] {
                // A program that fails its check is saved with "NG", after its message.
                const CheckResult check = m_language->check(m_editor->lines());
                if (!check.passed())
                    m_editor->markLine(check.line);
                return std::optional<SaveContent>(
                    {TextProgramFileLines(m_editor->lines(), *m_language), check.passed() ? QString() : check.message});
            },
        .load = [this](const QString &path) { return readProgram(path); },
        .loadDemo = [this](int number) { return readProgram(TextDemoPath(number)); },
        .fileLines = [this]() -> std::optional<QStringList> {
            if (!m_language)
                return std::nullopt;
            return TextProgramFileLines(m_editor->lines(), *m_language);
        },
        .sendable =
            [this] {
                if (!m_language)
                    return Sendable{{}, KeywordReadErrorText(), -1};
                return SendableImage(*m_language, m_editor->lines());
            },
        .markFailing = [this](int line) { m_editor->markLine(line); },
        .running =
            [this](int address) {
                m_editor->setRunningLine(m_language ? ElementAtAddress(*m_language, m_editor->lines(), address) : -1);
            },
        .describe =
            [this](int address) {
                return m_language ? LineAtAddressName(*m_language, m_editor->lines(), address) : QString();
            },
        .report = [this] { return std::optional<ReportRequest>({m_editor->lines(), WordReportKind, {}}); },
        .sentData = [this]() -> std::optional<QStringList> {
            if (!checkProgram()) {
                Dialogs().warning(NotShownMessage);
                return std::nullopt;
            }
            return m_language->toRecords(m_editor->lines());
        },
        .budget =
            [this]() -> QList<BudgetPart> {
                if (!m_language)
                    return {};
                return {{QStringLiteral("バイト"), int(m_language->toBytes(m_editor->lines()).image.size()), MaxImageBytes}};
            },
    };
}

bool TextWindow::languageReady()
{
    if (!m_language)
        Dialogs().warning(KeywordReadErrorText());
    return m_language.has_value();
}

FileResult TextWindow::readProgram(const QString &path)
{
    QStringList text;
    const FileResult result = ReadTextProgramFile(path, *m_language, text);
    if (result.ok)
        m_editor->setLines(text);
    return result;
}

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
        button->setFocusPolicy(Qt::TabFocus); // reached by Tab; a click leaves the focus in the program
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
    m_browser->setAccessibleName(QStringLiteral("命令語の説明"));
    column->addWidget(m_browser, 1);
    return panel;
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
    move(EditorPlacement(area, QSize(width, height)).topLeft());
    m_splitter->setSizes({EditorWidth, std::max(0, width - EditorWidth - m_splitter->handleWidth())});
}

void TextWindow::readKeywords()
{
    m_language.reset();
    if (std::optional<KeywordTable> table = ReadKeywordTable())
        m_language.emplace(*table);
    QStringList words;
    QHash<QString, WordHelp> help;
    if (m_language) {
        // The help pages are read once: they describe the shipped keywords,
        // and are shown under the pupil's ones.
        static const QHash<int, KeywordHelp> pages = [] {
            const std::optional<QStringList> lines = ReadKeywordLines(ShippedKeywordFilePath());
            const std::optional<KeywordTable> shipped = lines ? KeywordTable::fromLines(*lines) : std::nullopt;
            return shipped ? KeywordHelpOfPages(*shipped, ShippedHelpPageTexts()) : QHash<int, KeywordHelp>{};
        }();
        for (const KeywordLine &line : m_language->keywords().lines()) {
            if (!line.usable)
                continue;
            words.append(line.keyword);
            const bool condition = line.opCode == ConditionOpCode;
            WordHelp word;
            word.completion = line.keyword + (condition ? QStringLiteral("(){") : QStringLiteral("();"));
            word.caret = line.form == ArgumentForm::None ? -1 : int(line.keyword.size()) + 1;
            if (const auto page = pages.constFind(line.number); page != pages.constEnd()) {
                word.hint = KeywordSignature(line.keyword, *page) + QStringLiteral("　") + page->summary;
                word.hover = KeywordHoverText(line.keyword, *page);
            }
            help.insert(line.keyword, word);
        }
        words << QStringLiteral("else");
    }
    m_editor->setCompletionWords(words);
    m_editor->setWordHelp(help);
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
        if (!m_language)
            Dialogs().warning(KeywordReadErrorText());
        goHome();
    }
    QMainWindow::showEvent(event);
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
        Dialogs().warning(KeywordReadErrorText());
        return;
    }
    m_browser->setSource(QUrl::fromLocalFile(page));
}

bool TextWindow::checkProgram()
{
    if (!m_language) {
        Dialogs().warning(KeywordReadErrorText());
        return false;
    }
    const CheckResult result = m_language->check(m_editor->lines());
    if (result.passed())
        return true;
    m_editor->markLine(result.line);
    Dialogs().warning(result.message);
    return false;
}

} // namespace koru::text
