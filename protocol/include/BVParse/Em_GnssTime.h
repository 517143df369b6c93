// GNSS bit-field readers and GPS time arithmetic shared by the board decoders.
#pragma once

#include <cstdint>
#include <ctime>

#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVParse {

constexpr int kSecondsPerWeek = 604800;

// Unsigned field of `len` bits (at most 32) starting at bit `pos`, most significant bit first.
std::uint32_t Get_Bits_U(const std::uint8_t* buff, int pos, int len);
// The same field sign-extended from its top bit; a 32-bit field is returned as it stands.
std::int32_t Get_Bits_S(const std::uint8_t* buff, int pos, int len);

// Calendar date-time: year, month, day, hour, minute, second. Read as UTC.
Gnss_Time Calendar_To_Time(const double ep[6]);
Gnss_Time Gps_Week_To_Time(int week, double sec);
// Seconds of week; stores the week when `week` is not null.
double Time_To_Gps_Week(Gnss_Time t, int* week);
Gnss_Time Utc_To_Gps_Time(Gnss_Time t);
// Full GPS week for a 10-bit broadcast week, taken near the current system time.
int Adjust_Gps_Week(int week);
// The same for an 8-bit week (the UTC reference week WNt).
int Adjust_Gps_Week8(int week);

// The system's UTC clock. Tests replace the reading function; nullptr restores the real clock.
using Gnss_ClockReader = bool (*)(struct timespec* now);
void Set_System_Clock(Gnss_ClockReader reader);
Gnss_Time System_Time_Now();

// Does nothing and returns 0: the operation of boards that have no such operation.
int Empty_Slot();

}  // namespace BVParse
}  // namespace Brevan2011
