#include "tools/kitjobs.h"

#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"
#include "model/decoder.h"
#include "model/textutil.h"

#include <QEventLoop>

#include <functional>
#include <memory>
#include <vector>

namespace koru::tool {
namespace {

// The waits of the one-kit commands (cmd_send, cmd_run), kept alike.
constexpr int ConnectMs = 3000;
constexpr int ReadyTimeoutMs = 5000;
constexpr int RequestTimeoutMs = 10000;
constexpr int MemoryFirstReplyMs = 5000;
constexpr int MemoryQuietMs = 500;
constexpr int MelodyAreaStart = 128;

// One kit's job, driven by what its link reports. done() is called once,
// when the job has ended either way; failure() is then empty on success.
class KitJob : public QObject
{
public:
    // progressed: after every value of the transfer.
    KitJob(const QString &id, const KitJobPlan &plan, std::function<void()> progressed, std::function<void()> done)
        : m_id(id), m_plan(plan), m_progressed(std::move(progressed)), m_done(std::move(done))
    {
    }

    void start()
    {
        m_link = std::make_unique<DeviceLink>(m_clock);
        connect(m_link.get(), &DeviceLink::devicesChanged, this, &KitJob::onDevices);
        connect(m_link.get(), &DeviceLink::kitChanged, this, &KitJob::onDevices);
        connect(m_link.get(), &DeviceLink::transferStarted, this, [this] { restartReplies(); });
        connect(m_link.get(), &DeviceLink::requestStarted, this, [this] { restartReplies(); });
        connect(m_link.get(), &DeviceLink::transferProgress, this, [this](int percent) {
            m_percent = percent;
            m_progressed();
        });
        connect(m_link.get(), &DeviceLink::transferFinished, this, &KitJob::onTransferFinished);
        connect(m_link.get(), &DeviceLink::requestFinished, this, &KitJob::onRequestFinished);
        connect(m_link.get(), &DeviceLink::replyReceived, this, &KitJob::onReply);
        // Only this kit: another plugged in meanwhile is never taken.
        m_link->setWantedKit(m_id);
        armDeadline(ConnectMs, [this] {
            fail(m_link->accessRefused(m_id) ? QStringLiteral("no access: install the udev rule, see README")
                                             : NoKitMessage);
        });
        onDevices();
    }

    QString id() const { return m_id; }
    bool ended() const { return m_stage == Stage::Ended; }
    QString failure() const { return m_failure; }
    // The transfer's progress (100 once past it).
    int percent() const { return m_stage == Stage::Connecting ? 0 : m_stage == Stage::Transferring ? m_percent : 100; }

private:
    enum class Stage { Connecting, Transferring, AwaitingReady, ReadingMemory, Requesting, AwaitingRunReady, Ended };

    void onDevices()
    {
        if (m_stage == Stage::Ended)
            return;
        if (m_stage != Stage::Connecting) {
            // Gone (or replaced): whatever was under way will not finish.
            if (!m_link->KitPresent())
                fail(NoKitMessage);
            return;
        }
        if (m_link->KitPresent()) {
            begin();
        } else if (m_link->isSettled() && !m_link->accessRefused(m_id)) {
            // Refused access is tried again for a while (the udev rule is
            // applied a moment after the kit appears): the deadline ends that.
            fail(NoKitMessage);
        }
    }

    void begin()
    {
        if (!m_plan.transfer.isEmpty()) {
            m_stage = Stage::Transferring;
            if (!m_link->Transfer(m_plan.transfer))
                return fail(SendFailure(*m_link));
            // Paced at 50 ms (1050 ms with a measurement window) per value.
            armDeadline(int(m_plan.transfer.size()) * 1200 + 5000, [this] { fail(NoKitMessage); });
            return;
        }
        afterTransfer();
    }

    void onTransferFinished(bool completed)
    {
        if (m_stage != Stage::Transferring)
            return;
        if (!completed)
            return fail(SendFailure(*m_link));
        m_stage = Stage::AwaitingReady;
        if (m_ready)
            return afterReady();
        armDeadline(ReadyTimeoutMs, [this] { fail(SendFailure(*m_link)); });
    }

    void afterReady()
    {
        if (!m_plan.verify)
            return afterTransfer();
        m_stage = Stage::ReadingMemory;
        if (!m_link->RequestMemory())
            return fail(SendFailure(*m_link));
        armDeadline(RequestTimeoutMs + MemoryFirstReplyMs, [this] { compareMemory(); });
    }

    void compareMemory()
    {
        const QString difference =
            HeldDifference(m_lines.mid(0, kit::MemoryReplies), m_plan.transfer, MemoryAreaStart(m_plan.transfer.first()));
        if (!difference.isEmpty())
            return fail(difference);
        afterTransfer();
    }

    void afterTransfer()
    {
        if (m_plan.request == 0)
            return succeed();
        m_stage = Stage::Requesting;
        bool asked = false;
        switch (m_plan.request) {
        case kit::Run: asked = m_link->RequestRun(); break;
        case kit::Play: asked = m_link->RequestPlay(); break;
        case kit::Stop: asked = m_link->RequestStop(); break;
        default: break;
        }
        if (!asked)
            return fail(SendFailure(*m_link));
        armDeadline(RequestTimeoutMs, [this] { fail(SendFailure(*m_link)); });
    }

