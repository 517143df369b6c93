// The parse path a receiver session really runs: Em_Gnss(1, t) fed in 2,048-byte RcvData calls
// with ParseData after each, over four real captures. Each input reports its MB/s, the messages
// that reached the data callback per pass beside the count an independent scan of the capture
// finds, and how many times slower than memchr over the same buffer, timed in the same run.
//
// "Delivered" counts callbacks whose flag word carries the input's bit: GGA or RMC for the NMEA
// mix, an accepted RTCM 3 frame, a NovAtel best-position, range, DOP or reference-station log,
// a Hemisphere position block. The scans check every
// checksum themselves; NovAtel logs longer than the 2,048-byte message buffer are not due.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_TrsMtPrlRTCM.h"
#include "Em_Crc.h"
#include "Em_OemHemisphereData.h"
#include "Em_OemNovatelData.h"

using namespace Brevan2011::BVParse;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRead = 2048;  // what one port read brings at most

struct Input {
    std::string missing;  // first capture not found; empty when all are there
    std::vector<unsigned char> bytes;
    std::size_t expected = 0;
};

bool Append_File(Input& in, const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    if (!f) {
        if (in.missing.empty()) {
            in.missing = p.string();
        }
        return false;
    }
    in.bytes.insert(in.bytes.end(), std::istreambuf_iterator<char>(f),
                    std::istreambuf_iterator<char>());
    return true;
}

fs::path Corpus(const char* name) {
    return fs::path(VARNOK_CORPUS_DIR) / name;
}

unsigned Hex(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10u;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10u;
    }
    return 256;
}

// "$GPGGA," "$GNGGA," "$GPRMC," and "$GNRMC," sentences of less than 300 bytes: through a "*hh"
// that verifies, or without one through the line end (CR or LF).
std::size_t Scan_Gga_Rmc(const std::vector<unsigned char>& d) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 7 < d.size(); ++i) {
        if (d[i] != '$' || d[i + 1] != 'G' || (d[i + 2] != 'P' && d[i + 2] != 'N')) {
            continue;
        }
        if ((std::memcmp(&d[i + 3], "GGA", 3) != 0 && std::memcmp(&d[i + 3], "RMC", 3) != 0) ||
            d[i + 6] != ',') {
            continue;
        }
        std::size_t end = i + 1;
        unsigned sum = 0;
        while (end < d.size() && end - i < 300 && d[end] != '*' && d[end] != '\r' &&
               d[end] != '\n' && d[end] != '$') {
            sum ^= d[end++];
        }
        if (end >= d.size() || end - i >= 300 || d[end] == '$') {
            continue;
        }
        if (d[end] == '*' &&
            (end + 2 >= d.size() || Hex(d[end + 1]) * 16 + Hex(d[end + 2]) != sum)) {
            continue;
        }
        ++count;
        i = end;
    }
    return count;
}

// CRC-24Q-valid RTCM 3 frames that the message check accepts.
std::size_t Scan_Rtcm3(const std::vector<unsigned char>& d) {
    Em_TrsMtPrlRTCM check;
    std::vector<unsigned char> frame;
    std::size_t count = 0;
    for (std::size_t i = 0; i + 6 <= d.size();) {
        const std::size_t len = (std::size_t(d[i + 1] & 3) << 8) | d[i + 2];
        if (d[i] != 0xD3 || (d[i + 1] & 0xFC) != 0 || i + len + 6 > d.size()) {
            ++i;
            continue;
        }
        const uint32_t crc =
            (uint32_t(d[i + len + 3]) << 16) | (uint32_t(d[i + len + 4]) << 8) | d[i + len + 5];
        if (Calc_Crc24Q(&d[i], int(len + 3)) != crc) {
            ++i;
            continue;
        }
        frame.assign(d.begin() + long(i), d.begin() + long(i + len + 6));
        const unsigned number = len >= 2 ? (unsigned(d[i + 3]) << 4) | (d[i + 4] >> 4) : 0;
        if (check.Prc_Prtcl_ID(number, frame.data(), unsigned(frame.size()))) {
            ++count;
        }
        i += len + 6;
    }
    return count;
}

