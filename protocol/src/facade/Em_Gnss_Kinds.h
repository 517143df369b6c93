// Which receiver an Em_Gnss talks to, decided afresh at every call, and the state each kind
// keeps: the old protocol object's decoded replies, the new-protocol board's decoded items.
#pragma once

#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

// Kind word 2 and no board driver or one of another type than 8.
inline bool Is_Old_Receiver(const Em_GnssProtocol* p) {
    return p != nullptr && p->Get_Kind() == 2 &&
           (p->Board() == nullptr || p->Board_Type() != MAINBD_NEWPROTOCOL);
}

// Kind word 2 and a board driver of type 8.
inline bool Is_New_Receiver(const Em_GnssProtocol* p) {
    return p != nullptr && p->Get_Kind() == 2 && p->Board() != nullptr &&
           p->Board_Type() == MAINBD_NEWPROTOCOL;
}

// The old receiver's decoded state; null for any other receiver.
inline Em_OldReceiver* Old_State(Em_GnssProtocol* p) {
    if (!Is_Old_Receiver(p)) {
        return nullptr;
    }
    auto* old = dynamic_cast<Em_OldProtocol*>(p);
    return old ? &old->Receiver() : nullptr;
}

// The new receiver's decoded items; null for any other receiver.
inline NewReceiverState* New_State(Em_GnssProtocol* p) {
    if (!Is_New_Receiver(p)) {
        return nullptr;
    }
    auto* d = dynamic_cast<Em_OemNewData*>(p->Board()->Data());
    return d ? &d->state : nullptr;
}

}  // namespace BVParse
}  // namespace Brevan2011
