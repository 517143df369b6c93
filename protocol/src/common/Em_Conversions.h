// Coordinate, time and code conversions shared by the board drivers and the builders.
#pragma once

#include <cstdint>
#include <string>

namespace Brevan2011 {
namespace BVParse {

struct Em_Xyz {
    double x;
    double y;
    double z;
};

// GPS week and seconds of week to calendar date and time of day. Every output but the year
// may be null; minute needs hour, seconds needs hour and minute.
void GpsWeekSec_To_Date(std::int32_t week, double seconds, std::int32_t* year, std::int32_t* month,
                        std::int32_t* day, std::int32_t* hour, std::int32_t* minute, double* sec);

// Geodetic (longitude, latitude in radians, ellipsoidal height in metres) to WGS-84 ECEF.
Em_Xyz Blh_To_Xyz(double longitude, double latitude, double height);

// GNSS_FRQ value to the old protocol's output-rate code.
std::int32_t Frq_To_RateCode(std::int32_t frq);

// Baud rate to the receivers' baud code.
std::int32_t Baud_To_Code(std::uint32_t baud);

// The solution code of a GGA quality character, the one mapping every board uses: '0' 3 (no
// fix), '1' 4, '2' 10, '3' and '4' 11, '5' 6, '7' 1, '9' 7, any other 0.
int Solution_Code_Of_Quality(char quality);

class Em_OemData;
// Sets a board data parser's solution code from a GGA quality character (as
// Solution_Code_Of_Quality) and marks the solution as received; an empty text or a leading
// zero byte changes nothing.
void Set_Solution_Type(Em_OemData* data, const std::string& quality);

}  // namespace BVParse
}  // namespace Brevan2011
