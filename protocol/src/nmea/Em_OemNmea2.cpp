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

namespace {
const char* const kTalkers[] = {"GP", "GL", "GN", "BD"};
}  // namespace

int Em_OemNmea2::Parse() {
    return Parse_Nmea_Talkers(*this, kTalkers, 4);
}

int Em_OemNmea2::Parse_Sentence(const unsigned char* sentence, int length) {
    return Parse_Framed_Talkers(*this, sentence, length, kTalkers, 4);
}

}  // namespace BVParse
}  // namespace Brevan2011
