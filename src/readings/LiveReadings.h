#pragma once

#include "readings/DataSet.h"

namespace sonmetra {

// A reading as the instrument counts it: hundredths of a millimetre.
float readingFromRaw(quint16 hundredths);

// Appends one live reading. Once the set holds MaxReadings, the newest replaces the last one.
// Returns true when the set grew.
bool storeLiveReading(TDataRec& rec, quint16 hundredths);

} // namespace sonmetra
