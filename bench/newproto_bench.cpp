// Throughput of the new protocol: building chunked packets, and reading a stream of chunked
// reply frames back through Em_Gnss(2, 8).
#include <benchmark/benchmark.h>

#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_NewPacket.h"
#include "BVParse/Em_NewRecords.h"

using namespace Brevan2011::BVParse;

namespace {

// One packet carrying a block of range(0) bytes.
void BM_BuildNewPacket(benchmark::State& state) {
    std::vector<uint8_t> bytes(static_cast<size_t>(state.range(0)), 0x5A);
    const uint16_t operation = 50;
    const QX_BLOCK_DATA_STRUCT block{static_cast<uint32_t>(bytes.size()), bytes.data()};
    std::vector<_STR_CMD> cmds;
    cmds.reserve(300);
    for (auto _ : state) {
        cmds.clear();
        Build_NewPacket(cmds, {{0x0001, &operation}, {0x1504, &block}}, 0);
        benchmark::DoNotOptimize(cmds.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildNewPacket)->Arg(16)->Arg(1024)->Arg(60000);

// Reply frames of about 300 bytes, cut into chunks by the packet builder, fed and parsed.
void BM_ReassembleReplies(benchmark::State& state) {
    std::vector<uint8_t> pad(280, 0x11);
    const uint16_t operation = 47;
    const uint32_t radio = 0x43D20000;
    const QX_BLOCK_DATA_STRUCT block{static_cast<uint32_t>(pad.size()), pad.data()};
    std::vector<_STR_CMD> cmds;
    for (int i = 0; i < 50; ++i) {
        Build_NewPacket(cmds, {{0x0001, &operation}, {0x1504, &block}, {0x0703, &radio}}, 0);
    }
    std::vector<uint8_t> stream;
    for (const _STR_CMD& c : cmds) {
        stream.insert(stream.end(), c.data, c.data + c.length);
    }
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += 2048) {
            const size_t n = std::min<size_t>(2048, stream.size() - at);
            gnss.RcvData(stream.data() + at, static_cast<unsigned>(n));
            gnss.ParseData();
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_ReassembleReplies);

}  // namespace

BENCHMARK_MAIN();
