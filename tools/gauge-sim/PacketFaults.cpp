#include "PacketFaults.h"

#include "link/codec/PacketCodec.h"

#include <QStringList>

namespace sonmetra::sim {

PacketFaults::Outcome PacketFaults::apply(const QByteArray& packet)
{
    if (drop > 0) {
        --drop;
        return {{}, QStringLiteral("dropped")};
    }
    QStringList notes;
    QByteArray one = packet;
    if (corrupt > 0) {
        --corrupt;
        // The checksum digits stand just before CR LF; one more than the right sum is wrong. The
        // packet comes from our own encoder, so they always read back.
        char* digits = one.data() + one.size() - 4;
        quint8 checksum = 0;
        link::HexToByte(digits[0], digits[1], checksum);
        link::ByteToHex(static_cast<quint8>(checksum + 1), digits);
        notes << QStringLiteral("wrong checksum");
    }
    Outcome outcome;
    if (garbage) {
        const QByteArray before = noise();
        outcome.bytes += before;
        notes << QStringLiteral("after %1 bytes of noise").arg(before.size());
    }
    outcome.bytes += one;
    if (duplicate > 0) {
        --duplicate;
        outcome.bytes += one;
        notes << QStringLiteral("twice");
    }
    outcome.note = notes.join(QStringLiteral(", "));
    return outcome;
}

QByteArray PacketFaults::noise()
{
    QByteArray bytes(static_cast<qsizetype>(random.bounded(1, 17)), '\0');
    for (char& byte : bytes) {
        do
            byte = static_cast<char>(random.bounded(256));
        while (byte == ':' || byte == '\r' || byte == '\n');
    }
    return bytes;
}

} // namespace sonmetra::sim
