// The handshake failure on real time: three sends about 5 s apart and the failure after about
// 15 s, with the real timers of the serial service.

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "serial/ComNames.h"
#include "serial/SerialPort.h"
#include "support/Records.h"
#include "ui/MessageRecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace sonmetra;

class TestHandshakeRealTime : public QObject
{
    Q_OBJECT

private slots:
    void silentInstrumentFailsAfterThreeTimeouts()
    {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        QDir::setCurrent(dir.path());
        test::resetRecords();
        ui::MessageRecorder messages;
        TfrmMain window;
        TfrmComTest comTest(&window);
        window.frmComTest = &comTest;
        sim::GaugeSimulator gauge;
        gauge.setSilent(true);
        QVERIFY(gauge.linkAs(16));

        QList<qint64> sends;
        QElapsedTimer clock;
        connect(&gauge, &sim::GaugeSimulator::commandReceived, this,
                [&](char) { sends << clock.elapsed(); });
        clock.start();
        CommRec.ComNumber = 16;
        window.OpenPort();
        window.SendCommand('H');

        QTRY_COMPARE_WITH_TIMEOUT(messages.messages().size(), std::size_t(1), 25000);
        const qint64 failedAfter = clock.elapsed();
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("No instrument detected at the specified port"));
        QCOMPARE(sends.size(), 3);
        // Each wait is 91 ticks of 55 ms; a tick late is allowed, never early.
        QVERIFY2(sends[1] - sends[0] >= 5005 - 55,
                 qPrintable(QString::number(sends[1] - sends[0])));
        QVERIFY2(sends[2] - sends[1] >= 5005 - 55,
                 qPrintable(QString::number(sends[2] - sends[1])));
        QVERIFY2(failedAfter >= 3 * 5005 - 55, qPrintable(QString::number(failedAfter)));
        QVERIFY(!window.ComPort1->isOpen());
    }
};

QTEST_MAIN(TestHandshakeRealTime)
#include "HandshakeRealTimeTest.moc"
