#include "link/ui/kitcommands.h"

#include "link/ui/transferwindow.h"
#include "model/dialogservice.h"
#include "model/wait.h"

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
        panel->move(CentredOver(QRect(QPoint(0, 0), parent->size()), panel->size()));
    panel->show();
    panel->raise();
}

void KitCommands::hidePanel(QWidget *panel)
{
    if (panel)
        panel->hide();
}

bool KitCommands::transfer(const QStringList &codes, int frameStart)
{
    if (codes.isEmpty())
        return false;
    DeviceLink &link = DeviceLink::instance();
    QStringList values = codes;
    values.prepend(QString::number(frameStart));
    values.append(QString::number(kit::FrameEnd));
    link.setSendList(values);

    setCommandsEnabled(false);
    m_replies.clear();
    m_waiting = true;
    TransferWindow &window = TransferWindow::instance();
    window.showCentredOver(m_controls.editor);
    if (link.Transfer())
        return true; // the kit's FF gives the commands back
    window.hide();
    m_waiting = false;
    Dialogs().warning(NoKitMessage);
    setCommandsEnabled(true);
    return false;
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
                           const std::function<void(const QStringList &)> &decode, bool stopWithoutKit)
{
    if (!Dialogs().question(ReadBackQuestion))
        return false;
    if (discardDocument)
        discardDocument();
    showPanel(m_getDataPanel);
    m_replies.clear();
    m_readingBack = true;
    if (!DeviceLink::instance().RequestMemory() && stopWithoutKit) {
        m_readingBack = false;
        Dialogs().warning(NoKitMessage);
        hidePanel(m_getDataPanel);
        return true;
    }
    WaitMs(ReadBackWaitMs);
    m_readingBack = false;
    if (decode)
        decode(m_replies);
    hidePanel(m_getDataPanel);
    return true;
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
    // The kit will never answer now; give the pupil the commands back.
    if (!m_waiting)
        return;
    kitReady();
}

} // namespace koru
