#include "serial/SerialPort.h"

#include "error/PlatformError.h"
#include "serial/ComNames.h"
#include "serial/PortLock.h"
#include "serial/Ticks.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>

namespace sonmetra::serial {

namespace {

QString inUseText()
{
    return QStringLiteral("the port is in use by another program");
}

// True if the device behind fd has hung up: a pseudo-terminal whose other end closed, a USB
// adapter pulled out.
bool hungUp(int fd)
{
    pollfd probe{fd, POLLIN, 0};
    return ::poll(&probe, 1, 0) > 0 && (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// Bytes written to the device that its driver has not sent yet.
int driverQueued(int fd)
{
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

} // namespace

SerialPort::SerialPort(Clock& clock, QObject* parent)
    : QObject(parent), clock(clock), port(this),
      triggers(clock, [this](quint16 handle) { emit triggerExpired(handle); }),
      lights(clock, [this](bool rx, bool tx) { emit lightsChanged(rx, tx); })
{
    connect(&port, &QSerialPort::readyRead, this, &SerialPort::readInput);
    connect(&port, &QSerialPort::bytesWritten, this, &SerialPort::written);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialPort::portError);
}

SerialPort::~SerialPort()
{
    const QString logError = closePort();
    if (!logError.isEmpty())
        qWarning("%s", qPrintable(logError));
}

void SerialPort::setComNumber(int comNumber)
{
    number = comNumber;
}

void SerialPort::open()
{
    if (isOpen())
        return;
    device = comDeviceResolved(number);
    if (device.isEmpty())
        throw PlatformError(QStringLiteral("Cannot open COM%1: there is no such port").arg(number));

    port.setPortName(device);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.setReadBufferSize(BufferSize);
    if (!port.open(QIODevice::ReadWrite))
        throw PlatformError(
            QStringLiteral("Cannot open %1: %2").arg(portLabel(), openFailureText()));
    if (!lockDescriptor(port.handle())) {
        const int error = errno;
        port.close();
        throw PlatformError(
            QStringLiteral("Cannot open %1: %2")
                .arg(portLabel(), error == EWOULDBLOCK
                                      ? inUseText()
                                      : QString::fromLocal8Bit(std::strerror(error))));
    }
    // A pseudo-terminal has no modem lines and refuses to set them: no reason to fail.
    port.setDataTerminalReady(true);
    port.setRequestToSend(true);

    ++session;
    failing = false;
    received.clear();
    collector.discard();
    log.start(portLabel(), clock.nowMs());
    watching = true;
}

QString SerialPort::openFailureText() const
{
    // Qt Serial Port calls a lock held by someone else a permission error; say what it is.
    if (port.error() == QSerialPort::PermissionError &&
        lockFileState(device) == LockFileState::Held)
        return inUseText();
    return port.errorString();
}

void SerialPort::close()
{
    const QString logError = closePort();
    if (!logError.isEmpty())
        throw PlatformError(logError);
}

// Closes the port and writes the traffic log; returns the log's failure text, if any.
QString SerialPort::closePort()
{
    if (!isOpen())
        return {};
    watching = false;
    setCollectorEnabled(false);
    lights.setEnabled(false);
    triggers.removeAll();
    port.close();
    received.clear();
    return log.writeTo(TrafficLog::fileName());
}

QString SerialPort::portLabel() const
{
    return device.isEmpty() ? QStringLiteral("COM%1").arg(number)
                            : QStringLiteral("COM%1 (%2)").arg(number).arg(device);
}

int SerialPort::outputFree() const
{
    return qMax(0, BufferSize - static_cast<int>(port.bytesToWrite()));
}

void SerialPort::send(const QByteArray& block)
{
    if (!isOpen())
        throw PlatformError(QStringLiteral("%1 is not open").arg(portLabel()));
    // Logged as it is queued, so that the log keeps the order of the conversation: the answer
    // can be read before the write of the question has been reported.
    log.record(TrafficLog::Direction::Tx, block, clock.nowMs());
    port.write(block);
}

void SerialPort::written(qint64)
{
    lights.traffic(TrafficLights::Direction::Tx);
}

void SerialPort::discardInput()
{
    if (!isOpen())
        return;
    port.clear(QSerialPort::Input);
    received.clear();
}

void SerialPort::discardOutput()
{
    if (!isOpen())
        return;
    // Flush only when something has not left yet: on a pseudo-terminal a flush also throws away
    // what already reached the other end and waits there to be read.
    if (port.bytesToWrite() > 0 || driverQueued(port.handle()) > 0)
        port.clear(QSerialPort::Output);
}

bool SerialPort::drainOutput(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (isOpen() && !failing && port.bytesToWrite() > 0) {
        if (!port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    if (!isOpen() || failing)
        return false;
    // Written is not yet gone: wait for the driver's own output queue to empty as well.
    while (driverQueued(port.handle()) > 0) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
    return true;
}

quint16 SerialPort::addTrigger()
{
    return triggers.add();
}

void SerialPort::armTrigger(quint16 handle, int ticks)
{
    triggers.arm(handle, ticks);
}

void SerialPort::disarmTrigger(quint16 handle)
{
    triggers.disarm(handle);
}

void SerialPort::removeTrigger(quint16 handle)
{
    triggers.remove(handle);
}

void SerialPort::setCollectorEnabled(bool enabled)
{
    if (enabled == collectorOn)
        return;
    collectorOn = enabled;
    if (!enabled) {
        collector.discard();
        stopWatchingPacket();
    }
}

void SerialPort::setLightsEnabled(bool enabled)
{
    lights.setEnabled(enabled);
}

void SerialPort::readInput()
{
    // Qt Serial Port emits readyRead again from inside a bounded wait; the loop below already
    // takes everything that is there.
    if (reading)
        return;
    reading = true;
    const auto done = qScopeGuard([this] { reading = false; });

    while (isOpen() && !failing) {
        if (received.isEmpty()) {
            if (port.bytesAvailable() == 0)
                break;
            received = port.readAll();
            log.record(TrafficLog::Direction::Rx, received, clock.nowMs());
            lights.traffic(TrafficLights::Direction::Rx);
        }
        if (!collectorOn) {
            received.clear();
            continue;
        }
        received.remove(0, collector.feed(received));
        watchUnfinishedPacket();
        if (collector.hasPacket())
            deliver(collector.takePacket());
    }
}

void SerialPort::deliver(const QByteArray& body)
{
    const quint64 opening = session;
    collectorOn = false;
    emit packetReceived(body);
    if (isOpen() && opening == session)
        collectorOn = true;
}

void SerialPort::watchUnfinishedPacket()
{
    if (!collector.inPacket()) {
        stopWatchingPacket();
        return;
    }
    if (packetTimeout != 0 && watchedStart == collector.packetStarts())
        return;
    clock.cancel(packetTimeout);
    watchedStart = collector.packetStarts();
    // The collector stays on: after the discard it waits for the next ':'.
    packetTimeout = clock.callAfter(ticksToMs(PacketTimeoutTicks), [this] {
        packetTimeout = 0;
        collector.discard();
    });
}

void SerialPort::stopWatchingPacket()
{
    clock.cancel(packetTimeout);
    packetTimeout = 0;
}

void SerialPort::portError(QSerialPort::SerialPortError error)
{
    if (!watching || failing)
        return;
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:              // a bounded wait ran out
    case QSerialPort::UnsupportedOperationError: // modem lines of a pseudo-terminal
    case QSerialPort::NotOpenError:
    case QSerialPort::OpenError:
        return;
    default:
        break;
    }
    // Qt Serial Port repeats a read error for ever once the other end has gone, and keeps the
    // port open: the first error ends the port. The close runs from the event loop, outside Qt
    // Serial Port's own notification handling.
    failing = true;
    const QString message = failureText();
    const quint64 opening = session;
    QMetaObject::invokeMethod(
        this,
        [this, opening, message] {
            if (opening != session || !isOpen())
                return;
            const QString logError = closePort();
            emit portFailed(logError.isEmpty() ? message : message + QLatin1Char('\n') + logError);
        },
        Qt::QueuedConnection);
}

QString SerialPort::failureText() const
{
    if (hungUp(port.handle()))
        return QStringLiteral("%1 stopped working: the device has gone away").arg(portLabel());
    return QStringLiteral("%1 stopped working: %2").arg(portLabel(), port.errorString());
}

} // namespace sonmetra::serial
