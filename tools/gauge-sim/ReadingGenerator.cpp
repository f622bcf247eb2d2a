#include "ReadingGenerator.h"

#include <algorithm>
#include <cmath>

namespace sonmetra::sim {

ReadingGenerator::ReadingGenerator(double nominalMm, quint32 seed)
    : nominal(nominalMm), random(seed)
{
}

quint16 ReadingGenerator::next()
{
    double mm = nominal;
    if (chance(random) < OutlierChance)
        mm *= chance(random) < 0.5 ? 2.0 : 0.6;
    mm += noise(random);
    return static_cast<quint16>(std::clamp(std::lround(mm * 100.0), 0L, 65535L));
}

} // namespace sonmetra::sim
