#include "serial/SerialPort.h"
#include "PtyPair.h"
#include "TestEnvironment.h"
#include "error/PlatformError.h"
#include "serial/Clock.h"
#include "serial/ComNames.h"
#include "serial/PortLock.h"
#include "serial/Ticks.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

using namespace sonmetra::serial;
using sonmetra::PlatformError;
using sonmetra::serial::test::PtyPair;

namespace {

constexpr int Com = 3;
const QByteArray PacketH = ":0700H4f\r\n";
const QByteArray PacketB = ":0700B49\r\n";

QByteArray readLog()
{
    QFile file(QStringLiteral("APRO.LOG"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The serial service on a real pseudo-terminal, with time on a virtual clock.
class SerialPortTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithLineSettingsAndLock();
    void openFailureNamesThePort_data();
    void openFailureNamesThePort();
    void sendQueuesAndFreesOutput();
    void drainLetsQueuedOutputLeave_data();
    void drainLetsQueuedOutputLeave();
    void collectorDeliversPackets_data();
    void collectorDeliversPackets();
    void collectorIsOffWhileHandlerRuns();
    void handlerClosingThePortEndsCollection();
    void bytesWhileCollectorIsOffAreDropped();
    void packetsArriveDuringANestedEventLoop();
    void unfinishedPacketIsDiscardedAfterTimeout_data();
    void unfinishedPacketIsDiscardedAfterTimeout();
    void lightsFollowTraffic();
    void disabledLightsStayDark();
    void closingEndsTriggersCollectorAndLights();
    void trafficLogIsWrittenOnCloseAndReplaced();
    void vanishedDeviceFailsOnce();

private:
    // Writes bytes from the far end and waits until the service has read them.
    bool arrive(const QByteArray& bytes);

    std::unique_ptr<VirtualClock> clock;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<SerialPort> port;
};

void SerialPortTest::init()
{
    clock = std::make_unique<VirtualClock>();
    pty = std::make_unique<PtyPair>();
    QVERIFY(pty->isValid());
    QVERIFY(pty->linkAs(Com));
    port = std::make_unique<SerialPort>(*clock);
    port->setComNumber(Com);
    QFile::remove(QStringLiteral("APRO.LOG"));
}

void SerialPortTest::cleanup()
{
    port.reset();
    pty.reset();
    clock.reset();
    QDir(portFolder()).removeRecursively();
}

bool SerialPortTest::arrive(const QByteArray& bytes)
{
    // The RX light is the service's own sign that it has read something; one tick later it is
    // dark again, ready for the next arrival.
    port->setLightsEnabled(true);
    if (!pty->write(bytes) || !QTest::qWaitFor([this] { return port->rxLit(); }))
        return false;
    clock->advance(TickMs);
    return !port->rxLit();
}

void SerialPortTest::opensWithLineSettingsAndLock()
{
    port->open();
    QVERIFY(port->isOpen());

    termios line{};
    QVERIFY(pty->lineSettings(line));
    QCOMPARE(cfgetispeed(&line), speed_t(B9600));
    QCOMPARE(cfgetospeed(&line), speed_t(B9600));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
    QVERIFY2(QFile::exists(lockFilePath(pty->slavePath())), "the lock file is not where we look");
    const int other = ::open(pty->slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (other >= 0) { // root gets past TIOCEXCL; the flock still holds
        QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), -1);
        ::close(other);
    }

    port->close();
    QVERIFY(!port->isOpen());
    QVERIFY(!QFile::exists(lockFilePath(pty->slavePath())));
    port->close(); // closing a closed port is harmless
    QVERIFY(!port->isOpen());
}

void SerialPortTest::openFailureNamesThePort_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("text");

    QTest::newRow("no device") << "dangling link"
                               << "Cannot open COM7 ({folder}/COM7): No such file or directory";
    QTest::newRow("held by another port")
        << "held"
        << "Cannot open COM3 ({device}): the port is in use by another program";
    QTest::newRow("flocked by another program")
        << "flocked"
        << "Cannot open COM3 ({device}): the port is in use by another program";
    QTest::newRow("no such number") << "COM17"
                                    << "Cannot open COM17: there is no such port";
}

void SerialPortTest::openFailureNamesThePort()
{
    QFETCH(QString, situation);
    QFETCH(QString, text);
    SerialPort holder(*clock);
    int flocked = -1;
    const auto closeFlocked = qScopeGuard([&flocked] {
        if (flocked >= 0)
            ::close(flocked);
    });
    if (situation == "dangling link") {
        QVERIFY(QFile::link(portFolder() + QStringLiteral("/gone"),
                            portFolder() + QStringLiteral("/COM7")));
        port->setComNumber(7);
    } else if (situation == "held") {
        holder.setComNumber(Com);
        holder.open();
    } else if (situation == "flocked") {
        flocked = ::open(pty->slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        QVERIFY(flocked >= 0);
        QCOMPARE(::flock(flocked, LOCK_EX | LOCK_NB), 0);
    } else {
        port->setComNumber(17);
    }

    try {
        port->open();
        QFAIL("the port opened");
    } catch (const PlatformError& error) {
        text.replace(QStringLiteral("{folder}"), portFolder());
        text.replace(QStringLiteral("{device}"), pty->slavePath());
        QCOMPARE(error.message(), text);
    }
    QVERIFY(!port->isOpen());
}

void SerialPortTest::sendQueuesAndFreesOutput()
{
    port->open();
    QCOMPARE(port->outputFree(), SerialPort::BufferSize);

    port->send(PacketH);
    QCOMPARE(port->outputFree(), SerialPort::BufferSize - PacketH.size());
    QCOMPARE(pty->read(PacketH.size()), PacketH);
    QCOMPARE(port->outputFree(), SerialPort::BufferSize);
}

void SerialPortTest::drainLetsQueuedOutputLeave_data()
{
    QTest::addColumn<bool>("drain");
    QTest::addColumn<QByteArray>("arrived");

    QTest::newRow("drained before close") << true << PacketB;
    QTest::newRow("discarded at close") << false << QByteArray();
}

void SerialPortTest::drainLetsQueuedOutputLeave()
{
    QFETCH(bool, drain);
    QFETCH(QByteArray, arrived);
    port->open();

    // As when the window closes: the disconnect is queued, then the port is shut at once.
    port->send(PacketB);
    if (drain)
        QVERIFY(port->drainOutput(2000));
    port->discardInput();
    port->discardOutput();
    port->close();

    QCOMPARE(pty->read(PacketB.size()), arrived);
}

void SerialPortTest::collectorDeliversPackets_data()
{
    QTest::addColumn<QList<QByteArray>>("arrivals");
    QTest::addColumn<QList<QByteArray>>("packets");

    using Chunks = QList<QByteArray>;
    QTest::newRow("split across reads") << Chunks{":07", "00H", "4f\r", "\n"} << Chunks{"0700H4f"};
    QTest::newRow("several in one read") << Chunks{PacketH + PacketB + ":0b00Dd20425\r\n"}
                                         << Chunks{"0700H4f", "0700B49", "0b00Dd20425"};
    QTest::newRow("garbage between packets")
        << Chunks{"\x00zz\r\n" + PacketH + "noise\n", "\xff" + PacketB}
        << Chunks{"0700H4f", "0700B49"};
}

void SerialPortTest::collectorDeliversPackets()
{
    QFETCH(QList<QByteArray>, arrivals);
    QFETCH(QList<QByteArray>, packets);
    port->open();
    port->setCollectorEnabled(true);
    QSignalSpy received(port.get(), &SerialPort::packetReceived);

    for (const QByteArray& bytes : arrivals)
        QVERIFY(arrive(bytes));

    QList<QByteArray> bodies;
    for (const QList<QVariant>& signal : received)
        bodies.append(signal.at(0).toByteArray());
    QCOMPARE(bodies, packets);
}

void SerialPortTest::collectorIsOffWhileHandlerRuns()
{
    port->open();
    port->setCollectorEnabled(true);
    QList<QByteArray> bodies;
    QList<bool> onInHandler;
    connect(port.get(), &SerialPort::packetReceived, this, [&](const QByteArray& body) {
        bodies.append(body);
        onInHandler.append(port->collectorEnabled());
        port->setCollectorEnabled(false); // as the program's own handler does
    });

    QVERIFY(arrive(PacketH + PacketB));

    QCOMPARE(bodies, QList<QByteArray>({"0700H4f", "0700B49"}));
    QCOMPARE(onInHandler, QList<bool>({false, false}));
    QVERIFY(port->collectorEnabled());
}

void SerialPortTest::handlerClosingThePortEndsCollection()
{
    port->open();
    port->setCollectorEnabled(true);
    QList<QByteArray> bodies;
    connect(port.get(), &SerialPort::packetReceived, this, [&](const QByteArray& body) {
        bodies.append(body);
        port->setCollectorEnabled(false);
        port->close();
    });

    QVERIFY(pty->write(PacketB + PacketH));
    QTRY_VERIFY(!port->isOpen());

    QCOMPARE(bodies, QList<QByteArray>({"0700B49"}));
    QVERIFY(!port->collectorEnabled());
}

void SerialPortTest::bytesWhileCollectorIsOffAreDropped()
{
    port->open();
    QSignalSpy received(port.get(), &SerialPort::packetReceived);

    QVERIFY(arrive(PacketH + ":0700"));
    port->setCollectorEnabled(true);
    QVERIFY(arrive("W5e\r\n" + PacketB));
    port->setCollectorEnabled(false);
    QVERIFY(arrive(PacketH));

    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toByteArray(), QByteArray("0700B49"));
}

void SerialPortTest::packetsArriveDuringANestedEventLoop()
{
    port->open();
    port->setCollectorEnabled(true);
    QList<QByteArray> bodies;
    QEventLoop modal; // as a message box's own loop
    connect(port.get(), &SerialPort::packetReceived, &modal, [&](const QByteArray& body) {
        bodies.append(body);
        if (bodies.size() == 2)
            modal.quit();
    });
    QTimer::singleShot(0, this, [&] { QVERIFY(pty->write(PacketH + PacketB)); });
    QTimer::singleShot(10000, &modal, &QEventLoop::quit);
    modal.exec();

    QCOMPARE(bodies, QList<QByteArray>({"0700H4f", "0700B49"}));
}

void SerialPortTest::unfinishedPacketIsDiscardedAfterTimeout_data()
{
    QTest::addColumn<QList<QByteArray>>("arrivals");
    QTest::addColumn<QList<qint64>>("atMs"); // virtual time of each arrival
    QTest::addColumn<QList<QByteArray>>("packets");

    using Chunks = QList<QByteArray>;
    using Times = QList<qint64>;
    const qint64 timeoutMs = ticksToMs(SerialPort::PacketTimeoutTicks);
    QCOMPARE(timeoutMs, qint64(120120));
    const Chunks rest = {":0700", "H4f\r\n" + PacketB};
    QTest::newRow("finished just in time")
        << rest << Times{0, timeoutMs - 1} << Chunks{"0700H4f", "0700B49"};
    QTest::newRow("discarded, then collecting again")
        << rest << Times{0, timeoutMs} << Chunks{"0700B49"};
    QTest::newRow("a new start counts from its own colon")
        << Chunks{":07", ":0700", "H4f\r\n"} << Times{0, 60000, timeoutMs + 1000}
        << Chunks{"0700H4f"};
}

void SerialPortTest::unfinishedPacketIsDiscardedAfterTimeout()
{
    QFETCH(QList<QByteArray>, arrivals);
    QFETCH(QList<qint64>, atMs);
    QFETCH(QList<QByteArray>, packets);
    port->open();
    port->setCollectorEnabled(true);
    QSignalSpy received(port.get(), &SerialPort::packetReceived);

    for (qsizetype i = 0; i < arrivals.size(); ++i) {
        clock->advance(atMs[i] - clock->nowMs());
        QVERIFY(arrive(arrivals[i]));
    }

    QList<QByteArray> bodies;
    for (const QList<QVariant>& signal : received)
        bodies.append(signal.at(0).toByteArray());
    QCOMPARE(bodies, packets);
}

void SerialPortTest::lightsFollowTraffic()
{
    port->open();
    port->setLightsEnabled(true);
    QSignalSpy changes(port.get(), &SerialPort::lightsChanged);

    QVERIFY(pty->write(PacketH));
    QTRY_VERIFY(port->rxLit());
    clock->advance(TickMs - 1);
    QVERIFY(port->rxLit());
    clock->advance(1);
    QVERIFY(!port->rxLit());

    port->send(PacketB);
    QCOMPARE(pty->read(PacketB.size()), PacketB);
    QTRY_VERIFY(port->txLit());
    clock->advance(1);
    port->send(PacketB); // more traffic keeps it lit for a tick after the last
    QCOMPARE(pty->read(PacketB.size()), PacketB);
    clock->advance(TickMs - 1);
    QVERIFY(port->txLit());
    clock->advance(1);
    QVERIFY(!port->txLit());

    const QList<QList<QVariant>> expected = {
        {true, false}, {false, false}, {false, true}, {false, false}};
    QCOMPARE(QList<QList<QVariant>>(changes), expected);
}

void SerialPortTest::disabledLightsStayDark()
{
    port->open();
    port->setLightsEnabled(true);
    QVERIFY(pty->write(PacketH));
    QTRY_VERIFY(port->rxLit());
    QSignalSpy changes(port.get(), &SerialPort::lightsChanged);

    port->setLightsEnabled(false);
    QCOMPARE(changes.count(), 1); // the lit light goes dark
    QVERIFY(!port->rxLit());
    port->send(PacketB);
    QCOMPARE(pty->read(PacketB.size()), PacketB);
    port->setCollectorEnabled(true);
    QSignalSpy received(port.get(), &SerialPort::packetReceived);
    QVERIFY(pty->write(PacketH));
    QVERIFY(received.wait());
    clock->advance(TickMs);

    QCOMPARE(changes.count(), 1);
    QVERIFY(!port->rxLit());
    QVERIFY(!port->txLit());
}

void SerialPortTest::closingEndsTriggersCollectorAndLights()
{
    port->open();
    port->setCollectorEnabled(true);
    port->setLightsEnabled(true);
    QSignalSpy expired(port.get(), &SerialPort::triggerExpired);
    const quint16 handle = port->addTrigger();
    port->armTrigger(handle, 91);
    QVERIFY(arrive(":0700"));
    QVERIFY(pty->write("00"));
    QTRY_VERIFY(port->rxLit());

    port->close();
    clock->advance(ticksToMs(SerialPort::PacketTimeoutTicks));

    QCOMPARE(expired.count(), 0);
    QVERIFY(!port->collectorEnabled());
    QVERIFY(!port->rxLit());
}

void SerialPortTest::trafficLogIsWrittenOnCloseAndReplaced()
{
    {
        QFile earlier(QStringLiteral("APRO.LOG"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier run\n");
    }
    port->open();
    port->setCollectorEnabled(true);
    QSignalSpy received(port.get(), &SerialPort::packetReceived);
    port->send(PacketH);
    QCOMPARE(pty->read(PacketH.size()), PacketH);
    QVERIFY(pty->write(PacketH));
    QVERIFY(received.wait());
    QCOMPARE(readLog(), QByteArray("an earlier run\n")); // nothing is written while open
    port->close();

    const QByteArray first = readLog();
    QVERIFY(!first.contains("an earlier run"));
    QVERIFY(first.contains("COM3 (" + pty->slavePath().toLocal8Bit() + ")"));
    QVERIFY2(first.contains(" TX 3a 30 37 30 30 48 34 66 0d 0a  :0700H4f..\n"), first);
    QVERIFY2(first.contains(" RX 3a 30 37 30 30 48 34 66 0d 0a  :0700H4f..\n"), first);
    QVERIFY(first.indexOf(" TX ") < first.indexOf(" RX "));

    port->open();
    port->send(PacketB);
    QCOMPARE(pty->read(PacketB.size()), PacketB);
    port->close();

    const QByteArray second = readLog();
    QVERIFY2(second.contains(" TX 3a 30 37 30 30 42 34 39 0d 0a  :0700B49..\n"), second);
    QVERIFY(!second.contains("H4f"));
}

void SerialPortTest::vanishedDeviceFailsOnce()
{
    port->open();
    port->setCollectorEnabled(true);
    QSignalSpy failed(port.get(), &SerialPort::portFailed);
    QSignalSpy expired(port.get(), &SerialPort::triggerExpired);
    port->armTrigger(port->addTrigger(), 1);
    port->send(PacketH);
    QCOMPARE(pty->read(PacketH.size()), PacketH);

    pty->closeMaster();
    QVERIFY(failed.wait());
    QTest::qWait(100); // Qt Serial Port would now be repeating its read error

    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(),
             QStringLiteral("COM3 (%1) stopped working: the device has gone away")
                 .arg(pty->slavePath()));
    QVERIFY(!port->isOpen());
    QVERIFY(!port->collectorEnabled());
    QVERIFY(readLog().contains(" TX 3a 30 37 30 30 48 34 66 0d 0a"));
    clock->advance(TickMs);
    QCOMPARE(expired.count(), 0);
}

int main(int argc, char** argv)
{
    const sonmetra::serial::test::TestEnvironment environment;
    QCoreApplication app(argc, argv);
    if (!environment.isValid())
        qFatal("cannot set up the test folders");
    SerialPortTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SerialPortTest.moc"
