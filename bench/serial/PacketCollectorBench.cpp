#include "serial/PacketCollector.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

using sonmetra::serial::PacketCollector;

namespace {

// A live reading on the wire: 14 characters, ':' body CR LF.
const QByteArray Reading = ":0b00Dd20425\r\n";

// Cost per packet of cutting a stream of live readings that arrives in reads of chunk bytes.
void collectReadings(benchmark::State& state)
{
    const auto chunk = static_cast<qsizetype>(state.range(0));
    constexpr int Packets = 256;
    const QByteArray stream = Reading.repeated(Packets);
    PacketCollector collector;
    qint64 delivered = 0;

    for (auto _ : state) {
        for (qsizetype at = 0; at < stream.size(); at += chunk) {
            QByteArrayView rest =
                QByteArrayView(stream).sliced(at, qMin(chunk, stream.size() - at));
            while (!rest.isEmpty()) {
                rest = rest.sliced(collector.feed(rest));
                if (collector.hasPacket()) {
                    benchmark::DoNotOptimize(collector.takePacket());
                    ++delivered;
                }
            }
        }
    }
    if (delivered != static_cast<qint64>(state.iterations()) * Packets)
        state.SkipWithError("packets were lost");
    state.SetItemsProcessed(delivered);
    state.counters["per_packet"] = benchmark::Counter(
        static_cast<double>(delivered), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

// One byte per read (a slow line), a few bytes, one packet per read, many packets per read.
BENCHMARK(collectReadings)->Arg(1)->Arg(5)->Arg(14)->Arg(512);

BENCHMARK_MAIN();
