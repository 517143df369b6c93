// Records into which Em_Gnss copies the board data parser's GNSS results.
#pragma once

#include <cstdint>

#include "BVParse/Em_TrsMtPrlRTCM.h"

namespace Brevan2011 {
namespace BVParse {

#pragma pack(push, 1)

// Date and time of the last epoch: five words, the second and the hour offset in force.
struct Time_Str {
    int32_t Year;
    int32_t Month;
    int32_t Day;
    int32_t Hour;
    int32_t Minute;
    double Second;
    int16_t Hour_Offset;
};
static_assert(sizeof(Time_Str) == 30, "Time_Str layout");

// Position of the last epoch (94 bytes); the solution code sits at byte 24.
struct POS_INFO {
    double Latitude;   // radians
    double Longitude;  // radians
    double Height;     // metres
    int32_t Sol_Code;  // 0: no position
    double Diff_Age;   // seconds, -1.0 unknown
    Time_Str Time;
    int16_t Sats_Used;
    int16_t Fix_Type;
    double Err_Vert;
    double Err_Rms;
    double Err_Horz;
};
static_assert(sizeof(POS_INFO) == 94, "POS_INFO layout");

#pragma pack(pop)

struct Dops {
    double Hdop;
    double Vdop;
    double Pdop;
    double Tdop;
    double Gdop;
};

struct Precisions {
    double Err_Horz;
    double Err_Rms;
    double Err_Vert;
};

// Observations of the last epoch, as Get_Gnss_Obs_t copies them out.
struct em_obs_t {
    static constexpr int kMax = 118;
    obsd_t data[kMax];
};
static_assert(sizeof(em_obs_t) == 7552, "em_obs_t layout");

}  // namespace BVParse
}  // namespace Brevan2011
