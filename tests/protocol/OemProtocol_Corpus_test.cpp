// Real captures through Em_Gnss(1, t), fed in random slices: the NMEA captures through the
// NMEA-only board, the NovAtel capture (logs up to 2,248 bytes) and the RTCM 3 captures through a
// recording board. Each is compared with an independent scan of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cctype>
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

// How a session's read thread hands the bytes over: in its 2,048-byte reads, or in random
// slices of 1 to 700 bytes; ParseData after each.
enum class Reads { Session_2048, Random };

void Feed(Em_Gnss& gnss, const std::vector<std::uint8_t>& d, Reads reads, std::mt19937& rng) {
    size_t at = 0;
    while (at < d.size()) {
        const size_t want = reads == Reads::Session_2048 ? 2048 : 1 + rng() % 700;
        const size_t n = std::min<size_t>(d.size() - at, want);
        gnss.RcvData(&d[at], static_cast<unsigned>(n));
        gnss.ParseData();
        at += n;
    }
}

// One sentence of a capture as an independent reader sees it: the text from a '$' up to the
// first CR, LF or '$' (within 300 bytes). It is valid with a "*hh" that closes the text and
// equals the XOR of the bytes between '$' and '*', or, without any '*', when a line end closes
// it. A sentence at the very end of the capture whose end is not yet decided does not count.
bool Valid_Sentence(const std::vector<std::uint8_t>& d, size_t i, std::string& text) {
    size_t end = i + 1;
    while (end < d.size() && end - i < 300 && d[end] != '\r' && d[end] != '\n' && d[end] != '$') {
        ++end;
    }
    if (end >= d.size() || end - i >= 300 || (d[end] == '\r' && end + 1 >= d.size())) {
        return false;
    }
    text.assign(d.begin() + long(i), d.begin() + long(end));
    const size_t star = text.find('*');
    if (star == std::string::npos) {
        return d[end] != '$';
    }
    if (star + 3 != text.size() || !std::isxdigit(static_cast<unsigned char>(text[star + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(text[star + 2]))) {
        return false;
    }
    const unsigned want = unsigned(std::strtoul(text.substr(star + 1, 2).c_str(), nullptr, 16));
    return nmea_test::Checksum(text.substr(1, star - 1)) == want;
}

// ddmm.mmmm (or dddmm.mmmm) to radians, signed by the hemisphere letter.
double Angle(const std::string& field, size_t degreeDigits, const std::string& hemisphere) {
    const double deg = std::atof(field.substr(0, degreeDigits).c_str());
    const double min = std::atof(field.substr(degreeDigits).c_str());
    const double rad = (deg + min / 60.0) * 3.14159265358979323846 / 180.0;
    return (hemisphere == "S" || hemisphere == "W") ? -rad : rad;
}

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> f;
    size_t start = 0;
    const std::string body = text.substr(0, text.find('*'));
    for (;;) {
        const size_t comma = body.find(',', start);
        f.push_back(body.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) {
            return f;
        }
        start = comma + 1;
    }
}

struct Nmea_Count {
    int gga = 0;
    int rmc = 0;
    bool fix = false;  // a GGA with latitude and longitude was seen
    double lat = 0, lon = 0;
};

struct Callback_Count {
    int gga = 0;
    int rmc = 0;
};

void On_Count(Msg_Type, uint32_t flags, const void* user) {
    Callback_Count& c = *static_cast<Callback_Count*>(const_cast<void*>(user));
    c.gga += (flags & 0x1000u) != 0;
    c.rmc += (flags & 0x2000u) != 0;
}

}  // namespace

// Every NMEA capture through the real boards that read NMEA: the GGA and RMC callbacks equal an
// independent checksum-checked count of the sentences of the talkers each board speaks, and
// the final fix is the last valid GGA's.
TEST(OemProtocolCorpus, NmeaCapturesThroughEachBoard) {
    std::vector<fs::path> files = Files_In("gpsd", ".log");
    for (const auto& p : Files_In("pynmeagps", ".log")) {
        files.push_back(p);
    }
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::mt19937 rng(11);
    int ggaTotal = 0;
    for (const auto& path : files) {
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        for (int type : {MAINBD_NOVATEL, MAINBD_HEMISPHERE, MAINBD_NMEA, MAINBD_NMEA2}) {
            const bool wide = type == MAINBD_NOVATEL || type == MAINBD_NMEA2;
            Nmea_Count want;
            for (size_t i = 0; i + 6 < d.size(); ++i) {
                std::string text;
                if (d[i] != '$' || !Valid_Sentence(d, i, text)) {
                    continue;
                }
                const std::string name = text.substr(1, text.find_first_of(",*") - 1);
                const std::string talker = name.substr(0, 2);
                if (!(talker == "GP" || talker == "GL" ||
                      (wide && (talker == "GN" || talker == "BD")))) {
                    continue;
                }
                if (name == "GPGGA" || name == "GNGGA") {
                    ++want.gga;
                    const std::vector<std::string> f = Fields(text);
                    if (f.size() > 5 && f[2].size() > 1 && f[4].size() > 1) {
                        want.fix = true;
                        want.lat = Angle(f[2], 2, f[3]);
                        want.lon = Angle(f[4], 3, f[5]);
                    }
                } else if (name == "GPRMC" || name == "GNRMC") {
                    ++want.rmc;
                }
            }
            for (Reads reads : {Reads::Session_2048, Reads::Random}) {
                SCOPED_TRACE(path.filename().string() + " board " + std::to_string(type) +
                             (reads == Reads::Random ? " random slices" : " 2048-byte reads"));
                Em_Gnss gnss(GNSS_MNFCTR_OEM, static_cast<MAINBD_OEM_TYPE>(type));
                Callback_Count got;
                const _CALLBACKS_RECEIVER cb{&On_Count, nullptr};
                gnss.Reg_Callbacks(&cb, &got);
                Feed(gnss, d, reads, rng);
                EXPECT_EQ(got.gga, want.gga);
                EXPECT_EQ(got.rmc, want.rmc);
                if (want.fix) {
                    const Em_OemData* data = gnss.Get_Protocol()->Board()->Data();
                    EXPECT_NEAR(data->Latitude, want.lat, 1e-9);
                    EXPECT_NEAR(data->Longitude, want.lon, 1e-9);
                }
            }
            ggaTotal += want.gga;
        }
    }
    EXPECT_GT(ggaTotal, 2000);
}

// Every NovAtel log that fits the 2,048-byte message buffer and whose CRC-32 holds reaches the
// board once, byte-exact, and nothing else that starts like a log does; longer ones are stepped
// over without a sanitizer report.
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
    for (Reads reads : {Reads::Session_2048, Reads::Random, Reads::Random}) {
        Scoped_Recording_Board scope(MAINBD_NOVATEL);
        Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
        Feed(gnss, d, reads, rng);
        auto* board = dynamic_cast<Recording_Board*>(gnss.Get_Protocol()->Board());
        ASSERT_NE(board, nullptr);
        // The CRC is checked before a log is handed: no log with a bad one reaches the board.
        std::vector<std::string> logs;
        for (const std::string& m : board->Messages) {
            if (m.size() >= 3 && m.compare(0, 3, "\xAA\x44\x12") == 0) {
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
            for (Reads reads : {Reads::Session_2048, Reads::Random}) {
                Scoped_Recording_Board scope(type);
                Em_Gnss gnss(GNSS_MNFCTR_OEM, static_cast<MAINBD_OEM_TYPE>(type));
                Feed(gnss, d, reads, rng);
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
        }
        frames += expected.size();
    }
    EXPECT_GT(frames, 1000u);
}
