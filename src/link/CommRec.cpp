#include "link/CommRec.h"

namespace sonmetra {

TCommRec CommRec;

void ResetLink(TCommRec& rec)
{
    rec.PortOpen = 0;
    rec.Task = ctIdle;
    rec.Connected = 0;
    rec.TxLength = 0;
    rec.RetryCount = 0;
}

TCommTask taskForCommand(char letter, TCommTask running)
{
    switch (letter) {
    case 'B':
        return ctDisconnecting;
    case 'F':
        return ctFileDownload;
    case 'H':
        return ctHandshake;
    case 'W':
        return ctMeasuring;
    case 'Z':
        return ctStopping;
    case 'N':
    case 'Y':
        return running;
    default:
        return ctIdle;
    }
}

} // namespace sonmetra
