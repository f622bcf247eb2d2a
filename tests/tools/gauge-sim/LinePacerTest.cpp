#include "gauge-sim/LinePacer.h"

#include <QTest>

using sonmetra::sim::LinePacer;

namespace {
constexpr qint64 Ms = 1'000'000;
constexpr qint64 S = 1'000'000'000;
} // namespace

class LinePacerTest : public QObject
{
    Q_OBJECT

private slots:
    void due_data();
    void due();
    void schedule();
    void lateTicksCatchUp();
    void idleLineBanksNothing();
};

void LinePacerTest::due_data()
{
    QTest::addColumn<qint64>("elapsedNs");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("at start") << qint64(0) << qint64(0);
    QTest::newRow("just before the first byte") << qint64(1'041'666) << qint64(0);
    QTest::newRow("first byte through") << qint64(1'041'667) << qint64(1);
    QTest::newRow("10 ms") << 10 * Ms << qint64(9);
    QTest::newRow("one second") << S << qint64(960);
    QTest::newRow("an hour") << 3600 * S << qint64(3'456'000);
}

void LinePacerTest::due()
{
    QFETCH(qint64, elapsedNs);
    QFETCH(qint64, expected);
    const qint64 begin = 123 * S;
    LinePacer pacer;
    pacer.start(begin);
    QCOMPARE(pacer.due(begin + elapsedNs), expected);
    pacer.take(expected);
    QCOMPARE(pacer.due(begin + elapsedNs), qint64(0));
}

void LinePacerTest::schedule()
{
    LinePacer pacer;
    pacer.start(0);
    QCOMPARE(pacer.freeAt(), qint64(0));
    QCOMPARE(pacer.untilNext(0), qint64(1'041'667));
    QCOMPARE(pacer.untilNext(2 * Ms), qint64(0)); // one is due, not yet taken
    pacer.take(1);
    QCOMPARE(pacer.freeAt(), qint64(1'041'667));
    QCOMPARE(pacer.untilNext(2 * Ms), qint64(83'334)); // byte 2 is through at 2.083334 ms
    pacer.take(959);
    QCOMPARE(pacer.freeAt(), S); // across the whole second
    QCOMPARE(pacer.untilNext(S), qint64(1'041'667));
}

void LinePacerTest::lateTicksCatchUp()
{
    // Ticks at uneven, often late times, each taking what is due: the total after 100 s is what
    // the wire carries in 100 s, to the byte.
    LinePacer pacer;
    pacer.start(0);
    qint64 now = 0;
    qint64 taken = 0;
    int step = 0;
    while (now < 100 * S) {
        now = std::min(now + (1 + step++ % 7) * 700'000, 100 * S);
        const qint64 due = pacer.due(now);
        pacer.take(due);
        taken += due;
    }
    QCOMPARE(taken, qint64(96'000));
}

void LinePacerTest::idleLineBanksNothing()
{
    LinePacer pacer;
    pacer.start(0);
    pacer.take(pacer.due(5 * Ms));
    // The line stays idle for a second; the next transmission starts afresh, without a burst.
    pacer.start(S);
    QCOMPARE(pacer.due(S), qint64(0));
    QCOMPARE(pacer.due(S + 1'041'667), qint64(1));
}

QTEST_APPLESS_MAIN(LinePacerTest)
#include "LinePacerTest.moc"
