// Parse throughput of an old-protocol receiver: a generated stream of several megabytes with
// every reply kind, main-board pass-through and noise, fed to Em_Gnss(2, 2) in 2,048-byte port
// reads, each followed by ParseData. Prints MB/s (bytes_per_second) and frames/s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"

using namespace Brevan2011::BVParse;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(const char* letters, const Bytes& payload) {
    Bytes f;
    f.reserve(payload.size() + 9);
    for (std::uint8_t b :
         {std::uint8_t{0x24}, std::uint8_t{0x24}, static_cast<std::uint8_t>(letters[0]),
          static_cast<std::uint8_t>(letters[1]), std::uint8_t{0x18},
          static_cast<std::uint8_t>(payload.size())}) {
        f.push_back(b);
    }
    for (std::uint8_t b : payload) {
        f.push_back(b);
    }
    std::uint8_t x = 0;
    for (std::size_t i = 2; i < f.size(); ++i) {
        x ^= f[i];
    }
    f.push_back(x);
    f.push_back(0x0D);
    f.push_back(0x0A);
    return f;
}

Bytes At(std::uint8_t c, const Bytes& data) {
    const auto n = static_cast<std::uint32_t>(data.size());
    Bytes m;
    m.reserve(data.size() + 10);
    for (std::uint8_t b :
         {std::uint8_t{0x40}, c, static_cast<std::uint8_t>(255 - c), static_cast<std::uint8_t>(n),
          static_cast<std::uint8_t>(n >> 8), std::uint8_t{0}, std::uint8_t{0}}) {
        m.push_back(b);
    }
    for (std::uint8_t b : data) {
        m.push_back(b);
    }
    std::uint8_t x = 0;
    for (auto b : m) {
        x ^= b;
    }
    m.push_back(x);
    m.push_back(0x0D);
    m.push_back(0x0A);
    return m;
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct Stream {
    Bytes bytes;
    std::size_t frames = 0;
};

Stream Generate(std::size_t target) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noiseByte(0, 255);
    Stream s;
    auto add = [&s](const Bytes& f) {
        s.bytes.insert(s.bytes.end(), f.begin(), f.end());
        ++s.frames;
    };
    Bytes block(128);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i);
    }
    std::memcpy(block.data(), "1905", 4);
    Bytes sats = {8, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int prn : {5, 40, 125, 170, 6, 7, 41, 171}) {
        const Bytes item = {static_cast<std::uint8_t>(prn), 30, 0, 90, 160, 120, 0, 0};
        sats.insert(sats.end(), item.begin(), item.end());
    }
    Bytes netData(110, 0);
    netData[13 - 7] = 'T';
    const Bytes net = At('Y', netData);
    const Bytes gga = Text(
        "$GPGGA,083015.50,4807.0380,N,01131.0000,E,4,12,0.8,12.345,M,10.000,M,1.0,0000*4C\r\n");

    while (s.bytes.size() < target) {
        add(Frame("SD", {0, 74, 0, 0, 205}));
        add(Frame("SC", {}));
        add(Frame("SX", {}));
        add(Frame("FH", {1, 0, 0, 0, 2, 0, 0, 0}));
        add(Frame("RX", Bytes(50, 0x31)));
        add(Frame("VY", Bytes(30, 0x32)));
        add(Frame("FB", {4, 'P', 'T', '0', '1', 1, 2, 3, 4, 9, 1}));
        add(Frame("FF", Bytes(12, 0x10)));
        add(Frame("FM", Bytes(55, 0x41)));
        add(Frame("FW", Bytes(20, 0x42)));
        add(Frame("FJ", Bytes(30, 0x43)));
        add(Frame("FT", Text("TRM55971.00")));
        add(Frame("FK", Bytes(8, 0)));
        add(Frame("FC", {1}));
        add(Frame("RC", {238, 0, 0, 0, 7, 1, 2, 4, 5, 6, 11, 13, 0, 1, 2, 4}));
        add(Frame("SI", Bytes(block.begin(), block.begin() + 50)));
        add(Frame("RH", Bytes(sats.begin(), sats.begin() + 55)));
        add(Frame("SI", Bytes(block.begin() + 50, block.begin() + 100)));
        add(Frame("SI", Bytes(block.begin() + 100, block.end())));
        add(Frame("RH", Bytes(sats.begin() + 55, sats.end())));
        add(Frame("VI", At('c', {1})));
        add(Frame("VI", At('e', Text("+CSQ: 17,0"))));
        add(Frame("VI", Bytes(net.begin(), net.begin() + 60)));
        add(Frame("VI", Bytes(net.begin() + 60, net.end())));
        add(Frame("VM", Bytes(100, 0x61)));
        add(Frame("VD", Bytes(40, 0x62)));
        add(Frame("AB", {1, 2, 3}));
        for (int i = 0; i < 6; ++i) {
            add(Frame("RG", Bytes(gga.begin() + i * 14, gga.begin() + i * 14 + 14)));
        }
        add(Frame("VQ", Bytes(64, 0x20)));
        // Noise between frames: resynchronised byte by byte.
        for (int i = 0; i < 12; ++i) {
            s.bytes.push_back(static_cast<std::uint8_t>(noiseByte(rng) | 0x01));
        }
    }
    return s;
}

void BM_OldProtocolThroughput(benchmark::State& state) {
    static const Stream stream = Generate(4u << 20);
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    std::uint64_t messages = 0;
    const _CALLBACKS_RECEIVER callbacks = {
        [](Msg_Type, uint32_t, const void* user) {
            ++*static_cast<std::uint64_t*>(const_cast<void*>(user));
        },
        nullptr};
    gnss.Reg_Callbacks(&callbacks, &messages);
    for (auto _ : state) {
        const std::uint8_t* p = stream.bytes.data();
        std::size_t left = stream.bytes.size();
        while (left > 0) {
            const std::size_t n = left < 2048 ? left : 2048;
            gnss.RcvData(p, static_cast<unsigned>(n));
            gnss.ParseData();
            p += n;
            left -= n;
        }
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stream.bytes.size()));
    state.counters["frames/s"] = benchmark::Counter(iterations * static_cast<double>(stream.frames),
                                                    benchmark::Counter::kIsRate);
    state.counters["callbacks/s"] =
        benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kIsRate);
    state.counters["stream_MB"] = static_cast<double>(stream.bytes.size()) / 1e6;
}
BENCHMARK(BM_OldProtocolThroughput)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
