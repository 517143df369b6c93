// MB/s of the NMEA and RTCM 3 input paths over the corpus captures. Messages are handed to
// the board one at a time, as the OEM protocol object does; splitting is not timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BVParse/Em_TrsMtPrlRTCM.h"
#include "Em_Crc.h"
#include "Em_OemInputSteps.h"
#include "Em_OemNmea2.h"

using namespace Brevan2011::BVParse;
namespace fs = std::filesystem;

namespace {

struct Piece {
    std::size_t offset, length;
    unsigned number;  // RTCM 3 message number; 0 for sentences
};

struct Capture {
    std::vector<unsigned char> bytes;
    std::vector<Piece> pieces;
    std::size_t piece_bytes = 0;
};

std::vector<unsigned char> Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

bool Talker(const std::vector<unsigned char>& d, std::size_t i) {
    if (d[i] != '$' || i + 2 >= d.size()) {
        return false;
    }
    const char a = char(d[i + 1]), b = char(d[i + 2]);
    return (a == 'G' && (b == 'P' || b == 'L' || b == 'N')) || (a == 'B' && b == 'D');
}

// Every sentence of the NMEA captures, from its talker through its line end.
const Capture& Nmea_Captures() {
    static Capture c = [] {
        Capture c;
        std::error_code ec;
        for (const char* dir : {"gpsd", "pynmeagps"}) {
            std::vector<fs::path> files;
            for (const auto& e : fs::directory_iterator(fs::path(VARNOK_CORPUS_DIR) / dir, ec)) {
                const std::string name = e.path().filename().string();
                if (e.path().extension() == ".log" && name.find("rtcm") == std::string::npos &&
                    name.find("ntrip") == std::string::npos) {
                    files.push_back(e.path());
                }
            }
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                const auto d = Read(f);
                const std::size_t base = c.bytes.size();
                c.bytes.insert(c.bytes.end(), d.begin(), d.end());
                for (std::size_t i = 0; i < d.size(); ++i) {
                    if (!Talker(d, i)) {
                        continue;
                    }
                    std::size_t end = i;
                    while (end < d.size() && d[end] != '\n' && end - i < 300) {
                        ++end;
                    }
                    if (end < d.size() && d[end] == '\n') {
                        c.pieces.push_back({base + i, end + 1 - i, 0});
                        c.piece_bytes += end + 1 - i;
                        i = end;
                    }
                }
            }
        }
        return c;
    }();
    return c;
}

// Every CRC-valid frame of the RTCM 3 captures.
const Capture& Rtcm_Captures() {
    static Capture c = [] {
        Capture c;
        const char* files[] = {"rtklib/GMSD7_20121014.rtcm3",
                               "gpsd/rtcm3.bndm.log",
                               "gpsd/rtcm3.2.log",
                               "gpsd/ublox-zed-f9t-rtcm3.log",
                               "gpsd/ublox-f9p-rtcm.log",
                               "gpsd/rtcm3_102x135.log",
                               "pyrtcm/pygpsdata-NTRIP-1300-1302.log",
                               "pygnssutils/pygpsdata-rtcm3.log"};
        for (const char* name : files) {
            const auto d = Read(fs::path(VARNOK_CORPUS_DIR) / name);
            const std::size_t base = c.bytes.size();
            c.bytes.insert(c.bytes.end(), d.begin(), d.end());
            std::size_t i = 0;
            while (i + 6 <= d.size()) {
                const std::size_t len = (std::size_t(d[i + 1] & 3) << 8) | d[i + 2];
                if (d[i] != 0xD3 || (d[i + 1] & 0xFC) || i + len + 6 > d.size() || len < 2) {
                    ++i;
                    continue;
                }
                const uint32_t crc = (uint32_t(d[i + len + 3]) << 16) |
                                     (uint32_t(d[i + len + 4]) << 8) | d[i + len + 5];
                if (Calc_Crc24Q(&d[i], int(len + 3)) != crc) {
                    ++i;
                    continue;
                }
                const unsigned number = (unsigned(d[i + 3]) << 4) | (d[i + 4] >> 4);
                c.pieces.push_back({base + i, len + 6, number});
                c.piece_bytes += len + 6;
                i += len + 6;
            }
        }
        return c;
    }();
    return c;
}

void BM_NmeaCaptures(benchmark::State& state) {
    const Capture& c = Nmea_Captures();
    if (c.pieces.empty()) {
        state.SkipWithError("corpus missing");
        return;
    }
    Em_OemNmea2 board;
    std::uint32_t flags = 0;
    for (auto _ : state) {
        for (const Piece& p : c.pieces) {
            board.Add_Data(&c.bytes[p.offset], int(p.length));
            while (board.Parse() == 1) {
                flags |= board.Data()->Update_Mask;
            }
        }
    }
    benchmark::DoNotOptimize(flags);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c.piece_bytes));
    state.counters["sentences"] = double(c.pieces.size());
}
BENCHMARK(BM_NmeaCaptures)->Unit(benchmark::kMillisecond);

void BM_RtcmCaptures(benchmark::State& state) {
    const Capture& c = Rtcm_Captures();
    if (c.pieces.empty()) {
        state.SkipWithError("corpus missing");
        return;
    }
    Em_OemNmea2 board;
    std::vector<obsd_t> records(64);
    obs_t obs;
    obs.nmax = int(records.size());
    obs.data = records.data();
    Em_TrsMtPrlRTCM decoder(obs);
    std::uint32_t accepted = 0;
    for (auto _ : state) {
        for (const Piece& p : c.pieces) {
            board.Add_Data(&c.bytes[p.offset], int(p.length));
            while (Parse_RtcmFrame(board) == 1) {
                accepted += board.Data()->Update_Mask & GNSS_FLAG_RTCM3 ? 1u : 0u;
            }
            if (p.number == 1004) {
                decoder.Decode_type1004(board.Data()->Trsmt->Info.Data, p.length);
            }
        }
    }
    benchmark::DoNotOptimize(accepted);
    benchmark::DoNotOptimize(records.data());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c.piece_bytes));
    state.counters["frames"] = double(c.pieces.size());
}
BENCHMARK(BM_RtcmCaptures)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
