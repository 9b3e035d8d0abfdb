// The command sequences every editor follows with the kit: transfer (F6),
// run (F7), stop and read back. An editor owns one KitCommands on the kit it
// was handed, gives it its controls, and calls it from its actions; the
// replies of that kit come back through its link's reply router while the
// editor is open.
//
//   m_kit = new KitCommands(ReplyRole::Icon, context.kit, context.transferWindow,
//                           {this, [this](bool on) {
//                               m_transferAction->setEnabled(on); m_runAction->setEnabled(on); },
//                            m_playingPanel}, this);
//   ... on F6: m_kit->transfer(image);   on F7: m_kit->run();
//
// Every command returns at once; what follows comes by signals (and by the
// controls it was given): transferFinished when the last value is out (or
// the kit went away: the warning is shown), kitFinished when the kit
// answers FF, readBackFinished when the read-back's five seconds are over.
// Waits run on the kit's PaceClock, so tests move them on without waiting.
#pragma once

#include "link/devicelink.h"
#include "link/kitcontext.h"
#include "link/replyrouter.h"
#include "model/encoder.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace koru {

class TransferWindow;

struct KitControls
{
    QWidget *editor = nullptr;                     // centring; the panels' parent
    std::function<void(bool)> setCommandsEnabled;  // transfer (F6) and run (F7)
    QWidget *playingPanel = nullptr;               // shown while the kit runs
    QWidget *getDataPanel = nullptr;               // shown during a read-back
};

class KitCommands : public QObject, public ReplyReceiver
{
    Q_OBJECT
public:
    // Attaches to the kit's reply router as the given window for as long as
    // it lives. kit.link, kit.router and kit.clock must be set; the transfer
    // window (shown over the editor during a transfer) may be null.
    KitCommands(ReplyRole role, const KitContext &kit, TransferWindow *transferWindow, KitControls controls,
                QObject *parent = nullptr);
    ~KitCommands() override;

    // Transfer (F6): frames the codes (frameStart in front, 250 behind),
    // disables the commands, shows the transfer window over the editor and
    // starts the send. Without a kit the warning is shown, the commands come
    // back and the answer is false (also, silently, for an empty list or
    // while a transfer is under way). If the kit goes away during the send,
    // the window hides, the warning is shown, the commands come back and
    // transferFinished(false) follows; otherwise transferFinished(true) and
    // the commands stay disabled until the kit answers FF.
    bool transfer(const DeviceImage &codes, int frameStart = kit::ProgramFrame);

    // Run (F7): 241 (243 for the melody editor) with the playing panel shown
    // until the kit's FF. False, after the warning, without a kit.
    bool run();

    // The stop button of the playing panel: the commands come back at once.
    bool stop();

    // Read back: without a kit, warns and answers false before anything is
    // asked or discarded. Otherwise asks (false when the pupil says No),
    // discards the document, shows the get-data panel, requests the memory
    // and returns. Five seconds later the replies collected meanwhile go to
    // decode, the panel hides and readBackFinished follows.
    bool readBack(const std::function<void()> &discardDocument,
                  const std::function<void(const QStringList &lines)> &decode);

    // Replies collected since the last command (the editor's reply area).
    QStringList replies() const { return m_replies; }
    // Between a transfer or run and the kit's FF.
    bool waitingForKit() const { return m_waiting; }
    // While this editor's transfer is being sent.
    bool sending() const { return m_transferring; }
    // Between the read-back's request and its decoding.
    bool readingBack() const { return m_readingBack; }

    static constexpr int ReadBackWaitMs = 5000;
    static inline const QString ReadBackQuestion =
        QStringLiteral("転送済みデータを取得します。\r\n作成中のプログラムは削除されます。よろしいですか？");

    // ReplyReceiver
    bool collectsReplies() const override { return m_readingBack; }
    // A kit that floods adds nothing after its memory's count.
    void appendReply(const QString &line) override
    {
        if (m_replies.size() < kit::MemoryReplies)
            m_replies.append(line);
    }
    void kitReady() override;
    void kitLost() override;

signals:
    void kitFinished(); // FF arrived (or the kit went away) and the commands are back
    void transferFinished(bool sent); // the transfer's last value is out, or the kit went away
    void readBackFinished(); // decode has been called (or the kit was missing) and the panel is hidden

private:
    void setCommandsEnabled(bool on);
    void showPanel(QWidget *panel);
    void hidePanel(QWidget *panel);
    void onTransferFinished(bool completed);
    void finishReadBack(const std::function<void(const QStringList &)> &decode);
    void watchForBusyKit(int value);

    void hideTransferWindow();

    ReplyRole m_role;
    QPointer<DeviceLink> m_link;
    QPointer<ReplyRouter> m_router;
    PaceClock *m_clock;
    QPointer<TransferWindow> m_transferWindow;
    KitControls m_controls;
    QPointer<QWidget> m_playingPanel;
    QPointer<QWidget> m_getDataPanel;
    QStringList m_replies;
    QMetaObject::Connection m_memoryStart;
    QMetaObject::Connection m_busyWatch;
    bool m_memoryRefusedBusy = false;
    bool m_waiting = false;
    bool m_readingBack = false;
    bool m_transferring = false; // this editor's transfer is being sent
    QMetaObject::Connection m_transferConnection;
};

} // namespace koru
