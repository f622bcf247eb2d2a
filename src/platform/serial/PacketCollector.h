#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace sonmetra::serial {

// Cuts packets out of the received byte stream: a packet starts with ':' and ends with CR LF;
// the text between them is the packet's body. Bytes outside a packet are dropped.
//
// A ':' inside an unfinished packet starts the packet again: the bytes before it were a packet
// whose end was lost, and the fresh start is the one worth having. A CR not followed by LF is
// part of the body. At most MaxHeld characters of an unfinished body are held; the character
// that would go beyond them discards the packet, and collection waits for the next ':'.
class PacketCollector
{
public:
    static constexpr qsizetype MaxHeld = 4096;

    // Takes bytes in order until a packet is complete or the bytes run out, and returns how many
    // it took. Once a packet is complete it takes nothing more until takePacket().
    qsizetype feed(QByteArrayView bytes);

    bool hasPacket() const { return complete; }
    // The completed packet's body, without its delimiters; collection then waits for ':'.
    QByteArray takePacket();

    // A ':' has been seen and its packet is not complete yet.
    bool inPacket() const { return collecting; }
    // Counts every ':' that began a packet, so a watcher can tell one unfinished packet from the
    // next.
    quint64 packetStarts() const { return starts; }

    // Drops an unfinished or uncollected packet; collection waits for the next ':'.
    void discard();

private:
    bool hold(char c);

    QByteArray body;
    quint64 starts = 0;
    bool collecting = false;
    bool crPending = false;
    bool complete = false;
};

} // namespace sonmetra::serial
