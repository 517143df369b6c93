// Throughput of the OEM protocol object's message cutter: a mixed board stream (NMEA, RTCM 3,
// NovAtel logs), a stream of garbage stepped over byte by byte, and the real NovAtel capture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_BoardRegistry.h"
#include "Em_Crc.h"

using namespace Brevan2011::BVParse;

namespace {

class Null_Data : public Em_OemData {
public:
    int Parse_Message(const unsigned char*, int, int) override { return 1; }
};

// Takes every handed message and reports one bit.
class Sink_Board : public Em_OemBoard {
public:
    explicit Sink_Board(int type) {
        Set_Board_Type(type);
        Set_Data(new Null_Data);
        Set_Cmd(new Em_OemCmd);
    }
    int Parse() override {
        Clear_Input();
        Data()->Update_Mask = 1;
        return 1;
    }
};

std::string Rtcm3(size_t n) {
    std::string f;
    f += char(0xD3);
    f += char(n >> 8);
    f += char(n & 0xFF);
    f += std::string(n, 'r');
    const uint32_t crc =
        Calc_Crc24Q(reinterpret_cast<const unsigned char*>(f.data()), int(f.size()));
    f += char(crc >> 16);
    f += char(crc >> 8);
    f += char(crc);
    return f;
}

std::string Novatel(int body) {
    std::string f(28, '\x01');
    f[0] = char(0xAA);
    f[1] = char(0x44);
    f[2] = char(0x12);
    f[3] = char(28);
    f[8] = char(body & 0xFF);
    f[9] = char(body >> 8);
    return f + std::string(size_t(body) + 4, 'n');
}

void Run(benchmark::State& state, const std::string& stream) {
    Scoped_Board_Registration scope(MAINBD_NOVATEL, [] { return new Sink_Board(MAINBD_NOVATEL); });
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
    const auto* bytes = reinterpret_cast<const unsigned char*>(stream.data());
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += 1024) {
            const size_t n = std::min<size_t>(1024, stream.size() - at);
            gnss.RcvData(bytes + at, unsigned(n));
            gnss.ParseData();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
}

void BM_OemMixedStream(benchmark::State& state) {
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    const std::string rmc =
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    std::string stream;
    while (stream.size() < 64 * 1024) {
        stream += gga + Rtcm3(200) + Novatel(400) + rmc + Rtcm3(30);
    }
    Run(state, stream);
}
BENCHMARK(BM_OemMixedStream);

void BM_OemGarbage(benchmark::State& state) {
    Run(state, std::string(64 * 1024, 'x'));
}
BENCHMARK(BM_OemGarbage);

void BM_OemNovatelCapture(benchmark::State& state) {
    std::ifstream in(std::string(VARNOK_CORPUS_DIR) + "/rtklib/oemv_200911218.gps",
                     std::ios::binary);
    const std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.empty()) {
        state.SkipWithError("corpus missing");
        return;
    }
    Run(state, d);
}
BENCHMARK(BM_OemNovatelCapture);

}  // namespace

BENCHMARK_MAIN();
