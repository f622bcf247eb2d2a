#include "serial/PortTest.h"

#include "serial/ComNames.h"
#include "serial/PortLock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sonmetra::serial {

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

PortStatus::State stateForOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO: // a serial device node whose hardware is absent
        return PortStatus::State::NoDevice;
    case EACCES:
    case EPERM:
        return PortStatus::State::NoPermission;
    case EBUSY: // TIOCEXCL of another program
        return PortStatus::State::Held;
    default:
        return PortStatus::State::Failed;
    }
}

} // namespace

PortStatus portStatus(int comNumber)
{
    PortStatus status;
    status.device = comDeviceResolved(comNumber);
    if (status.device.isEmpty() || !QFileInfo::exists(status.device))
        return status;

    // The lock file first, as Qt Serial Port itself takes it before it opens the device.
    switch (lockFileState(status.device)) {
    case LockFileState::Held:
        status.state = PortStatus::State::Held;
        return status;
    case LockFileState::Unusable:
        status.state = PortStatus::State::NoPermission;
        status.detail = QStringLiteral("no lock folder can be written for %1").arg(status.device);
        return status;
    case LockFileState::Free:
        break;
    }

    const int fd =
        ::open(QFile::encodeName(status.device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        status.state = stateForOpenError(error);
        status.detail = systemText(error);
        return status;
    }
    if (lockDescriptor(fd)) {
        status.state = PortStatus::State::Available;
    } else {
        const int error = errno;
        status.state = error == EWOULDBLOCK ? PortStatus::State::Held : PortStatus::State::Failed;
        status.detail = systemText(error);
    }
    ::close(fd);
    return status;
}

bool canOpenPort(int comNumber)
{
    return portStatus(comNumber).state == PortStatus::State::Available;
}

} // namespace sonmetra::serial
