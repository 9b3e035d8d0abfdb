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
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

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

    if (m_context.recovery && m_context.recovery->isOwned() && !m_doc.recoveryKey.isEmpty() && m_doc.fileLines) {
        // Cheap enough to ask every second: the lines of a program of at
        // most a few hundred bytes; nothing is written unless they changed.
        m_autosave = new QTimer(this);
        m_writer = std::make_unique<QThreadPool>();
        m_writer->setMaxThreadCount(1); // copies and removals in the order asked
        m_autosave->setInterval(AutosaveTickMs);
        connect(m_autosave, &QTimer::timeout, this, &EditorFrame::autosaveTick);
    }
}

EditorFrame::~EditorFrame() = default;

// ---- The menu bar ---------------------------------------------------------------

void EditorFrame::buildMenus(const QList<MenuEntry> &menu)
{
    QMenuBar *bar = m_window->menuBar();
    // The captions' ideographic spaces are wide: narrow item margins keep
    // every item on the bar at the smallest window width.
    bar->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; }"
                                      " QMenuBar::item { padding: 3px 1px; background: transparent; }"
                                      " QMenuBar::item:selected { background: #d6e8fa; }"));
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
    if (result.ok) {
        setFilePath({}); // a demo is a new document, saved nowhere yet
        markClean();     // but one that is always there to load again
    }
}

void EditorFrame::openFile()
{
    if (!m_doc.load || (m_doc.ready && !m_doc.ready()))
        return;
    if (const std::optional<QString> path = OpenProgramCommand(m_doc.files, m_doc.load)) {
        setFilePath(*path);
        markClean();
    }
}

void EditorFrame::saveFile()
{
    if (!m_doc.saveContent || (m_doc.ready && !m_doc.ready()))
        return;
    const std::optional<SaveContent> content = m_doc.saveContent();
    if (!content)
        return;
    if (const std::optional<QString> path = SaveProgramCommand(m_doc.files, content->lines, content->warning)) {
        setFilePath(*path);
        markClean();
    }
}

