#pragma once

#include "serial/Clock.h"

#include <functional>

namespace sonmetra::serial {

// The RX and TX lights: each is lit by traffic in its direction and goes dark one tick after
// that traffic stops. While switched off both are dark and nothing is reported.
class TrafficLights
{
public:
    enum class Direction
    {
        Rx,
        Tx
    };

    // changed(rx, tx) is called whenever a light changes.
    TrafficLights(Clock& clock, std::function<void(bool rx, bool tx)> changed);
    ~TrafficLights();
    TrafficLights(const TrafficLights&) = delete;
    TrafficLights& operator=(const TrafficLights&) = delete;

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled; }

    void traffic(Direction direction);

    bool rxLit() const { return rx.lit; }
    bool txLit() const { return tx.lit; }

private:
    struct Light
    {
        bool lit = false;
        qint64 lastTrafficMs = 0;
        int darkCheck = 0; // pending clock call, 0 when none
    };

    void checkDark(Light& light);
    void report();

    Clock& clock;
    std::function<void(bool, bool)> changed;
    Light rx;
    Light tx;
    bool enabled = false;
};

} // namespace sonmetra::serial
