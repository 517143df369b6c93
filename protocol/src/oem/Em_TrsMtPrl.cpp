#include "BVParse/Em_TrsMtPrl.h"

#include <cstring>
#include <new>

#include "BVParse/Em_TrsMtPrlRTCM.h"

namespace Brevan2011 {
namespace BVParse {

Em_TrsMtPrl::~Em_TrsMtPrl() = default;

bool Em_TrsMtPrlPass::Prc_Prtcl_ID(unsigned number, unsigned char*, unsigned) {
    Last_Msg_No = number;
    return true;
}

void Init_TrsMt_Holder(TRSMT_HOLDER* holder) {
    if (holder == nullptr) {
        return;
    }
    holder->Rtcm = new (std::nothrow) Em_TrsMtPrlRTCM();
    holder->Pass = new (std::nothrow) Em_TrsMtPrlPass();
    std::memset(&holder->Info, 0, sizeof(holder->Info));
}

void Free_TrsMt_Holder(TRSMT_HOLDER* holder) {
    if (holder == nullptr) {
        return;
    }
    delete holder->Rtcm;
    holder->Rtcm = nullptr;
    delete holder->Pass;
    holder->Pass = nullptr;
}

bool Prc_TrsMt_Frame(TRSMT_HOLDER* holder, unsigned number, const void* frame, unsigned length,
                     unsigned selector) {
    if (holder == nullptr || frame == nullptr || length == 0 ||
        length > sizeof(holder->Info.Data)) {
        return false;
    }
    holder->Info.Length = static_cast<int32_t>(length);
    holder->Info.Msg_No = static_cast<int32_t>(number);
    std::memcpy(holder->Info.Data, frame, length);
    holder->Info.Selector = static_cast<int32_t>(selector);
    Em_TrsMtPrl* decoder = nullptr;
    if (selector == 1) {
        decoder = holder->Rtcm;
    } else if (selector == 2) {
        decoder = holder->Pass;
    }
    if (decoder == nullptr) {
        return false;
    }
    return decoder->Prc_Prtcl_ID(number, holder->Info.Data, length);
}

}  // namespace BVParse
}  // namespace Brevan2011
