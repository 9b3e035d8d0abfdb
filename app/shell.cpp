#include "app/shell.h"

#ifdef KORU_HAVE_LINKUI
#include "link/devicelink.h"
#include "link/paceclock.h"
#endif

#include "editor/recovery.h"
#include "model/paths.h"
#include "widgets/hiddenbuffers.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <utility>

namespace koru::shell {

namespace {

// The editor whose recovery copy has the key (editor/recovery.h).
std::optional<LauncherTarget> EditorOfRecoveryKey(const QString &key)
{
    static const std::map<QString, LauncherTarget> editors{{QStringLiteral("STEP1"), LauncherTarget::IconEditor},
                                                           {QStringLiteral("STEP2"), LauncherTarget::FlowchartEditor},
                                                           {QStringLiteral("STEP3"), LauncherTarget::TextEditor},
                                                           {QStringLiteral("MELODY"), LauncherTarget::MelodyEditor}};
    const auto it = editors.find(key);
    if (it == editors.end())
        return std::nullopt;
    return it->second;
}

} // namespace

Shell::Shell(ShellServices services) : Shell(DefaultLauncherTable, DefaultSharedWindows(), std::move(services))
{
}

Shell::Shell(LauncherTable launcherTable, const SharedWindowTable &sharedWindows, ShellServices services)
    : Shell([&launcherTable](const SharedWindows &) { return std::move(launcherTable); }, sharedWindows,
            std::move(services))
{
}

Shell::Shell(std::function<LauncherTable(const SharedWindows &)> launcherTable,
             const SharedWindowTable &sharedWindows, ShellServices services)
{
#ifdef KORU_HAVE_LINKUI
    m_clock = std::make_unique<TimerPaceClock>();
    m_link = std::make_unique<DeviceLink>(*m_clock);
    m_windows.kit = m_link->context();
#endif
    // The launcher first: it puts up the splash, which is what the pupil
    // waits for. Nothing opens an editor before events are processed, so
    // the recovery copies can be taken over after it.
    m_launcher = std::make_unique<LauncherWindow>(launcherTable(m_windows), std::move(services));
    m_recovery = std::make_unique<RecoveryStore>(WorkFolder() + QStringLiteral("Recovery"),
                                                 RecoveryStore::Claim::Later);
    m_windows.recovery = m_recovery.get();
    // The program ends when the launcher closes, and only then: while an
    // editor closes, every window is hidden for a moment before the launcher
    // comes back, which must not end the program.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(m_launcher.get(), &LauncherWindow::closed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    m_sharedToMake = sharedWindows;
}

Shell::~Shell()
{
    m_files.reset();
    m_launcher.reset();
    for (auto it = m_shared.rbegin(); it != m_shared.rend(); ++it)
        delete it->second;
}

QWidget *Shell::sharedWindow(const QString &name) const
{
    for (const auto &[n, window] : m_shared)
        if (n == name)
            return window;
    return nullptr;
}

QStringList Shell::sharedWindowNames() const
{
    QStringList names;
    for (const auto &entry : m_shared)
        names << entry.first;
    return names;
}

void Shell::start(const QStringList &files)
{
    m_launcher->showPage(1);
    m_launcher->show();
    // The shared windows are made once the launcher is on its way to the
    // screen, still before any event is processed.
    for (const SharedWindowEntry &entry : std::exchange(m_sharedToMake, {})) {
        QWidget *window = entry.make ? entry.make(m_windows) : nullptr;
        if (!window)
            continue;
        ReleaseBuffersWhenHidden(window);
        m_shared.emplace_back(entry.name, window);
    }
    m_files = std::make_unique<FileOpener>(*m_launcher);
    QTimer::singleShot(0, m_launcher.get(), [this, files] {
        // Once the launcher is up: the lock waits for the disk, and later
        // starts hand their files here.
        m_recovery->claim();
        m_files->listen();
        OfferRecovery(*m_recovery, [this](const QString &key) {
            if (const std::optional<LauncherTarget> target = EditorOfRecoveryKey(key))
                m_launcher->open(*target);
        });
        for (const QString &file : files)
            m_files->open(file);
    });
}

} // namespace koru::shell
