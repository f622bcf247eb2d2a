#pragma once

#include "serial/Clock.h"
#include "serial/PacketCollector.h"
#include "serial/TimerTriggers.h"
#include "serial/TrafficLights.h"
#include "serial/TrafficLog.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

namespace sonmetra::serial {

// The serial port by COM number, as the viewer uses it: 9600 8N1 without flow control, a packet
// collector for ':' ... CR LF packets, one-shot timer triggers in ticks, RX/TX lights and a
// traffic log. Everything runs on the thread that owns the object (the GUI thread), and every
// signal arrives through its event loop, also while a modal dialog runs its own loop.
//
// Closing the port, by close() or by a failure, switches the collector and the lights off and
// removes all timer triggers. The clock must outlive the port.
class SerialPort : public QObject
{
    Q_OBJECT

public:
    static constexpr int BufferSize = 4096;
    // An unfinished packet is discarded this many ticks after its ':'.
    static constexpr int PacketTimeoutTicks = 2184;

    explicit SerialPort(Clock& clock = defaultClock(), QObject* parent = nullptr);
    ~SerialPort() override;

    // Used by the next open().
    void setComNumber(int comNumber);
    int comNumber() const { return number; }

    // Opens COMn exclusively; throws PlatformError with the operator's text on failure.
    void open();
    // Closes the port and writes the traffic log; does nothing if the port is not open. Throws
    // PlatformError, after closing, if the log cannot be written.
    void close();
    bool isOpen() const { return port.isOpen(); }

    // Room left in the output buffer: BufferSize less the bytes queued and not yet written.
    int outputFree() const;
    // Queues all of block for sending; the caller has checked that it fits. Throws
    // PlatformError if the port is not open.
    void send(const QByteArray& block);
    // Drop what has been received and not yet collected / what has not left yet.
    void discardInput();
    void discardOutput();
    // Waits, at most timeoutMs, until the queued output has left. True if it did.
    bool drainOutput(int timeoutMs);

    // Timer triggers in ticks of 55 ms, driven by the clock.
    quint16 addTrigger();
    void armTrigger(quint16 handle, int ticks);
    void disarmTrigger(quint16 handle);
    void removeTrigger(quint16 handle);

    // While on, every complete packet is delivered once through packetReceived. The collector
    // is off while that signal's handler runs and comes on again when the handler returns,
    // unless the handler closed the port.
    void setCollectorEnabled(bool enabled);
    bool collectorEnabled() const { return collectorOn; }

    void setLightsEnabled(bool enabled);
    bool rxLit() const { return lights.rxLit(); }
    bool txLit() const { return lights.txLit(); }

signals:
    // The text between ':' and CR LF.
    void packetReceived(QByteArray body);
    void triggerExpired(quint16 handle);
    void lightsChanged(bool rx, bool tx);
    // The open port failed (read, write or resource error, device gone); it has been closed.
    // Emitted once per failure.
    void portFailed(QString message);

private:
    void readInput();
    void deliver(const QByteArray& body);
    void watchUnfinishedPacket();
    void stopWatchingPacket();
    void written(qint64 count);
    void portError(QSerialPort::SerialPortError error);
    QString failureText() const;
    QString openFailureText() const;
    QString closePort();
    QString portLabel() const;

    Clock& clock;
    QSerialPort port;
    PacketCollector collector;
    TimerTriggers triggers;
    TrafficLights lights;
    TrafficLog log;

    int number = 0;
    QString device;
    quint64 session = 0;   // counts openings, so late work for an earlier opening is dropped
    bool watching = false; // errors count as failures only once the port is set up
    bool failing = false;  // a failure has been seen and its close is on its way
    bool collectorOn = false;
    bool reading = false;
    QByteArray received; // read from the port, not yet given to the collector
    int packetTimeout = 0;
    quint64 watchedStart = 0;
};

} // namespace sonmetra::serial
