#include "link/devicelink.h"

#include "link/hidapibackend.h"
#include "link/virtualkitbackend.h"
#include "model/textutil.h"


namespace koru {

QByteArray OutputReportFor(int value, int outputReportLength)
{
    QByteArray report(qMax(1, outputReportLength), char(value & 0xFF));
    report[0] = 0;
    return report;
}

QString ReplyLine(const QByteArray &data)
{
    QString line;
    line.reserve(data.size() * 3);
    for (char byte : data)
        line += QStringLiteral("%1 ").arg(quint8(byte), 2, 16, QLatin1Char('0')).toUpper();
    return line;
}

int ProgressStep(int count)
{
    return count > 0 ? RoundHalfEven(100.0 / count) : 0;
}

DeviceLink::DeviceLink(PaceClock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_backends.push_back(std::make_unique<HidapiBackend>());
    m_backends.push_back(std::make_unique<VirtualKitBackend>());
    init();
}

DeviceLink::DeviceLink(PaceClock &clock, std::vector<std::unique_ptr<HidBackend>> backends, QObject *parent)
    : QObject(parent), m_clock(clock), m_backends(std::move(backends))
{
    init();
}

DeviceLink::~DeviceLink()
{
    m_kit.reset();
    m_retired.clear();
}

void DeviceLink::init()
{
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &DeviceLink::select);
    m_purgeTimer.setSingleShot(true);
    m_purgeTimer.setInterval(0);
    connect(&m_purgeTimer, &QTimer::timeout, this, &DeviceLink::purgeRetired);
    for (const auto &backend : m_backends)
        connect(backend.get(), &HidBackend::devicesChanged, this, &DeviceLink::scheduleRefresh);
    // The first enumeration runs once the program processes events.
    scheduleRefresh();
}

// --- HID access ---------------------------------------------------------------

bool DeviceLink::KitPresent() const
{
    return m_kit && !m_kit->isGone();
}

int DeviceLink::OutputReportLength() const
{
    return KitPresent() ? m_kitInfo.outputReportLength : 0;
}

bool DeviceLink::WriteReport(const QByteArray &report)
{
    if (!KitPresent())
        return false;
    QByteArray whole = report;
    whole.resize(qMax(1, OutputReportLength()), '\0');
    return m_kit->write(whole);
}

void DeviceLink::StartReceiving()
{
    if (KitPresent() && !m_receiving) {
        m_receiving = true;
        m_kit->startReading();
    }
}

void DeviceLink::refresh()
{
    m_refreshTimer.stop();
    select();
}

bool DeviceLink::isSettled() const
{
    // Released devices count as settled once closed.
    if (!m_selectedOnce || m_refreshTimer.isActive() || m_purgeTimer.isActive())
        return false;
    for (const auto &backend : m_backends)
        if (!backend->settled())
            return false;
    return true;
}

void DeviceLink::scheduleRefresh()
{
    m_refreshTimer.start();
}

void DeviceLink::refreshIfPending()
{
    if (m_refreshTimer.isActive())
        refresh();
}

void DeviceLink::setWantedKit(const QString &path)
{
    m_wantedKit = path;
    refresh();
}

