#include "PcPort.h"

#include "gauge-sim/GaugeSimulator.h"
#include "link/codec/PacketCodec.h"
#include "serial/ComNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace sonmetra;
using sonmetra::link::TCommPacket;
using sonmetra::sim::GaugeSimulator;

namespace {

const QByteArray HandshakeBody("0700H4f");
const QByteArray DisconnectBody("0700B49");
const QByteArray EndBody("0700Z61");

QByteArray dataOf(const TCommPacket& packet)
{
    return QByteArray(reinterpret_cast<const char*>(packet.Data), packet.DataCount);
}

QVector<quint16> readingsOf(const TCommPacket& packet)
{
    QVector<quint16> readings;
    for (int i = 0; i + 1 < packet.DataCount; i += 2)
        readings.append(static_cast<quint16>(packet.Data[i] + 256 * packet.Data[i + 1]));
    return readings;
}

QVector<quint16> counting(quint16 from, int count)
{
    QVector<quint16> readings;
    for (int i = 0; i < count; ++i)
        readings.append(static_cast<quint16>(from + i));
    return readings;
}

} // namespace

class GaugeSimulatorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answersInKind_data();
    void answersInKind();
    void liveStream_data();
    void liveStream();
    void stopEndsStream_data();
    void stopEndsStream();
    void fileDownload_data();
    void fileDownload();
    void repeatOnN();
    void faults_data();
    void faults();
    void receivesCommands_data();
    void receivesCommands();
    void silence();
    void hangUpIsSeenByThePc();
    void portClosedAndReopened();
    void sendsOnDemand();
    void linkAs_data();
    void linkAs();
    void linkFollowsItsSimulator();

private:
    // Sends 'B' and waits for its answer; the bodies that came before it show what the commands
    // sent earlier brought, and nothing of theirs can still be on the way.
    QList<QByteArray> bodiesBeforeMarker();
    // Sends the command and waits for one more body.
    bool exchange(char command);

    std::unique_ptr<GaugeSimulator> sim;
    std::unique_ptr<PcPort> pc;
};

void GaugeSimulatorTest::init()
{
    sim = std::make_unique<GaugeSimulator>();
    pc = std::make_unique<PcPort>(sim->slavePath());
    QVERIFY(pc->isOpen());
}

void GaugeSimulatorTest::cleanup()
{
    pc.reset();
    sim.reset();
}

QList<QByteArray> GaugeSimulatorTest::bodiesBeforeMarker()
{
    pc->send('B');
    if (!QTest::qWaitFor([&] { return pc->bodies.contains(DisconnectBody); }))
        return {QByteArrayLiteral("no answer to the marker")};
    return pc->bodies.mid(0, pc->bodies.indexOf(DisconnectBody));
}

bool GaugeSimulatorTest::exchange(char command)
{
    const qsizetype before = pc->bodies.size();
    pc->send(command);
    return pc->waitForBodies(before + 1);
}

void GaugeSimulatorTest::answersInKind_data()
{
    QTest::addColumn<char>("command");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("handshake") << 'H' << HandshakeBody;
    QTest::newRow("disconnect") << 'B' << DisconnectBody;
}

void GaugeSimulatorTest::answersInKind()
{
    QFETCH(char, command);
    QFETCH(QByteArray, answer);
    QSignalSpy received(sim.get(), &GaugeSimulator::commandReceived);
    QVERIFY(exchange(command));
    QCOMPARE(pc->bodies, QList<QByteArray>{answer});
    TCommPacket packet;
    QVERIFY(link::DecodePacket(pc->bodies.first(), packet));
    QCOMPARE(packet.Command, command);
    QCOMPARE(int(packet.Address), 0);
    QCOMPARE(int(packet.DataCount), 0);
    QCOMPARE(sim->receivedCommands(), QVector<char>{command});
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.first().first().value<char>(), command);
}

void GaugeSimulatorTest::liveStream_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<bool>("paced");
    QTest::newRow("as fast as the line allows") << 0.0 << false;
    QTest::newRow("50 a second") << 50.0 << false;
    QTest::newRow("paced at 9600 baud") << 0.0 << true;
}

void GaugeSimulatorTest::liveStream()
{
    QFETCH(double, rate);
    QFETCH(bool, paced);
    const QVector<quint16> readings{1234, 0, 65535, 256, 1};
    sim->setLiveReadings(readings);
    sim->setLiveRate(rate);
    sim->setPaced(paced);
    pc->send('W');
    QVERIFY(pc->waitForBodies(readings.size()));
    QCOMPARE(pc->bodies.first(), QByteArray("0b00Dd20425")); // 12.34 mm, low byte first
    for (qsizetype i = 0; i < readings.size(); ++i) {
        TCommPacket packet;
        QVERIFY(link::DecodePacket(pc->bodies[i], packet));
        QCOMPARE(packet.Command, 'D');
        QCOMPARE(int(packet.Address), 0);
        QCOMPARE(readingsOf(packet), QVector<quint16>{readings[i]});
    }
    // The list is played once: nothing follows it until the next command.
    QCOMPARE(bodiesBeforeMarker().size(), readings.size());
}

