#include "readings/LiveReadings.h"

namespace sonmetra {

float readingFromRaw(quint16 hundredths)
{
    return static_cast<float>(hundredths / 100.0);
}

bool storeLiveReading(TDataRec& rec, quint16 hundredths)
{
    const bool grows = rec.Count < MaxReadings;
    if (grows) {
        ++rec.Count;
        rec.PageEnd = rec.Count;
    }
    rec.Readings[rec.Count] = readingFromRaw(hundredths);
    return grows;
}

} // namespace sonmetra