void DeviceLink::select()
{
    m_selectedOnce = true;
    ++m_retryTicket;

    struct Found
    {
        HidDeviceInfo info;
        HidBackend *backend;
    };
    QList<Found> found;
    for (const auto &backend : m_backends)
        for (const HidDeviceInfo &info : backend->enumerate())
            found.append({info, backend.get()});

    const bool hadKit = KitPresent();
    int kitIndex = -1;
    bool retry = false;
    QSet<QString> refusedNow;
    // The last device whose display name is exactly the kit's wins; one that
    // cannot be opened is left out as if absent.
    for (int i = int(found.size()) - 1; i >= 0 && kitIndex < 0; --i) {
        const Found &f = found[i];
        if (DisplayName(f.info) != KitDisplayName)
            continue;
        if (!m_wantedKit.isEmpty() && f.info.path != m_wantedKit)
            continue;
        if (KitPresent() && f.backend == m_kitBackend && f.info.path == m_kitInfo.path) {
            kitIndex = i; // already open: keep the handle and its queued replies
            continue;
        }
        OpenResult result = f.backend->open(f.info);
        if (result.status == OpenStatus::Opened && result.device) {
            releaseKit();
            m_kit = std::move(result.device);
            m_kitBackend = f.backend;
            m_kitInfo = f.info;
            ++m_kitGeneration;
            connect(m_kit.get(), &HidDevice::inputReport, this, &DeviceLink::onKitReport);
            connect(m_kit.get(), &HidDevice::gone, this, &DeviceLink::onKitGone);
            StartReceiving();
            kitIndex = i;
        } else if (result.status == OpenStatus::PermissionDenied) {
            // Access rights are granted a moment after the device appears.
            refusedNow.insert(f.info.path);
            const qint64 now = m_clock.nowMs();
            const qint64 since = m_refusedSince.value(f.info.path, now);
            m_refusedSince.insert(f.info.path, since);
            if (now - since < PermissionGiveUpMs)
                retry = true;
        }
    }
    if (kitIndex < 0)
        releaseKit();
    m_refusedSince.removeIf([&refusedNow](const auto &it) { return !refusedNow.contains(it.key()); });

    QList<HidDeviceInfo> devices;
    for (const Found &f : found)
        devices.append(f.info);
    m_devices = devices;
    m_kitIndex = kitIndex;
    if (retry) {
        const quint64 ticket = m_retryTicket;
        m_clock.callAfter(PermissionRetryMs, this, [this, ticket] {
            if (ticket == m_retryTicket)
                select();
        });
    }
    emit devicesChanged();
    if (hadKit != KitPresent())
        emit kitChanged(KitPresent());
    if (hadKit && !KitPresent())
        m_router.kitLost();
    abandonSendsIfKitChanged();
}

void DeviceLink::releaseKit()
{
    if (!m_kit)
        return;
    m_kitLock.unlock();
    disconnect(m_kit.get(), nullptr, this, nullptr);
    m_retired.push_back(std::move(m_kit));
    m_kitBackend = nullptr;
    m_kitInfo = {};
    m_receiving = false;
    m_kitIndex = -1;
    ++m_kitGeneration;
    m_purgeTimer.start();
}

void DeviceLink::purgeRetired()
{
    m_retired.clear();
}

void DeviceLink::onKitReport(const QByteArray &report)
{
    if (report.isEmpty())
        return;
    const QString line = ReplyLine(report.mid(1)); // byte 0 is the report ID
    m_router.route(line);
    emit replyReceived(line);
}

void DeviceLink::onKitGone()
{
    releaseKit();
    emit kitChanged(false);
    m_router.kitLost();
    abandonSendsIfKitChanged();
    scheduleRefresh();
}

// --- Protocol -------------------------------------------------------------------

bool DeviceLink::kitUnchangedSince(quint64 generation) const
{
    return KitPresent() && generation == m_kitGeneration;
}

bool DeviceLink::Transfer(const QList<int> &values)
{
    if (m_transferQueued)
        return false;
    Send send;
    send.values = values;
    send.isTransfer = true;
    return enqueue(std::move(send));
}

bool DeviceLink::request(int value)
{
    Send send;
    send.values = {value};
    return enqueue(std::move(send));
}

bool DeviceLink::enqueue(Send send)
{
    refreshIfPending();
    if (!KitPresent())
        return false;
    StartReceiving();
    send.kitGeneration = m_kitGeneration;
    if (send.isTransfer)
        m_transferQueued = true;
    m_sends.push_back(std::move(send));
    if (!m_sendRunning)
        startNextSend();
    return true;
}

