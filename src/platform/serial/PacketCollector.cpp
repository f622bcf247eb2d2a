#include "serial/PacketCollector.h"

#include <utility>

namespace sonmetra::serial {

namespace {
constexpr char StartMark = ':';
constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
} // namespace

qsizetype PacketCollector::feed(QByteArrayView bytes)
{
    qsizetype used = 0;
    while (used < bytes.size() && !complete) {
        const char c = bytes[used++];
        if (c == StartMark) {
            body.clear();
            crPending = false;
            collecting = true;
            ++starts;
        } else if (!collecting) {
            continue;
        } else if (c == LineFeed && crPending) {
            crPending = false;
            collecting = false;
            complete = true;
        } else if (c == CarriageReturn) {
            if (crPending && !hold(CarriageReturn))
                continue;
            crPending = true;
        } else {
            if (crPending && !hold(CarriageReturn))
                continue;
            crPending = false;
            hold(c);
        }
    }
    return used;
}

// Appends one character of the body, or discards the packet when the body is full.
bool PacketCollector::hold(char c)
{
    if (body.size() >= MaxHeld) {
        discard();
        return false;
    }
    body.append(c);
    return true;
}

QByteArray PacketCollector::takePacket()
{
    complete = false;
    return std::exchange(body, QByteArray());
}

void PacketCollector::discard()
{
    body.clear();
    collecting = false;
    crPending = false;
    complete = false;
}

} // namespace sonmetra::serial
