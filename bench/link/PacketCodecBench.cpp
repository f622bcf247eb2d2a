#include "link/codec/PacketCodec.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace sonmetra::link;

namespace {

// The body of a 'D' packet with the given number of data bytes, as the collector delivers it.
std::vector<char> readingBody(int dataCount)
{
    std::vector<quint8> data(dataCount);
    for (int i = 0; i < dataCount; ++i)
        data[i] = static_cast<quint8>(i * 37);
    TCommPacket packet;
    packet.Command = 'D';
    packet.Data = data.data();
    packet.DataCount = static_cast<quint8>(dataCount);
    std::vector<char> wire(MaxPacketSize);
    const int written = EncodePacket(packet, wire.data(), MaxReceiveData);
    return {wire.begin() + 1, wire.begin() + written - 2};
}

void decodeReadingBody(benchmark::State& state)
{
    const std::vector<char> body = readingBody(static_cast<int>(state.range(0)));
    const int m = static_cast<int>(body.size());
    for (auto _ : state) {
        TCommPacket packet;
        const bool valid = DecodePacket(body.data(), m, packet);
        benchmark::DoNotOptimize(valid);
        benchmark::DoNotOptimize(packet);
    }
    state.SetBytesProcessed(state.iterations() * m);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(decodeReadingBody)->Arg(2)->Arg(MaxReceiveData);

BENCHMARK_MAIN();
