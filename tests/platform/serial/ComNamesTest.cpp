#include "serial/ComNames.h"
#include "PtyPair.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace sonmetra::serial;
using sonmetra::serial::test::PtyPair;

class ComNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void fixedTable_data();
    void fixedTable();
    void linkInPortFolderComesFirst_data();
    void linkInPortFolderComesFirst();
};

void ComNamesTest::cleanup()
{
    QDir(portFolder()).removeRecursively();
}

void ComNamesTest::fixedTable_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("device");

    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM4") << 4 << "/dev/ttyS3";
    QTest::newRow("COM5") << 5 << "/dev/ttyUSB0";
    QTest::newRow("COM12") << 12 << "/dev/ttyUSB7";
    QTest::newRow("COM13") << 13 << "/dev/ttyACM0";
    QTest::newRow("COM16") << 16 << "/dev/ttyACM3";
    QTest::newRow("COM0") << 0 << "";
    QTest::newRow("COM17") << 17 << "";
    QTest::newRow("negative") << -3 << "";
}

void ComNamesTest::fixedTable()
{
    QFETCH(int, number);
    QFETCH(QString, device);

    QCOMPARE(comDevice(number), device);
    QCOMPARE(comDeviceResolved(number), device);
}

void ComNamesTest::linkInPortFolderComesFirst_data()
{
    QTest::addColumn<QString>("kind");

    QTest::newRow("link to a device") << "direct";
    QTest::newRow("link to a link") << "chained";
    QTest::newRow("link to nothing") << "dangling";
}

void ComNamesTest::linkInPortFolderComesFirst()
{
    QFETCH(QString, kind);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(QDir().mkpath(portFolder()));
    const QString link = portFolder() + QStringLiteral("/COM2");
    const QString middle = portFolder() + QStringLiteral("/adapter");
    const QString missing = portFolder() + QStringLiteral("/gone");

    QString expectedResolved;
    if (kind == "direct") {
        QVERIFY(QFile::link(pty.slavePath(), link));
        expectedResolved = pty.slavePath();
    } else if (kind == "chained") {
        QVERIFY(QFile::link(pty.slavePath(), middle));
        QVERIFY(QFile::link(middle, link));
        expectedResolved = pty.slavePath();
    } else {
        QVERIFY(QFile::link(missing, link));
        expectedResolved = link;
    }

    QCOMPARE(comDevice(2), link);
    QCOMPARE(comDeviceResolved(2), expectedResolved);
    QCOMPARE(comDevice(1), QStringLiteral("/dev/ttyS0"));

    QVERIFY(QFile::remove(link));
    QCOMPARE(comDevice(2), QStringLiteral("/dev/ttyS1"));
}

int main(int argc, char** argv)
{
    const sonmetra::serial::test::TestEnvironment environment;
    QCoreApplication app(argc, argv);
    if (!environment.isValid())
        qFatal("cannot set up the test folders");
    ComNamesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ComNamesTest.moc"
