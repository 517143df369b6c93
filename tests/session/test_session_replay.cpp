// A replayed NovAtel capture through a whole session: maker 1 (another maker's board reached
// directly), board type 2, read, parsed and handed to the program's callbacks and getters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "SessionFixture.h"

using namespace varnok_test;
namespace BVParse = Brevan2011::BVParse;

namespace {

std::uint32_t crc32(const std::string& d, std::size_t at, std::size_t n) {
    std::uint32_t crc = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        crc ^= static_cast<unsigned char>(d[i]);
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

// Offsets of the CRC-valid best-position logs (id 42, 72-byte body) in a NovAtel stream.
std::vector<std::size_t> bestPositions(const std::string& d) {
    std::vector<std::size_t> at;
    const std::size_t n = 28 + 72;
    for (std::size_t i = 0; i + n + 4 <= d.size(); ++i) {
        if (d.compare(i, 4, "\xAA\x44\x12\x1C") == 0 && d[i + 4] == 42 && d[i + 5] == 0) {
            std::uint32_t want;
            std::memcpy(&want, d.data() + i + n, 4);
            if (crc32(d, i, n) == want) {
                at.push_back(i);
            }
        }
    }
    return at;
}

double doubleAt(const std::string& d, std::size_t at) {
    double v;
    std::memcpy(&v, d.data() + at, sizeof v);
    return v;
}

}  // namespace

TEST_F(SessionTest, NovatelCaptureReplayReportsPositionsAndTheLastOne) {
    const std::string path = std::string(VARNOK_CORPUS_DIR) + "/rtklib/oemv_200911218.gps";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        GTEST_SKIP() << "missing " << path;
    }
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The replay port paces reads like a receiver, so play the stretch from the first
    // best-position log to the end of the second, with every other log of the capture between.
    const std::vector<std::size_t> logs = bestPositions(whole);
    ASSERT_GE(logs.size(), 2u);
    const std::string capture = whole.substr(logs[0], logs[1] + 28 + 72 + 4 - logs[0]);
    const std::size_t last = logs[1] - logs[0];
    writeFile(replay_, capture);

    UseScriptedProtocol(false);
    std::unique_ptr<EmGnss_Receiver> s(
        new EmGnss_Receiver(BVParse::GNSS_MNFCTR_OEM, BVParse::MAINBD_NOVATEL));
    s->RegisterCbs_Receiver(CallbackRecorder::callbacks(), &kUserData);
    ASSERT_TRUE(s->Port_Open(replay_.c_str()));

    auto positions = [] {
        int n = 0;
        for (const auto& d : CallbackRecorder::instance().data()) {
            n += d.category == BVParse::MSG_GNSS_DATA &&
                 (d.flags & BVParse::GNSS_FLAG_POSITION) != 0;
        }
        return n;
    };
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (positions() < 2 && std::chrono::steady_clock::now() < until) {
        CallbackRecorder::instance().waitData(CallbackRecorder::instance().data().size() + 1, 500);
    }
    EXPECT_EQ(positions(), 2);
    for (const auto& d : CallbackRecorder::instance().data()) {
        EXPECT_EQ(d.category, BVParse::MSG_GNSS_DATA);
    }

    BVParse::POS_INFO pos{};
    s->Get_Gnss_Pos(&pos);
    const std::size_t body = last + 28;
    EXPECT_DOUBLE_EQ(pos.Latitude, doubleAt(capture, body + 8) * M_PI / 180.0);
    EXPECT_DOUBLE_EQ(pos.Longitude, doubleAt(capture, body + 16) * M_PI / 180.0);
    EXPECT_NE(pos.Sol_Code, 0);
    EXPECT_TRUE(s->Port_Close());
}
