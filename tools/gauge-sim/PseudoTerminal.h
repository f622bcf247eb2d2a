#pragma once

#include <QString>

namespace sonmetra::sim {

// A pseudo-terminal pair. The slave side is what a program opens as its serial port; this side
// keeps the master and, besides, an fd of its own to the slave, so the master never sees a hang-up
// (and never wakes its reader again and again) while that program closes and reopens the port.
class PseudoTerminal
{
public:
    // Opens the pair with the slave in raw mode; throws PlatformError when the system gives none.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Non-blocking; -1 once closed.
    int masterFd() const { return master; }
    const QString& slavePath() const { return path; }
    bool isOpen() const { return master >= 0; }

    // Closes both ends: the program on the slave side then sees the line hang up.
    void close();

private:
    int master = -1;
    int slave = -1;
    QString path;
};

} // namespace sonmetra::sim