    void onRequestFinished(int value, bool completed)
    {
        if (m_stage == Stage::ReadingMemory && value == kit::SendMemory) {
            if (!completed)
                fail(SendFailure(*m_link));
            return;
        }
        if (m_stage != Stage::Requesting || value != m_plan.request)
            return;
        if (!completed)
            return fail(SendFailure(*m_link));
        if (m_plan.readyWaitMs < 0)
            return succeed();
        m_stage = Stage::AwaitingRunReady;
        if (m_ready)
            return succeed();
        armDeadline(m_plan.readyWaitMs, [this] {
            fail(QStringLiteral("the kit did not finish within %1 s").arg(m_plan.readyWaitMs / 1000));
        });
    }

    void restartReplies()
    {
        m_lines.clear();
        m_ready = false;
    }

    void onReply(const QString &line)
    {
        if (StripSpaces(line) == QLatin1String("FF"))
            m_ready = true;
        if (m_lines.size() < kit::MemoryReplies)
            m_lines.append(line);
        switch (m_stage) {
        case Stage::AwaitingReady:
            if (m_ready)
                afterReady();
            break;
        case Stage::AwaitingRunReady:
            if (m_ready)
                succeed();
            break;
        case Stage::ReadingMemory:
            // Each reply starts the quiet time again; a kit that answers
            // less is compared on what it said.
            if (m_lines.size() >= kit::MemoryReplies)
                compareMemory();
            else
                armDeadline(MemoryQuietMs, [this] { compareMemory(); });
            break;
        default:
            break;
        }
    }

    void armDeadline(int ms, std::function<void()> due)
    {
        const quint64 ticket = ++m_deadlineTicket;
        m_clock.callAfter(ms, this, [this, ticket, due = std::move(due)] {
            if (ticket == m_deadlineTicket && m_stage != Stage::Ended)
                due();
        });
    }

    void succeed() { end(QString()); }
    void fail(const QString &why) { end(why.isEmpty() ? NoKitMessage : why); }
    void end(const QString &failure)
    {
        if (m_stage == Stage::Ended)
            return;
        m_stage = Stage::Ended;
        m_failure = failure;
        ++m_deadlineTicket;
        m_done();
    }

    QString m_id;
    KitJobPlan m_plan;
    std::function<void()> m_progressed;
    std::function<void()> m_done;
    TimerPaceClock m_clock;
    std::unique_ptr<DeviceLink> m_link; // after its clock: goes first
    Stage m_stage = Stage::Connecting;
    QString m_failure;
    QStringList m_lines;
    bool m_ready = false;
    int m_percent = 0;
    quint64 m_deadlineTicket = 0;
};

} // namespace

bool TakeAllFlag(QStringList &args)
{
    return args.removeAll(QStringLiteral("--all")) > 0;
}

int RunOnEveryKit(const char *command, const KitJobPlan &plan)
{
    if (!SessionWantedKit().isEmpty()) {
        err() << "koru-tool " << command << ": --all and --kit exclude each other" << Qt::endl;
        return UsageError;
    }
    // The kits as the session's link sees them now, oldest first.
    QStringList ids;
    const DeviceLink &seen = SettledLink();
    for (const HidDeviceInfo &device : seen.devices())
        if (DisplayName(device) == KitDisplayName && !ids.contains(device.path))
            ids.append(device.path);
    if (ids.isEmpty())
        return refuse(NoKitMessage);

    QEventLoop loop;
    qsizetype ended = 0;
    std::vector<std::unique_ptr<KitJob>> jobs;
    // The progress shown is that of the kit furthest behind.
    int shown = -1;
    const auto showProgress = [&] {
        int least = 100;
        for (const auto &job : jobs)
            least = qMin(least, job->percent());
        if (least != shown) {
            shown = least;
            err() << "\r" << QString::number(least).rightJustified(3) << '%';
            err().flush();
        }
    };
    for (const QString &id : std::as_const(ids))
        jobs.push_back(std::make_unique<KitJob>(id, plan, showProgress, [&] {
            if (++ended == qsizetype(jobs.size()))
                loop.quit();
        }));
    // Each job ends by itself (every wait has its deadline), so the loop ends
    // once the last has.
    for (const auto &job : jobs)
        job->start();
    if (ended < qsizetype(jobs.size()))
        loop.exec();
    if (!plan.transfer.isEmpty()) {
        showProgress();
        err() << Qt::endl;
    }

    int failed = 0;
    for (const auto &job : jobs) {
        out() << job->id() << "  " << (job->failure().isEmpty() ? QStringLiteral("OK") : job->failure()) << '\n';
        if (!job->failure().isEmpty())
            ++failed;
    }
    out() << jobs.size() << (jobs.size() == 1 ? " kit: " : " kits: ") << jobs.size() - failed << " OK, " << failed
          << " failed" << Qt::endl;
    return failed == 0 ? Success : Refused;
}

int MemoryAreaStart(int frameStart)
{
    return frameStart == kit::ProgramFrame ? 0 : MelodyAreaStart;
}

QString HeldDifference(const QStringList &memory, const QList<int> &frame, int areaStart)
{
    for (qsizetype i = 1; i < frame.size(); ++i) {
        const int address = areaStart + int(i) - 1;
        if (address < memory.size() && ByteValueOfLine(memory[address]) == std::optional<int>(frame[i]))
            continue;
        const QString sent = QStringLiteral("%1").arg(frame[i], 2, 16, QLatin1Char('0')).toUpper();
        return QStringLiteral("the kit does not hold what was sent (address %1: sent %2, the kit holds %3)")
            .arg(address)
            .arg(sent, address < memory.size() ? StripSpaces(memory[address]) : QStringLiteral("nothing"));
    }
    return {};
}

} // namespace koru::tool
