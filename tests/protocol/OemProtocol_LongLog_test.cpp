// NovAtel logs longer than the 2,048-byte message buffer, through Em_Gnss(1, 2): one whose
// CRC-32 checks out in the ring is stepped over whole (never decoded, and nothing inside it is
// taken for a message); one whose CRC fails costs one byte, so what follows its false header
// is still found.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "../boards/Novatel_Test_Log.h"
#include "../boards/RtcmTestFrames.h"
#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "support/Recording_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using novatel_test::Bytes;
namespace fs = std::filesystem;

namespace {

// 0 feeds random slices of 1 to 2,048 bytes.
void Feed(Em_Gnss& gnss, const Bytes& d, size_t slice, std::mt19937& rng) {
    size_t at = 0;
    while (at < d.size()) {
        const size_t want = slice != 0 ? slice : 1 + rng() % 2048;
        const size_t n = std::min(want, d.size() - at);
        gnss.RcvData(&d[at], static_cast<unsigned>(n));
        gnss.ParseData();
        at += n;
    }
}

std::vector<std::string> Handed(Em_Gnss& gnss) {
    auto* board = dynamic_cast<Recording_Board*>(gnss.Get_Protocol()->Board());
    return board != nullptr ? board->Messages : std::vector<std::string>{};
}

std::string Text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

void Append(Bytes& to, const Bytes& b) {
    to.insert(to.end(), b.begin(), b.end());
}

Bytes Short_Log(uint16_t id) {
    return novatel_test::Make_Log(id, Bytes(72, static_cast<unsigned char>(id)));
}

// A log of 2,100 body bytes that carries a whole short log inside its body.
Bytes Long_Log_Holding(const Bytes& inner) {
    Bytes body(2100, 0x55);
    std::copy(inner.begin(), inner.end(), body.begin() + 500);
    return novatel_test::Make_Log(83, body);
}

}  // namespace

TEST(OemProtocolLongLog, CaptureLongLogsSkippedAndEveryOtherLogHandedOnce) {
    const fs::path path = fs::path(VARNOK_CORPUS_DIR) / "rtklib" / "oemv_200911218.gps";
    Bytes d;
    if (!rtcm_test::Read_File(path.string(), d) || d.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    // Independent scan: CRC-valid logs, each stepped over whole.
    std::vector<std::string> want;
    size_t longer = 0;
    for (size_t i = 0; i + 28 <= d.size();) {
        const size_t total = size_t(d[i + 3]) + (size_t(d[i + 8]) | size_t(d[i + 9]) << 8) + 4;
        if (d[i] != 0xAA || d[i + 1] != 0x44 || d[i + 2] != 0x12 || i + total > d.size() ||
            novatel_test::Crc32(&d[i], total) != 0) {
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
    // The capture's text replies ("<OK") are no logs: the board type has no reader for them.
    ASSERT_EQ(want.size(), 221u);
    ASSERT_EQ(longer, 96u);

    std::mt19937 rng(31);
    for (size_t slice : {size_t(1), size_t(2048), size_t(0)}) {
        SCOPED_TRACE("slice " + std::to_string(slice));
        Scoped_Recording_Board scope(MAINBD_NOVATEL);
        Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
        Feed(gnss, d, slice, rng);
        const std::vector<std::string> got = Handed(gnss);
        EXPECT_EQ(got.size(), want.size());
        EXPECT_TRUE(got == want);
    }
}

TEST(OemProtocolLongLog, ProbesInEverySlicing) {
    const Bytes inner = Short_Log(42);
    const Bytes after = Short_Log(174);
    const Bytes good_long = Long_Log_Holding(inner);
    Bytes bad_long = good_long;
    bad_long[bad_long.size() - 1] ^= 0x01;
    // A header that claims more than the ring can hold behind it, then more than it holds at
    // all: never waited for.
    Bytes huge = novatel_test::Make_Log(83, Bytes(16, 0));
    novatel_test::Put16(huge, 8, 60000);
    // A header that claims 3,000 bytes whose CRC fails once they are there.
    Bytes claims = novatel_test::Make_Log(83, Bytes(16, 0));
    novatel_test::Put16(claims, 8, 3000 - 32);

    struct Probe {
        const char* name;
        Bytes stream;
        std::vector<std::string> want;
    };
    std::vector<Probe> probes;
    {
        Probe p{"checked long log is stepped over whole", {}, {Text(after)}};
        Append(p.stream, good_long);
        Append(p.stream, after);
        probes.push_back(p);
    }
    {
        Probe p{"long log with a bad CRC costs one byte", {}, {Text(inner), Text(after)}};
        Append(p.stream, bad_long);
        Append(p.stream, after);
        probes.push_back(p);
    }
    {
        Probe p{"two checked long logs back to back", {}, {Text(after)}};
        Append(p.stream, good_long);
        Append(p.stream, good_long);
        Append(p.stream, after);
        probes.push_back(p);
    }
    {
        Probe p{"header longer than the ring is passed", {}, {Text(after)}};
        Append(p.stream, huge);
        Append(p.stream, after);
        probes.push_back(p);
    }
    {
        Probe p{"false long header waits, then costs one byte", {}, {Text(after), Text(after)}};
        Append(p.stream, claims);
        Append(p.stream, after);
        Append(p.stream, Bytes(3000, 0x11));
        Append(p.stream, after);
        probes.push_back(p);
    }
    std::mt19937 rng(7);
    for (const Probe& p : probes) {
        for (size_t slice : {size_t(1), size_t(2048), size_t(0)}) {
            SCOPED_TRACE(std::string(p.name) + ", slice " + std::to_string(slice));
            Scoped_Recording_Board scope(MAINBD_NOVATEL);
            Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
            Feed(gnss, p.stream, slice, rng);
            EXPECT_TRUE(Handed(gnss) == p.want) << Handed(gnss).size() << " handed";
        }
    }
}
