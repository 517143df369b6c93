// The output interval is library-wide state that decoding a device block changes. Resetting it
// after every test keeps each test independent of the ones that ran before it in this process.
#include <gtest/gtest.h>

#include "Em_OutputInterval.h"

namespace {

using Brevan2011::BVParse::Set_Output_Interval;

class LibraryStateReset : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override { Set_Output_Interval(-1); }
};

const bool kRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new LibraryStateReset);
    return true;
}();

}  // namespace
