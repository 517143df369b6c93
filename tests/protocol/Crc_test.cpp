#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Em_Crc.h"

using namespace Brevan2011::BVParse;

namespace {

std::vector<unsigned char> Read_Corpus(const std::string& relative) {
    std::ifstream in(std::string(VARNOK_CORPUS_DIR) + "/" + relative, std::ios::binary);
    if (!in) {
        return {};
    }
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

struct RtcmScan {
    int good = 0;
    int bad = 0;
};

// Walks a byte stream frame by frame: preamble 0xD3, 10-bit length, payload, CRC-24Q.
RtcmScan Scan_Rtcm3(const std::vector<unsigned char>& data) {
    RtcmScan scan;
    size_t i = 0;
    while (i + 6 <= data.size()) {
        if (data[i] != 0xD3 || (data[i + 1] & 0xFC) != 0) {
            ++i;
            continue;
        }
        const size_t len = ((data[i + 1] & 0x03u) << 8) | data[i + 2];
        if (i + len + 6 > data.size()) {
            break;
        }
        const uint32_t stored = (uint32_t(data[i + len + 3]) << 16) |
                                (uint32_t(data[i + len + 4]) << 8) | data[i + len + 5];
        if (Calc_Crc24Q(&data[i], static_cast<int>(len + 3)) == stored) {
            ++scan.good;
            i += len + 6;
        } else {
            ++scan.bad;
            ++i;
        }
    }
    return scan;
}

TEST(Crc24Q, KnownValues) {
    const char* digits = "123456789";
    EXPECT_EQ(Calc_Crc24Q(reinterpret_cast<const unsigned char*>(digits), 9), 0xCDE703u);
    EXPECT_EQ(Calc_Crc24Q(reinterpret_cast<const unsigned char*>(digits), 0), 0u);
    EXPECT_EQ(Calc_Crc24Q(nullptr, 4), 0u);
}

TEST(Crc24Q, EveryFrameOfARealRtcm3RecordingChecksOut) {
    const auto data = Read_Corpus("rtklib/GMSD7_20121014.rtcm3");
    if (data.empty()) {
        GTEST_SKIP() << "corpus file missing";
    }
    const RtcmScan scan = Scan_Rtcm3(data);
    EXPECT_GT(scan.good, 100);
    // A stray 0xD3 inside a payload may look like a preamble; a whole frame never fails.
    int fullFrameFailures = 0;
    size_t i = 0;
    while (i + 6 <= data.size() && data[i] == 0xD3) {
        const size_t len = ((data[i + 1] & 0x03u) << 8) | data[i + 2];
        if (i + len + 6 > data.size()) {
            break;
        }
        const uint32_t stored = (uint32_t(data[i + len + 3]) << 16) |
                                (uint32_t(data[i + len + 4]) << 8) | data[i + len + 5];
        if (Calc_Crc24Q(&data[i], static_cast<int>(len + 3)) != stored) {
            ++fullFrameFailures;
        }
        i += len + 6;
    }
    EXPECT_EQ(fullFrameFailures, 0);
    EXPECT_GT(i, data.size() / 2) << "frames should follow each other from the start";
}

TEST(Crc24Q, RecordingWithACorruptedFrameHasOneThatFails) {
    const auto bad = Read_Corpus("pyrtcm/pygpsdata-MIXED-RTCM3BADCRC.log");
    const auto good = Read_Corpus("pyrtcm/pygpsdata-MIXED-RTCM3.log");
    if (bad.empty() || good.empty()) {
        GTEST_SKIP() << "corpus file missing";
    }
    const RtcmScan badScan = Scan_Rtcm3(bad);
    const RtcmScan goodScan = Scan_Rtcm3(good);
    EXPECT_GT(goodScan.good, 0);
    EXPECT_EQ(badScan.good + 1, goodScan.good);
}

// NovAtel OEM4 binary logs: sync AA 44 12, header length at 3, message length at 8 (LE).
std::vector<std::pair<size_t, size_t>> Novatel_Logs(const std::vector<unsigned char>& data) {
    std::vector<std::pair<size_t, size_t>> logs;
    size_t i = 0;
    while (i + 28 <= data.size()) {
        if (data[i] != 0xAA || data[i + 1] != 0x44 || data[i + 2] != 0x12) {
            ++i;
            continue;
        }
        const size_t header = data[i + 3];
        const size_t msg = data[i + 8] | (size_t(data[i + 9]) << 8);
        const size_t total = header + msg + 4;
        if (i + total > data.size()) {
            break;
        }
        logs.emplace_back(i, total);
        i += total;
    }
    return logs;
}

TEST(Crc32, AcceptsEveryCompleteNovatelLogAndRejectsAFlippedBit) {
    auto data = Read_Corpus("rtklib/oemv_200911218.gps");
    if (data.empty()) {
        GTEST_SKIP() << "corpus file missing";
    }
    const auto logs = Novatel_Logs(data);
    ASSERT_GT(logs.size(), 50u);
    size_t accepted = 0;
    for (const auto& log : logs) {
        accepted += Check_Crc32(&data[log.first], static_cast<int>(log.second));
    }
    EXPECT_EQ(accepted, logs.size());

    const auto& first = logs.front();
    data[first.first + first.second / 2] ^= 0x10;
    EXPECT_EQ(Check_Crc32(&data[first.first], static_cast<int>(first.second)), 0);
}

TEST(Crc32, EmptyBlockChecksOutAndCrcIsLittleEndian) {
    EXPECT_EQ(Check_Crc32(nullptr, 0), 1);
    EXPECT_EQ(Check_Crc32(nullptr, -3), 1);
    // CRC-32 (init 0, no final XOR) of "123456789" is 0x2DFD2D88.
    unsigned char block[13];
    std::memcpy(block, "123456789", 9);
    block[9] = 0x88;
    block[10] = 0x2D;
    block[11] = 0xFD;
    block[12] = 0x2D;
    EXPECT_EQ(Check_Crc32(block, 13), 1);
    block[12] = 0x2C;
    EXPECT_EQ(Check_Crc32(block, 13), 0);
}

}  // namespace

// Both checks take eight bytes a step; every length and start alignment around that step must
// give what the bit-at-a-time definitions give.
TEST(Crc, WordLoopsEqualTheBitwiseDefinitions) {
    std::vector<unsigned char> buf(300);
    uint32_t seed = 12345;
    for (auto& b : buf) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>(seed >> 16);
    }
    const auto crc24q = [](const unsigned char* p, int n) {
        uint32_t c = 0;
        for (int i = 0; i < n; ++i) {
            c ^= uint32_t(p[i]) << 16;
            for (int k = 0; k < 8; ++k) {
                c = (c & 0x800000u) ? ((c << 1) ^ 0x864CFBu) : (c << 1);
            }
        }
        return c & 0xFFFFFFu;
    };
    const auto crc32 = [](const unsigned char* p, int n) {
        uint32_t c = 0;
        for (int i = 0; i < n; ++i) {
            c ^= p[i];
            for (int k = 0; k < 8; ++k) {
                c = (c & 1u) ? ((c >> 1) ^ 0xEDB88320u) : (c >> 1);
            }
        }
        return c;
    };
    for (int start = 0; start < 8; ++start) {
        for (int n = 0; n <= 40; ++n) {
            SCOPED_TRACE(std::to_string(start) + "+" + std::to_string(n));
            std::vector<unsigned char> block(buf.begin() + start, buf.begin() + start + n);
            EXPECT_EQ(Calc_Crc24Q(block.data(), n), crc24q(block.data(), n));
            // A block followed by its own CRC-32 checks out; one flipped bit does not.
            const uint32_t c = crc32(block.data(), n);
            for (int k = 0; k < 4; ++k) {
                block.push_back(static_cast<unsigned char>(c >> (8 * k)));
            }
            EXPECT_EQ(Check_Crc32(block.data(), n + 4), 1);
            block[static_cast<size_t>(n) / 2] ^= 0x10;
            EXPECT_EQ(Check_Crc32(block.data(), n + 4), 0);
        }
    }
}
