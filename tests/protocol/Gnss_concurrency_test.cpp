#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BVParse/Em_Critcal_Section.h"
#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "BVParse/Em_RcvRing.h"

using namespace Brevan2011::BVParse;

namespace {

// The read thread appends while another thread swaps the protocol object and its board, and a
// third switches recording on and off; the parse thread and the reset thread share the
// session's data lock, as in the receiver session.
TEST(GnssConcurrency, ReadThreadSurvivesResetsAndRecordingToggles) {
    char pattern[] = "/tmp/varnok_stress_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string file = dir + "/raw.bin";

    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    Em_Critcal_Section dataLock;
    dataLock.InitializeSection();
    std::atomic<bool> stop{false};
    std::atomic<long> appended{0};

    std::thread reader([&] {
        std::vector<unsigned char> chunk(2048);
        for (size_t i = 0; i < chunk.size(); ++i) {
            chunk[i] = static_cast<unsigned char>(i * 13);
        }
        unsigned n = 1;
        while (!stop.load()) {
            gnss.RcvData(chunk.data(), n);
            n = (n + 97) % 2048 + 1;
            ++appended;
        }
    });
    std::thread recorder([&] {
        while (!stop.load()) {
            gnss.SetRcrdData(true, file.c_str());
            std::this_thread::yield();
            gnss.SetRcrdData(false, nullptr);
        }
    });
    std::thread parser([&] {
        while (!stop.load()) {
            Em_CrtSect_Lock guard(&dataLock);
            gnss.ParseData();
        }
    });
    std::thread resetter([&] {
        const GNSS_MANUFACTURER makers[] = {GNSS_MNFCTR_OEM, GNSS_MNFCTR_VELTA};
        const MAINBD_OEM_TYPE boards[] = {MAINBD_NOVATEL, MAINBD_HEMISPHERE, MAINBD_STXETX,
                                          MAINBD_NMEA};
        for (int i = 0; !stop.load(); ++i) {
            Em_CrtSect_Lock guard(&dataLock);
            gnss.Reset_Mnfctr(makers[i % 2]);
            gnss.Reset_GnsMd(boards[i % 4]);
            gnss.Data_Clear();
            gnss.IsOemChanged(true);
        }
    });

    // Run until the read thread has done real work, and at least a little while.
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300) ||
           appended.load() < 1000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) {
            break;
        }
    }
    stop = true;
    reader.join();
    recorder.join();
    parser.join();
    resetter.join();
    gnss.SetRcrdData(false, nullptr);
    dataLock.DeleteSection();
    EXPECT_GT(appended.load(), 0);
    EXPECT_NE(gnss.Get_Protocol(), nullptr);
    const std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

// One thread appends a counting byte stream while another reads, commits and compacts: every
// byte arrives once and in order, however the compaction falls between the appends.
TEST(RcvRingConcurrency, AppendAndParseKeepEveryByteInOrder) {
    Em_RcvRing ring;
    const long total = 400000;
    std::atomic<bool> failed{false};

    std::thread writer([&] {
        std::vector<unsigned char> chunk(2048);
        long next = 0;
        int n = 1;
        while (next < total && !failed.load()) {
            const int len = static_cast<int>(std::min<long>(n, total - next));
            // Only this thread adds bytes, so room seen here stays room.
            if (ring.Fill() - ring.Mark() + len > ring.Capacity()) {
                std::this_thread::yield();
                continue;
            }
            for (int i = 0; i < len; ++i) {
                chunk[static_cast<size_t>(i)] = static_cast<unsigned char>((next + i) % 253);
            }
            ring.Append(chunk.data(), len);
            next += len;
            n = (n + 131) % 2048 + 1;
        }
    });

    long expected = 0;
    unsigned char buf[300];
    while (expected < total && !failed.load()) {
        ring.Compact_If_Above();
        ring.Rewind();
        int got = 0;
        while (got < 300 && ring.Read(buf + got, 1) == 1) {
            ++got;
        }
        for (int i = 0; i < got; ++i) {
            if (buf[i] != static_cast<unsigned char>((expected + i) % 253)) {
                failed = true;
                break;
            }
        }
        ring.Commit();
        expected += got;
        if (got == 0) {
            std::this_thread::yield();
        }
    }
    writer.join();
    EXPECT_FALSE(failed.load());
    EXPECT_EQ(expected, total);
}

}  // namespace
