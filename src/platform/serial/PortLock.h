#pragma once

#include <QString>

namespace sonmetra::serial {

// What makes a port "held". Two marks, both checked before a port is offered or opened:
//
// - The UUCP-style lock file LCK..<name> that Qt Serial Port takes for as long as it has a
//   device open (so do many other serial programs). It is found where Qt Serial Port looks for
//   it: the first readable lock folder in which the file exists or may be created.
// - An exclusive flock() on the device, which every open SerialPort holds (as do, for example,
//   pyserial's exclusive ports). Unlike the terminal's TIOCEXCL, which Qt Serial Port also sets,
//   both marks hold against root too.

// The lock file Qt Serial Port uses for device (a path such as /dev/ttyUSB0 or /dev/pts/3).
QString lockFilePath(const QString& device);

enum class LockFileState
{
    Free,    // no lock file, or a stale one left by a process that is gone
    Held,    // a live process holds it
    Unusable // it cannot be checked (no lock folder can be written)
};

// Checks the lock file of device without keeping it.
LockFileState lockFileState(const QString& device);

// Takes the exclusive flock() of an open device. False, with errno set, if another open
// description holds it (EWOULDBLOCK) or the lock fails.
bool lockDescriptor(int fd);

} // namespace sonmetra::serial
