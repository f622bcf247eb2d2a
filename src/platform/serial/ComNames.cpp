#include "serial/ComNames.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace sonmetra::serial {

QString portFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/sonmetra/ports");
}

QString comDevice(int comNumber)
{
    if (comNumber < FirstComNumber || comNumber > LastComNumber)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(comNumber);
#else
    const QString link = portFolder() + QStringLiteral("/COM%1").arg(comNumber);
    if (QFileInfo(link).exists() || QFileInfo(link).isSymLink())
        return link;
    if (comNumber <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
    if (comNumber <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(comNumber - 5);
    return QStringLiteral("/dev/ttyACM%1").arg(comNumber - 13);
#endif
}

QString comDeviceResolved(int comNumber)
{
    const QString device = comDevice(comNumber);
    const QFileInfo info(device);
    if (!info.isSymLink())
        return device;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? device : target;
}

} // namespace sonmetra::serial
