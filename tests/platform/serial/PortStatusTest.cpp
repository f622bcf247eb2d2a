#include "PtyPair.h"
#include "TestEnvironment.h"
#include "serial/ComNames.h"
#include "serial/PortLock.h"
#include "serial/PortTest.h"
#include "serial/SerialPort.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sonmetra::serial;
using sonmetra::serial::test::PtyPair;

namespace {

constexpr int Com = 5;
const char* const HoldOption = "--hold";

// The child process of the "another program" case: holds COMn open until its input closes.
int holdPort(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SerialPort port;
    port.setComNumber(QByteArray(argv[2]).toInt());
    port.open();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    out.write("open\n");
    out.flush();
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 1;
    in.readAll();
    return 0;
}

// A process id that surely belongs to no process now.
qint64 deadPid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

Q_DECLARE_METATYPE(PortStatus::State)

class PortStatusTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void portStatus_data();
    void portStatus();
    void numbersOutsideTheRange_data();
    void numbersOutsideTheRange();
    void noPermission();
};

void PortStatusTest::cleanup()
{
    QDir(portFolder()).removeRecursively();
}

void PortStatusTest::portStatus_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<PortStatus::State>("state");

    QTest::newRow("free pty") << "free" << PortStatus::State::Available;
    QTest::newRow("link to nothing") << "dangling" << PortStatus::State::NoDevice;
    QTest::newRow("open in another SerialPort") << "serialport" << PortStatus::State::Held;
    QTest::newRow("closed again") << "closed" << PortStatus::State::Available;
    QTest::newRow("open in another process") << "process" << PortStatus::State::Held;
    QTest::newRow("flock by another program") << "flock" << PortStatus::State::Held;
    QTest::newRow("lock file of a live program") << "lockfile" << PortStatus::State::Held;
    QTest::newRow("old lock file of a live program") << "old" << PortStatus::State::Held;
    QTest::newRow("stale lock file") << "stale" << PortStatus::State::Available;
}

void PortStatusTest::portStatus()
{
    QFETCH(QString, situation);
    QFETCH(PortStatus::State, state);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(pty.linkAs(Com));

    SerialPort other;
    other.setComNumber(Com);
    QProcess holder;
    QLockFile lockFile(lockFilePath(pty.slavePath()));
    int fd = -1;
    const auto closeFd = qScopeGuard([&fd] {
        if (fd >= 0)
            ::close(fd);
    });
    QString device = pty.slavePath();
    QString plantedLock;
    const auto removePlanted = qScopeGuard([&plantedLock] {
        if (!plantedLock.isEmpty())
            QFile::remove(plantedLock);
    });

    if (situation == "dangling") {
        QVERIFY(QFile::remove(portFolder() + QStringLiteral("/COM%1").arg(Com)));
        device = portFolder() + QStringLiteral("/COM%1").arg(Com);
        QVERIFY(QFile::link(portFolder() + QStringLiteral("/unplugged"), device));
    } else if (situation == "serialport") {
        other.open();
    } else if (situation == "closed") {
        other.open();
        other.close();
    } else if (situation == "process") {
        holder.start(QCoreApplication::applicationFilePath(),
                     {QString::fromLatin1(HoldOption), QString::number(Com)});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine(), QByteArray("open\n"));
    } else if (situation == "flock") {
        fd = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    } else if (situation == "lockfile") {
        QVERIFY(lockFile.tryLock(0));
    } else if (situation == "old") {
        // Written the UUCP way, without the flock Qt adds, by a program that is still running.
        const QString path = lockFilePath(pty.slavePath());
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                  QFile::encodeName(QCoreApplication::applicationFilePath()) + '\n' +
                  QSysInfo::machineHostName().toUtf8() + '\n');
        old.close();
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                QFileDevice::FileModificationTime));
        plantedLock = path;
    } else if (situation == "stale") {
        QFile stale(lockFilePath(pty.slavePath()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(deadPid()) + "\nsomething\n" +
                    QSysInfo::machineHostName().toUtf8() + "\n");
    }

    const PortStatus status = sonmetra::serial::portStatus(Com);
    QCOMPARE(status.state, state);
    QCOMPARE(status.device, device);
    QCOMPARE(canOpenPort(Com), state == PortStatus::State::Available);
    if (state == PortStatus::State::Available) {
        // And the port really opens, while the probe itself left no lock behind.
        other.open();
        QVERIFY(other.isOpen());
        other.close();
    }

    if (holder.state() != QProcess::NotRunning) {
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
    }
}

void PortStatusTest::numbersOutsideTheRange_data()
{
    QTest::addColumn<int>("number");

    QTest::newRow("0") << 0;
    QTest::newRow("17") << 17;
}

void PortStatusTest::numbersOutsideTheRange()
{
    QFETCH(int, number);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(pty.linkAs(number)); // a link cannot give a number beyond the picker's range

    const PortStatus status = sonmetra::serial::portStatus(number);
    QCOMPARE(status.state, PortStatus::State::NoDevice);
    QVERIFY(status.device.isEmpty());
    QVERIFY(!canOpenPort(number));
}

void PortStatusTest::noPermission()
{
    if (::geteuid() == 0)
        QSKIP("root may open any device");
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(pty.linkAs(Com));
    QCOMPARE(::chmod(pty.slavePath().toLocal8Bit().constData(), 0), 0);

    const PortStatus status = sonmetra::serial::portStatus(Com);
    QCOMPARE(status.state, PortStatus::State::NoPermission);
    QVERIFY(!status.detail.isEmpty());
}

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], HoldOption) == 0)
        return holdPort(argc, argv);
    const sonmetra::serial::test::TestEnvironment environment;
    QCoreApplication app(argc, argv);
    if (!environment.isValid())
        qFatal("cannot set up the test folders");
    PortStatusTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PortStatusTest.moc"
