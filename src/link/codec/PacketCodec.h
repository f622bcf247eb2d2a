#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace sonmetra::link {

// The only characters that count as hex digits on the line; upper case 'A'-'F' do not.
inline constexpr char HexDigits[] = "0123456789abcdef";

// Data bytes the PC puts into one packet; anything beyond is cut off.
inline constexpr int MaxSendData = 120;
// Data bytes a received body can carry: its one-byte length field allows 255 characters.
inline constexpr int MaxReceiveData = 124;
// Bytes of a sent packet with MaxSendData data bytes, marks included.
inline constexpr int PacketBufferSize = 2 * MaxSendData + 10;
// The longest body (without ':' and CR LF) that can be valid.
inline constexpr int MaxBodyLength = 255;
// Bytes of a packet with MaxReceiveData data bytes, marks included: what the instrument may send.
inline constexpr int MaxPacketSize = 2 * MaxReceiveData + 10;

// One packet in memory, for both directions.
struct TCommPacket
{
    quint8 Length = 0; // set by decoding; encoding computes its own
    quint8 Address = 0;
    char Command = 0;
    // The data bytes, or none. For encoding the caller points this at bytes it keeps; decoding
    // points it at Received.
    const quint8* Data = nullptr;
    quint8 DataCount = 0;
    // Where a decoded packet keeps its data bytes. It lives inside the packet, so decoding
    // allocates nothing and the bytes go away with the packet.
    std::array<quint8, MaxReceiveData> Received{};

    TCommPacket() = default;
    // A copy of a decoded packet points at its own copy of the bytes, never at the original's.
    TCommPacket(const TCommPacket& other) noexcept { *this = other; }
    TCommPacket& operator=(const TCommPacket& other) noexcept
    {
        Length = other.Length;
        Address = other.Address;
        Command = other.Command;
        DataCount = other.DataCount;
        Received = other.Received;
        Data = other.ownsData() ? Received.data() : other.Data;
        return *this;
    }

    bool ownsData() const noexcept { return Data == Received.data(); }
};

// Writes the byte's two digits to two[0] (high nibble) and two[1].
void ByteToHex(quint8 value, char* two);

// Reads the byte written as hi, lo. False unless both are in HexDigits.
bool HexToByte(char hi, char lo, quint8& out);

// Writes the whole packet, ':' to CR LF, into out (at least PacketBufferSize bytes) and returns
// 2n + 10, where n is DataCount but at most MaxSendData. Returns 0 when data bytes are announced
// but Data is none. Length is not read.
int EncodePacket(const TCommPacket& packet, char* out);

// As above with the data cut off at dataLimit bytes instead, itself at most MaxReceiveData so
// that the length still fits its byte; out holds 2 * dataLimit + 10 bytes. The instrument's side
// sends up to MaxReceiveData.
int EncodePacket(const TCommPacket& packet, char* out, int dataLimit);

// Checks and takes apart a received body of m characters (without ':' and CR LF). On success
// every field is set and Data points at DataCount bytes held by the packet; on failure the fields
// are undefined.
bool DecodePacket(const char* body, int m, TCommPacket& packet);
bool DecodePacket(const QByteArray& body, TCommPacket& packet);

} // namespace sonmetra::link
