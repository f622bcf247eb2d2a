#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace sonmetra::sim {

// Live readings for the simulator as text: one thickness per line in millimetres ("12.34"),
// 0.00 to 655.35; blank lines and lines starting with '#' are skipped. Returns hundredths of a
// millimetre. Throws PlatformError naming the source and the line that is not a thickness.
QVector<quint16> parseReadings(const QByteArray& text, const QString& source);

// parseReadings() of a file's contents; throws PlatformError when it cannot be read.
QVector<quint16> readReadingsFile(const QString& path);

} // namespace sonmetra::sim
