#pragma once

#include "serial/Clock.h"

#include <QtGlobal>

#include <functional>
#include <map>

namespace sonmetra::serial {

// One-shot countdowns in ticks, each known by a 16-bit handle. An armed trigger calls expired
// once with its handle when its countdown runs out and is disarmed again. Disarming,
// re-arming or removing a trigger cancels its pending call. Handles that are not (or no
// longer) valid are ignored.
class TimerTriggers
{
public:
    TimerTriggers(Clock& clock, std::function<void(quint16)> expired);
    ~TimerTriggers();
    TimerTriggers(const TimerTriggers&) = delete;
    TimerTriggers& operator=(const TimerTriggers&) = delete;

    // A new handle (never 0), disarmed.
    quint16 add();
    // (Re)starts the countdown of handle: it expires ticks ticks from now.
    void arm(quint16 handle, int ticks);
    void disarm(quint16 handle);
    void remove(quint16 handle);
    void removeAll();

    bool isValid(quint16 handle) const { return countdowns.contains(handle); }
    bool isArmed(quint16 handle) const;

private:
    static constexpr int Disarmed = 0;

    Clock& clock;
    std::function<void(quint16)> expired;
    std::map<quint16, int> countdowns; // handle -> clock call id, or Disarmed
    quint16 lastHandle = 0;
};

} // namespace sonmetra::serial
