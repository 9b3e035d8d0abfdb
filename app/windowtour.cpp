#include "app/windowtour.h"

#include "app/shell.h"

#include <QPointer>
#include <QTimer>

#include <memory>

namespace koru::shell {

namespace {

// Long enough for a window to be mapped and painted before the next step.
constexpr int StepMs = 150;

struct Tour
{
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    std::function<void()> done;
};

void RunNext(const std::shared_ptr<Tour> &tour)
{
    if (tour->next == tour->steps.size()) {
        tour->done();
        return;
    }
    tour->steps[tour->next++]();
    QTimer::singleShot(StepMs, [tour] { RunNext(tour); });
}

} // namespace

void TourEveryWindow(Shell &shell, std::function<void()> done)
{
    auto tour = std::make_shared<Tour>();
    tour->done = std::move(done);
    LauncherWindow *launcher = &shell.launcher();
    tour->steps.push_back([launcher] { launcher->showPage(2); });
    for (const auto &[target, factory] : DefaultLauncherTable(shell.shared())) {
        const LauncherTarget t = target;
        tour->steps.push_back([launcher, t] { launcher->open(t); });
        tour->steps.push_back([launcher, t] {
            if (QWidget *window = launcher->openWindow(t))
                window->close();
        });
    }
    for (const QString &name : shell.sharedWindowNames()) {
        QPointer<QWidget> window = shell.sharedWindow(name);
        tour->steps.push_back([window] {
            if (window)
                window->show();
        });
        tour->steps.push_back([window] {
            if (window)
                window->hide();
        });
    }
    tour->steps.push_back([launcher] { launcher->showPage(1); });
    QTimer::singleShot(StepMs, [tour] { RunNext(tour); });
}

} // namespace koru::shell
