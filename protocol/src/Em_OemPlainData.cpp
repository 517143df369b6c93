#include "Em_OemPlainData.h"

namespace Brevan2011 {
namespace BVParse {

int Em_OemPlainData::Parse_Message(const unsigned char*, int, int) {
    return 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
