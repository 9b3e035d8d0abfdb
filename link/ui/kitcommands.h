// The command sequences every editor follows with the kit: transfer (F6),
// run (F7), stop and read back. An editor owns one KitCommands, hands it its
// controls, and calls it from its actions; the replies of the kit come back
// through the reply router while the editor is open.
//
//   m_kit = new KitCommands(ReplyRole::Icon, {this, [this](bool on) {
//                               m_transferAction->setEnabled(on); m_runAction->setEnabled(on); },
//                           m_playingPanel}, this);
//   ... on F6: m_kit->transfer(imageValues);   on F7: m_kit->run();
#pragma once

#include "link/devicelink.h"
#include "link/replyrouter.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace koru {

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
    // Attaches to the reply router as the given window for as long as it lives.
    KitCommands(ReplyRole role, KitControls controls, QObject *parent = nullptr);
    ~KitCommands() override;

    // Transfer (F6): frames the codes (frameStart in front, 250 behind),
    // disables the commands, shows the transfer window over the editor and
    // sends. Without a kit (or when it goes away meanwhile) the warning is
    // shown and the commands come back. The commands otherwise stay
    // disabled until the kit answers FF. False when nothing was sent in full.
    bool transfer(const QStringList &codes, int frameStart = kit::ProgramFrame);

    // Run (F7): 241 (243 for the melody editor) with the playing panel shown
    // until the kit's FF.
    bool run();

    // The stop button of the playing panel.
    bool stop();

    // Read back: asks first, then discards the document, shows the
    // get-data panel, requests the memory, collects the replies for five
    // seconds, hands them to decode and hides the panel. With
    // stopWithoutKit, a missing kit ends it after the warning; otherwise it
    // goes on with whatever arrives. False when the pupil said No.
    bool readBack(const std::function<void()> &discardDocument,
                  const std::function<void(const QStringList &lines)> &decode, bool stopWithoutKit);

    // Replies collected since the last command (the editor's reply area).
    QStringList replies() const { return m_replies; }
    // Between a transfer or run and the kit's FF.
    bool waitingForKit() const { return m_waiting; }

    static constexpr int ReadBackWaitMs = 5000;
    static inline const QString ReadBackQuestion =
        QStringLiteral("転送済みデータを取得します。\r\n作成中のプログラムは削除されます。よろしいですか？");

    // ReplyReceiver
    bool collectsReplies() const override { return m_readingBack; }
    void appendReply(const QString &line) override { m_replies.append(line); }
    void kitReady() override;
    void kitLost() override;

signals:
    void kitFinished(); // FF arrived (or the kit went away) and the commands are back

private:
    void setCommandsEnabled(bool on);
    void showPanel(QWidget *panel);
    void hidePanel(QWidget *panel);

    ReplyRole m_role;
    KitControls m_controls;
    QPointer<QWidget> m_playingPanel;
    QPointer<QWidget> m_getDataPanel;
    QStringList m_replies;
    bool m_waiting = false;
    bool m_readingBack = false;
};

} // namespace koru
