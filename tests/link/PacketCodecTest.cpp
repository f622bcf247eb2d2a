#include "link/codec/PacketCodec.h"

#include <QTest>

#include <algorithm>
#include <memory>

using namespace sonmetra::link;

namespace {

QByteArray hexByte(int value)
{
    return QByteArray::number(value & 0xff, 16).rightJustified(2, '0');
}

// A body written out independently of the codec: length, address, letter, data, checksum.
QByteArray bodyFor(int address, char command, const QByteArray& data)
{
    const int length = 2 * int(data.size()) + 7;
    int sum = length + address + static_cast<unsigned char>(command);
    for (const char byte : data)
        sum += static_cast<unsigned char>(byte);
    return hexByte(length) + hexByte(address) + command + data.toHex() + hexByte(sum);
}

QByteArray countingBytes(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(static_cast<char>(i));
    return bytes;
}

const quint8* bytesOf(const QByteArray& data)
{
    return reinterpret_cast<const quint8*>(data.constData());
}

QByteArray dataOf(const TCommPacket& packet)
{
    return QByteArray(reinterpret_cast<const char*>(packet.Data), packet.DataCount);
}

} // namespace

class PacketCodecTest : public QObject
{
    Q_OBJECT

private slots:
    void hexDigits();
    void encodeCommands_data();
    void encodeCommands();
    void encodeData_data();
    void encodeData();
    void encodeRefusesMissingData();
    void decode_data();
    void decode();
    void roundTrip_data();
    void roundTrip();
    void copyOwnsItsData();
};

void PacketCodecTest::hexDigits()
{
    for (int value = 0; value < 256; ++value) {
        char two[2] = {};
        ByteToHex(static_cast<quint8>(value), two);
        QCOMPARE(QByteArray(two, 2), hexByte(value));
        quint8 back = 0;
        QVERIFY(HexToByte(two[0], two[1], back));
        QCOMPARE(int(back), value);
    }
    quint8 out = 0;
    for (const char bad : {'A', 'F', 'g', 'G', ' ', ':', '\0', '\xff'}) {
        const QByteArray code = QByteArray::number(static_cast<unsigned char>(bad));
        QVERIFY2(!HexToByte(bad, '0', out), code);
        QVERIFY2(!HexToByte('0', bad, out), code);
    }
}

void PacketCodecTest::encodeCommands_data()
{
    QTest::addColumn<char>("command");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("B") << 'B' << QByteArray(":0700B49\r\n");
    QTest::newRow("F") << 'F' << QByteArray(":0700F4d\r\n");
    QTest::newRow("H") << 'H' << QByteArray(":0700H4f\r\n");
    QTest::newRow("N") << 'N' << QByteArray(":0700N55\r\n");
    QTest::newRow("W") << 'W' << QByteArray(":0700W5e\r\n");
    QTest::newRow("Y") << 'Y' << QByteArray(":0700Y60\r\n");
    QTest::newRow("Z") << 'Z' << QByteArray(":0700Z61\r\n");
}

void PacketCodecTest::encodeCommands()
{
    QFETCH(char, command);
    QFETCH(QByteArray, expected);
    TCommPacket packet;
    packet.Command = command;
    packet.Length = 99; // encoding computes its own length
    char out[PacketBufferSize];
    const int written = EncodePacket(packet, out);
    QCOMPARE(written, 10);
    QCOMPARE(QByteArray(out, written), expected);
}

