#include "Em_OemData.h"

#include <cstring>
#include <new>

namespace Brevan2011 {
namespace BVParse {

Em_OemData::Em_OemData() {
    std::memset(&Base_Info, 0, sizeof(Base_Info));
    std::memset(&Pass_Com, 0, sizeof(Pass_Com));
    std::memset(Gga_Text, 0, sizeof(Gga_Text));
    Reset_Data();
}

Em_OemData::~Em_OemData() {
    if (Trsmt) {
        Free_TrsMt_Holder(Trsmt.get());
    }
}

void Em_OemData::Reset_Data() {
    std::memset(Sat_Gps, 0, sizeof(Sat_Gps));
    std::memset(Sat_Glo, 0, sizeof(Sat_Glo));
    std::memset(Sat_Bds, 0, sizeof(Sat_Bds));
    std::memset(Sat_Tab4, 0, sizeof(Sat_Tab4));
    std::memset(Sat_Tab5, 0, sizeof(Sat_Tab5));
    Sat_Gps_Count = Sat_Glo_Count = Sat_Bds_Count = Sat_Tab4_Count = Sat_Tab5_Count = 0;

    Sentence_Seen = 0;
    Deferred_Gps = 0;
    Deferred_Glo = 0;
    Update_Mask = 0;
    Status_Word = 0;
    Sol_Code = 0;
    Year = Month = Day = Hour = Minute = 0;
    Second = 0;
    Hour_Offset = 0;
    Work_Len = 0;

    Stores_Ready = false;
    Eph.reset(new (std::nothrow) em_eph_t[kEphCount]);
    if (Eph) {
        std::memset(Eph.get(), 0, sizeof(em_eph_t) * kEphCount);
        for (int i = 0; i < kEphCount; ++i) {
            Eph[i].iode = -1;
            Eph[i].iodc = -1;
        }
        Geph.reset(new (std::nothrow) unsigned char[kGloEphCount * kGloEphSize]);
    }
    if (Geph) {
        std::memset(Geph.get(), 0, kGloEphCount * kGloEphSize);
        const int32_t minusOne = -1;
        for (int i = 0; i < kGloEphCount; ++i) {
            std::memcpy(Geph.get() + i * kGloEphSize + 4, &minusOne, sizeof(minusOne));
        }
        Seph.reset(new (std::nothrow) unsigned char[kSbsEphCount * kSbsEphSize]);
    }
    if (Seph) {
        std::memset(Seph.get(), 0, kSbsEphCount * kSbsEphSize);
        Eph_Count = kEphCount;
        Geph_Count = kGloEphCount;
        Seph_Count = kSbsEphCount;
    }

    Work_Cap = 64;
    Work_Len = 0;
    Work_Buf.reset(new (std::nothrow) unsigned char[kWorkSize]);
    if (Work_Buf) {
        std::memset(Work_Buf.get(), 0, kWorkSize);
    }

    if (Trsmt) {
        Free_TrsMt_Holder(Trsmt.get());
    }
    Trsmt.reset(new (std::nothrow) TRSMT_HOLDER);
    if (Trsmt) {
        Init_TrsMt_Holder(Trsmt.get());
    }
    Stores_Ready = true;
}

int Em_OemData::Decode_Rtcm_Frame(unsigned msgNo, const unsigned char* bytes, int count) {
    if (bytes == nullptr || count <= 0 || !Trsmt ||
        count > static_cast<int>(sizeof(Trsmt->Info.Data))) {
        return 0;
    }
    Update_Mask = 0;
    const bool accepted =
        Prc_TrsMt_Frame(Trsmt.get(), msgNo, bytes, static_cast<unsigned>(count), 2);
    if (!accepted) {
        return 0;
    }
    Update_Mask |= GNSS_FLAG_RTCM3;
    return 1;
}

const void* Em_OemData::Obs_Store(int* count, int* capacity) const {
    if (count != nullptr) {
        *count = 0;
    }
    if (capacity != nullptr) {
        *capacity = 0;
    }
    return nullptr;
}

}  // namespace BVParse
}  // namespace Brevan2011
