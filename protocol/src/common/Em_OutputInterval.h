// The library-wide output interval code: written when the maker's receiver reports its identity,
// read by the board drivers as their output interval. -1 until set (read as 1 s).
#pragma once

#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

int32_t Get_Output_Interval();
void Set_Output_Interval(int32_t code);
// The interval in seconds: 2, 5, 10, 15, 30, 60 as they stand, 250 -> 0.5, 251 -> 0.2, else 1.
double Output_Interval_Seconds(int32_t code);

}  // namespace BVParse
}  // namespace Brevan2011
