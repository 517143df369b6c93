// Throughput of the Hemisphere board's parse step over the Crescent "$BIN" capture, fed in
// slices the size of a port read.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Em_OemHemisphere.h"

using namespace Brevan2011::BVParse;

namespace {

std::vector<unsigned char> Corpus(const char* relative) {
    std::ifstream in(std::string(VARNOK_CORPUS_DIR) + "/" + relative, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void BM_HemisphereCapture(benchmark::State& state) {
    const std::vector<unsigned char> bytes = Corpus("rtklib/cres_20080526.bin");
    if (bytes.empty()) {
        state.SkipWithError("capture missing");
        return;
    }
    const size_t slice = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        Em_OemHemisphere board;
        for (size_t at = 0; at < bytes.size(); at += slice) {
            const size_t n = bytes.size() - at < slice ? bytes.size() - at : slice;
            board.Add_Data(bytes.data() + at, static_cast<int>(n));
            while (board.Parse() != 0) {
            }
        }
        benchmark::DoNotOptimize(board.Data()->Latitude);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_HemisphereCapture)->Arg(64)->Arg(1024);

}  // namespace
BENCHMARK_MAIN();
