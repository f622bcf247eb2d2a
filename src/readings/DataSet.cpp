#include "readings/DataSet.h"

#include "ui/VectorState.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The passes over the readings run four at a time in SSE2 (the x86-64 baseline): each group of
// four is widened to two pairs of doubles, which keeps two chains of additions independent. Taking
// the halves apart element by element instead costs several times the instructions, and recomputing
// the statistics for every live reading makes this the hottest loop of a measurement. Elsewhere,
// and for the last few readings, the plain loops below do the same sums one reading at a time.
#if defined(__SSE2__)
constexpr int VectorStep = 4;

// How many of count readings the vector loops take: whole groups of four.
int vectorCount(int count)
{
    return count - count % VectorStep;
}

double sumOfHalves(__m128d a, __m128d b)
{
    const __m128d both = _mm_add_pd(a, b);
    return _mm_cvtsd_f64(_mm_add_sd(both, _mm_unpackhi_pd(both, both)));
}

// Sum, largest and smallest of readings[0, whole), whole a multiple of VectorStep.
void vectorFirstPass(const float* readings, int whole, double& sum, float& maximum, float& minimum)
{
    __m128d low = _mm_setzero_pd();
    __m128d high = _mm_setzero_pd();
    __m128 largest = _mm_set1_ps(maximum);
    __m128 smallest = _mm_set1_ps(minimum);
    for (int k = 0; k < whole; k += VectorStep) {
        const __m128 v = _mm_loadu_ps(readings + k);
        low = _mm_add_pd(low, _mm_cvtps_pd(v));
        high = _mm_add_pd(high, _mm_cvtps_pd(_mm_movehl_ps(v, v)));
        largest = _mm_max_ps(largest, v);
        smallest = _mm_min_ps(smallest, v);
    }
    sum = sumOfHalves(low, high);
    alignas(16) float lanes[VectorStep];
    _mm_store_ps(lanes, largest);
    maximum = *std::max_element(lanes, lanes + VectorStep);
    _mm_store_ps(lanes, smallest);
    minimum = *std::min_element(lanes, lanes + VectorStep);
}

// Sum of the squared distances of readings[0, whole) from the average.
double vectorSecondPass(const float* readings, int whole, double average)
{
    const __m128d mean = _mm_set1_pd(average);
    __m128d low = _mm_setzero_pd();
    __m128d high = _mm_setzero_pd();
    for (int k = 0; k < whole; k += VectorStep) {
        const __m128 v = _mm_loadu_ps(readings + k);
        const __m128d a = _mm_sub_pd(mean, _mm_cvtps_pd(v));
        const __m128d b = _mm_sub_pd(mean, _mm_cvtps_pd(_mm_movehl_ps(v, v)));
        low = _mm_add_pd(low, _mm_mul_pd(a, a));
        high = _mm_add_pd(high, _mm_mul_pd(b, b));
    }
    return sumOfHalves(low, high);
}
#else
int vectorCount(int)
{
    return 0;
}

void vectorFirstPass(const float*, int, double&, float&, float&) {}

double vectorSecondPass(const float*, int, double)
{
    return 0.0;
}
#endif

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
    const int whole = vectorCount(count);
    // The caller's last repaint may have left the vector registers' upper halves in use.
    ui::clearUpperVectorState();

    double sum = 0.0;
    vectorFirstPass(readings, whole, sum, s.maximum, s.minimum);
    for (int k = whole; k < count; ++k) {
        sum += readings[k];
        s.maximum = std::max(s.maximum, readings[k]);
        s.minimum = std::min(s.minimum, readings[k]);
    }
    const double average = sum / count;
    s.average = static_cast<float>(average);

    double sumOfSquares = vectorSecondPass(readings, whole, average);
    for (int k = whole; k < count; ++k) {
        const double d = average - readings[k];
        sumOfSquares += d * d;
    }
    s.standardDeviation = static_cast<float>(std::sqrt(sumOfSquares / (count - 1)));
    return s;
}

} // namespace sonmetra
