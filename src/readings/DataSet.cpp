#include "readings/DataSet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sonmetra {

TDataRec DataRec;

QString sensorName(int sensor)
{
    if (sensor < 0 || sensor >= static_cast<int>(SensorNames.size()))
        return {};
    return QString::fromLatin1(SensorNames[static_cast<std::size_t>(sensor)]);
}

void ClearDataSet(TDataRec& rec)
{
    rec.Source = dsNothing;
    rec.Count = 0;
    rec.PageEnd = 0;
    rec.Velocity = DefaultVelocity;
    rec.Sensor = 1;
    rec.Material.clear();
}

namespace {

// Readings four at a time in two pairs of doubles: four independent chains of additions that
// fit plain SSE2 registers, so recomputing the statistics for every live reading stays cheap.
using Pair = double __attribute__((vector_size(16)));
using Quad = float __attribute__((vector_size(16)));

struct Lanes
{
    Pair low{};
    Pair high{};

    double total() const { return (low[0] + low[1]) + (high[0] + high[1]); }
};

Quad loadQuad(const float* p)
{
    Quad v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

Pair lowHalf(Quad v)
{
    return Pair{v[0], v[1]};
}

Pair highHalf(Quad v)
{
    return Pair{v[2], v[3]};
}

} // namespace

Statistics CalcStatistics(const TDataRec& rec)
{
    Statistics s;
    s.maximum = rec.Readings[1];
    s.minimum = rec.Readings[1];
    if (rec.Count == 1) {
        s.average = rec.Readings[1];
        return s;
    }
    const float* readings = rec.Readings.items.data(); // readings[0] is reading 1
    const int count = rec.Count;
    const int whole = count - count % 4;

    Lanes sums;
    Quad maxima{s.maximum, s.maximum, s.maximum, s.maximum};
    Quad minima = maxima;
    for (int k = 0; k < whole; k += 4) {
        const Quad v = loadQuad(readings + k);
        sums.low += lowHalf(v);
        sums.high += highHalf(v);
        maxima = v > maxima ? v : maxima;
        minima = v < minima ? v : minima;
    }
    double sum = sums.total();
    for (int k = whole; k < count; ++k) {
        sum += readings[k];
        s.maximum = std::max(s.maximum, readings[k]);
        s.minimum = std::min(s.minimum, readings[k]);
    }
    for (int j = 0; j < 4; ++j) {
        s.maximum = std::max(s.maximum, maxima[j]);
        s.minimum = std::min(s.minimum, minima[j]);
    }
    const double average = sum / count;
    s.average = static_cast<float>(average);

    Lanes squares;
    for (int k = 0; k < whole; k += 4) {
        const Quad v = loadQuad(readings + k);
        const Pair low = average - lowHalf(v);
        const Pair high = average - highHalf(v);
        squares.low += low * low;
        squares.high += high * high;
    }
    double sumOfSquares = squares.total();
    for (int k = whole; k < count; ++k) {
        const double d = average - readings[k];
        sumOfSquares += d * d;
    }
    s.standardDeviation = static_cast<float>(std::sqrt(sumOfSquares / (count - 1)));
    return s;
}

} // namespace sonmetra
