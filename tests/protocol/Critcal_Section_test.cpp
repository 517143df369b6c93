#include <gtest/gtest.h>

#include "BVParse/Em_Critcal_Section.h"

using namespace Brevan2011::BVParse;

TEST(CritcalSection, SameThreadMayEnterAgain) {
    Em_Critcal_Section section;
    section.InitializeSection();
    {
        Em_CrtSect_Lock outer(&section);
        Em_CrtSect_Lock inner(&section);
        section.EnterSection();
        section.LeaveSection();
    }
    section.DeleteSection();
}

TEST(CritcalSection, NullGuardDoesNothing) {
    Em_CrtSect_Lock guard(nullptr);
    SUCCEED();
}
