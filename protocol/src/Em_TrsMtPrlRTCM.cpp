// Placeholder until the RTCM 3 decoder lands: accepts no message.
#include "BVParse/Em_TrsMtPrlRTCM.h"

namespace Brevan2011 {
namespace BVParse {

bool Em_TrsMtPrlRTCM::Prc_Prtcl_ID(unsigned, unsigned char*, unsigned) {
    return false;
}

}  // namespace BVParse
}  // namespace Brevan2011
