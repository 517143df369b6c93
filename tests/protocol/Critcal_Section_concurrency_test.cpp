#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "BVParse/Em_Critcal_Section.h"

using namespace Brevan2011::BVParse;

TEST(CritcalSectionConcurrency, ExcludesOtherThreads) {
    Em_Critcal_Section section;
    section.InitializeSection();
    long counter = 0;  // deliberately unsynchronised except through the section
    std::atomic<int> inside{0};
    std::atomic<bool> overlap{false};
    auto worker = [&] {
        for (int i = 0; i < 20000; ++i) {
            Em_CrtSect_Lock guard(&section);
            Em_CrtSect_Lock again(&section);
            if (inside.fetch_add(1) != 0) {
                overlap = true;
            }
            ++counter;
            inside.fetch_sub(1);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back(worker);
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_FALSE(overlap.load());
    EXPECT_EQ(counter, 80000);
    section.DeleteSection();
}
