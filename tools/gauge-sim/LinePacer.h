#pragma once

#include <QtGlobal>

namespace sonmetra::sim {

// Lets bytes onto the simulated line no faster than a 9600-baud wire with ten bits a byte (one
// byte per 1.0417 ms). What is due is worked out from the time elapsed since the line went busy,
// not counted per timer tick, so a late tick releases the bytes it missed instead of drifting.
// Times are nanoseconds on any monotonic clock the caller chooses.
class LinePacer
{
public:
    static constexpr qint64 BytesPerSecond = 9600 / 10;
    static constexpr qint64 NanosecondsPerSecond = 1'000'000'000;

    // The line was idle and begins to carry bytes at nowNs.
    void start(qint64 nowNs);
    // Bytes whose last bit is through by nowNs and that have not been taken yet.
    qint64 due(qint64 nowNs) const;
    // Marks bytes as put on the line; at most due() of them.
    void take(qint64 bytes);
    // Nanoseconds from nowNs until one more byte is through; 0 when one is due already.
    qint64 untilNext(qint64 nowNs) const;
    // When the last byte taken was through: from then on the line is free.
    qint64 freeAt() const;

private:
    qint64 throughAt(qint64 k) const;

    qint64 startNs = 0;
    qint64 taken = 0; // since startNs, which moves on by whole seconds to keep the numbers small
};

} // namespace sonmetra::sim
