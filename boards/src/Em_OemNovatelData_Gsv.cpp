// Satellites-in-view sentences of the NovAtel board: GPS with SBAS, GLONASS and BeiDou.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Em_NmeaFields.h"
#include "Em_OemNovatelData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr int kGroupStart = 4;  // first satellite field after count, number and in-view

struct Gsv_Head {
    int total = 0;
    int number = 0;
};

// Null when the sentence has six fields or fewer.
bool Read_Head(const std::string& sentence, const Em_NmeaFields& f, Gsv_Head* head) {
    if (Nmea_Count_Commas(sentence) < 6) {
        return false;
    }
    head->total = Nmea_Int(f[1]);
    head->number = Nmea_Int(f[2]);
    return true;
}

// Number of whole satellite groups the sentence carries; a field left over after them (the
// signal id of NMEA 4.10) is no satellite.
int Group_Count(const std::string& sentence) {
    const int fields = Nmea_Count_Commas(sentence) + 1;
    return std::max(0, (fields - kGroupStart) / 4);
}

void Fill_Sat(SATLLITE_STR& s, const Em_NmeaFields& f, int field, int number) {
    std::memset(&s, 0, sizeof s);
    s.Prn = number;
    s.Elevation = Nmea_Int(f[field + 1]);
    s.Azimuth = static_cast<int16_t>(Nmea_Int(f[field + 2]));
    s.Snr1 = static_cast<float>(Nmea_Double(f[field + 3]));
}

void Clear_Table(SATLLITE_STR* table, int* count) {
    std::memset(static_cast<void*>(table), 0, sizeof(SATLLITE_STR) * Em_OemData::kSatTableSize);
    *count = 0;
}

}  // namespace

int Em_OemNovatelData::Parse_GPGSV(const std::string& sentence) {
    const Em_NmeaFields f(sentence);
    Gsv_Head head;
    if (!Read_Head(sentence, f, &head)) {
        return 0;
    }
    if (head.number == 1) {
        m_gpsRearm = true;
        m_sbasRearm = true;
    }
    const int groups = Group_Count(sentence);
    for (int g = 0; g < groups; ++g) {
        const int field = kGroupStart + g * 4;
        if (f[field].empty()) {
            continue;
        }
        const int prn = Nmea_Int(f[field]);
        SATLLITE_STR* table;
        int* count;
        bool* rearm;
        int number = prn;
        if (prn >= 1 && prn <= 32) {
            table = Sat_Gps;
            count = &Sat_Gps_Count;
            rearm = &m_gpsRearm;
        } else if (prn >= 33 && prn <= 64) {
            table = Sat_Tab4;
            count = &Sat_Tab4_Count;
            rearm = &m_sbasRearm;
            number = prn + 87;
        } else {
            continue;
        }
        if (*rearm) {
            Clear_Table(table, count);
            *rearm = false;
        }
        if (*count < 0 || *count >= kSatTableSize) {
            continue;
        }
        Fill_Sat(table[*count], f, field, number);
        ++*count;
    }
    if (head.number != head.total) {
        return 1;
    }
    if (Sat_Switch_Gps) {
        Deferred_Gps |= 0x8;
    } else {
        if (Sat_Gps_Count >= 1 && Sat_Gps_Count <= kSatTableSize) {
            Update_Mask |= GNSS_FLAG_SAT_1;
        }
        if (Sat_Tab4_Count >= 1 && Sat_Tab4_Count <= kSatTableSize) {
            Update_Mask |= GNSS_FLAG_SAT_4;
        }
    }
    return 1;
}

namespace {

// GLONASS and BeiDou share one handler: sentence 1 clears the table, groups are appended up
// to the table size (the count is what was stored, never the in-view figure), and after the
// last sentence every number moves by `shift`.
struct Gsv_Target {
    SATLLITE_STR* table;
    int* count;
    unsigned char on;
    uint32_t* wait;
    uint32_t waitBit;
    uint32_t flag;
    int shift;
    bool checkFirst;  // only sentences whose first satellite is 65-96 are taken
};

int Parse_Other_Gsv(const std::string& sentence, const Gsv_Target& t, uint32_t* mask) {
    const Em_NmeaFields f(sentence);
    Gsv_Head head;
    if (!Read_Head(sentence, f, &head)) {
        return 0;
    }
    if (head.number == 1) {
        Clear_Table(t.table, t.count);
    }
    if (t.checkFirst) {
        const int first = Nmea_Int(f[kGroupStart]);
        if (first < 65 || first > 96) {
            return 0;
        }
    }
    const int groups = Group_Count(sentence);
    for (int g = 0; g < groups; ++g) {
        const int field = kGroupStart + g * 4;
        if (f[field].empty() || *t.count < 0 || *t.count >= Em_OemData::kSatTableSize) {
            continue;
        }
        Fill_Sat(t.table[*t.count], f, field, Nmea_Int(f[field]));
        ++*t.count;
    }
    if (head.number != head.total) {
        return 1;
    }
    const int n = std::min(std::max(*t.count, 0), Em_OemData::kSatTableSize);
    for (int i = 0; i < n; ++i) {
        // Numbers come from the sentence unchecked: move them without overflowing.
        const int64_t moved = static_cast<int64_t>(t.table[i].Prn) + t.shift;
        t.table[i].Prn =
            static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(moved, INT32_MIN), INT32_MAX));
    }
    if (t.on) {
        *t.wait |= t.waitBit;
    } else {
        *mask |= t.flag;
    }
    return 1;
}

}  // namespace

int Em_OemNovatelData::Parse_GLGSV(const std::string& sentence) {
    const Gsv_Target t{
        Sat_Glo, &Sat_Glo_Count, Sat_Switch_Glo, &Deferred_Glo, 0x10, GNSS_FLAG_SAT_2, -27, true};
    return Parse_Other_Gsv(sentence, t, &Update_Mask);
}

int Em_OemNovatelData::Parse_BDGSV(const std::string& sentence) {
    const Gsv_Target t{
        Sat_Bds, &Sat_Bds_Count, Sat_Switch_Bds, &Deferred_Bds, 0x20, GNSS_FLAG_SAT_3, 160, false};
    return Parse_Other_Gsv(sentence, t, &Update_Mask);
}

}  // namespace BVParse
}  // namespace Brevan2011
