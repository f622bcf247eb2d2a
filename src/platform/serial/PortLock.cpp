#include "serial/PortLock.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringList>

#include <sys/file.h>

namespace sonmetra::serial {

QString lockFilePath(const QString& device)
{
    // The folders and their order are Qt Serial Port's own, so that both name the same file.
    static const QStringList folders = {
        QStringLiteral("/var/lock"),
        QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),
        QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"),
        QStringLiteral("/run/lock"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation),
    };
    QString name = device;
    if (name.startsWith(QStringLiteral("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.prepend(QStringLiteral("/LCK.."));

    for (const QString& folder : folders) {
        const QString path = folder + name;
        const QFileInfo info(folder);
        if (info.isReadable() && (QFile::exists(path) || info.isWritable()))
            return path;
    }
    return {};
}

LockFileState lockFileState(const QString& device)
{
    const QString path = lockFilePath(device);
    if (path.isEmpty())
        return LockFileState::Unusable;
    QLockFile lock(path);
    // A live holder's lock never counts as stale by age; a dead holder's lock is removed, as
    // Qt Serial Port would remove it when opening.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        lock.unlock();
        return LockFileState::Free;
    }
    return lock.error() == QLockFile::LockFailedError ? LockFileState::Held
                                                      : LockFileState::Unusable;
}

bool lockDescriptor(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

} // namespace sonmetra::serial