void GaugeSimulatorTest::stopEndsStream_data()
{
    QTest::addColumn<bool>("answerStop");
    QTest::newRow("stop not answered") << false;
    QTest::newRow("stop answered with Z") << true;
}

void GaugeSimulatorTest::stopEndsStream()
{
    QFETCH(bool, answerStop);
    sim->setAnswerStop(answerStop);
    sim->setLiveRate(0); // generated readings, never ending
    pc->send('W');
    QVERIFY(pc->waitForBodies(3));
    pc->send('Z');
    const QList<QByteArray> streamed = bodiesBeforeMarker();
    QCOMPARE(streamed.contains(EndBody), answerStop);
    if (answerStop)
        QCOMPARE(streamed.last(), EndBody);
    for (const QByteArray& body : streamed.mid(0, streamed.size() - (answerStop ? 1 : 0))) {
        TCommPacket packet;
        QVERIFY(link::DecodePacket(body, packet));
        QCOMPARE(packet.Command, 'D');
        QCOMPARE(int(packet.DataCount), 2);
    }

    pc->bodies.clear();
    QCOMPARE(bodiesBeforeMarker(), QList<QByteArray>{}); // no reading after the stop
}

void GaugeSimulatorTest::fileDownload_data()
{
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<bool>("sendEmpty");
    QTest::addColumn<bool>("paced");
    QTest::addColumn<QList<int>>("blocks"); // address, readings; address, readings; ...

    QTest::newRow("62 + 38, empty file skipped")
        << 62 << false << false << QList<int>{0, 62, 0, 38, 2, 5};
    QTest::newRow("empty file as empty block")
        << 62 << true << false << QList<int>{0, 62, 0, 38, 1, 0, 2, 5};
    QTest::newRow("blocks of 40") << 40 << false << false << QList<int>{0, 40, 0, 40, 0, 20, 2, 5};
    QTest::newRow("paced at 9600 baud") << 62 << false << true << QList<int>{0, 62, 0, 38, 2, 5};
}

void GaugeSimulatorTest::fileDownload()
{
    QFETCH(int, blockSize);
    QFETCH(bool, sendEmpty);
    QFETCH(bool, paced);
    QFETCH(QList<int>, blocks);
    const QVector<QVector<quint16>> files{counting(1000, 100), {}, counting(2000, 5)};
    sim->setFiles(files);
    sim->setBlockSize(blockSize);
    sim->setSendEmptyFiles(sendEmpty);
    sim->setPaced(paced);

    QVector<qsizetype> sentOf(files.size(), 0);
    QVERIFY(exchange('F'));
    for (qsizetype b = 0; b < blocks.size() / 2; ++b) {
        const int address = blocks[2 * b];
        const int count = blocks[2 * b + 1];
        TCommPacket packet;
        QVERIFY(link::DecodePacket(pc->bodies.last(), packet));
        QCOMPARE(packet.Command, 'D');
        QCOMPARE(int(packet.Address), address);
        QCOMPARE(readingsOf(packet), files[address].mid(sentOf[address], count));
        sentOf[address] += count;
        QVERIFY(exchange('Y'));
    }
    QCOMPARE(pc->bodies.last(), EndBody);
    QCOMPARE(pc->bodies.size(), blocks.size() / 2 + 1);
    QCOMPARE(sim->receivedCommands().first(), 'F');
}

void GaugeSimulatorTest::repeatOnN()
{
    sim->setFiles({counting(500, 63)});
    for (const char command : {'F', 'N', 'Y', 'N', 'N', 'Y', 'N'})
        QVERIFY2(exchange(command), QByteArray(1, command).constData());
    pc->send('Y'); // after the final 'Z' there is nothing more to send
    const QList<QByteArray> bodies = bodiesBeforeMarker();
    QCOMPARE(bodies.size(), 7);
    TCommPacket first;
    TCommPacket second;
    QVERIFY(link::DecodePacket(bodies[0], first));
    QVERIFY(link::DecodePacket(bodies[2], second));
    QCOMPARE(readingsOf(first), counting(500, 62));
    QCOMPARE(readingsOf(second), counting(562, 1));
    QCOMPARE(bodies[1], bodies[0]);
    QCOMPARE(bodies[3], bodies[2]);
    QCOMPARE(bodies[4], bodies[2]);
    QCOMPARE(bodies[5], EndBody);
    QCOMPARE(bodies[6], EndBody);
}

