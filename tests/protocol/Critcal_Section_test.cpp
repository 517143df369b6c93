#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "BVParse/Em_Critcal_Section.h"

using namespace Brevan2011::BVParse;

// The holder enters twice and leaves once: the section stays held, so a second thread that
// waits for it sees everything the holder wrote before its last leave.
TEST(CritcalSection, ReentryHoldsUntilTheLastLeave) {
    Em_Critcal_Section section;
    section.InitializeSection();
    int value = 0;  // guarded by the section only
    int seenByOther = -1;
    std::atomic<bool> otherWaiting{false};
    std::thread other;
    {
        Em_CrtSect_Lock outer(&section);
        Em_CrtSect_Lock none(nullptr);  // a null guard takes nothing
        {
            Em_CrtSect_Lock inner(&section);
            section.EnterSection();
            section.LeaveSection();
        }
        other = std::thread([&] {
            otherWaiting = true;
            Em_CrtSect_Lock guard(&section);
            seenByOther = value;
        });
        while (!otherWaiting.load()) {
            std::this_thread::yield();
        }
        for (int i = 0; i < 1000; ++i) {
            std::this_thread::yield();  // gives a section that was released too early away
        }
        value = 42;
    }
    other.join();
    EXPECT_EQ(seenByOther, 42);
    section.DeleteSection();
}
