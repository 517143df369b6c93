// Links only the shared BVDevice: every operation, getter and forwarder the program calls must
// be exported with its declared signature, and answer zero on a session never opened.
#include <gtest/gtest.h>

#include "SessionRows.h"

using namespace varnok_test;

TEST(SessionExports, EveryRowLinksAndAnswersZeroWhenClosed) {
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    const auto rows = AllSessionRows();
    ASSERT_GT(rows.size(), 250u);
    for (const auto& row : rows) {
        EXPECT_TRUE(row.call(s)) << row.name;
        EXPECT_TRUE(RowArgs::unchanged()) << row.name;
    }
}
