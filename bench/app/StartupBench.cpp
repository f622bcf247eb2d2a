// Start-up of the real program, from process start to its first shown window.
//
// The viewer answers a later start's request to come forward from its event loop, which runs only
// once the main window has been shown; the first answer therefore marks the shown window.

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

namespace {

void BM_StartToShownWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString viewer = dir.filePath(QStringLiteral("sonmetra-startup-bench"));
    QFile::copy(QStringLiteral(SONMETRA_EXECUTABLE), viewer);
    const QString key = QFileInfo(viewer).fileName().toUpper();
    const QString lock = QDir::temp().filePath(key + QStringLiteral(".lock"));

    for (auto _ : state) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        QElapsedTimer clock;
        clock.start();
        process.start(viewer, {});
        bool shown = false;
        while (!shown && clock.elapsed() < 10000) {
            if (QFile::exists(lock)) {
                sonmetra::SingleInstance probe(key);
                shown = !probe.isFirst() && probe.activateFirst(5000);
            }
            if (!shown)
                QThread::usleep(500);
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        if (!shown)
            state.SkipWithError("the viewer did not show its window");
        state.PauseTiming();
        process.terminate();
        process.waitForFinished(10000);
        QFile::remove(lock);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToShownWindow)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
