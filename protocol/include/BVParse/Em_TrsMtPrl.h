// RTCM 3 decoder base and the frame store every board data parser owns.
#pragma once

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVParse {

class BVPARSE_API Em_TrsMtPrl {
public:
    explicit Em_TrsMtPrl(int kind) : Kind(kind) {}
    virtual ~Em_TrsMtPrl();
    Em_TrsMtPrl(const Em_TrsMtPrl&) = default;
    Em_TrsMtPrl& operator=(const Em_TrsMtPrl&) = default;

    // Checks one whole frame; true when the message is accepted.
    virtual bool Prc_Prtcl_ID(unsigned number, unsigned char* frame, unsigned length) = 0;

    unsigned Last_Msg_No = 0;
    int Kind;  // 1 the RTCM 3 decoder, 2 the pass decoder
};

// Accepts every frame without looking at it.
class BVPARSE_API Em_TrsMtPrlPass : public Em_TrsMtPrl {
public:
    Em_TrsMtPrlPass() : Em_TrsMtPrl(2) {}
    bool Prc_Prtcl_ID(unsigned number, unsigned char* frame, unsigned length) override;
};

// The last frame handed over and the two decoders that check it.
struct TRSMT_HOLDER {
    TRSMT_INFO Info;
    Em_TrsMtPrl* Rtcm;  // kind 1
    Em_TrsMtPrl* Pass;  // kind 2
};

// Creates both decoders (a failed allocation leaves that one null) and zeroes the info block.
BVPARSE_API void Init_TrsMt_Holder(TRSMT_HOLDER* holder);
// Deletes both decoders.
BVPARSE_API void Free_TrsMt_Holder(TRSMT_HOLDER* holder);
// Stores the frame and runs the decoder of the selector (1 RTCM 3, 2 pass); false for another
// selector, a missing decoder, or a frame that is null, empty or longer than 2,048 bytes.
BVPARSE_API bool Prc_TrsMt_Frame(TRSMT_HOLDER* holder, unsigned number, const void* frame,
                                 unsigned length, unsigned selector);

}  // namespace BVParse
}  // namespace Brevan2011
