#include "editor/ui/editorframe.h"

#include "link/devicelink.h"
#include "link/ui/kitcommands.h"
#include "model/caption.h"
#include "model/dialogservice.h"
#include "model/helppage.h"
#include "model/messages.h"
#include "model/previewrequest.h"
#include "widgets/kitpanels.h"
#include "widgets/programfont.h"
#include "widgets/sentdataviewer.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace koru {

EditorFrame::EditorFrame(QMainWindow *window, const EditorContext &context, EditorDocument document)
    : QObject(window), m_window(window), m_context(context), m_doc(std::move(document))
{
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->setFont(ProgramFont());
    m_window->setWindowTitle(WindowCaption());
    m_window->installEventFilter(this);

    m_playingPanel = new PlayingPanel(m_window);
    m_getDataPanel = new GetDataPanel(m_window);
    m_kit = new KitCommands(m_doc.role, m_context.kit, m_context.transferWindow,
                            {m_window, [this](bool on) { setCommandsEnabled(on); }, m_playingPanel,
                             m_getDataPanel},
                            this);
    // A program that never ends must not hold the editor hostage.
    connect(m_playingPanel->stopButton(), &QPushButton::clicked, this, &EditorFrame::stop);
}

EditorFrame::~EditorFrame() = default;

// ---- The menu bar ---------------------------------------------------------------

void EditorFrame::buildMenus(const QList<MenuEntry> &menu)
{
    QMenuBar *bar = m_window->menuBar();
    for (const MenuEntry &entry : menu) {
        if (!entry.items.isEmpty()) {
            QMenu *sub = bar->addMenu(entry.caption);
            for (const MenuEntry &item : entry.items)
                addEntry(sub, item);
        } else {
            bar->addAction(commandAction(entry));
        }
    }
}

void EditorFrame::addEntry(QMenu *menu, const MenuEntry &entry)
{
    if (entry.items.isEmpty()) {
        menu->addAction(commandAction(entry));
        return;
    }
    QMenu *sub = menu->addMenu(entry.caption);
    for (const MenuEntry &item : entry.items)
        addEntry(sub, item);
}

QAction *EditorFrame::commandAction(const MenuEntry &entry)
{
    auto *action = new QAction(entry.caption, m_window);
    const std::function<void()> handler = [this, entry]() -> std::function<void()> {
        switch (entry.command) {
        case FrameCommand::None:
            return entry.action;
        case FrameCommand::Demo:
            return [this, n = entry.demo] { loadDemo(n); };
        case FrameCommand::Open:
            return [this] { openFile(); };
        case FrameCommand::Save:
            return [this] { saveFile(); };
        case FrameCommand::Clear:
            return [this] { clearDocument(); };
        case FrameCommand::Transfer:
            return [this] { transfer(); };
        case FrameCommand::Run:
            return [this] { this->run(); };
        case FrameCommand::Preview:
            return [this] { preview(); };
        case FrameCommand::Report:
            return [this] { makeReport(); };
        case FrameCommand::SentData:
            return [this] { showSentData(); };
        case FrameCommand::ReadBack:
            return [this] { readBack(); };
        case FrameCommand::Help:
            return [this] { openHelp(); };
        }
        return {};
    }();
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    if (entry.command == FrameCommand::Transfer || entry.command == FrameCommand::Run) {
        const bool isTransfer = entry.command == FrameCommand::Transfer;
        action->setShortcut(QKeySequence(isTransfer ? Qt::Key_F6 : Qt::Key_F7));
        // Shortcuts of menu-bar items work while the window is active.
        m_window->addAction(action);
        (isTransfer ? m_transferAction : m_runAction) = action;
    }
    m_actions.append({entry, action});
    return action;
}

QAction *EditorFrame::action(FrameCommand command, int demo) const
{
    for (const auto &[entry, action] : m_actions) {
        if (entry.command == command && (command != FrameCommand::Demo || entry.demo == demo))
            return action;
    }
    return nullptr;
}

void EditorFrame::setCommandsEnabled(bool enabled)
{
    if (m_transferAction)
        m_transferAction->setEnabled(enabled);
    if (m_runAction)
        m_runAction->setEnabled(enabled);
}

void EditorFrame::setFilePath(const QString &path)
{
    m_filePath = path;
    m_window->setWindowTitle(WindowCaption(path));
}

// ---- Files ------------------------------------------------------------------------

