#include "link/codec/PacketCodec.h"

#include <algorithm>

namespace sonmetra::link {

namespace {

constexpr quint8 NotADigit = 0xff;

// Character -> nibble, NotADigit for everything outside HexDigits; one look-up per character.
constexpr std::array<quint8, 256> makeNibbleTable()
{
    std::array<quint8, 256> table{};
    table.fill(NotADigit);
    for (quint8 value = 0; value < 16; ++value)
        table[static_cast<unsigned char>(HexDigits[value])] = value;
    return table;
}

constexpr std::array<quint8, 256> NibbleOf = makeNibbleTable();

} // namespace

void ByteToHex(quint8 value, char* two)
{
    two[0] = HexDigits[value >> 4];
    two[1] = HexDigits[value & 0x0f];
}

bool HexToByte(char hi, char lo, quint8& out)
{
    const quint8 high = NibbleOf[static_cast<unsigned char>(hi)];
    const quint8 low = NibbleOf[static_cast<unsigned char>(lo)];
    if (high == NotADigit || low == NotADigit)
        return false;
    out = static_cast<quint8>(high << 4 | low);
    return true;
}

int EncodePacket(const TCommPacket& packet, char* out)
{
    return EncodePacket(packet, out, MaxSendData);
}

int EncodePacket(const TCommPacket& packet, char* out, int dataLimit)
{
    if (packet.DataCount > 0 && packet.Data == nullptr)
        return 0;
    const int n = std::min<int>(packet.DataCount, std::clamp(dataLimit, 0, MaxReceiveData));
    const auto length = static_cast<quint8>(2 * n + 7);
    auto sum = static_cast<quint8>(length + packet.Address + static_cast<quint8>(packet.Command));

    char* at = out;
    *at++ = ':';
    ByteToHex(length, at);
    at += 2;
    ByteToHex(packet.Address, at);
    at += 2;
    *at++ = packet.Command;
    for (int i = 0; i < n; ++i) {
        sum = static_cast<quint8>(sum + packet.Data[i]);
        ByteToHex(packet.Data[i], at);
        at += 2;
    }
    ByteToHex(sum, at);
    at += 2;
    *at++ = '\r';
    *at++ = '\n';
    return static_cast<int>(at - out);
}

bool DecodePacket(const char* body, int m, TCommPacket& packet)
{
    // A body longer than the length byte can say is never valid; rejecting it first also keeps
    // the data within Received.
    if (m < 7 || m > MaxBodyLength)
        return false;
    quint8 length = 0;
    if (!HexToByte(body[0], body[1], length) || length != m)
        return false;
    quint8 address = 0;
    if (!HexToByte(body[2], body[3], address))
        return false;

    const int count = (m - 7) / 2;
    packet.Length = length;
    packet.Address = address;
    packet.Command = body[4];
    packet.DataCount = static_cast<quint8>(count);
    packet.Data = packet.Received.data();

    auto sum = static_cast<quint8>(length + address + static_cast<quint8>(packet.Command));
    const char* at = body + 5;
    for (int i = 0; i < count; ++i, at += 2) {
        if (!HexToByte(at[0], at[1], packet.Received[i]))
            return false;
        sum = static_cast<quint8>(sum + packet.Received[i]);
    }
    quint8 checksum = 0;
    return HexToByte(at[0], at[1], checksum) && checksum == sum;
}

bool DecodePacket(const QByteArray& body, TCommPacket& packet)
{
    return body.size() <= MaxBodyLength &&
           DecodePacket(body.constData(), static_cast<int>(body.size()), packet);
}

} // namespace sonmetra::link
