#include "Em_OemNmea2.h"

#include <new>

#include "Em_OemNmea.h"
#include "Em_OemNmeaData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemNmea2::Em_OemNmea2() {
    Set_Board_Type(6);
    Set_Data(new (std::nothrow) Em_OemNmeaData);
    Set_Cmd(new (std::nothrow) Em_OemCmd);
}

int Em_OemNmea2::Parse() {
    static const char* const kTalkers[] = {"GP", "GL", "GN", "BD"};
    return Parse_Nmea_Talkers(*this, kTalkers, 4);
}

}  // namespace BVParse
}  // namespace Brevan2011