void GaugeSimulatorTest::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("wrong checksum") << "corrupt" << QList<QByteArray>{"0700H50"};
    QTest::newRow("dropped") << "drop" << QList<QByteArray>{};
    QTest::newRow("duplicated") << "duplicate" << QList<QByteArray>{HandshakeBody, HandshakeBody};
    QTest::newRow("noise between packets") << "garbage" << QList<QByteArray>{HandshakeBody};
}

void GaugeSimulatorTest::faults()
{
    QFETCH(QString, fault);
    QFETCH(QList<QByteArray>, expected);
    if (fault == QLatin1String("corrupt"))
        sim->corruptNext(1);
    else if (fault == QLatin1String("drop"))
        sim->dropNext(1);
    else if (fault == QLatin1String("duplicate"))
        sim->duplicateNext(1);
    else
        sim->setGarbage(true);

    pc->send('H');
    const QList<QByteArray> bodies = bodiesBeforeMarker(); // the marker's answer is whole again
    QCOMPARE(bodies, expected);
    TCommPacket packet;
    if (fault == QLatin1String("corrupt"))
        QVERIFY(!link::DecodePacket(bodies.first(), packet));
    if (fault == QLatin1String("garbage")) {
        QVERIFY(!pc->raw.startsWith(':'));
        QByteArray noise = pc->raw;
        for (const QByteArray& body : pc->bodies)
            noise.replace(':' + body + "\r\n", QByteArray());
        QVERIFY(!noise.isEmpty());
        QVERIFY(!noise.contains(':') && !noise.contains('\r') && !noise.contains('\n'));
    } else {
        QVERIFY(pc->raw.startsWith(':'));
    }
}

void GaugeSimulatorTest::receivesCommands_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<bool>("answered");
    QTest::newRow("split over three writes") << QList<QByteArray>{":07", "00H4", "f\r\n"} << true;
    QTest::newRow("noise before") << QList<QByteArray>{"\x01zz\r\n0700H4f\r\n:0700H4f\r\n"} << true;
    QTest::newRow("a colon starts afresh") << QList<QByteArray>{":07:0700H4f\r\n"} << true;
    QTest::newRow("wrong checksum") << QList<QByteArray>{":0700H4e\r\n"} << false;
    QTest::newRow("upper-case digit") << QList<QByteArray>{":0700H4F\r\n"} << false;
    QTest::newRow("CR without LF inside") << QList<QByteArray>{":0700\rH4f\r\n"} << false;
}

void GaugeSimulatorTest::receivesCommands()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(bool, answered);
    for (const QByteArray& bytes : writes) {
        QVERIFY(pc->write(bytes));
        QTest::qWait(20); // lets the simulator read each piece on its own
    }
    QCOMPARE(bodiesBeforeMarker(),
             answered ? QList<QByteArray>{HandshakeBody} : QList<QByteArray>{});
    QCOMPARE(sim->receivedCommands(), answered ? (QVector<char>{'H', 'B'}) : QVector<char>{'B'});
}

void GaugeSimulatorTest::silence()
{
    sim->setFiles({counting(1, 3)});
    QSignalSpy received(sim.get(), &GaugeSimulator::commandReceived);
    sim->setSilent(true);
    pc->send('H');
    pc->send('W');
    pc->send('F');
    QTRY_COMPARE(received.count(), 3);
    sim->setSilent(false);
    QCOMPARE(bodiesBeforeMarker(), QList<QByteArray>{});
    QCOMPARE(sim->receivedCommands(), (QVector<char>{'H', 'W', 'F', 'B'}));
}

void GaugeSimulatorTest::hangUpIsSeenByThePc()
{
    QVERIFY(exchange('H'));
    sim->hangUp();
    QVERIFY(sim->isHungUp());
    QTRY_VERIFY(pc->hungUp);
    QVERIFY(!pc->write(":0700H4f\r\n"));
    sim->sendReading(1234); // a dead line takes nothing, and nothing breaks
    const PcPort again(sim->slavePath());
    QVERIFY(!again.isOpen());
}

void GaugeSimulatorTest::portClosedAndReopened()
{
    QSignalSpy failed(sim.get(), &GaugeSimulator::lineFailed);
    QVERIFY(exchange('H'));
    pc->close();
    QTest::qWait(50); // time for a hang-up to reach the simulator, if it were to see one
    pc = std::make_unique<PcPort>(sim->slavePath());
    QVERIFY(pc->isOpen());
    QVERIFY(exchange('H'));
    QCOMPARE(pc->bodies, QList<QByteArray>{HandshakeBody});
    QCOMPARE(failed.count(), 0);
    QVERIFY(!sim->isHungUp());
}

