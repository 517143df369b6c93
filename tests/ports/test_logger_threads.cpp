#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "BVComm/Logger.h"
#include "TempDir.h"

using Brevan2011::BVCore::Logger;

TEST(LoggerThreads, ALoggerThatCannotWriteGoesAwayCleanly) {
    constexpr int kId = 61;
    ASSERT_EQ(Logger::create(kId, "/dev/full", 0), 1);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&go, t] {
            while (!go) {
                std::this_thread::yield();
            }
            for (int i = 0; i < 200; ++i) {
                Logger::log(Logger::find(kId), 1, "thread %d line %d", t, i);
            }
        });
    }
    go = true;
    for (auto& th : threads) {
        th.join();
    }
    EXPECT_EQ(Logger::find(kId), nullptr);
}

TEST(LoggerThreads, ManyWritersKeepWholeLines) {
    constexpr int kId = 62;
    varnok_test::TempDir dir;
    const std::string path = dir.file("many.log");
    ASSERT_EQ(Logger::create(kId, path, 0), 1);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t] {
            auto logger = Logger::find(kId);
            for (int i = 0; i < 100; ++i) {
                Logger::log(logger, 1, "t%d-%d", t, i);
            }
        });
    }
    std::thread remover([] { Logger::remove(kId); });
    for (auto& th : threads) {
        th.join();
    }
    remover.join();
    const std::string text = varnok_test::readFile(path);
    std::size_t lines = 0;
    for (char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    // Writers that fetched the logger before its removal finish their lines; none is torn.
    EXPECT_EQ(text.empty() || text.back() == '\n', true);
    EXPECT_LE(lines, 800u);
}
