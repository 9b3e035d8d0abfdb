#include "model/wait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace koru {

void WaitMs(unsigned ms)
{
    if (ms == 0)
        return;
    const QDeadlineTimer deadline(qint64(ms), Qt::PreciseTimer);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // A timer can fire a little early on some platforms; wait out the rest.
    while (!deadline.hasExpired()) {
        timer.start(int(qMax<qint64>(1, deadline.remainingTime())));
        loop.exec(QEventLoop::AllEvents);
    }
}

} // namespace koru
