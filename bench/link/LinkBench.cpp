// The link end to end on a real pseudo-terminal with the instrument simulator: how soon a
// download block is acknowledged, how long a paced download of six full files takes against
// the wire time of its bytes, and a live stream as fast as the line goes up to the reading cap.

#include "app/MainWindow.h"
#include "gauge-sim/GaugeSimulator.h"
#include "link/CommRec.h"
#include "link/ConnectingWindow.h"
#include "readings/DataSet.h"
#include "serial/SerialPort.h"
#include "support/Records.h"
#include "ui/MessageRecorder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace sonmetra;

namespace {

constexpr double WireSecondsPerByte = 10.0 / 9600.0;

// The viewer connected to a simulator on COM16, in a working directory and port folder of its own.
struct Rig
{
    Rig()
    {
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        QDir::setCurrent(dir.path());
        test::resetRecords();
        window = std::make_unique<TfrmMain>();
        comTest = std::make_unique<TfrmComTest>(window.get());
        window->frmComTest = comTest.get();
        gauge = std::make_unique<sim::GaugeSimulator>();
        gauge->linkAs(16);
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
        CommRec.ComNumber = 16;
        window->OpenPort();
        window->SendCommand('H');
        connected = QTest::qWaitFor([] { return CommRec.Connected == 1; }, 5000);
    }

    ~Rig() { window->ClosePort(); }

    QTemporaryDir dir;
    ui::MessageRecorder messages;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<TfrmComTest> comTest;
    std::unique_ptr<sim::GaugeSimulator> gauge;
    bool connected = false;
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// From the last byte of a 62-reading block leaving the instrument to the 'Y' reaching it.
void BM_BlockToAcknowledge(benchmark::State& state)
{
    Rig rig;
    if (!rig.connected)
        state.SkipWithError("no handshake");
    rig.gauge->setSilent(true);
    rig.window->SendCommand('F');
    const QByteArray block(124, '\x34');
    int acknowledged = 0;
    QElapsedTimer clock;
    QObject::connect(rig.gauge.get(), &sim::GaugeSimulator::commandReceived, rig.gauge.get(),
                     [&](char c) {
                         if (c == 'Y')
                             ++acknowledged;
                     });
    for (auto _ : state) {
        const int before = acknowledged;
        clock.start();
        rig.gauge->sendRawPacket(0, 'D', block);
        while (acknowledged == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        CommRec.RetryCount = 0;
    }
}
BENCHMARK(BM_BlockToAcknowledge)
    ->UseManualTime()
    ->Iterations(500)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// Six full files of 100 readings at 9600 baud: 12 blocks, answered one by one.
void BM_PacedDownloadOfSixFiles(benchmark::State& state)
{
    Rig rig;
    if (!rig.connected)
        state.SkipWithError("no handshake");
    QVector<QVector<quint16>> files(6, QVector<quint16>(100, 1234));
    rig.gauge->setFiles(files);
    rig.gauge->setPaced(true);
    // PC: 'F' and 12 'Y' of 10 bytes. Instrument: 6 x (62 + 38 readings) blocks and a 'Z'.
    const double wireBytes = 13 * 10 + 6 * ((2 * 124 + 10) + (2 * 76 + 10)) + 10;
    const double wireSeconds = wireBytes * WireSecondsPerByte;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        rig.window->btnReadFileClick();
        while (CommRec.Task != ctIdle)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["wire_s"] = wireSeconds;
        state.counters["x_wire"] = seconds / wireSeconds;
    }
}
BENCHMARK(BM_PacedDownloadOfSixFiles)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// Live readings as fast as the pseudo-terminal carries them, up to the cap. Each one is timed
// from the collector's delivery to the repainted view.
void BM_LiveStreamToTheCap(benchmark::State& state)
{
    for (auto _ : state) {
        Rig rig;
        if (!rig.connected)
            state.SkipWithError("no handshake");
        std::vector<double> perReading;
        perReading.reserve(MaxReadings);
        QObject::disconnect(rig.window->ComPort1, &serial::SerialPort::packetReceived,
                            rig.window.get(), nullptr);
        QElapsedTimer clock;
        QObject::connect(rig.window->ComPort1, &serial::SerialPort::packetReceived,
                         rig.window.get(), [&](const QByteArray& body) {
                             clock.start();
                             rig.window->DataPacketStringPacket(body);
                             QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
                             perReading.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e3);
                         });
        QVector<quint16> readings(MaxReadings);
        for (int i = 0; i < MaxReadings; ++i)
            readings[i] = static_cast<quint16>(1000 + (i * 37) % 500);
        rig.gauge->setLiveReadings(readings);
        rig.gauge->setLiveRate(0);
        QElapsedTimer wall;
        wall.start();
        rig.window->btnWaitDataClick();
        while (DataRec.Count < MaxReadings)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);

        for (int at : {1000, 10000, MaxReadings}) {
            const std::vector<double> window(perReading.begin() + (at - 500),
                                             perReading.begin() + at);
            const QByteArray name = QByteArray::number(at);
            state.counters["med_us@" + name.toStdString()] = percentile(window, 0.5);
            state.counters["p99_us@" + name.toStdString()] = percentile(window, 0.99);
        }
        state.counters["readings_per_s"] = MaxReadings / seconds;
        state.counters["x_wire_rate"] = MaxReadings / seconds / (9600.0 / 10 / 14);
        state.counters["rss_MB"] = static_cast<double>(residentKilobytes()) / 1024.0;
    }
}
BENCHMARK(BM_LiveStreamToTheCap)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
