#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "BVComm/FilePort.h"
#include "TempDir.h"

using Brevan2011::BVComm::FilePort;
using Clock = std::chrono::steady_clock;

namespace {

std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = static_cast<char>(i * 7 + 3);
    }
    return s;
}

}  // namespace

TEST(FilePort, ReplaysInPacedChunksAndStartsOverWhenOpenedAgain) {
    varnok_test::TempDir dir;
    const std::string path = dir.file("replay.bin");
    const std::string bytes = pattern(450);
    varnok_test::writeFile(path, bytes);

    FilePort port;
    ASSERT_EQ(port.Initialize(const_cast<char*>(path.c_str())), 0u);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.WriteData("x", 1), 0u);

    char buf[2048];
    std::string got;
    for (unsigned expected : {200u, 200u, 50u, 0u}) {
        const auto start = Clock::now();
        const unsigned n = port.ReadData(buf, sizeof(buf));
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(FilePort::kPauseMs));
        EXPECT_EQ(n, expected);
        got.append(buf, n);
    }
    EXPECT_EQ(got, bytes);
    EXPECT_TRUE(port.IsOpen());

    // Closed, the port reads nothing (and does not open the file again behind its owner's back);
    // opened again, the replay starts over.
    port.Uninitialize();
    EXPECT_EQ(port.ReadData(buf, 64), 0u);
    ASSERT_EQ(port.Initialize(const_cast<char*>(path.c_str())), 0u);
    EXPECT_EQ(port.ReadData(buf, 64), 64u);
    EXPECT_EQ(std::string(buf, 64), bytes.substr(0, 64));
}

TEST(FilePort, MissingFileFailsAndVanishedFileReadsNothing) {
    FilePort missing;
    std::string nowhere = "/tmp/varnok-no-such-dir/replay.bin";
    EXPECT_EQ(missing.Initialize(nowhere.data()), 1u);
    EXPECT_EQ(missing.Initialize(nullptr), 1u);

    varnok_test::TempDir dir;
    const std::string path = dir.file("gone.bin");
    varnok_test::writeFile(path, "abc");
    FilePort port;
    ASSERT_EQ(port.Initialize(const_cast<char*>(path.c_str())), 0u);
    port.Uninitialize();
    std::remove(path.c_str());
    char buf[16];
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 0u);
}
