#pragma once

#include <QString>

namespace sonmetra::serial {

inline constexpr int FirstComNumber = 1;
inline constexpr int LastComNumber = 16;

// The folder where a link or device named COMn gives port n any device (a simulator's
// pseudo-terminal, a udev name): ~/.local/share/sonmetra/ports on Linux.
QString portFolder();

// The device that stands behind COMn: the link COMn in portFolder() if it exists, otherwise the
// fixed table COM1-4 -> ttyS0-3, COM5-12 -> ttyUSB0-7, COM13-16 -> ttyACM0-3. On Windows the
// system's own \\.\COMn. Empty for a number outside 1..16.
QString comDevice(int comNumber);

// comDevice() with links resolved to the real device, as opening and locking need it.
QString comDeviceResolved(int comNumber);

} // namespace sonmetra::serial
