#include "PseudoTerminal.h"

#include "error/PlatformError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sonmetra::sim {

namespace {

[[noreturn]] void fail(const char* step)
{
    const int error = errno;
    throw PlatformError(
        QStringLiteral("Cannot open a pseudo-terminal (%1: %2)")
            .arg(QString::fromLatin1(step), QString::fromLocal8Bit(strerror(error))));
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        fail("posix_openpt");
    try {
        if (fcntl(master, F_SETFD, FD_CLOEXEC) != 0 ||
            fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0)
            fail("fcntl");
        if (grantpt(master) != 0)
            fail("grantpt");
        if (unlockpt(master) != 0)
            fail("unlockpt");
        char name[128];
        if (ptsname_r(master, name, sizeof name) != 0)
            fail("ptsname");
        path = QString::fromLocal8Bit(name);
        slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave < 0)
            fail("open slave");
        termios settings{};
        if (tcgetattr(slave, &settings) != 0)
            fail("tcgetattr");
        cfmakeraw(&settings);
        cfsetspeed(&settings, B9600);
        if (tcsetattr(slave, TCSANOW, &settings) != 0)
            fail("tcsetattr");
    } catch (...) {
        close();
        throw;
    }
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

void PseudoTerminal::close()
{
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
    slave = -1;
    master = -1;
}

} // namespace sonmetra::sim
