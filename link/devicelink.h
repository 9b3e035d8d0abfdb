// The device link: finds the kit among the HID devices, keeps that choice
// current as devices come and go, and speaks the kit's protocol of single
// byte values. One link serves the whole program (instance()); every
// operation runs on the user-interface thread.
#pragma once

#include "link/hidbackend.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>

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
    // The real link: USB HID devices and running virtual kits.
    explicit DeviceLink(QObject *parent = nullptr);
    // A link over the given backends (tests: a scripted fake).
    explicit DeviceLink(std::vector<std::unique_ptr<HidBackend>> backends, QObject *parent = nullptr);
    ~DeviceLink() override;

    // The program's link: the installed one, or a real one made on first use.
    static DeviceLink &instance();
    // Makes link the program's link (not owned); nullptr forgets it.
    static void install(DeviceLink *link);

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
    // Waits (dispatching events) until the first selection has been made and
    // every backend knows its devices, at most timeoutMs. True when settled.
    bool waitUntilSettled(int timeoutMs);

    // --- Protocol ----------------------------------------------------------
    // The values the next Transfer sends, as decimal texts.
    QStringList sendList() const { return m_sendList; }
    void setSendList(const QStringList &values) { m_sendList = values; }

    // Sends the send list, one value per report, paced. False without a kit,
    // and when the kit goes away before the send is over (the rest is not
    // written).
    bool Transfer();
    bool RequestRun();
    bool RequestPlay();
    bool RequestStop();
    bool RequestMemory();
    bool RequestMeasurement();
    bool RequestMeasureOutput(int n);

    bool transferring() const { return m_transferDepth > 0; }

    static constexpr int PaceMs = 50;
    static constexpr int MeasurementPaceMs = 1000; // extra, while the measurement window exists
    static constexpr int PermissionRetryMs = 250;
    static constexpr int PermissionGiveUpMs = 5000;

signals:
    // After every selection.
    void devicesChanged();
    void kitChanged(bool present);
    // Transfer progress, for the transfer window.
    void transferStarted(int count);
    void transferProgress(int percent);
    void transferFinished(bool completed);
    // Every reply of the kit, after it was routed.
    void replyReceived(const QString &line);

private:
    void init();
    void scheduleRefresh();
    void refreshIfPending();
    void select();
    void releaseKit();
    void purgeRetired();
    void onKitReport(const QByteArray &report);
    void onKitGone();
    bool request(int value);
    // Takes its own copy: a request made during the waits replaces the send list.
    bool sendValues(QStringList values, bool showProgress);
    bool kitUnchangedSince(quint64 generation) const;

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
    QTimer m_retryTimer;
    QHash<QString, QElapsedTimer> m_refusedSince; // paths refused for lack of permission

    QStringList m_sendList;
    int m_transferDepth = 0;
};

} // namespace koru
