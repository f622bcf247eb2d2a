// Cost of the statistics and of the readings view at a full data set.

#include "app/MainWindow.h"
#include "readings/DataSet.h"
#include "support/Records.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace sonmetra;

namespace {

// Readings of 10.00 to 14.99 mm in an order that visits all 500 values before one comes again: as
// many different marks, bar heights and digits as a long scan of a corroded wall shows.
float reading(int k)
{
    return static_cast<float>(1000 + (k * 37) % 500) / 100.0f;
}

void fillFullSet(int count)
{
    for (int k = 1; k <= count; ++k)
        DataRec.Readings[k] = reading(k);
    DataRec.Count = static_cast<quint16>(count);
}

void BM_CalcStatistics(benchmark::State& state)
{
    test::resetRecords();
    fillFullSet(MaxReadings);
    for (auto _ : state)
        benchmark::DoNotOptimize(CalcStatistics());
}
BENCHMARK(BM_CalcStatistics)->Unit(benchmark::kMillisecond);

// One reading appended to a set that reaches the cap, with the repaint it causes on screen.
void BM_AppendReadingWithRepaint(benchmark::State& state)
{
    const int appended = static_cast<int>(state.max_iterations);
    test::resetRecords();
    auto window = std::make_unique<TfrmMain>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        state.SkipWithError("window not exposed");
    fillFullSet(MaxReadings - appended);
    window->RedrawAll();
    QApplication::processEvents();
    for (auto _ : state) {
        ++DataRec.Count;
        DataRec.PageEnd = DataRec.Count;
        DataRec.Readings[DataRec.Count] = reading(DataRec.Count);
        window->AppendReading();
        QApplication::processEvents();
    }
    state.counters["readings"] = DataRec.Count;
}
BENCHMARK(BM_AppendReadingWithRepaint)
    ->Iterations(200)
    ->Repetitions(9)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& v) {
                            return *std::max_element(v.begin(), v.end());
                        })
    ->Unit(benchmark::kMillisecond);

void BM_RedrawAll(benchmark::State& state)
{
    test::resetRecords();
    auto window = std::make_unique<TfrmMain>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        state.SkipWithError("window not exposed");
    fillFullSet(65535);
    for (auto _ : state) {
        window->RedrawAll();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RedrawAll)->Unit(benchmark::kMillisecond);

} // namespace
