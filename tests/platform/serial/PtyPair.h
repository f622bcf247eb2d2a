#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <termios.h>

namespace sonmetra::serial::test {

// A real pseudo-terminal: the test plays the far end on the master side; the slave is the
// device the serial service opens, linked as COMn into the port folder when asked.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return master >= 0; }
    QString slavePath() const { return slave; }

    // Links COMn in the port folder to the slave; the link goes with the pair.
    bool linkAs(int comNumber);

    // Writes all of bytes to the master, running the event loop while the line is full.
    bool write(QByteArrayView bytes);
    // Reads from the master until count bytes have come, the slave side has closed, or
    // timeoutMs has passed, running the event loop meanwhile so the service can write.
    QByteArray read(qsizetype count, int timeoutMs = 5000);

    // The line settings the service gave the slave (a pty shares them with its master).
    bool lineSettings(termios& line) const;

    // Hangs up the line as a vanished device would.
    void closeMaster();

private:
    int master = -1;
    QString slave;
    QString link;
};

} // namespace sonmetra::serial::test