// CRC-32-valid NovAtel logs of at most 2,048 bytes whose id always raises an update flag
// (a repeated ephemeris raises none, so ephemerides are not counted).
std::size_t Scan_Novatel(const std::vector<unsigned char>& d) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 28 <= d.size();) {
        if (d[i] != 0xAA || d[i + 1] != 0x44 || d[i + 2] != 0x12 || d[i + 3] < 28) {
            ++i;
            continue;
        }
        const std::size_t total =
            std::size_t(d[i + 3]) + (std::size_t(d[i + 8]) | std::size_t(d[i + 9]) << 8) + 4;
        if (i + total > d.size() || Check_Crc32(&d[i], int(total)) == 0) {
            ++i;
            continue;
        }
        const unsigned id = unsigned(d[i + 4]) | unsigned(d[i + 5]) << 8;
        const bool flagged = id == 42 || id == 43 || id == 140 || id == 174 || id == 175;
        if (total <= 2048 && flagged) {
            ++count;
        }
        i += total;
    }
    return count;
}

// Hemisphere "$BIN" position blocks (id 1) whose 16-bit data sum and CR LF check out.
std::size_t Scan_Hemisphere(const std::vector<unsigned char>& d) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 12 <= d.size();) {
        if (std::memcmp(&d[i], "$BIN", 4) != 0) {
            ++i;
            continue;
        }
        const std::size_t id = d[i + 4] | std::size_t(d[i + 5]) << 8;
        const std::size_t len = d[i + 6] | std::size_t(d[i + 7]) << 8;
        if (len > 2036 || i + len + 12 > d.size()) {
            ++i;
            continue;
        }
        unsigned sum = 0;
        for (std::size_t k = 0; k < len; ++k) {
            sum += d[i + 8 + k];
        }
        const unsigned stated = d[i + 8 + len] | unsigned(d[i + 9 + len]) << 8;
        if ((sum & 0xFFFFu) != stated || d[i + 10 + len] != '\r' || d[i + 11 + len] != '\n') {
            ++i;
            continue;
        }
        count += id == 1 ? 1 : 0;
        i += len + 12;
    }
    return count;
}

const Input& Nmea_Mix() {
    static const Input in = [] {
        Input in;
        std::vector<fs::path> files;
        std::error_code ec;
        for (const char* dir : {"gpsd", "pynmeagps"}) {
            for (const auto& e : fs::directory_iterator(Corpus(dir), ec)) {
                const std::string name = e.path().filename().string();
                // The two large u-blox captures are mostly UBX binary, not NMEA.
                if (e.path().extension() == ".log" && name.find("rtcm") == std::string::npos &&
                    name.find("ntrip") == std::string::npos && name != "ublox-zed-f9r.log" &&
                    name != "ublox-zed-f9p_hpg1.11.log") {
                    files.push_back(e.path());
                }
            }
        }
        if (files.empty()) {
            in.missing = Corpus("gpsd").string();
        }
        std::sort(files.begin(), files.end());
        for (const auto& f : files) {
            Append_File(in, f);
        }
        in.expected = Scan_Gga_Rmc(in.bytes);
        return in;
    }();
    return in;
}

const Input& Rtcm_Mix() {
    static const Input in = [] {
        Input in;
        for (const char* name :
             {"rtklib/GMSD7_20121014.rtcm3", "gpsd/rtcm3-1.log", "gpsd/rtcm3.2.log",
              "gpsd/rtcm3.bndm.log", "gpsd/rtcm3_102x135.log", "pyrtcm/pygpsdata-1230.bin",
              "pyrtcm/pygpsdata-MT1023.log", "pyrtcm/pygpsdata-NTRIP-1300-1302.log",
              "pyrtcm/pygpsdata-NTRIP-4076.log", "pyrtcm/pygpsdata-RTCMMSM3.log"}) {
            Append_File(in, Corpus(name));
        }
        in.expected = Scan_Rtcm3(in.bytes);
        return in;
    }();
    return in;
}

const Input& Novatel_Capture() {
    static const Input in = [] {
        Input in;
        Append_File(in, Corpus("rtklib/oemv_200911218.gps"));
        if (in.bytes.size() > 262144) {
            in.bytes.resize(262144);
        }
        in.expected = Scan_Novatel(in.bytes);
        return in;
    }();
    return in;
}

const Input& Hemisphere_Capture() {
    static const Input in = [] {
        Input in;
        Append_File(in, Corpus("rtklib/cres_20080526.bin"));
        in.expected = Scan_Hemisphere(in.bytes);
        return in;
    }();
    return in;
}

struct Tally {
    uint32_t mask = 0;
    std::size_t delivered = 0;
};

