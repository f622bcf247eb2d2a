#include "PtyPair.h"

#include "serial/ComNames.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace sonmetra::serial::test {

PtyPair::PtyPair()
{
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return;
    const char* name = nullptr;
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || (name = ::ptsname(fd)) == nullptr) {
        ::close(fd);
        return;
    }
    master = fd;
    slave = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    if (!link.isEmpty())
        QFile::remove(link);
    closeMaster();
}

bool PtyPair::linkAs(int comNumber)
{
    if (!QDir().mkpath(portFolder()))
        return false;
    const QString path = portFolder() + QStringLiteral("/COM%1").arg(comNumber);
    QFile::remove(path);
    if (!QFile::link(slave, path))
        return false;
    link = path;
    return true;
}

bool PtyPair::write(QByteArrayView bytes)
{
    const QDeadlineTimer deadline(5000);
    while (!bytes.isEmpty() && master >= 0 && !deadline.hasExpired()) {
        const ssize_t done = ::write(master, bytes.data(), static_cast<size_t>(bytes.size()));
        if (done > 0)
            bytes = bytes.sliced(done);
        else if (done < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return bytes.isEmpty();
}

QByteArray PtyPair::read(qsizetype count, int timeoutMs)
{
    QByteArray got;
    const QDeadlineTimer deadline(timeoutMs);
    while (got.size() < count && master >= 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        pollfd probe{master, POLLIN, 0};
        if (::poll(&probe, 1, 10) <= 0)
            continue;
        char buffer[4096];
        const ssize_t done = ::read(master, buffer, sizeof buffer);
        if (done > 0)
            got.append(buffer, done);
        else if (done < 0 && errno == EIO) // the slave is closed: nothing more can come
            break;
    }
    return got;
}

bool PtyPair::lineSettings(termios& line) const
{
    return ::tcgetattr(master, &line) == 0;
}

void PtyPair::closeMaster()
{
    if (master >= 0)
        ::close(master);
    master = -1;
}

} // namespace sonmetra::serial::test