void PacketCodecTest::encodeData_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("dataLimit"); // -1: the PC's own encoder
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("reading 12.34")
        << 0 << QByteArray("\xd2\x04", 2) << -1 << QByteArray(":0b00Dd20425\r\n");
    QTest::newRow("address carried") << 0xfe << QByteArray("\x00", 1) << -1
                                     << ":" + bodyFor(0xfe, 'D', QByteArray("\x00", 1)) + "\r\n";
    const QByteArray many = countingBytes(200);
    QTest::newRow("200 bytes, 120 sent")
        << 0 << many << -1 << ":" + bodyFor(0, 'D', many.left(120)) + "\r\n";
    QTest::newRow("exactly 120") << 3 << many.left(120) << -1
                                 << ":" + bodyFor(3, 'D', many.left(120)) + "\r\n";
    QTest::newRow("instrument block of 124")
        << 5 << many.left(124) << MaxReceiveData << ":" + bodyFor(5, 'D', many.left(124)) + "\r\n";
    QTest::newRow("limit above 124 is 124")
        << 5 << many << 200 << ":" + bodyFor(5, 'D', many.left(124)) + "\r\n";
    QTest::newRow("limit 0") << 0 << many << 0 << QByteArray(":0700D4b\r\n");
}

void PacketCodecTest::encodeData()
{
    QFETCH(int, address);
    QFETCH(QByteArray, data);
    QFETCH(int, dataLimit);
    QFETCH(QByteArray, expected);
    TCommPacket packet;
    packet.Address = static_cast<quint8>(address);
    packet.Command = 'D';
    packet.Data = bytesOf(data);
    packet.DataCount = static_cast<quint8>(data.size());
    char out[MaxPacketSize + 8];
    std::fill(std::begin(out), std::end(out), '#');
    const int written =
        dataLimit < 0 ? EncodePacket(packet, out) : EncodePacket(packet, out, dataLimit);
    QCOMPARE(QByteArray(out, written), expected);
    QCOMPARE(out[written], '#'); // nothing written past the packet
}

void PacketCodecTest::encodeRefusesMissingData()
{
    TCommPacket packet;
    packet.Command = 'D';
    packet.DataCount = 2;
    char out[PacketBufferSize];
    QCOMPARE(EncodePacket(packet, out), 0);

    const QByteArray many = countingBytes(200);
    packet.Data = bytesOf(many);
    packet.DataCount = 200;
    const int written = EncodePacket(packet, out);
    QCOMPARE(written, PacketBufferSize);
    QCOMPARE(QByteArray(out + 1, 2), QByteArray("f7"));
}

void PacketCodecTest::decode_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("address");
    QTest::addColumn<char>("command");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("handshake") << QByteArray("0700H4f") << true << 0 << 'H' << QByteArray();
    QTest::newRow("upper-case checksum")
        << QByteArray("0700H4F") << false << 0 << 'H' << QByteArray();
    QTest::newRow("reading") << QByteArray("0b00Dd20425") << true << 0 << 'D'
                             << QByteArray("\xd2\x04", 2);
    QTest::newRow("8 chars, length 08, last ignored")
        << QByteArray("0800H50z") << true << 0 << 'H' << QByteArray();
    QTest::newRow("any address") << QByteArray("07ffH4e") << true << 0xff << 'H' << QByteArray();
    QTest::newRow("any letter") << QByteArray("0700\xff"
                                              "06")
                                << true << 0 << '\xff' << QByteArray();
    const QByteArray full = countingBytes(124);
    QTest::newRow("124 data bytes") << bodyFor(2, 'D', full) << true << 2 << 'D' << full;

    for (int m = 0; m <= 6; ++m)
        QTest::addRow("%d chars", m)
            << QByteArray("0700H4f").left(m) << false << 0 << 'H' << QByteArray();
    QTest::newRow("6 chars, length 06")
        << QByteArray("0600N4") << false << 0 << 'N' << QByteArray();
    QTest::newRow("length one short") << QByteArray("0600H4e") << false << 0 << 'H' << QByteArray();
    QTest::newRow("length one long") << QByteArray("0800H50") << false << 0 << 'H' << QByteArray();
    QTest::newRow("data length one short")
        << QByteArray("0a00Dd20424") << false << 0 << 'D' << QByteArray();
    QTest::newRow("data length one long")
        << QByteArray("0c00Dd20426") << false << 0 << 'D' << QByteArray();
    QTest::newRow("wrong checksum")
        << QByteArray("0b00Dd20426") << false << 0 << 'D' << QByteArray();
    QTest::newRow("upper-case length")
        << QByteArray("0B00Dd20425") << false << 0 << 'D' << QByteArray();
    QTest::newRow("upper-case address")
        << QByteArray("070AH59") << false << 0 << 'H' << QByteArray();
    QTest::newRow("upper-case data")
        << QByteArray("0b00DD20425") << false << 0 << 'D' << QByteArray();
    QTest::newRow("not a digit in data")
        << QByteArray("0b00Dd2 425") << false << 0 << 'D' << QByteArray();
    QTest::newRow("256 chars") << bodyFor(2, 'D', full) + "0" << false << 0 << 'D' << QByteArray();
    // 263 characters whose length field reads 263 - 256: only a decoder that compares the length
    // in 8 bits would take it, and it would then read 128 data bytes.
    QTest::newRow("length wraps") << QByteArray("0700H") + QByteArray(256, '0') + "4f" << false << 0
                                  << 'H' << QByteArray();
}