void EditorFrame::loadDemo(int number)
{
    if (!m_doc.loadDemo || (m_doc.ready && !m_doc.ready()))
        return;
    const FileResult result = m_doc.loadDemo(number);
    ShowFileResult(result);
    if (result.ok)
        setFilePath({}); // a demo is a new document, saved nowhere yet
}

void EditorFrame::openFile()
{
    if (!m_doc.load || (m_doc.ready && !m_doc.ready()))
        return;
    if (const std::optional<QString> path = OpenProgramCommand(m_doc.files, m_doc.load))
        setFilePath(*path);
}

void EditorFrame::saveFile()
{
    if (!m_doc.saveContent || (m_doc.ready && !m_doc.ready()))
        return;
    const std::optional<SaveContent> content = m_doc.saveContent();
    if (!content)
        return;
    if (const std::optional<QString> path = SaveProgramCommand(m_doc.files, content->lines, content->warning))
        setFilePath(*path);
}

void EditorFrame::clearDocument()
{
    if (!m_doc.isEmpty() && !Dialogs().question(ClearQuestion))
        return;
    m_doc.clear();
    setFilePath({});
}

// ---- The kit and the preview ---------------------------------------------------------

std::optional<DeviceImage> EditorFrame::sendableImage()
{
    if (!m_doc.sendable)
        return std::nullopt;
    const Sendable sendable = m_doc.sendable();
    if (!sendable.message.isEmpty()) {
        if (m_doc.markFailing)
            m_doc.markFailing(sendable.element);
        Dialogs().warning(sendable.message);
        return std::nullopt;
    }
    if (sendable.image.isEmpty())
        return std::nullopt;
    return sendable.image;
}

void EditorFrame::transfer()
{
    if (m_transferAction && !m_transferAction->isEnabled())
        return;
    if (const std::optional<DeviceImage> image = sendableImage())
        m_kit->transfer(*image, m_doc.frameStart);
}

void EditorFrame::run()
{
    if (m_runAction && !m_runAction->isEnabled())
        return;
    m_kit->run();
}

void EditorFrame::stop()
{
    m_kit->stop();
}

void EditorFrame::preview()
{
    if (!m_doc.running || (m_doc.previewable && !m_doc.previewable()))
        return;
    const std::optional<DeviceImage> image = sendableImage();
    if (!image)
        return;
    const QPointer<EditorFrame> self(this);
    const bool shown = RequestPreview({*image, m_window->frameGeometry(), [self](int address) {
                                           if (self)
                                               self->m_doc.running(address);
                                       }});
    if (!shown)
        Dialogs().information(NotAvailableMessage);
}

void EditorFrame::readBack()
{
    if (!m_doc.decodeReadBack)
        return;
    const QPointer<EditorFrame> self(this);
    m_kit->readBack(
        [self] {
            if (!self)
                return;
            (self->m_doc.discard ? self->m_doc.discard : self->m_doc.clear)();
            self->setFilePath({});
        },
        [self](const QStringList &replies) {
            if (self)
                self->m_doc.decodeReadBack(replies);
        });
}

// ---- Hand-overs -------------------------------------------------------------------------

void EditorFrame::makeReport()
{
    if (!m_doc.report)
        return;
    std::optional<ReportRequest> request = m_doc.report();
    if (!request)
        return;
    request->over = m_window->frameGeometry();
    if (!RequestReport(*request))
        Dialogs().information(NotAvailableMessage);
}

void EditorFrame::showSentData()
{
    if (!m_doc.sentData)
        return;
    const std::optional<QStringList> listing = m_doc.sentData();
    if (!listing)
        return;
    m_context.viewer->setListing(*listing);
    m_context.viewer->showOver(m_window);
}

void EditorFrame::openHelp()
{
    OpenHelpPage(m_doc.helpPage);
}

// ---- Showing and closing ------------------------------------------------------------------

bool EditorFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            setCommandsEnabled(true);
        } else if (event->type() == QEvent::Close) {
            if (!closeRequested()) {
                event->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

bool EditorFrame::closeRequested()
{
    if (m_kit->sending() || m_kit->readingBack()) {
        // The transfer or read-back ends within seconds; closing now would
        // leave the kit half written or the document half read.
        Dialogs().information(BusyClosingMessage);
        return false;
    }
    if (m_doc.mayClose && !m_doc.mayClose())
        return false;
    if (!m_doc.isEmpty()) {
        if (!Dialogs().question(CloseQuestion))
            return false;
        m_doc.clear();
    }
    if (m_doc.closing)
        m_doc.closing();
    emit closed();
    return true;
}

} // namespace koru
