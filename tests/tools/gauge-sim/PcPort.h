#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

// The PC's end of the line in the simulator tests: the slave device opened the way a program
// opens its serial port (read-write, raw, no controlling terminal) and read through the event
// loop. It keeps every byte and splits the packets out as the viewer's collector does.
class PcPort : public QObject
{
    Q_OBJECT

public:
    explicit PcPort(const QString& device);
    ~PcPort() override;

    bool isOpen() const { return fd >= 0; }
    void close();

    // Sends the command packet of that letter (address 0, no data).
    void send(char command);
    // False when the line refuses the bytes (it has hung up).
    bool write(const QByteArray& bytes);
    // Waits until that many packet bodies have arrived in all.
    bool waitForBodies(qsizetype count);

    QList<QByteArray> bodies; // between ':' and CR LF, in order of arrival
    QByteArray raw;           // every byte received
    bool hungUp = false;

private:
    void readAvailable();

    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QByteArray partial;
    bool inPacket = false;
};
