// Throughput of the NovAtel board over the OEMV binary capture on one core: framing, CRC-32
// and decoding, the bytes handed over in port-sized reads, in the old protocol's 255-byte
// payloads, and the CRC-32 check alone for comparison.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Em_Crc.h"
#include "Em_OemNovatel.h"

using namespace Brevan2011::BVParse;

namespace {

const std::vector<unsigned char>& Capture() {
    static const std::vector<unsigned char> data = [] {
        std::ifstream in(std::string(VARNOK_CORPUS_DIR) + "/rtklib/oemv_200911218.gps",
                         std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }();
    return data;
}

void BM_NovatelBoard(benchmark::State& state) {
    const std::vector<unsigned char>& data = Capture();
    if (data.empty()) {
        state.SkipWithError("capture missing");
        return;
    }
    const size_t slice = static_cast<size_t>(state.range(0));
    Em_OemNovatel board;
    int64_t decoded = 0;
    for (auto _ : state) {
        for (size_t at = 0; at < data.size(); at += slice) {
            const size_t n = std::min(slice, data.size() - at);
            board.Add_Data(data.data() + at, static_cast<int>(n));
            while (board.Parse() != 0) {
                ++decoded;
            }
        }
    }
    benchmark::DoNotOptimize(decoded);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_NovatelBoard)->Arg(255)->Arg(1024);

void BM_NovatelCrc32(benchmark::State& state) {
    const std::vector<unsigned char>& data = Capture();
    if (data.size() < 2048) {
        state.SkipWithError("capture missing");
        return;
    }
    for (auto _ : state) {
        int ok = 0;
        for (size_t at = 0; at + 2048 <= data.size(); at += 2048) {
            ok += Check_Crc32(data.data() + at, 2048);
        }
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size() / 2048 * 2048));
}
BENCHMARK(BM_NovatelCrc32);

}  // namespace
BENCHMARK_MAIN();