void EditorFrame::clearDocument()
{
    if (!m_doc.isEmpty() && !Dialogs().question(ClearQuestion))
        return;
    m_doc.clear();
    setFilePath({});
    markClean();
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
    const bool shown = RequestPreview({*image, m_window->frameGeometry(),
                                       [self](int address) {
                                           if (self)
                                               self->m_doc.running(address);
                                       },
                                       [self](int address) {
                                           return self && self->m_doc.describe ? self->m_doc.describe(address)
                                                                               : QString();
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
            if (!self)
                return;
            self->m_doc.decodeReadBack(replies);
            self->markClean(); // the kit still holds it
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
            if (m_keyboardStart)
                m_keyboardStart->setFocus(Qt::OtherFocusReason);
            if (m_doc.budget) {
                m_budgetLine = new QLabel(m_window);
                m_budgetLine->setObjectName(QStringLiteral("BudgetLine"));
                m_window->statusBar()->addPermanentWidget(m_budgetLine);
                documentChanged();
            }
            if (m_autosave) {
                markClean(); // the empty document is no work to keep
                m_autosave->start();
                // Work the pupil chose to get back at start comes in now.
                if (const std::optional<RecoveryCopy> copy = m_context.recovery->takeOffered(m_doc.recoveryKey))
                    QTimer::singleShot(0, this, [this, c = *copy] { restore(c); });
            }
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
    // A normal end: nothing is left to recover (and nothing still queued
    // may bring the copy back).
    if (m_autosave) {
        m_autosave->stop();
        m_writer->waitForDone();
        m_context.recovery->remove(m_doc.recoveryKey);
    }
    emit closed();
    return true;
}

void EditorFrame::documentChanged()
{
    if (!m_budgetLine)
        return;
    const QList<BudgetPart> parts = m_doc.budget();
    static const char *const colours[] = {"color: #333333;", "color: #d46b00; font-weight: bold;",
                                          "color: #c00000; font-weight: bold;"};
    m_budgetLine->setStyleSheet(QLatin1String(colours[int(LevelOf(parts))]));
    m_budgetLine->setText(BudgetText(parts));
    // Never narrower than its words (bold near the limit): the status bar
    // would cut them.
    m_budgetLine->ensurePolished();
    m_budgetWidth = std::max(m_budgetWidth, m_budgetLine->sizeHint().width());
    m_budgetLine->setMinimumWidth(m_budgetWidth);
}

void EditorFrame::showBudgetRefusal(const QString &why)
{
    if (!m_budgetLine)
        return;
    documentChanged();
    m_budgetLine->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    m_budgetLine->setText(m_budgetLine->text() + QStringLiteral("　") + why);
    m_budgetLine->ensurePolished();
    m_budgetLine->setMinimumWidth(std::max(m_budgetWidth, m_budgetLine->sizeHint().width()));
}

// ---- Autosave -------------------------------------------------------------------------------

void EditorFrame::markClean()
{
    if (!m_autosave)
        return;
    m_clean = m_doc.fileLines();
    m_changedSince.invalidate();
    autosaveTick(); // a copy of work that is now saved goes at once
}

void EditorFrame::autosaveTick()
{
    const std::optional<QStringList> lines = m_doc.fileLines();
    if (!lines)
        return;
    if (m_clean && *lines == *m_clean) {
        // Back to what is in a file (or nothing at all): no copy is needed.
        if (m_lastWritten) {
            RecoveryStore *store = m_context.recovery;
            m_writer->start([store, key = m_doc.recoveryKey] { store->remove(key); });
            m_lastWritten.reset();
        }
        m_lastSeen = lines;
        m_changedSince.invalidate();
        return;
    }
    if (m_lastWritten && *lines == *m_lastWritten) {
        m_lastSeen = lines;
        return;
    }
    // Written once the pupil pauses for a tick, and at least every
    // AutosaveLatestMs while typing on.
    const bool stillChanging = !m_lastSeen || *lines != *m_lastSeen;
    m_lastSeen = lines;
    if (!m_changedSince.isValid())
        m_changedSince.start();
    if (stillChanging && m_changedSince.elapsed() < AutosaveLatestMs)
        return;
    // The write itself (a flushed file and its record) takes milliseconds:
    // it goes to the writer thread so that typing never waits for the disk.
    m_lastWritten = lines;
    m_changedSince.invalidate();
    const QPointer<EditorFrame> self(this);
    RecoveryStore *store = m_context.recovery;
    m_writer->start([self, store, key = m_doc.recoveryKey, copy = *lines, origin = m_filePath] {
        QString error;
        const bool ok = store->write(key, copy, origin, &error);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, ok, error] {
            if (self)
                self->recoveryWritten(ok, error);
        });
    });
}

void EditorFrame::recoveryWritten(bool ok, const QString &error)
{
    if (ok) {
        if (m_autosaveFailed)
            m_window->statusBar()->clearMessage();
        m_autosaveFailed = false;
        return;
    }
    // One quiet note, not a box per keystroke; the earlier copy stays whole
    // and the next tick tries again.
    if (!m_autosaveFailed)
        m_window->statusBar()->showMessage(AutosaveFailedNote + error);
    m_autosaveFailed = true;
    m_lastWritten.reset();
}

void EditorFrame::writeRecovery()
{
    if (!m_autosave)
        return;
    const std::optional<QStringList> lines = m_doc.fileLines();
    if (!lines || (m_clean && *lines == *m_clean))
        return;
    m_writer->waitForDone(); // in the order asked
    QString error;
    const bool ok = m_context.recovery->write(m_doc.recoveryKey, *lines, m_filePath, &error);
    if (ok) {
        m_lastWritten = lines;
        m_changedSince.invalidate();
    }
    recoveryWritten(ok, error);
}

bool EditorFrame::openPath(const QString &path)
{
    if (!m_doc.load || (m_doc.ready && !m_doc.ready()))
        return false;
    if (!m_doc.isEmpty() && !Dialogs().destructiveQuestion(ReplaceQuestion))
        return false;
    const FileResult result = m_doc.load(path);
    ShowFileResult(result);
    if (!result.ok)
        return false;
    setFilePath(path);
    markClean();
    return true;
}

bool EditorFrame::restore(const RecoveryCopy &copy)
{
    FileResult result = m_doc.load ? m_doc.load(copy.path) : FileResult{};
    if (!result.ok) {
        m_context.recovery->archive(copy.key);
        Dialogs().warning(RecoveryDamagedMessage);
        return false;
    }
    setFilePath(copy.origin);
    // Still unsaved work: closing asks, and the copy stays until it is saved.
    m_clean.reset();
    m_lastWritten.reset();
    writeRecovery();
    return true;
}

} // namespace koru
