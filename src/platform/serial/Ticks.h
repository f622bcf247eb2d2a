#pragma once

#include <QtGlobal>

namespace sonmetra::serial {

// The serial service counts time in ticks of 55 ms.
inline constexpr qint64 TickMs = 55;

constexpr qint64 ticksToMs(qint64 ticks)
{
    return ticks * TickMs;
}

} // namespace sonmetra::serial
