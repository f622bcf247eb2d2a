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
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>
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

double threadCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

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

// Live readings as fast as the pseudo-terminal carries them, up to the cap, from the simulator
// command running as a process of its own, as the instrument is. Each reading is timed from the
// collector's delivery to the repainted view.
void BM_LiveStreamToTheCap(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        QDir::setCurrent(dir.path());
        QFile list(dir.filePath(QStringLiteral("readings.txt")));
        if (!list.open(QIODevice::WriteOnly))
            state.SkipWithError("cannot write the readings");
        for (int i = 0; i < MaxReadings; ++i)
            list.write(QByteArray::number((1000 + (i * 37) % 500) / 100.0, 'f', 2) + '\n');
        list.close();
        QProcess gauge;
        gauge.start(QStringLiteral(SONMETRA_GAUGE_SIM),
                    {QStringLiteral("--com"), QStringLiteral("16"), QStringLiteral("--rate"),
                     QStringLiteral("0"), QStringLiteral("--readings"), list.fileName(),
                     QStringLiteral("--quiet")});
        const QString link = dir.filePath(QStringLiteral("sonmetra/ports/COM16"));
        if (!QTest::qWaitFor([&] { return QFileInfo(link).isSymLink(); }, 10000))
            state.SkipWithError("the simulator did not start");

        test::resetRecords();
        ui::MessageRecorder messages;
        TfrmMain window;
        TfrmComTest comTest(&window);
        window.frmComTest = &comTest;
        window.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&window));
        CommRec.ComNumber = 16;
        window.OpenPort();
        window.SendCommand('H');
        if (!QTest::qWaitFor([] { return CommRec.Connected == 1; }, 5000))
            state.SkipWithError("no handshake");

        // Wall time per reading, and the viewer thread's own CPU time, which leaves out the
        // moments the simulator or the kernel's terminal work had the processor.
        std::vector<double> perReading;
        std::vector<double> cpuPerReading;
        std::vector<double> handled;
        perReading.reserve(MaxReadings);
        cpuPerReading.reserve(MaxReadings);
        QObject::disconnect(window.ComPort1, &serial::SerialPort::packetReceived, &window, nullptr);
        QElapsedTimer clock;
        QObject::connect(window.ComPort1, &serial::SerialPort::packetReceived, &window,
                         [&](const QByteArray& body) {
                             const double cpuStart = threadCpuMicroseconds();
                             clock.start();
                             window.DataPacketStringPacket(body);
                             handled.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e3);
                             QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
                             perReading.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e3);
                             cpuPerReading.push_back(threadCpuMicroseconds() - cpuStart);
                         });
        QElapsedTimer wall;
        wall.start();
        window.btnWaitDataClick();
        while (DataRec.Count < MaxReadings)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        window.ClosePort();
        gauge.terminate();
        gauge.waitForFinished(5000);

        for (int at : {1000, 10000, MaxReadings}) {
            const auto last500 = [at](const std::vector<double>& v) {
                return std::vector<double>(v.begin() + (at - 500), v.begin() + at);
            };
            const std::string name = std::to_string(at);
            state.counters["med_us@" + name] = percentile(last500(perReading), 0.5);
            state.counters["p99_us@" + name] = percentile(last500(perReading), 0.99);
            state.counters["cpu_med_us@" + name] = percentile(last500(cpuPerReading), 0.5);
            state.counters["cpu_p99_us@" + name] = percentile(last500(cpuPerReading), 0.99);
            state.counters["handled_us@" + name] = percentile(last500(handled), 0.5);
        }
        state.counters["readings_per_s"] = MaxReadings / seconds;
        state.counters["x_wire_rate"] = MaxReadings / seconds / (9600.0 / 10 / 14);
        state.counters["rss_MB"] = static_cast<double>(residentKilobytes()) / 1024.0;
    }
}
BENCHMARK(BM_LiveStreamToTheCap)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
