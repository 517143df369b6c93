// Real captures through Em_Gnss(1, t), fed in random slices: the NMEA captures through the
// NMEA-only board, the NovAtel capture (logs up to 2,248 bytes) and the RTCM 3 captures through a
// recording board. Each is compared with an independent scan of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../boards/RtcmTestFrames.h"
#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_Crc.h"
#include "support/Nmea_Text.h"
#include "support/Recording_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Files_In(const char* folder, const char* ext) {
    std::vector<fs::path> files;
    const fs::path root = fs::path(VARNOK_CORPUS_DIR) / folder;
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        return files;
    }
    for (const auto& e : fs::directory_iterator(root, ec)) {
        if (e.is_regular_file() && (ext == nullptr || e.path().extension() == ext)) {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void Feed_In_Slices(Em_Gnss& gnss, const std::vector<std::uint8_t>& d, std::mt19937& rng) {
    size_t at = 0;
    while (at < d.size()) {
        const size_t n = std::min<size_t>(d.size() - at, 1 + rng() % 700);
        gnss.RcvData(&d[at], static_cast<unsigned>(n));
        gnss.ParseData();
        at += n;
    }
    // Filler that releases a sentence waiting for its look-ahead.
    const std::vector<std::uint8_t> filler(320, 'z');
    gnss.RcvData(filler.data(), static_cast<unsigned>(filler.size()));
    gnss.ParseData();
}

// A line "$TTSSS,...*hh" ending in CR LF or LF whose checksum verifies; its text through the
// check characters.
bool Verified_Line(const std::vector<std::uint8_t>& d, size_t i, std::string& text) {
    size_t end = i;
    while (end < d.size() && d[end] != '\n' && end - i < 300) {
        ++end;
    }
    if (end >= d.size() || d[end] != '\n' || end < i + 5) {
        return false;
    }
    const std::string line(d.begin() + long(i), d.begin() + long(end) - (d[end - 1] == '\r'));
    const size_t star = line.find('*');
    if (star == std::string::npos || star + 3 != line.size()) {
        return false;
    }
    const unsigned want = unsigned(std::strtoul(line.substr(star + 1, 2).c_str(), nullptr, 16));
    if (nmea_test::Checksum(line.substr(1, star - 1)) != want) {
        return false;
    }
    text = line;
    return true;
}

// A sentence that starts a line: one glued to the tail of a broken one ("...*1E$GPRMC") lends
// its '$' to that one's cut.
bool Starts_Line(const std::vector<std::uint8_t>& d, size_t i) {
    return i == 0 || d[i - 1] == '\n';
}

struct Nmea_Seen {
    Em_Gnss* gnss = nullptr;
    std::map<std::string, int> gga;  // GGA text through the check characters
    std::map<std::string, int> rmc;  // RMC time as "hhmmss.ss" digits read back
    int other = 0;
};

std::string Time_Key(int h, int m, double s) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%02d%02d%05.2f", h, m, s);
    return buf;
}

void On_Nmea(Msg_Type category, uint32_t flags, const void* user) {
    Nmea_Seen& seen = *static_cast<Nmea_Seen*>(const_cast<void*>(user));
    EXPECT_EQ(category, MSG_GNSS_DATA);
    const Em_OemData* d = seen.gnss->Get_Protocol()->Board()->Data();
    if (flags & 0x1000u) {
        std::string text(d->Gga_Text, static_cast<size_t>(std::max(d->Gga_Len, 0)));
        const size_t star = text.find('*');
        ++seen.gga[star == std::string::npos ? text : text.substr(0, star + 3)];
    }
    if (flags & 0x2000u) {
        ++seen.rmc[Time_Key(d->Hour, d->Minute, d->Second)];
    }
}

}  // namespace

TEST(OemProtocolCorpus, EveryVerifiedGgaAndRmcOfTheNmeaCaptures) {
    std::vector<fs::path> files = Files_In("gpsd", ".log");
    for (const auto& p : Files_In("pynmeagps", ".log")) {
        files.push_back(p);
    }
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::mt19937 rng(11);
    int ggaTotal = 0;
    int rmcTotal = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        std::map<std::string, int> wantGga, wantRmc;
        for (size_t i = 0; i + 6 < d.size(); ++i) {
            std::string line;
            if (d[i] != '$' || !Starts_Line(d, i) || !Verified_Line(d, i, line)) {
                continue;
            }
            const std::string name = line.substr(1, 5);
            if (name == "GPGGA" || name == "GNGGA") {
                ++wantGga[line];
            } else if (name == "GPRMC" || name == "GNRMC") {
                // Keyed as the parser reads the time back: hh, mm and the five characters
                // from the fifth on as the second (hhmmss, hhmmss.s, hhmmss.ss, hhmmss.sss).
                const std::string t = line.substr(7, line.find(',', 7) - 7);
                if (t.size() >= 6 && t.find_first_not_of("0123456789.") == std::string::npos) {
                    ++wantRmc[Time_Key(std::stoi(t.substr(0, 2)), std::stoi(t.substr(2, 2)),
                                       std::atof(t.substr(4, 5).c_str()))];
                }
            }
        }
        Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
        Nmea_Seen seen;
        seen.gnss = &gnss;
        const _CALLBACKS_RECEIVER cb{&On_Nmea, nullptr};
        gnss.Reg_Callbacks(&cb, &seen);
        Feed_In_Slices(gnss, d, rng);
        for (const auto& w : wantGga) {
            EXPECT_GE(seen.gga[w.first], w.second) << w.first;
            ggaTotal += w.second;
        }
        for (const auto& w : wantRmc) {
            EXPECT_GE(seen.rmc[w.first], w.second) << "RMC at " << w.first;
            rmcTotal += w.second;
        }
    }
    EXPECT_GT(ggaTotal, 500);
    EXPECT_GT(rmcTotal, 500);
}

