#include "Em_OemNmeaData.h"

namespace Brevan2011 {
namespace BVParse {

int Em_OemNmeaData::Parse_Message(const unsigned char* value, int, int length) {
    if (value == nullptr || length == 0) {
        return 0;
    }
    Update_Mask = 0;
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
