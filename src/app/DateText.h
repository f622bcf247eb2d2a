#pragma once

#include <QDateTime>
#include <QString>

namespace sonmetra {

// The program-wide short date format: four-digit year, month and day without leading zeros.
inline constexpr char ShortDateFormat[] = "yyyy-M-d";

// A date-time as the program writes it everywhere: the short date, then, unless the time of day
// is exactly midnight, a blank and the time in the system's long time format.
QString dateTimeText(const QDateTime& dateTime);

} // namespace sonmetra
