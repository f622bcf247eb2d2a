#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <vector>

namespace sonmetra::serial {

// The record of a port's traffic, kept in memory while the port is open and written out when it
// closes. One line per burst: the bytes of one direction that follow each other with no pause
// longer than a tick, ending at a line feed (so a packet ends its line) or when the other
// direction speaks. Each line holds the time since opening, TX or RX, the bytes in hex and the
// bytes as text with unprintable ones shown as '.'.
class TrafficLog
{
public:
    enum class Direction
    {
        Tx,
        Rx
    };

    static QString fileName() { return QStringLiteral("APRO.LOG"); }

    // Forgets earlier traffic; port names the port in the record's heading.
    void start(const QString& port, qint64 nowMs);
    void record(Direction direction, QByteArrayView bytes, qint64 nowMs);

    QByteArray text() const;
    // Writes text() to path, replacing an earlier file. Returns the failure's text, empty on
    // success.
    QString writeTo(const QString& path) const;

private:
    struct Burst
    {
        qint64 startMs;
        qint64 lastMs;
        Direction direction;
        QByteArray bytes;
    };

    QString port;
    QDateTime opened;
    qint64 openedMs = 0;
    std::vector<Burst> bursts;
    qint64 sentCount = 0;
    qint64 receivedCount = 0;
};

} // namespace sonmetra::serial
