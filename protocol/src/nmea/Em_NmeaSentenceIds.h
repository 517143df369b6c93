// Dispatch ids of the NMEA sentences that the board data parsers read: what Nmea_Sentence_Id
// gives for an address field and what Parse_Text_Msg switches on. They are not contiguous.
#pragma once

namespace Brevan2011 {
namespace BVParse {

enum Nmea_Sentence_Ids : int {
    NMEA_UNKNOWN = -1,
    NMEA_GPGGA = 25,
    NMEA_GPGLL = 26,
    NMEA_GPGSA = 29,
    NMEA_GPGST = 30,
    NMEA_GPGSV = 31,
    NMEA_GPRMC = 33,
    NMEA_GPZDA = 35,
    NMEA_GLGSV = 44,
    NMEA_GNGGA = 51,
    NMEA_GNGLL = 52,
    NMEA_GNGSA = 55,
    NMEA_GNRMC = 59,
    NMEA_ZDA_SPARE = 61,  // read as ZDA; no address field is given this id
    NMEA_BDGSV = 128,
};

}  // namespace BVParse
}  // namespace Brevan2011