void PacketCodecTest::decode()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, valid);
    QFETCH(int, address);
    QFETCH(char, command);
    QFETCH(QByteArray, data);

    TCommPacket fromPointer;
    QCOMPARE(DecodePacket(body.constData(), int(body.size()), fromPointer), valid);
    TCommPacket fromArray;
    QCOMPARE(DecodePacket(body, fromArray), valid);
    if (!valid)
        return;
    for (const TCommPacket* packet : {&fromPointer, &fromArray}) {
        QCOMPARE(int(packet->Length), int(body.size()));
        QCOMPARE(int(packet->Address), address);
        QCOMPARE(packet->Command, command);
        QVERIFY(packet->ownsData());
        QCOMPARE(dataOf(*packet), data);
    }
}

void PacketCodecTest::roundTrip_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<char>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("no data") << 0 << 'Z' << QByteArray();
    QTest::newRow("one byte") << 1 << 'D' << QByteArray("\x7f", 1);
    QTest::newRow("high address and letter") << 0xff << '\x80' << QByteArray("\xff\x00", 2);
    QTest::newRow("120 bytes") << 4 << 'D' << countingBytes(120);
    QTest::newRow("124 bytes") << 5 << 'D' << QByteArray(124, '\xff');
}

void PacketCodecTest::roundTrip()
{
    QFETCH(int, address);
    QFETCH(char, command);
    QFETCH(QByteArray, data);
    TCommPacket sent;
    sent.Address = static_cast<quint8>(address);
    sent.Command = command;
    sent.Data = bytesOf(data);
    sent.DataCount = static_cast<quint8>(data.size());
    char wire[MaxPacketSize];
    const int written = EncodePacket(sent, wire, MaxReceiveData);
    QCOMPARE(written, 2 * int(data.size()) + 10);

    TCommPacket received;
    QVERIFY(DecodePacket(wire + 1, written - 3, received));
    QCOMPARE(int(received.Address), address);
    QCOMPARE(received.Command, command);
    QCOMPARE(dataOf(received), data);
}

void PacketCodecTest::copyOwnsItsData()
{
    QByteArray body = bodyFor(1, 'D', QByteArray("\x10\x27", 2));
    auto original = std::make_unique<TCommPacket>();
    QVERIFY(DecodePacket(body, *original));
    const TCommPacket copy(*original);
    TCommPacket assigned;
    assigned = *original;
    original.reset();
    const TCommPacket* const copies[] = {&copy, &assigned};
    for (const TCommPacket* packet : copies) {
        QVERIFY(packet->ownsData());
        QCOMPARE(dataOf(*packet), QByteArray("\x10\x27", 2));
    }

    const QByteArray external("\x01\x02", 2);
    TCommPacket outgoing;
    outgoing.Data = bytesOf(external);
    outgoing.DataCount = 2;
    const TCommPacket outgoingCopy(outgoing);
    QCOMPARE(outgoingCopy.Data, bytesOf(external));
}

QTEST_APPLESS_MAIN(PacketCodecTest)
#include "PacketCodecTest.moc"
