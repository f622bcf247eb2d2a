#pragma once

#include <QList>
#include <QString>

namespace sonmetra::ports {

struct PortHolder
{
    qint64 pid = 0;
    QString name; // the program's name
};

// The other processes that have device open, as far as this user may see them in /proc.
QList<PortHolder> portHolders(const QString& device);

} // namespace sonmetra::ports
