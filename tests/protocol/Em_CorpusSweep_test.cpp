// Every capture of the corpus through the NMEA-only board and the RTCM 3 frame step. The
// folders are listed at run time, so new captures join the sweep by being added.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "../boards/RtcmTestFrames.h"
#include "BVParse/Em_TrsMtPrlRTCM.h"
#include "Em_OemInputSteps.h"
#include "Em_OemNmea2.h"
#include "support/Nmea_Text.h"

using namespace Brevan2011::BVParse;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Captures() {
    std::vector<fs::path> files;
    const fs::path root(VARNOK_CORPUS_DIR);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        return files;
    }
    for (const auto& e : fs::recursive_directory_iterator(root, ec)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && ext != ".chk" && ext != ".md" && ext != ".dcd") {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool Is_Talker(const std::vector<std::uint8_t>& d, std::size_t i) {
    if (d[i] != '$' || i + 2 >= d.size()) {
        return false;
    }
    const char a = char(d[i + 1]), b = char(d[i + 2]);
    return (a == 'G' && (b == 'P' || b == 'L' || b == 'N')) || (a == 'B' && b == 'D');
}

// A GGA sentence of talker GP or GN whose checksum verifies ("GNGGAH" is another sentence).
bool Verified_Gga(const std::string& s) {
    if (s.size() < 10 || (s.compare(1, 6, "GPGGA,") != 0 && s.compare(1, 6, "GNGGA,") != 0)) {
        return false;
    }
    const std::size_t star = s.find('*');
    if (star == std::string::npos || star + 3 > s.size()) {
        return false;
    }
    const unsigned want = unsigned(std::strtoul(s.substr(star + 1, 2).c_str(), nullptr, 16));
    return nmea_test::Checksum(s.substr(1, star - 1)) == want;
}

void Run_Until_Idle(Em_OemBoard& board) {
    for (int guard = 0; guard < 4096 && board.Parse() == 1; ++guard) {
    }
}

}  // namespace

TEST(CorpusSweep, NmeaOneSentenceAtATime) {
    const auto files = Captures();
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    int gga_seen = 0;
    for (const auto& path : files) {
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        Em_OemNmea2 board;
        for (std::size_t i = 0; i < d.size(); ++i) {
            if (!Is_Talker(d, i)) {
                continue;
            }
            // As the OEM protocol object hands it: from the talker through the line end.
            std::size_t end = i;
            while (end < d.size() && d[end] != '\n' && end - i < 400) {
                ++end;
            }
            if (end >= d.size() || d[end] != '\n') {
                continue;
            }
            const std::string line(d.begin() + long(i), d.begin() + long(end) + 1);
            board.Clear_Input();
            board.Add_Data(&d[i], int(line.size()));
            const int first = board.Parse();
            if (Verified_Gga(line)) {
                SCOPED_TRACE(path.filename().string() + ": " + line);
                EXPECT_EQ(first, 1);
                EXPECT_EQ(board.Data()->Update_Mask & GNSS_FLAG_GGA_TEXT, GNSS_FLAG_GGA_TEXT);
                // The kept text runs through the check characters (line ends vary).
                const std::size_t body = line.find('*') + 3;
                EXPECT_EQ(std::string(board.Data()->Gga_Text, std::size_t(board.Data()->Gga_Len))
                              .substr(0, body),
                          line.substr(0, body));
                ++gga_seen;
            }
            Run_Until_Idle(board);
            i = end;
        }
    }
    EXPECT_GT(gga_seen, 1000);
}

TEST(CorpusSweep, NmeaInRandomSlices) {
    const auto files = Captures();
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::mt19937 rng(20261209);
    for (const auto& path : files) {
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        Em_OemNmea2 board;
        std::size_t at = 0;
        while (at < d.size()) {
            const std::size_t n = std::min<std::size_t>(d.size() - at, 1 + rng() % 400);
            board.Add_Data(&d[at], int(n));
            at += n;
            Run_Until_Idle(board);
            ASSERT_LE(board.Input()->Fill, OEM_INPUT_BUFFER::kSize);
        }
    }
}

TEST(CorpusSweep, RtcmFramesThroughStepAndStore) {
    const auto files = Captures();
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::vector<obsd_t> records(64);
    obs_t obs;
    obs.nmax = int(records.size());
    obs.data = records.data();
    Em_TrsMtPrlRTCM decoder(obs);
    int frames = 0, decoded_1004 = 0;
    std::mt19937 rng(7);
    for (const auto& path : files) {
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        Em_OemNmea2 board;
        for (auto& f : rtcm_test::Frames_In(d)) {
            board.Add_Data(f.bytes.data(), int(f.bytes.size()));
            EXPECT_EQ(Parse_RtcmFrame(board), 1) << path;
            const TRSMT_HOLDER* store = board.Data()->Trsmt.get();
            ASSERT_NE(store, nullptr);
            EXPECT_EQ(unsigned(store->Info.Msg_No), f.number);
            EXPECT_EQ(std::size_t(store->Info.Length), f.bytes.size());
            EXPECT_EQ(board.Input()->Fill, 0);
            if (f.number == 1004) {
                EXPECT_NE(board.Data()->Update_Mask & GNSS_FLAG_RTCM3, 0u);
                EXPECT_TRUE(decoder.Decode_type1004(f.bytes.data(), unsigned(f.bytes.size())));
                ++decoded_1004;
            }
            ++frames;
        }
        // The raw capture in slices: garbage is thrown away, nothing is read out of bounds.
        std::size_t at = 0;
        while (at < d.size()) {
            const std::size_t n = std::min<std::size_t>(d.size() - at, 1 + rng() % 700);
            board.Add_Data(&d[at], int(n));
            at += n;
            while (Parse_RtcmFrame(board) == 1) {
            }
        }
    }
    EXPECT_GT(frames, 1000);
    EXPECT_GT(decoded_1004, 30);
}
