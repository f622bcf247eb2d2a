// Cost of one appended bar with the repaint it causes: flat in the number of bars held.

#include "ui/BarChart.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using sonmetra::ui::BarChart;

namespace {

// Bars 1 .. count with the window on the newest ten, as after a run of live readings.
void fill(BarChart& chart, int count)
{
    chart.clearBars();
    for (int k = 1; k <= count; ++k)
        chart.addBar(k, 10.0 + k % 500 / 100.0);
    chart.setAxisMaximum(count + 0.5);
    chart.setAxisMinimum(count - 9.5);
}

void BM_AddBarAndRepaint(benchmark::State& state)
{
    const int held = int(state.range(0));
    // Refill now and then, so the chart holds between held and held + 63 bars throughout.
    constexpr int refillEvery = 64;
    BarChart chart;
    chart.resize(chart.sizeHint());
    fill(chart, held - 1);
    int appended = 0;
    for (auto _ : state) {
        if (appended == refillEvery) {
            state.PauseTiming();
            fill(chart, held - 1);
            appended = 0;
            state.ResumeTiming();
        }
        const int x = chart.barCount() + 1;
        chart.addBar(x, 12.34);
        chart.shiftAxis(+1);
        benchmark::DoNotOptimize(chart.grab());
        ++appended;
    }
}
BENCHMARK(BM_AddBarAndRepaint)->Arg(10)->Arg(65530)->Unit(benchmark::kMicrosecond);

// The same first page in view however many bars follow it: the pictures are identical, so any
// difference in time would be the cost of the bars outside the window.
void BM_RepaintFirstPage(benchmark::State& state)
{
    BarChart chart;
    chart.resize(chart.sizeHint());
    fill(chart, int(state.range(0)));
    chart.setAxisMinimum(BarChart::startMinimum);
    chart.setAxisMaximum(BarChart::startMaximum);
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.grab());
}
BENCHMARK(BM_RepaintFirstPage)->Arg(10)->Arg(65530)->Unit(benchmark::kMicrosecond);

} // namespace
