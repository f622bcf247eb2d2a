#include "serial/TimerTriggers.h"

#include "error/PlatformError.h"
#include "serial/Ticks.h"

#include <limits>
#include <utility>

namespace sonmetra::serial {

TimerTriggers::TimerTriggers(Clock& clock, std::function<void(quint16)> expired)
    : clock(clock), expired(std::move(expired))
{
}

TimerTriggers::~TimerTriggers()
{
    removeAll();
}

quint16 TimerTriggers::add()
{
    if (countdowns.size() >= std::numeric_limits<quint16>::max())
        throw PlatformError(QStringLiteral("All timer triggers of the serial port are in use"));
    do {
        ++lastHandle;
    } while (lastHandle == 0 || countdowns.contains(lastHandle));
    countdowns.emplace(lastHandle, Disarmed);
    return lastHandle;
}

void TimerTriggers::arm(quint16 handle, int ticks)
{
    const auto found = countdowns.find(handle);
    if (found == countdowns.end())
        return;
    clock.cancel(found->second);
    found->second = clock.callAfter(ticksToMs(qMax(0, ticks)), [this, handle] {
        countdowns[handle] = Disarmed;
        expired(handle);
    });
}

void TimerTriggers::disarm(quint16 handle)
{
    const auto found = countdowns.find(handle);
    if (found == countdowns.end())
        return;
    clock.cancel(found->second);
    found->second = Disarmed;
}

void TimerTriggers::remove(quint16 handle)
{
    disarm(handle);
    countdowns.erase(handle);
}

void TimerTriggers::removeAll()
{
    for (const auto& [handle, id] : countdowns)
        clock.cancel(id);
    countdowns.clear();
}

bool TimerTriggers::isArmed(quint16 handle) const
{
    const auto found = countdowns.find(handle);
    return found != countdowns.end() && found->second != Disarmed;
}

} // namespace sonmetra::serial