// Every NovAtel log that fits the 2,048-byte message buffer reaches the board once, byte-exact;
// longer ones are stepped over without a sanitizer report.
TEST(OemProtocolCorpus, NovatelCaptureLogsUpTo2048Bytes) {
    const fs::path path = fs::path(VARNOK_CORPUS_DIR) / "rtklib" / "oemv_200911218.gps";
    std::vector<std::uint8_t> d;
    if (!rtcm_test::Read_File(path.string(), d) || d.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::vector<std::string> want;
    size_t longer = 0;
    for (size_t i = 0; i + 28 <= d.size();) {
        if (d[i] != 0xAA || d[i + 1] != 0x44 || d[i + 2] != 0x12) {
            ++i;
            continue;
        }
        const size_t total = size_t(d[i + 3]) + (size_t(d[i + 8]) | size_t(d[i + 9]) << 8) + 4;
        if (d[i + 3] < 28 || i + total > d.size() ||
            Check_Crc32(&d[i], static_cast<int>(total)) == 0) {
            ++i;
            continue;
        }
        if (total <= 2048) {
            want.emplace_back(d.begin() + long(i), d.begin() + long(i + total));
        } else {
            ++longer;
        }
        i += total;
    }
    ASSERT_GT(want.size(), 100u);
    EXPECT_GT(longer, 0u);

    std::mt19937 rng(5);
    for (int round = 0; round < 3; ++round) {
        Scoped_Recording_Board scope(MAINBD_NOVATEL);
        Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
        Feed_In_Slices(gnss, d, rng);
        auto* board = dynamic_cast<Recording_Board*>(gnss.Get_Protocol()->Board());
        ASSERT_NE(board, nullptr);
        // The reader leaves the CRC-32 to the board: compare the logs whose CRC holds.
        std::vector<std::string> logs;
        for (const std::string& m : board->Messages) {
            if (m.size() >= 3 && m.compare(0, 3, "\xAA\x44\x12") == 0 &&
                Check_Crc32(reinterpret_cast<const unsigned char*>(m.data()),
                            static_cast<int>(m.size())) != 0) {
                logs.push_back(m);
            }
        }
        EXPECT_EQ(logs.size(), want.size());
        EXPECT_TRUE(logs == want);
    }
}

// Every CRC-valid RTCM 3 frame of the captures reaches the board once, in order.
TEST(OemProtocolCorpus, EveryRtcm3FrameOnce) {
    std::vector<fs::path> files;
    for (const char* folder : {"gpsd", "pyrtcm", "rtklib"}) {
        for (const auto& p : Files_In(folder, nullptr)) {
            files.push_back(p);
        }
    }
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::mt19937 rng(3);
    size_t frames = 0;
    for (const auto& path : files) {
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        const auto expected = rtcm_test::Frames_In(d);
        if (expected.empty()) {
            continue;
        }
        SCOPED_TRACE(path.filename().string());
        for (int type : {MAINBD_STXETX, MAINBD_NOVATEL}) {
            Scoped_Recording_Board scope(type);
            Em_Gnss gnss(GNSS_MNFCTR_OEM, static_cast<MAINBD_OEM_TYPE>(type));
            Feed_In_Slices(gnss, d, rng);
            auto* board = dynamic_cast<Recording_Board*>(gnss.Get_Protocol()->Board());
            ASSERT_NE(board, nullptr);
            std::vector<std::string> got;
            for (const std::string& m : board->Messages) {
                if (m.size() >= 6 && static_cast<unsigned char>(m[0]) == 0xD3 && m.size() > 7) {
                    got.push_back(m);
                }
            }
            std::vector<std::string> want;
            for (const auto& f : expected) {
                want.emplace_back(f.bytes.begin(), f.bytes.end());
            }
            EXPECT_EQ(got.size(), want.size()) << "board type " << type;
            EXPECT_TRUE(got == want) << "board type " << type;
        }
        frames += expected.size();
    }
    EXPECT_GT(frames, 1000u);
}
