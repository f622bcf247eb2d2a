#include "PcPort.h"

#include "link/codec/PacketCodec.h"

#include <QFile>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PcPort::PcPort(const QString& device)
{
    fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        close();
        return;
    }
    cfmakeraw(&settings);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        close();
        return;
    }
    notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &PcPort::readAvailable);
}

PcPort::~PcPort()
{
    close();
}

void PcPort::close()
{
    notifier.reset();
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void PcPort::send(char command)
{
    sonmetra::link::TCommPacket packet;
    packet.Command = command;
    char wire[sonmetra::link::PacketBufferSize];
    write(QByteArray(wire, sonmetra::link::EncodePacket(packet, wire)));
}

bool PcPort::write(const QByteArray& bytes)
{
    return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

bool PcPort::waitForBodies(qsizetype count)
{
    return QTest::qWaitFor([&] { return bodies.size() >= count; });
}

void PcPort::readAvailable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (count <= 0) {
            // End of file or EIO: the other end has gone; stop listening to the dead line.
            hungUp = true;
            notifier->setEnabled(false);
            return;
        }
        raw.append(buffer, count);
        for (ssize_t i = 0; i < count; ++i) {
            const char c = buffer[i];
            if (c == ':') {
                partial.clear();
                inPacket = true;
            } else if (inPacket && c == '\n' && partial.endsWith('\r')) {
                partial.chop(1);
                bodies.append(partial);
                partial.clear();
                inPacket = false;
            } else if (inPacket) {
                partial.append(c);
            }
        }
    }
}
