#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "BVComm/FilePort.h"
#include "TempDir.h"

using Brevan2011::BVComm::FilePort;

// The session's close calls Uninitialize while its read thread may be anywhere in ReadData:
// before the read, inside it, or in the pause after it. The read in flight keeps what it read,
// and every read that starts after the close returns nothing.
TEST(FilePortThreads, ClosingWhileReadsRunEndsTheReplay) {
    varnok_test::TempDir dir;
    const std::string path = dir.file("replay.bin");
    std::string bytes(64 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 13 + 1);
    }
    varnok_test::writeFile(path, bytes);

    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        FilePort port;
        ASSERT_EQ(port.Initialize(const_cast<char*>(path.c_str())), 0u);
        std::atomic<bool> closed{false};
        std::string got;
        unsigned afterClose = 0;
        std::thread reader([&] {
            char buf[2048];
            for (;;) {
                const bool wasClosed = closed.load();
                const unsigned n = port.ReadData(buf, sizeof(buf));
                if (wasClosed) {
                    afterClose = n;
                    return;
                }
                got.append(buf, n);
            }
        });
        if (round % 2 == 1) {
            std::this_thread::yield();  // vary where in the read the close lands
        }
        port.Uninitialize();
        closed = true;
        reader.join();
        EXPECT_EQ(afterClose, 0u);
        EXPECT_EQ(got, bytes.substr(0, got.size()));
    }
}
