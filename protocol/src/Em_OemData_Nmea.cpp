// The NMEA sentence parsers of the data-parser base. Until they land, no sentence is handled.
#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

int Em_OemData::Parse_Text_Msg(int, const unsigned char*, int) {
    return 0;
}
int Em_OemData::Parse_GGA(const std::string&) {
    return 0;
}
int Em_OemData::Set_Fix_Quality(const std::string&) {
    return 0;
}
int Em_OemData::Parse_GPGSV(const std::string&) {
    return 0;
}
int Em_OemData::Parse_GLGSV(const std::string&) {
    return 0;
}
int Em_OemData::Parse_BDGSV(const std::string&) {
    return 0;
}
int Em_OemData::Parse_GST(const std::string&) {
    return 0;
}
int Em_OemData::Parse_RMC(const std::string&) {
    return 0;
}
void Em_OemData::Mark_Sats_Used() {}

}  // namespace BVParse
}  // namespace Brevan2011