void On_Data(Msg_Type, uint32_t flags, const void* user) {
    Tally& t = *static_cast<Tally*>(const_cast<void*>(user));
    if ((flags & t.mask) != 0) {
        ++t.delivered;
    }
}

// Bytes per second of memchr over the buffer, looking for its rarest byte value.
double Memchr_Rate(const std::vector<unsigned char>& d) {
    std::size_t histogram[256] = {};
    for (unsigned char c : d) {
        ++histogram[c];
    }
    const int rare = int(std::min_element(histogram, histogram + 256) - histogram);
    using Clock = std::chrono::steady_clock;
    std::size_t bytes = 0;
    std::size_t hits = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
        for (int k = 0; k < 64; ++k) {
            const unsigned char* p = d.data();
            const unsigned char* end = p + d.size();
            while (p < end) {
                const void* q = std::memchr(p, rare, std::size_t(end - p));
                benchmark::DoNotOptimize(q);
                if (q == nullptr) {
                    break;
                }
                ++hits;
                p = static_cast<const unsigned char*>(q) + 1;
            }
            bytes += d.size();
        }
        now = Clock::now();
    } while (now - start < std::chrono::milliseconds(50));
    benchmark::DoNotOptimize(hits);
    return double(bytes) / std::chrono::duration<double>(now - start).count();
}

void Run_Session_Path(benchmark::State& state, const Input& in, MAINBD_OEM_TYPE board,
                      uint32_t mask) {
    if (!in.missing.empty() || in.bytes.empty()) {
        state.SkipWithError(("capture missing: " + in.missing).c_str());
        return;
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration parsing{};
    Tally tally;
    tally.mask = mask;
    const _CALLBACKS_RECEIVER callbacks{&On_Data, nullptr};
    std::size_t passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Em_Gnss gnss(GNSS_MNFCTR_OEM, board);
        gnss.Reg_Callbacks(&callbacks, &tally);
        state.ResumeTiming();
        const auto start = Clock::now();
        for (std::size_t at = 0; at < in.bytes.size(); at += kRead) {
            const std::size_t n = std::min(kRead, in.bytes.size() - at);
            gnss.RcvData(&in.bytes[at], unsigned(n));
            gnss.ParseData();
        }
        parsing += Clock::now() - start;
        ++passes;
    }
    const double seconds = std::chrono::duration<double>(parsing).count();
    const double rate = seconds > 0 ? double(in.bytes.size()) * double(passes) / seconds : 0;
    const double memchr_rate = Memchr_Rate(in.bytes);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(in.bytes.size()));
    state.counters["MB/s"] = rate / 1e6;
    state.counters["delivered"] = passes > 0 ? double(tally.delivered) / double(passes) : 0;
    state.counters["expected"] = double(in.expected);
    state.counters["memchr_MB/s"] = memchr_rate / 1e6;
    state.counters["x_memchr"] = rate > 0 ? memchr_rate / rate : 0;
}

void BM_SessionPath_NmeaMix(benchmark::State& state) {
    Run_Session_Path(state, Nmea_Mix(), MAINBD_NMEA2, GNSS_FLAG_GGA_TEXT | GNSS_FLAG_RMC);
}
BENCHMARK(BM_SessionPath_NmeaMix)->Unit(benchmark::kMillisecond);

void BM_SessionPath_Rtcm3Mix(benchmark::State& state) {
    Run_Session_Path(state, Rtcm_Mix(), MAINBD_NOVATEL, GNSS_FLAG_RTCM3);
}
BENCHMARK(BM_SessionPath_Rtcm3Mix)->Unit(benchmark::kMillisecond);

void BM_SessionPath_NovatelOemv(benchmark::State& state) {
    Run_Session_Path(
        state, Novatel_Capture(), MAINBD_NOVATEL,
        GNSS_FLAG_OBS | NOVATEL_FLAG_POS_A | GNSS_FLAG_ELEV_MASK | NOVATEL_FLAG_REFSTN);
}
BENCHMARK(BM_SessionPath_NovatelOemv)->Unit(benchmark::kMillisecond);

void BM_SessionPath_Hemisphere(benchmark::State& state) {
    Run_Session_Path(state, Hemisphere_Capture(), MAINBD_HEMISPHERE, HEMI_FLAG_POSITION);
}
BENCHMARK(BM_SessionPath_Hemisphere)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
