#pragma once

#include <QtGlobal>

#include <array>

namespace sonmetra {

// The running transaction with the instrument.
enum TCommTask : quint8
{
    ctIdle = 0,
    ctFileDownload = 3,
    ctMeasuring = 4,
    ctHandshake = 5,
    ctDisconnecting = 6,
    ctStopping = 8,
};

// Ticks of 55 ms the instrument has to answer: 5005 ms.
inline constexpr int ResponseTimeoutTicks = 91;
// Re-sends of an unanswered command before its transaction fails.
inline constexpr quint8 MaxRetries = 2;

struct TCommRec
{
    quint16 ComNumber = 0;
    quint8 PortOpen = 0;
    quint16 TriggerHandle = 0;
    std::array<char, 260> TxBuffer{}; // the last packet sent, for re-sending
    quint16 TxLength = 0;
    quint8 RetryCount = 0;
    TCommTask Task = ctIdle;
    quint8 Connected = 0;
};

// The state of the link of the whole program.
extern TCommRec CommRec;

// Before each opening of the port: nothing open, nothing running, nothing to re-send.
void ResetLink(TCommRec& rec = CommRec);

// The transaction a command letter starts; 'N' and 'Y' keep the running one, and any other
// letter means nothing is sent.
TCommTask taskForCommand(char letter, TCommTask running);

} // namespace sonmetra
