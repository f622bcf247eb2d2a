#include "PortHolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sonmetra::ports {

namespace {

QString programName(const QString& pidFolder)
{
    QFile comm(pidFolder + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

} // namespace

QList<PortHolder> portHolders(const QString& device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    const qint64 self = QCoreApplication::applicationPid();
    QList<PortHolder> holders;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : pids) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == self)
            continue;
        const QString folder = QStringLiteral("/proc/") + entry;
        const QFileInfoList fds = QDir(folder + QStringLiteral("/fd")).entryInfoList(QDir::System);
        for (const QFileInfo& fd : fds) {
            if (fd.symLinkTarget() == target) {
                holders.append(PortHolder{pid, programName(folder)});
                break;
            }
        }
    }
    return holders;
}

} // namespace sonmetra::ports
