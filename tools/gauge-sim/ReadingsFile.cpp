#include "ReadingsFile.h"

#include "error/PlatformError.h"

#include <QFile>

#include <cmath>

namespace sonmetra::sim {

QVector<quint16> parseReadings(const QByteArray& text, const QString& source)
{
    QVector<quint16> readings;
    int lineNumber = 0;
    for (const QByteArray& raw : text.split('\n')) {
        ++lineNumber;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        bool ok = false;
        const double mm = line.toDouble(&ok);
        const double hundredths = std::round(mm * 100.0);
        if (!ok || !(hundredths >= 0.0 && hundredths <= 65535.0))
            throw PlatformError(QStringLiteral("%1, line %2: \"%3\" is not a thickness from 0.00 "
                                               "to 655.35 mm")
                                    .arg(source)
                                    .arg(lineNumber)
                                    .arg(QString::fromUtf8(line)));
        readings.append(static_cast<quint16>(hundredths));
    }
    return readings;
}

QVector<quint16> readReadingsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PlatformError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return parseReadings(file.readAll(), path);
}

} // namespace sonmetra::sim
