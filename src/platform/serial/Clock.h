#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QtGlobal>

#include <functional>
#include <map>
#include <utility>

class QTimer;

namespace sonmetra::serial {

// Time behind a small interface, so that tests run the serial service's long time-outs on
// virtual time. Callbacks are one-shot and run on the GUI thread.
class Clock
{
public:
    virtual ~Clock() = default;

    virtual qint64 nowMs() const = 0;
    // Runs fn once, delayMs from now. Returns an id, never 0.
    virtual int callAfter(qint64 delayMs, std::function<void()> fn) = 0;
    // No call follows for id. Unknown or spent ids are ignored.
    virtual void cancel(int id) = 0;
};

// Wall time: a precise single-shot QTimer per callback, delivered through the event loop.
class RealClock : public Clock
{
public:
    RealClock();
    ~RealClock() override;
    RealClock(const RealClock&) = delete;
    RealClock& operator=(const RealClock&) = delete;

    qint64 nowMs() const override;
    int callAfter(qint64 delayMs, std::function<void()> fn) override;
    void cancel(int id) override;

private:
    QObject timerParent;
    QElapsedTimer elapsed;
    std::map<int, QTimer*> timers;
    int lastId = 0;
};

// Time that moves only when told to.
class VirtualClock : public Clock
{
public:
    qint64 nowMs() const override { return now; }
    int callAfter(qint64 delayMs, std::function<void()> fn) override;
    void cancel(int id) override;

    // Moves time forward by ms, running every callback that falls due on the way in time order
    // (equal times in the order they were scheduled). Callbacks may schedule more.
    void advance(qint64 ms);

private:
    using Key = std::pair<qint64, int>; // due time, id
    std::map<Key, std::function<void()>> pending;
    std::map<int, qint64> dueById;
    qint64 now = 0;
    int lastId = 0;
};

// The process-wide RealClock.
Clock& defaultClock();

} // namespace sonmetra::serial