void GaugeSimulatorTest::sendsOnDemand()
{
    const QByteArray full(124, '\x5a');
    sim->sendReading(1234);
    sim->sendRawPacket(5, 'D', QByteArray("\xd2\x04\x10\x27", 4));
    sim->sendRawPacket(1, 'D', full);
    sim->sendDisconnect();
    sim->sendEndOfMeasurement();
    sim->sendBytes("\x05:0700H4F\r\n");
    QVERIFY(pc->waitForBodies(6));

    QCOMPARE(pc->bodies[0], QByteArray("0b00Dd20425"));
    TCommPacket four;
    QVERIFY(link::DecodePacket(pc->bodies[1], four));
    QCOMPARE(int(four.Address), 5);
    QCOMPARE(dataOf(four), QByteArray("\xd2\x04\x10\x27", 4));
    TCommPacket longest;
    QCOMPARE(pc->bodies[2].size(), link::MaxBodyLength);
    QVERIFY(link::DecodePacket(pc->bodies[2], longest));
    QCOMPARE(dataOf(longest), full);
    QCOMPARE(pc->bodies[3], DisconnectBody);
    QCOMPARE(pc->bodies[4], EndBody);
    QVERIFY(pc->raw.endsWith("\x05:0700H4F\r\n"));
    QVERIFY(sim->receivedCommands().isEmpty());
}

void GaugeSimulatorTest::linkAs_data()
{
    QTest::addColumn<int>("comNumber");
    QTest::addColumn<QString>("before"); // what already stands at COMn
    QTest::addColumn<bool>("linked");
    QTest::newRow("fresh") << 7 << QString() << true;
    QTest::newRow("stale link replaced") << 9 << "link" << true;
    QTest::newRow("plain file left alone") << 10 << "file" << false;
    QTest::newRow("COM0") << 0 << QString() << false;
    QTest::newRow("COM17") << 17 << QString() << false;
}

void GaugeSimulatorTest::linkAs()
{
    QFETCH(int, comNumber);
    QFETCH(QString, before);
    QFETCH(bool, linked);
    QVERIFY(QDir().mkpath(serial::portFolder()));
    const QString path = serial::portFolder() + QStringLiteral("/COM%1").arg(comNumber);
    if (before == QLatin1String("link"))
        QVERIFY(QFile::link(QStringLiteral("/dev/pts/no-such-terminal"), path));
    if (before == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QCOMPARE(sim->linkAs(comNumber), linked);
    if (!linked) {
        QVERIFY(!sim->errorString().isEmpty());
        QCOMPARE(QFileInfo(path).isFile(), before == QLatin1String("file"));
        QFile::remove(path);
        return;
    }
    QCOMPARE(sim->linkPath(), path);
    QCOMPARE(QFileInfo(path).symLinkTarget(), sim->slavePath());
    pc = std::make_unique<PcPort>(serial::comDevice(comNumber));
    QVERIFY(pc->isOpen());
    QVERIFY(exchange('H'));
    QCOMPARE(pc->bodies, QList<QByteArray>{HandshakeBody});
    sim->unlink();
    QVERIFY(!QFileInfo(path).isSymLink());
}

void GaugeSimulatorTest::linkFollowsItsSimulator()
{
    const QString folder = serial::portFolder();
    auto first = std::make_unique<GaugeSimulator>();
    QVERIFY(first->linkAs(11));
    QVERIFY(first->linkAs(12)); // moves: COM11 goes away
    QVERIFY(!QFileInfo(folder + QStringLiteral("/COM11")).isSymLink());
    QCOMPARE(QFileInfo(folder + QStringLiteral("/COM12")).symLinkTarget(), first->slavePath());

    auto second = std::make_unique<GaugeSimulator>();
    QVERIFY(second->linkAs(12)); // takes the name over
    first.reset();               // and keeps it when the first one goes
    QCOMPARE(QFileInfo(folder + QStringLiteral("/COM12")).symLinkTarget(), second->slavePath());
    second.reset();
    QVERIFY(!QFileInfo(folder + QStringLiteral("/COM12")).isSymLink());
}

// The port folder lies in a temporary data folder, set before the application reads it.
int main(int argc, char* argv[])
{
    const QTemporaryDir data;
    if (!data.isValid())
        return 1;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QCoreApplication app(argc, argv);
    GaugeSimulatorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GaugeSimulatorTest.moc"
