// Em_Gnss radio values an old receiver reported, or a new receiver's board decoded.
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_Gnss_Kinds.h"

namespace Brevan2011 {
namespace BVParse {

double Em_Gnss::Get_Radio_Frq() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return old->radio.frequency;
    }
    if (const NewReceiverState* s = New_State(m_protocol)) {
        // The board keeps the float's bits as they came.
        float mhz = 0.0f;
        std::memcpy(&mhz, &s->radioFrequency, sizeof(mhz));
        return static_cast<double>(mhz);
    }
    return -1.0;
}

}  // namespace BVParse
}  // namespace Brevan2011
