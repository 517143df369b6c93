#include "Em_OutputInterval.h"

#include <atomic>

namespace Brevan2011 {
namespace BVParse {

namespace {
// Written on the parse thread, read by builders on the requesting thread.
std::atomic<int32_t> g_Output_Interval{-1};
}  // namespace

int32_t Get_Output_Interval() {
    return g_Output_Interval.load(std::memory_order_relaxed);
}

void Set_Output_Interval(int32_t code) {
    g_Output_Interval.store(code, std::memory_order_relaxed);
}

double Output_Interval_Seconds(int32_t code) {
    switch (code) {
        case 2:
        case 5:
        case 10:
        case 15:
        case 30:
        case 60:
            return code;
        case 250:
            return 0.5;
        case 251:
            return 0.2;
        default:
            return 1.0;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
