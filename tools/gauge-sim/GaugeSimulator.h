#pragma once

#include "LinePacer.h"
#include "PacketFaults.h"
#include "PseudoTerminal.h"
#include "ReadingGenerator.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <QVector>

#include <memory>

namespace sonmetra::sim {

// The thickness gauge on the far end of a pseudo-terminal. A program that opens slavePath() (or
// the COMn link made by linkAs()) as its serial port talks to it as to the instrument: 'H' and 'B'
// are answered in kind, 'W' starts a stream of 'D' readings that 'Z' stops, and 'F' serves the
// stored files block by block, each block answered by 'Y' (next) or 'N' (again), with 'Z' at the
// end. Line faults can be switched on for tests and demonstrations.
class GaugeSimulator : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxBlockReadings = 62; // 124 data bytes, the most a packet carries
    static constexpr int MaxFiles = 6;

    // Opens the pseudo-terminal; throws PlatformError when the system gives none.
    explicit GaugeSimulator(QObject* parent = nullptr);
    ~GaugeSimulator() override;

    QString slavePath() const;

    // Makes the link COMn in the port folder point at slavePath(), replacing an older link of that
    // name and dropping this simulator's earlier one. False when it cannot; errorString() says why.
    bool linkAs(int comNumber);
    // Removes the link again if it still points here. Destruction does it too.
    void unlink();
    QString linkPath() const { return link; }
    QString errorString() const { return error; }

    // Live readings in hundredths of a millimetre, low byte first on the line. A list is played
    // from its start after each 'W' and then the stream goes quiet; generated readings never end
    // (the default, around 10.00 mm).
    void setLiveReadings(const QVector<quint16>& readings);
    void setGeneratedReadings(double nominalMm, quint32 seed = 1);
    // Readings a second; 0 sends the next one as soon as the line has carried the last.
    void setLiveRate(double perSecond);
    // Answers the PC's 'Z' with 'Z' of its own. Off by default.
    void setAnswerStop(bool on) { answerStop = on; }

    // Stored files: file k has address k (at most MaxFiles). A file without readings is skipped
    // unless setSendEmptyFiles(true), which sends it as a block without data.
    void setFiles(const QVector<QVector<quint16>>& files);
    void setBlockSize(int readings);
    void setSendEmptyFiles(bool on) { sendEmptyFiles = on; }

    // Line faults. Pacing sends at the speed of a 9600-baud wire; silence answers no command and
    // streams nothing (what is sent on demand below still goes out).
    void setPaced(bool on);
    void setSilent(bool on);
    void corruptNext(int packets) { faults.corruptNext(packets); }
    void dropNext(int packets) { faults.dropNext(packets); }
    void duplicateNext(int packets) { faults.duplicateNext(packets); }
    void setGarbage(bool on) { faults.setGarbage(on); }
    // Closes the line for good: the program on the other end sees its port fail.
    void hangUp();
    bool isHungUp() const { return !pty.isOpen(); }

    // Sent on demand, through the faults that are switched on.
    void sendReading(quint16 hundredths);
    void sendRawPacket(quint8 address, char command, const QByteArray& data);
    void sendDisconnect();
    void sendEndOfMeasurement();
    // Puts exactly these bytes on the line (paced if pacing is on, no other fault).
    void sendBytes(const QByteArray& bytes);

    // The command letters of the valid packets received so far, in order.
    QVector<char> receivedCommands() const { return received; }

signals:
    void commandReceived(char command);
    // One line per packet received or sent, e.g. "RX H" or "TX D 00 d2 04", for printing.
    void traffic(const QString& line);
    // The line failed by itself (not by hangUp()); it is closed.
    void lineFailed(const QString& reason);

private:
    enum class Activity
    {
        Idle,
        Measuring,
        Downloading
    };

    struct Block
    {
        quint8 address;
        char command;
        QByteArray data;
    };

    void readMaster();
    void collect(const char* bytes, qsizetype count);
    void handleBody(const QByteArray& body);
    void handleCommand(char command);

    void stopActivity();
    void startMeasuring();
    bool hasLiveReading() const;
    quint16 nextLiveReading();
    void sendLiveReading();
    bool streamingFast() const;
    void startDownload();
    void sendBlock(const Block& block);

    void sendPacket(quint8 address, char command, const QByteArray& data);
    void queue(const QByteArray& bytes);
    void flush();
    void writableAgain();
    void closeLine();
    void failLine(const QString& reason);

    PseudoTerminal pty;
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;
    QString link;
    QString error;

    QByteArray incoming;
    bool inPacket = false;
    QVector<char> received;

    Activity activity = Activity::Idle;
    bool silent = false;
    bool answerStop = false;

    QVector<quint16> liveList;
    bool liveFromList = false;
    qsizetype liveNext = 0;
    ReadingGenerator generator;
    double liveRate = 2.0;
    QTimer liveTimer;

    QVector<QVector<quint16>> files;
    int blockSize = MaxBlockReadings;
    bool sendEmptyFiles = false;
    QVector<Block> download; // the blocks of one download and the final 'Z'
    qsizetype downloadAt = 0;

    PacketFaults faults;
    QByteArray outgoing;
    bool paced = false;
    LinePacer pacer;
    // When the bytes queued next were ready, if earlier than now (see writableAgain()).
    qint64 readySinceNs = -1;
    qint64 measuringSinceNs = 0;
    QElapsedTimer clock;
    QTimer paceTimer;
};

} // namespace sonmetra::sim
