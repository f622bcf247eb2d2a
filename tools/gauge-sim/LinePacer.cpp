#include "LinePacer.h"

#include <algorithm>

namespace sonmetra::sim {

void LinePacer::start(qint64 nowNs)
{
    startNs = nowNs;
    taken = 0;
}

qint64 LinePacer::due(qint64 nowNs) const
{
    const qint64 through =
        std::max<qint64>(nowNs - startNs, 0) * BytesPerSecond / NanosecondsPerSecond;
    return std::max<qint64>(through - taken, 0);
}

void LinePacer::take(qint64 bytes)
{
    taken += bytes;
    const qint64 seconds = taken / BytesPerSecond;
    startNs += seconds * NanosecondsPerSecond;
    taken -= seconds * BytesPerSecond;
}

qint64 LinePacer::throughAt(qint64 k) const
{
    // Byte k since start is through at start + ceil(k * 1 s / BytesPerSecond).
    return startNs + (k * NanosecondsPerSecond + BytesPerSecond - 1) / BytesPerSecond;
}

qint64 LinePacer::untilNext(qint64 nowNs) const
{
    return std::max<qint64>(throughAt(taken + 1) - nowNs, 0);
}

qint64 LinePacer::freeAt() const
{
    return throughAt(taken);
}

} // namespace sonmetra::sim
