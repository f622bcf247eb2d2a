#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

namespace sonmetra::sim {

// The line faults the simulator can put on the packets it sends: the next k packets dropped,
// doubled or with a wrong checksum, and noise before every packet.
class PacketFaults
{
public:
    void dropNext(int packets) { drop = qMax(packets, 0); }
    void duplicateNext(int packets) { duplicate = qMax(packets, 0); }
    void corruptNext(int packets) { corrupt = qMax(packets, 0); }
    void setGarbage(bool on) { garbage = on; }

    struct Outcome
    {
        QByteArray bytes; // what goes on the line; empty when the packet is dropped
        QString note;     // what was done to it, for the traffic record; empty when nothing
    };

    // Applies the faults that are due to one encoded packet, ':' to CR LF.
    Outcome apply(const QByteArray& packet);

private:
    // Noise never holds ':', CR or LF, so a receiver waiting for ':' skips it and the packets
    // around it stay whole.
    QByteArray noise();

    int drop = 0;
    int duplicate = 0;
    int corrupt = 0;
    bool garbage = false;
    QRandomGenerator random{7};
};

} // namespace sonmetra::sim
