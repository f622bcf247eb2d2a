#pragma once

#include <QString>

namespace sonmetra::serial {

// Whether a port could be opened now, and if not, why not.
struct PortStatus
{
    enum class State
    {
        Available,    // it opens read-write, and nothing else holds it
        NoDevice,     // no such port number, no device behind it, or a device without hardware
        NoPermission, // the device exists but this user may not open it
        Held,         // another open (in this or another program) holds it
        Failed        // it cannot be opened for another reason, given in detail
    };

    State state = State::NoDevice;
    QString device; // the device behind the number, links resolved; empty outside 1..16
    QString detail; // the system's own words for a failure, where there are some
};

// Opens the device of port comNumber read-write as an existing device, checks that nothing else
// holds it, and closes it again at once. It neither configures the line nor waits for carrier.
PortStatus portStatus(int comNumber);

// True if port comNumber can be opened now: the port picker offers only these.
bool canOpenPort(int comNumber);

} // namespace sonmetra::serial
