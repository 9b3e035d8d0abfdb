// The device link: finds the kit among the HID devices, keeps that choice
// current as devices come and go, and speaks the kit's protocol of single
// byte values. One link talks to one kit; its owner (the shell, koru-tool, a
// test) makes it with the clock it runs on, and several links on several
// kits may live in one process. Every operation runs on the user-interface
// thread and returns at once: values go out one per tick of the link's
// PaceClock, and signals tell how a send went.
#pragma once

#include "link/hidbackend.h"
#include "link/kitcontext.h"
#include "link/kitlock.h"
#include "link/paceclock.h"
#include "link/replyrouter.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

namespace koru {

// Values the kit understands.
namespace kit {
constexpr int ProgramFrame = 240;
constexpr int Run = 241;
constexpr int MelodyFrame = 242;
constexpr int Play = 243;
constexpr int Measure = 244;
constexpr int SendMemory = 245;
constexpr int Stop = 246;
constexpr int MeasureOutput1 = 247;
constexpr int MeasureOutput2 = 248;
constexpr int MeasureOutputOff = 249;
constexpr int FrameEnd = 250;
constexpr int Ready = 0xFF;
// The kit answers a memory request with one reply per address 0-254.
constexpr int MemoryReplies = 255;
} // namespace kit

// Shown by every caller when a request answers false.
inline const QString NoKitMessage = QStringLiteral("本体との接続が確認出来ません。");

// One output report for value: report ID 0, then the value in every data
// byte. At least the report ID byte.
QByteArray OutputReportFor(int value, int outputReportLength);

// A reply as text: two upper-case hexadecimal digits and a blank per byte.
QString ReplyLine(const QByteArray &data);

// Progress added per value of a send of count values (100 / count, halves
// to even); 0 for more than 200 values.
int ProgressStep(int count);

class DeviceLink : public QObject
{
    Q_OBJECT
public:
    // The real link: USB HID devices and running virtual kits. The clock
    // is not owned and must outlive the link.
    explicit DeviceLink(PaceClock &clock, QObject *parent = nullptr);
    // A link over the given backends (tests: a scripted fake).
    DeviceLink(PaceClock &clock, std::vector<std::unique_ptr<HidBackend>> backends, QObject *parent = nullptr);
    ~DeviceLink() override;

    // This link, its own reply router and its clock, for the windows and
    // commands that talk to this kit.
    KitContext context() { return {this, &m_router, &m_clock}; }
    ReplyRouter &router() { return m_router; }
    PaceClock &clock() const { return m_clock; }

    // --- HID access --------------------------------------------------------
    bool KitPresent() const;
    int OutputReportLength() const; // 0 without a kit
    // Writes exactly one output report (padded or cut to the kit's length).
    bool WriteReport(const QByteArray &report);
    // Makes sure the kit's replies are being received. Harmless when they are.
    void StartReceiving();

    // Every device of the last enumeration, in order, and which is the kit.
    QList<HidDeviceInfo> devices() const { return m_devices; }
    int kitIndex() const { return m_kitIndex; }
    // Whether the last selection could not open the device for lack of
    // permission (the udev rule is missing or not applied yet).
    bool accessRefused(const QString &path) const { return m_refusedSince.contains(path); }

    // Re-enumerates and selects now (also done on every change notice).
    void refresh();
    // Only the device at this path may be the kit (koru-tool --kit); empty:
    // the newest device named like the kit, as always.
    void setWantedKit(const QString &path);
    QString wantedKit() const { return m_wantedKit; }
    // Whether the first selection has been made and every backend knows its
    // devices. Changes are announced by devicesChanged().
    bool isSettled() const;

    // --- Protocol ----------------------------------------------------------
    // Every send writes one value per output report, then pauses PaceMs
    // (PaceMs + MeasurementPaceMs after a written value while a measurement
    // window is attached) before the next value; a refused write is skipped.
    // Sends run one after another in the order they were asked for. The kit
    // going away ends the running and the waiting sends at once, unfinished.