void DeviceLink::startNextSend()
{
    if (m_sends.empty())
        return;
    m_sendRunning = true;
    const Send &send = m_sends.front();
    if (!kitUnchangedSince(send.kitGeneration)) {
        finishSend(false); // asked for a kit that is gone: never started
        return;
    }
    if (!holdKitForSend())
        return; // waiting for another process's sends, or given up
    const quint64 ticket = m_sendTicket;
    if (send.isTransfer) {
        emit transferStarted(int(send.values.size()));
        emit transferProgress(0);
    } else {
        emit requestStarted(send.values.value(0));
    }
    // A slot may have ended this send meanwhile (the kit went away).
    if (ticket == m_sendTicket && !m_sends.empty())
        writeNextValue();
}

bool DeviceLink::holdKitForSend()
{
    if (m_kitLock.tryLock(m_kitBackend->lockId(m_kitInfo))) {
        m_kitBusySince = -1;
        m_kitBusyElsewhere = false;
        return true;
    }
    const qint64 now = m_clock.nowMs();
    if (m_kitBusySince < 0)
        m_kitBusySince = now;
    if (now - m_kitBusySince >= KitBusyWaitMs) {
        // Sends queued behind this one fail at once, unless the kit is free.
        m_kitBusyElsewhere = true;
        finishSend(false);
        return false;
    }
    const quint64 ticket = m_sendTicket;
    m_clock.callAfter(KitBusyPollMs, this, [this, ticket] {
        if (ticket == m_sendTicket && !m_sends.empty())
            startNextSend();
    });
    return false;
}

void DeviceLink::writeNextValue()
{
    Send &send = m_sends.front();
    const bool kitStayed = kitUnchangedSince(send.kitGeneration);
    // A kit that went away (or was replaced) gets nothing more.
    if (send.next >= send.values.size() || !kitStayed) {
        finishSend(kitStayed);
        return;
    }
    // A refused write is skipped; the next value follows as usual.
    const bool written = m_kit->write(OutputReportFor(send.values[send.next], OutputReportLength()));
    int pause = PaceMs;
    if (written && m_router.has(ReplyRole::Measurement))
        pause += MeasurementPaceMs;
    const quint64 ticket = ++m_sendTicket;
    m_clock.callAfter(pause, this, [this, ticket] { afterPause(ticket); });
}

void DeviceLink::afterPause(quint64 ticket)
{
    if (ticket != m_sendTicket || m_sends.empty())
        return; // the send ended meanwhile
    Send &send = m_sends.front();
    ++send.next;
    send.position = qMin(100, send.position + ProgressStep(int(send.values.size())));
    if (send.isTransfer)
        emit transferProgress(send.position);
    if (ticket != m_sendTicket || m_sends.empty())
        return; // a slot of the progress ended it
    writeNextValue();
}

void DeviceLink::finishSend(bool completed)
{
    if (m_sends.empty())
        return;
    ++m_sendTicket;
    const Send send = std::move(m_sends.front());
    m_sends.pop_front();
    m_sendRunning = false;
    if (send.isTransfer) {
        m_transferQueued = false;
        emit transferFinished(completed);
    } else {
        emit requestFinished(send.values.value(0), completed);
    }
    // A slot may have started the next send itself.
    if (!m_sendRunning && !m_sends.empty())
        startNextSend();
    if (m_sends.empty()) {
        m_kitLock.unlock();
        m_kitBusySince = -1;
    }
}

void DeviceLink::abandonSendsIfKitChanged()
{
    while (!m_sends.empty() && !kitUnchangedSince(m_sends.front().kitGeneration))
        finishSend(false);
}

bool DeviceLink::RequestRun() { return request(kit::Run); }
bool DeviceLink::RequestPlay() { return request(kit::Play); }
bool DeviceLink::RequestStop() { return request(kit::Stop); }
bool DeviceLink::RequestMemory() { return request(kit::SendMemory); }
bool DeviceLink::RequestMeasurement() { return request(kit::Measure); }

bool DeviceLink::RequestMeasureOutput(int n)
{
    return request(n == 1 ? kit::MeasureOutput1 : n == 2 ? kit::MeasureOutput2 : kit::MeasureOutputOff);
}

} // namespace koru
