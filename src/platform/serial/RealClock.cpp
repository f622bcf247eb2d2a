#include "serial/Clock.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace sonmetra::serial {

RealClock::RealClock()
{
    elapsed.start();
}

RealClock::~RealClock() = default; // the timers are children of timerParent

qint64 RealClock::nowMs() const
{
    return elapsed.elapsed();
}

int RealClock::callAfter(qint64 delayMs, std::function<void()> fn)
{
    const int id = ++lastId;
    auto* timer = new QTimer(&timerParent);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, timer, fn = std::move(fn)] {
        timers.erase(id);
        // The timer is inside its own signal: delete it later, then run the callback, which may
        // schedule or cancel others.
        timer->deleteLater();
        fn();
    });
    timers.emplace(id, timer);
    timer->start(static_cast<int>(std::clamp<qint64>(delayMs, 0, std::numeric_limits<int>::max())));
    return id;
}

void RealClock::cancel(int id)
{
    const auto found = timers.find(id);
    if (found == timers.end())
        return;
    found->second->stop();
    found->second->deleteLater();
    timers.erase(found);
}

Clock& defaultClock()
{
    static RealClock clock;
    return clock;
}

} // namespace sonmetra::serial
