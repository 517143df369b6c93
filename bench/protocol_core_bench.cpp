// Throughput of the receive path: ring appends with compaction, the facade's RcvData/ParseData
// round, and the frame checksums over real captures when they are present.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_RcvRing.h"
#include "Em_Crc.h"

using namespace Brevan2011::BVParse;

namespace {

std::vector<unsigned char> Corpus(const char* relative) {
    std::ifstream in(std::string(VARNOK_CORPUS_DIR) + "/" + relative, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// A port read of `range(0)` bytes appended, then consumed as a parse step would.
void BM_RingAppendConsume(benchmark::State& state) {
    Em_RcvRing ring;
    std::vector<unsigned char> chunk(static_cast<size_t>(state.range(0)), 0x24);
    std::vector<unsigned char> sink(chunk.size());
    for (auto _ : state) {
        ring.Append(chunk.data(), static_cast<int>(chunk.size()));
        ring.Compact_If_Above();
        ring.Rewind();
        ring.Read(sink.data(), static_cast<int>(sink.size()));
        ring.Commit();
        benchmark::DoNotOptimize(sink.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_RingAppendConsume)->Arg(64)->Arg(512)->Arg(2048);

// A ring that fills up with unconsumed bytes: every append near the end compacts.
void BM_RingAppendNearFull(benchmark::State& state) {
    Em_RcvRing ring;
    std::vector<unsigned char> chunk(2048, 0x55);
    std::vector<unsigned char> sink(1024);
    for (auto _ : state) {
        ring.Append(chunk.data(), 2048);
        ring.Rewind();
        ring.Read(sink.data(), 1024);
        ring.Commit();  // half of each read stays unconsumed
        if (ring.Fill() == 0) {
            state.counters["emptied"] += 1;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2048);
}
BENCHMARK(BM_RingAppendNearFull);

void BM_GnssRcvParse(benchmark::State& state) {
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    std::vector<unsigned char> chunk(2048, 0x24);
    for (auto _ : state) {
        gnss.RcvData(chunk.data(), 2048);
        gnss.ParseData();
        gnss.Data_Clear();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2048);
}
BENCHMARK(BM_GnssRcvParse);

void BM_Crc24Q(benchmark::State& state) {
    std::vector<unsigned char> data = Corpus("rtklib/GMSD7_20121014.rtcm3");
    if (data.empty()) {
        data.assign(1 << 16, 0xD3);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Calc_Crc24Q(data.data(), static_cast<int>(data.size())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Crc24Q);

void BM_Crc32(benchmark::State& state) {
    std::vector<unsigned char> data = Corpus("rtklib/oemv_200911218.gps");
    if (data.empty()) {
        data.assign(1 << 16, 0xAA);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Check_Crc32(data.data(), static_cast<int>(data.size())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Crc32);

}  // namespace

BENCHMARK_MAIN();
