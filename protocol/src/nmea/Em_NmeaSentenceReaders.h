// The NMEA sentence readers of the data-parser base (time, date, angles, the GGA fix, GSA, ZDA
// and GSV) that the board drivers' own sentence parsers reuse.
#pragma once

#include <string_view>

#include "Em_NmeaFields.h"
#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

// hhmmss.ss into the parser's hour (plus its hour offset, kept within the day), minute and
// second; false and nothing written for a field of one character or none. `day_carry`, when
// given, gets the days the offset moved the time (0 without a time).
bool Nmea_Read_Time(Em_OemData& d, std::string_view field, int* day_carry = nullptr);
// The date (day, month, year) moved by `day_carry` days when it is a calendar date.
void Nmea_Set_Date(Em_OemData& d, int day, int month, int year, int day_carry);
// ddmmyy (year 2000 + yy) through Nmea_Set_Date; false for a field of two characters or fewer.
bool Nmea_Read_Date(Em_OemData& d, std::string_view ddmmyy, int day_carry);
// ddmm.mmmm (2 degree digits) or dddmm.mmmm (3) in radians; false for a field of one
// character or none.
bool Nmea_Read_Angle(std::string_view field, std::size_t degree_digits, double* radians);
// The fix part of a GGA sentence: time, latitude and longitude (signed by their hemispheres),
// fix quality (through the parser's own Set_Fix_Quality) and satellites used. Height, age and
// epoch bits differ by board and stay with the caller.
void Nmea_Read_Gga_Fix(Em_OemData& d, const Em_NmeaFields& gga);
// Keeps the sentence as the GGA text (cut at the text area's size) and sets GNSS_FLAG_GGA_TEXT.
void Nmea_Keep_Gga_Text(Em_OemData& d, std::string_view sentence);
// Whole GSA and ZDA sentences into the parser's fields.
void Nmea_Parse_GSA(Em_OemData& d, std::string_view sentence);
void Nmea_Parse_ZDA(Em_OemData& d, std::string_view sentence);

enum class Nmea_Constellation { Gps, Glonass, Beidou };
// One message of a GSV set into the constellation's table; the last message completes the
// set (usage check and flags). False when the message is ignored.
bool Nmea_Parse_GSV(Em_OemData& d, std::string_view sentence, Nmea_Constellation c);

}  // namespace BVParse
}  // namespace Brevan2011