    // Starts sending values (a frame start value, the codes, 250) and returns
    // at once: transferStarted, transferProgress after every value, then
    // transferFinished(completed). False, and nothing sent, without a kit or
    // while another transfer is under way.
    bool Transfer(const QList<int> &values);
    bool transferring() const { return m_transferQueued; }

    // Single requests: false without a kit; otherwise the value is sent (after
    // a transfer under way, never inside its frame) and requestFinished(value,
    // completed) follows once its pause is over.
    bool RequestRun();
    bool RequestPlay();
    bool RequestStop();
    bool RequestMemory();
    bool RequestMeasurement();
    bool RequestMeasureOutput(int n);

    // Whether any send is under way or waiting.
    bool sending() const { return !m_sends.empty(); }
    // Whether the last send that ended unfinished did so because another
    // process kept the kit (KitBusyMessage) for longer than KitBusyWaitMs.
    bool kitBusyElsewhere() const { return m_kitBusyElsewhere; }

    static constexpr int PaceMs = 50;
    static constexpr int MeasurementPaceMs = 1000; // extra, while the measurement window exists
    static constexpr int PermissionRetryMs = 250;
    static constexpr int PermissionGiveUpMs = 5000;
    // One sender per kit across processes (KitLock): how long a send waits
    // for another process's sends to end, and how often it looks.
    static constexpr int KitBusyWaitMs = 3000;
    static constexpr int KitBusyPollMs = 100;

signals:
    // After every selection.
    void devicesChanged();
    void kitChanged(bool present);
    // Transfer progress, for the transfer window.
    void transferStarted(int count);
    void transferProgress(int percent);
    // False when the kit went away (or was replaced) before the last pause
    // was over: its FF will never come.
    void transferFinished(bool completed);
    // A single request's value went out and its pause is over (completed), or
    // the kit went away first.
    void requestFinished(int value, bool completed);
    // A single request's value is about to go out: replies from now on
    // may answer it.
    void requestStarted(int value);
    // Every reply of the kit, after it was routed.
    void replyReceived(const QString &line);

private:
    PaceClock &m_clock;
    ReplyRouter m_router;
    QString m_wantedKit;
    void init();
    void scheduleRefresh();
    void refreshIfPending();
    void select();
    void releaseKit();
    void purgeRetired();
    void onKitReport(const QByteArray &report);
    void onKitGone();
    struct Send
    {
        QList<int> values;
        bool isTransfer = false;
        quint64 kitGeneration = 0;
        int next = 0;     // index of the value to write
        int position = 0; // progress bar position
    };
    bool request(int value);
    bool enqueue(Send send);
    void startNextSend();
    void writeNextValue();
    void afterPause(quint64 ticket);
    void finishSend(bool completed);
    // Ends every send when the kit they were meant for is gone.
    void abandonSendsIfKitChanged();
    bool kitUnchangedSince(quint64 generation) const;
    bool holdKitForSend();

    std::vector<std::unique_ptr<HidBackend>> m_backends;
    QList<HidDeviceInfo> m_devices;
    int m_kitIndex = -1;
    HidBackend *m_kitBackend = nullptr;
    HidDeviceInfo m_kitInfo;
    std::unique_ptr<HidDevice> m_kit;
    // Released devices, destroyed (reader joined) once control is back in
    // the event loop, never inside one of their own signals.
    std::vector<std::unique_ptr<HidDevice>> m_retired;
    QTimer m_purgeTimer;
    quint64 m_kitGeneration = 0;
    bool m_receiving = false;
    bool m_selectedOnce = false;

    QTimer m_refreshTimer;
    quint64 m_retryTicket = 0; // invalidates a planned permission retry
    QHash<QString, qint64> m_refusedSince; // paths refused for lack of permission, since (PaceClock ms)

    std::deque<Send> m_sends; // the front one runs once m_sendRunning
    bool m_sendRunning = false;
    bool m_transferQueued = false;
    quint64 m_sendTicket = 0; // invalidates the pending pause of an ended send
    KitLock m_kitLock; // held from a send's start until no send is left
    qint64 m_kitBusySince = -1;
    bool m_kitBusyElsewhere = false;
};

} // namespace koru
