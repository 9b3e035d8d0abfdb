#include "link/ui/kitcommands.h"

#include "link/paceclock.h"
#include "link/ui/transferwindow.h"
#include "model/dialogservice.h"
#include "model/textutil.h"
#include "widgets/placement.h"

namespace koru {

KitCommands::KitCommands(ReplyRole role, const KitContext &kit, TransferWindow *transferWindow,
                         KitControls controls, QObject *parent)
    : QObject(parent), m_role(role), m_link(kit.link), m_router(kit.router), m_clock(kit.clock),
      m_transferWindow(transferWindow), m_controls(std::move(controls)), m_playingPanel(m_controls.playingPanel),
      m_getDataPanel(m_controls.getDataPanel)
{
    Q_ASSERT(kit.link && kit.router && kit.clock);
    m_router->attach(m_role, this);
}

KitCommands::~KitCommands()
{
    if (m_router)
        m_router->detach(this);
}

void KitCommands::hideTransferWindow()
{
    if (m_transferWindow)
        m_transferWindow->hide();
}

void KitCommands::setCommandsEnabled(bool on)
{
    if (m_controls.setCommandsEnabled)
        m_controls.setCommandsEnabled(on);
}

void KitCommands::showPanel(QWidget *panel)
{
    if (!panel)
        return;
    if (const QWidget *parent = panel->parentWidget())
        CentreOver(panel, parent->rect());
    panel->show();
    panel->raise();
}

void KitCommands::hidePanel(QWidget *panel)
{
    if (panel)
        panel->hide();
}

bool KitCommands::transfer(const DeviceImage &codes, int frameStart)
{
    if (!m_link || codes.isEmpty() || m_link->transferring())
        return false;
    DeviceLink &link = *m_link;
    QList<int> values;
    values.reserve(codes.size() + 2);
    values.append(frameStart);
    values.append(codes);
    values.append(kit::FrameEnd);

    setCommandsEnabled(false);
    m_replies.clear();
    m_waiting = true;
    if (m_transferWindow)
        m_transferWindow->showCentredOver(m_controls.editor);
    m_transferring = true;
    m_transferConnection = connect(&link, &DeviceLink::transferFinished, this, &KitCommands::onTransferFinished);
    if (link.Transfer(values))
        return true; // transferFinished, then the kit's FF, follow
    disconnect(m_transferConnection);
    m_transferring = false;
    hideTransferWindow();
    m_waiting = false;
    Dialogs().warning(NoKitMessage);
    setCommandsEnabled(true);
    return false;
}

void KitCommands::onTransferFinished(bool completed)
{
    disconnect(m_transferConnection);
    if (!m_transferring)
        return;
    m_transferring = false;
    if (!completed) {
        hideTransferWindow();
        m_waiting = false;
        Dialogs().warning(m_link && m_link->kitBusyElsewhere() ? KitBusyMessage : NoKitMessage);
        setCommandsEnabled(true);
    }
    emit transferFinished(completed);
}

bool KitCommands::run()
{
    setCommandsEnabled(false);
    showPanel(m_playingPanel);
    m_replies.clear();
    m_waiting = true;
    watchForBusyKit(m_role == ReplyRole::Melody ? kit::Play : kit::Run);
    if (m_link && (m_role == ReplyRole::Melody ? m_link->RequestPlay() : m_link->RequestRun()))
        return true;
    disconnect(m_busyWatch);
    m_waiting = false;
    Dialogs().warning(NoKitMessage);
    setCommandsEnabled(true);
    hidePanel(m_playingPanel);
    return false;
}

bool KitCommands::stop()
{
    if (!m_link || !m_link->RequestStop()) {
        Dialogs().warning(NoKitMessage);
        return false;
    }
    m_waiting = false;
    setCommandsEnabled(true);
    hidePanel(m_playingPanel);
    return true;
}

bool KitCommands::readBack(const std::function<void()> &discardDocument,
                           const std::function<void(const QStringList &)> &decode)
{
    if (m_readingBack)
        return false;
    // Without a kit there is nothing to read: keep the pupil's document.
    if (!m_link || !m_link->KitPresent()) {
        Dialogs().warning(NoKitMessage);
        return false;
    }
    if (!Dialogs().destructiveQuestion(ReadBackQuestion))
        return false;
    if (discardDocument)
        discardDocument();
    showPanel(m_getDataPanel);
    m_replies.clear();
    m_readingBack = true;
    // Replies before the memory request goes out (another sender's FF
    // while this one waits for the kit) are no part of the memory.
    disconnect(m_memoryStart);
    m_memoryStart = connect(m_link, &DeviceLink::requestStarted, this, [this](int value) {
        if (m_readingBack && value == kit::SendMemory)
            m_replies.clear();
    });
    m_memoryRefusedBusy = false;
    watchForBusyKit(kit::SendMemory);
    if (!m_link->RequestMemory()) {
        disconnect(m_busyWatch);
        disconnect(m_memoryStart);
        m_readingBack = false;
        Dialogs().warning(NoKitMessage);
        hidePanel(m_getDataPanel);
        emit readBackFinished();
        return true;
    }
    // The replies come in meanwhile; the clock ends the collection.
    m_clock->callAfter(ReadBackWaitMs, this, [this, decode] { finishReadBack(decode); });
    return true;
}

void KitCommands::finishReadBack(const std::function<void(const QStringList &)> &decode)
{
    m_readingBack = false;
    disconnect(m_memoryStart);
    disconnect(m_busyWatch);
    if (m_memoryRefusedBusy)
        Dialogs().warning(KitBusyMessage); // no reply came for it: nothing to decode
    else if (decode)
        decode(m_replies);
    hidePanel(m_getDataPanel);
    emit readBackFinished();
}

void KitCommands::watchForBusyKit(int value)
{
    // A request that another process's sender kept from the kit never went
    // out: its replies (or FF) will never come.
    disconnect(m_busyWatch);
    if (!m_link)
        return;
    m_busyWatch = connect(m_link, &DeviceLink::requestFinished, this, [this, value](int sent, bool completed) {
        if (sent != value)
            return;
        disconnect(m_busyWatch);
        if (completed || !m_link || !m_link->kitBusyElsewhere())
            return;
        if (value == kit::SendMemory) {
            m_memoryRefusedBusy = m_readingBack;
        } else if (m_waiting) {
            Dialogs().warning(KitBusyMessage);
            kitReady();
        }
    });
}

void KitCommands::kitReady()
{
    m_waiting = false;
    setCommandsEnabled(true);
    hidePanel(m_playingPanel);
    emit kitFinished();
}

void KitCommands::kitLost()
{
    // The kit will never answer now; give the pupil the commands back, and
    // say why the program stopped (a transfer says so when it ends).
    if (!m_waiting)
        return;
    const bool running = !m_transferring;
    kitReady();
    if (running)
        Dialogs().warning(NoKitMessage);
}

} // namespace koru
