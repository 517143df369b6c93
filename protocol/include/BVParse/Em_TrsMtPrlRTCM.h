// The RTCM 3 message decoder of the board frame store.
#pragma once

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_TrsMtPrl.h"

namespace Brevan2011 {
namespace BVParse {

class BVPARSE_API Em_TrsMtPrlRTCM : public Em_TrsMtPrl {
public:
    Em_TrsMtPrlRTCM() : Em_TrsMtPrl(1) {}
    bool Prc_Prtcl_ID(unsigned number, unsigned char* frame, unsigned length) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
