#include "link/ui/kitcommands.h"

#include "link/paceclock.h"
#include "link/ui/transferwindow.h"
#include "model/dialogservice.h"
#include "model/textutil.h"
#include "widgets/placement.h"

namespace koru {

KitCommands::KitCommands(ReplyRole role, KitControls controls, QObject *parent)
    : QObject(parent), m_role(role), m_controls(std::move(controls)), m_playingPanel(m_controls.playingPanel),
      m_getDataPanel(m_controls.getDataPanel)
{
    ReplyRouter::instance().attach(m_role, this);
}

KitCommands::~KitCommands()
{
    ReplyRouter::instance().detach(this);
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
    DeviceLink &link = DeviceLink::instance();
    if (codes.isEmpty() || link.transferring())
        return false;
    QList<int> values;
    values.reserve(codes.size() + 2);
    values.append(frameStart);
    values.append(codes);
    values.append(kit::FrameEnd);

    setCommandsEnabled(false);
    m_replies.clear();
    m_waiting = true;
    TransferWindow &window = TransferWindow::instance();
    window.showCentredOver(m_controls.editor);
    m_transferring = true;
    m_transferConnection = connect(&link, &DeviceLink::transferFinished, this, &KitCommands::onTransferFinished);
    if (link.Transfer(values))
        return true; // transferFinished, then the kit's FF, follow
    disconnect(m_transferConnection);
    m_transferring = false;
    window.hide();
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
        TransferWindow::instance().hide();
        m_waiting = false;
        Dialogs().warning(NoKitMessage);
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
    DeviceLink &link = DeviceLink::instance();
    if (m_role == ReplyRole::Melody ? link.RequestPlay() : link.RequestRun())
        return true;
    m_waiting = false;
    Dialogs().warning(NoKitMessage);
    setCommandsEnabled(true);
    hidePanel(m_playingPanel);
    return false;
}

bool KitCommands::stop()
{
    if (!DeviceLink::instance().RequestStop()) {
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
    if (!DeviceLink::instance().KitPresent()) {
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
    if (!DeviceLink::instance().RequestMemory()) {
        m_readingBack = false;
        Dialogs().warning(NoKitMessage);
        hidePanel(m_getDataPanel);
        emit readBackFinished();
        return true;
    }
    // The replies come in meanwhile; the clock ends the collection.
    PaceClock::instance().callAfter(ReadBackWaitMs, this, [this, decode] { finishReadBack(decode); });
    return true;
}

void KitCommands::finishReadBack(const std::function<void(const QStringList &)> &decode)
{
    m_readingBack = false;
    if (decode)
        decode(m_replies);
    hidePanel(m_getDataPanel);
    emit readBackFinished();
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
