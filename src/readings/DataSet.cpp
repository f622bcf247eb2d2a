#include "readings/DataSet.h"

#include <cmath>

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

Statistics CalcStatistics(const TDataRec& rec)
{
    Statistics s;
    s.maximum = rec.Readings[1];
    s.minimum = rec.Readings[1];
    if (rec.Count == 1) {
        s.average = rec.Readings[1];
        return s;
    }
    double sum = 0;
    for (int k = 1; k <= rec.Count; ++k) {
        const float v = rec.Readings[k];
        if (v > s.maximum)
            s.maximum = v;
        if (v < s.minimum)
            s.minimum = v;
        sum += v;
    }
    const double average = sum / rec.Count;
    s.average = static_cast<float>(average);
    double squares = 0;
    for (int k = 1; k <= rec.Count; ++k) {
        const double d = average - rec.Readings[k];
        squares += d * d;
    }
    s.standardDeviation = static_cast<float>(std::sqrt(squares / (rec.Count - 1)));
    return s;
}

} // namespace sonmetra
