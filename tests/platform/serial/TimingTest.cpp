#include "serial/Clock.h"
#include "serial/SerialPort.h"
#include "serial/Ticks.h"

#include <QSignalSpy>
#include <QTest>

using namespace sonmetra::serial;

// Timer triggers and the clocks behind them. Triggers need no open port.
class TimingTest : public QObject
{
    Q_OBJECT

private slots:
    void virtualClockRunsCallbacksInTimeOrder();
    void triggerExpiresAfterItsTicks_data();
    void triggerExpiresAfterItsTicks();
    void rearmingRestartsTheCountdown();
    void disarmedOrRemovedTriggerStaysSilent_data();
    void disarmedOrRemovedTriggerStaysSilent();
    void triggersAreIndependent();
    void realClockRunsAndCancels();
};

void TimingTest::virtualClockRunsCallbacksInTimeOrder()
{
    VirtualClock clock;
    QStringList ran;
    clock.callAfter(30, [&] { ran << "30"; });
    clock.callAfter(10, [&] {
        ran << "10a";
        clock.callAfter(5, [&] { ran << QStringLiteral("15 at %1").arg(clock.nowMs()); });
        clock.callAfter(0, [&] { ran << "10c"; });
    });
    clock.callAfter(10, [&] { ran << "10b"; });
    const int cancelled = clock.callAfter(20, [&] { ran << "20"; });
    clock.cancel(cancelled);

    clock.advance(25);
    QCOMPARE(ran, QStringList({"10a", "10b", "10c", "15 at 15"}));
    QCOMPARE(clock.nowMs(), 25);

    clock.advance(5);
    QCOMPARE(ran.last(), QStringLiteral("30"));
}

void TimingTest::triggerExpiresAfterItsTicks_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<qint64>("dueMs");

    QTest::newRow("response time-out, 91 ticks") << 91 << qint64(5005);
    QTest::newRow("one tick") << 1 << qint64(55);
    QTest::newRow("no ticks") << 0 << qint64(0);
}

void TimingTest::triggerExpiresAfterItsTicks()
{
    QFETCH(int, ticks);
    QFETCH(qint64, dueMs);
    VirtualClock clock;
    SerialPort port(clock);
    QSignalSpy expired(&port, &SerialPort::triggerExpired);

    const quint16 handle = port.addTrigger();
    QVERIFY(handle != 0);
    clock.advance(1000);
    QCOMPARE(expired.count(), 0); // added disarmed

    port.armTrigger(handle, ticks);
    if (dueMs > 0) {
        clock.advance(dueMs - 1);
        QCOMPARE(expired.count(), 0);
    }
    clock.advance(dueMs > 0 ? 1 : 0);
    QCOMPARE(expired.count(), 1);
    QCOMPARE(expired.at(0).at(0).value<quint16>(), handle);

    clock.advance(100000); // once, then disarmed
    QCOMPARE(expired.count(), 1);

    port.armTrigger(handle, ticks); // and it can be armed again
    clock.advance(dueMs);
    QCOMPARE(expired.count(), 2);
}

void TimingTest::rearmingRestartsTheCountdown()
{
    VirtualClock clock;
    SerialPort port(clock);
    QSignalSpy expired(&port, &SerialPort::triggerExpired);
    const quint16 handle = port.addTrigger();

    port.armTrigger(handle, 91);
    clock.advance(3000);
    port.armTrigger(handle, 91);
    clock.advance(5004);
    QCOMPARE(expired.count(), 0);
    clock.advance(1);
    QCOMPARE(expired.count(), 1);
}

void TimingTest::disarmedOrRemovedTriggerStaysSilent_data()
{
    QTest::addColumn<bool>("remove");

    QTest::newRow("disarmed") << false;
    QTest::newRow("removed") << true;
}

void TimingTest::disarmedOrRemovedTriggerStaysSilent()
{
    QFETCH(bool, remove);
    VirtualClock clock;
    SerialPort port(clock);
    QSignalSpy expired(&port, &SerialPort::triggerExpired);
    const quint16 handle = port.addTrigger();

    port.armTrigger(handle, 91);
    clock.advance(5000);
    if (remove)
        port.removeTrigger(handle);
    else
        port.disarmTrigger(handle);
    clock.advance(100000);
    QCOMPARE(expired.count(), 0);

    port.armTrigger(handle, 1); // a removed handle stays dead; a disarmed one can be armed
    clock.advance(55);
    QCOMPARE(expired.count(), remove ? 0 : 1);
}

void TimingTest::triggersAreIndependent()
{
    VirtualClock clock;
    SerialPort port(clock);
    QSignalSpy expired(&port, &SerialPort::triggerExpired);
    const quint16 response = port.addTrigger();
    const quint16 other = port.addTrigger();
    QVERIFY(response != other);

    port.armTrigger(response, 91);
    port.armTrigger(other, 2);
    clock.advance(ticksToMs(2));
    port.disarmTrigger(other); // already spent: changes nothing
    clock.advance(5005);

    QCOMPARE(expired.count(), 2);
    QCOMPARE(expired.at(0).at(0).value<quint16>(), other);
    QCOMPARE(expired.at(1).at(0).value<quint16>(), response);
}

void TimingTest::realClockRunsAndCancels()
{
    RealClock clock;
    QStringList ran;
    const int cancelled = clock.callAfter(1, [&] { ran << "cancelled"; });
    clock.callAfter(20, [&] { ran << "later"; });
    clock.callAfter(5, [&] {
        ran << "first";
        clock.callAfter(0, [&] { ran << "scheduled from a callback"; });
    });
    clock.cancel(cancelled);

    QTRY_COMPARE(ran.size(), 3);
    QCOMPARE(ran, QStringList({"first", "scheduled from a callback", "later"}));
}

QTEST_GUILESS_MAIN(TimingTest)
#include "TimingTest.moc"
