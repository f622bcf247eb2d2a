#include "serial/TrafficLights.h"

#include "serial/Ticks.h"

#include <utility>

namespace sonmetra::serial {

TrafficLights::TrafficLights(Clock& clock, std::function<void(bool rx, bool tx)> changed)
    : clock(clock), changed(std::move(changed))
{
}

TrafficLights::~TrafficLights()
{
    clock.cancel(rx.darkCheck);
    clock.cancel(tx.darkCheck);
}

void TrafficLights::setEnabled(bool on)
{
    if (on == enabled)
        return;
    enabled = on;
    if (on)
        return;
    const bool wasLit = rx.lit || tx.lit;
    for (Light* light : {&rx, &tx}) {
        clock.cancel(light->darkCheck);
        *light = Light{};
    }
    if (wasLit)
        report();
}

void TrafficLights::traffic(Direction direction)
{
    if (!enabled)
        return;
    Light& light = direction == Direction::Rx ? rx : tx;
    light.lastTrafficMs = clock.nowMs();
    // One pending check per light: it looks again at the time of the last traffic when it runs,
    // so a steady stream costs no timer per burst.
    if (light.darkCheck == 0)
        light.darkCheck = clock.callAfter(TickMs, [this, &light] { checkDark(light); });
    if (!light.lit) {
        light.lit = true;
        report();
    }
}

void TrafficLights::checkDark(Light& light)
{
    light.darkCheck = 0;
    const qint64 quiet = clock.nowMs() - light.lastTrafficMs;
    if (quiet < TickMs) {
        light.darkCheck = clock.callAfter(TickMs - quiet, [this, &light] { checkDark(light); });
        return;
    }
    light.lit = false;
    report();
}

void TrafficLights::report()
{
    changed(rx.lit, tx.lit);
}

} // namespace sonmetra::serial
