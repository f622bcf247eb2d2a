#include "serial/PacketCollector.h"

#include <QTest>

using sonmetra::serial::PacketCollector;

namespace {

// Feeds the chunks in order, taking each packet as it completes, as the port does.
QList<QByteArray> collectAll(PacketCollector& collector, const QList<QByteArray>& chunks)
{
    QList<QByteArray> packets;
    for (const QByteArray& chunk : chunks) {
        QByteArrayView rest(chunk);
        while (!rest.isEmpty()) {
            rest = rest.sliced(collector.feed(rest));
            if (collector.hasPacket())
                packets.append(collector.takePacket());
        }
    }
    return packets;
}

const QByteArray Full(PacketCollector::MaxHeld, 'a');

} // namespace

class PacketCollectorTest : public QObject
{
    Q_OBJECT

private slots:
    void cutsPackets_data();
    void cutsPackets();
    void stopsAfterEachPacket();
    void discardWaitsForNextStart();
};

void PacketCollectorTest::cutsPackets_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<bool>("unfinished");

    using Chunks = QList<QByteArray>;
    QTest::newRow("one packet") << Chunks{":0700H4f\r\n"} << Chunks{"0700H4f"} << false;
    QTest::newRow("split across reads")
        << Chunks{":07", "00H4", "f\r", "\n"} << Chunks{"0700H4f"} << false;
    QTest::newRow("several in one read") << Chunks{":0700H4f\r\n:0700B49\r\n:0b00Dd20425\r\n"}
                                         << Chunks{"0700H4f", "0700B49", "0b00Dd20425"} << false;
    QTest::newRow("garbage before and between")
        << Chunks{"xx\r\n", "zz:0700H4f\r\nnoise\n\r\n:0700B49\r\n"} << Chunks{"0700H4f", "0700B49"}
        << false;
    QTest::newRow("no start mark") << Chunks{"0700H4f\r\n"} << Chunks{} << false;
    QTest::newRow("unfinished") << Chunks{":0700H4"} << Chunks{} << true;
    QTest::newRow("colon starts again")
        << Chunks{":07", ":0700H4f\r\n"} << Chunks{"0700H4f"} << false;
    QTest::newRow("lone CR is data") << Chunks{":07\r00\r\n"} << Chunks{"07\r00"} << false;
    QTest::newRow("CR CR LF") << Chunks{":07\r", "\r\n"} << Chunks{"07\r"} << false;
    QTest::newRow("lone LF is data") << Chunks{":07\n00\r\n"} << Chunks{"07\n00"} << false;
    QTest::newRow("LF CR is no end") << Chunks{":07\n\r", "x\r\n"} << Chunks{"07\n\rx"} << false;
    QTest::newRow("empty body") << Chunks{":\r\n"} << Chunks{""} << false;
    QTest::newRow("body at the limit") << Chunks{":" + Full, "\r\n"} << Chunks{Full} << false;
    QTest::newRow("body beyond the limit") << Chunks{":" + Full + "a\r\n"} << Chunks{} << false;
    QTest::newRow("CR beyond the limit") << Chunks{":" + Full + "\rx\r\n"} << Chunks{} << false;
    QTest::newRow("CR CR beyond the limit") << Chunks{":" + Full + "\r\r\n"} << Chunks{} << false;
    QTest::newRow("next packet after an overlong one")
        << Chunks{":" + Full + Full + "\r\n", ":0700H4f\r\n"} << Chunks{"0700H4f"} << false;
}

void PacketCollectorTest::cutsPackets()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, packets);
    QFETCH(bool, unfinished);

    PacketCollector collector;
    QCOMPARE(collectAll(collector, chunks), packets);
    QCOMPARE(collector.inPacket(), unfinished);
}

void PacketCollectorTest::stopsAfterEachPacket()
{
    PacketCollector collector;
    const QByteArray two = ":0700H4f\r\n:0700B49\r\n";

    QCOMPARE(collector.feed(two), 10);
    QVERIFY(collector.hasPacket());
    QCOMPARE(collector.feed(QByteArrayView(two).sliced(10)), 0);
    QCOMPARE(collector.takePacket(), QByteArray("0700H4f"));
    QVERIFY(!collector.hasPacket());
    QCOMPARE(collector.feed(QByteArrayView(two).sliced(10)), 10);
    QCOMPARE(collector.takePacket(), QByteArray("0700B49"));
}

void PacketCollectorTest::discardWaitsForNextStart()
{
    PacketCollector collector;
    QCOMPARE(collector.feed(":0700"), 5);
    QVERIFY(collector.inPacket());
    const quint64 starts = collector.packetStarts();

    collector.discard();
    QVERIFY(!collector.inPacket());
    QCOMPARE(collectAll(collector, {"H4f\r\n:0700B49\r\n"}), QList<QByteArray>{"0700B49"});
    QCOMPARE(collector.packetStarts(), starts + 1);
}

QTEST_GUILESS_MAIN(PacketCollectorTest)
#include "PacketCollectorTest.moc"
