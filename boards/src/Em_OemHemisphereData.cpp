#include "Em_OemHemisphereData.h"

#include <bitset>
#include <cstring>

#include "Em_ByteFields.h"
#include "Em_HemisphereFrames.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// Data bytes each block's decoder reads.
constexpr int kPositionData = 32;
constexpr int kDopData = 14;
constexpr int kChannelData = 300;
constexpr int kChannelBlocks = 12;
constexpr int kChannelBlockSize = 24;

}  // namespace

Em_OemHemisphereData::Em_OemHemisphereData() {
    std::memset(Channels, 0, sizeof Channels);
    // Both protocol objects that create this board defer satellite reports to a complete GSV.
    Sat_Switch_Gps = 1;
}

int Em_OemHemisphereData::Parse_Message(const unsigned char* frame, int id, int length) {
    if (frame == nullptr || id == 0 || length == 0) {
        return 0;
    }
    Update_Mask = 0;
    if (length < 12) {
        return 1;
    }
    const int len = Le_U16(frame + 6);
    if (len > length - 12) {
        return 1;
    }
    const unsigned char* d = frame + 8;
    switch (id) {
        case 1:
            if (len >= kPositionData) {
                Sats_Used = d[1];
                Latitude = Le_F64(d + 12) * kDegToRad;
                Longitude = Le_F64(d + 20) * kDegToRad;
                Height = Le_F32(d + 28);
                Update_Mask |= HEMI_FLAG_POSITION;
            }
            break;
        case 2:
            if (len >= kDopData) {
                Sats_Used = static_cast<int>(std::bitset<32>(Le_U32(d + 4)).count());
                Sat_Gps_Count = static_cast<int>(std::bitset<32>(Le_U32(d)).count());
                Hdop = Le_U16(d + 10) * 0.1;
                Vdop = Le_U16(d + 12) * 0.1;
            }
            break;
        case 99:
            if (len >= kChannelData) {
                Channel_Diagnostics(d);
            }
            break;
        default:
            break;
    }
    return 1;
}

void Em_OemHemisphereData::Channel_Diagnostics(const unsigned char* d) {
    std::memset(Channels, 0, sizeof Channels);
    Channel_Count = 0;
    for (int i = 0; i < kChannelBlocks; ++i) {
        const unsigned char* b = d + 12 + i * kChannelBlockSize;
        const int sat = b[1];
        if (sat < 1 || sat > 37) {
            continue;
        }
        SATLLITE_STR& c = Channels[Channel_Count++];
        c.Prn = sat;
        c.Elevation = static_cast<signed char>(b[8]);
        c.Azimuth = static_cast<int16_t>(b[9] * 2);
        c.Used = (b[2] & 0x40) != 0 ? 1 : 0;
    }
    if (Sat_Switch_Gps) {
        if ((Deferred_Gps & 0x8) == 0) {
            return;  // wait for a complete GSV set
        }
        const int n =
            Sat_Gps_Count < 0 ? 0 : (Sat_Gps_Count > kSatTableSize ? kSatTableSize : Sat_Gps_Count);
        for (int i = 0; i < n; ++i) {
            SATLLITE_STR& s = Sat_Gps[i];
            for (int j = 0; j < Channel_Count; ++j) {
                if (Channels[j].Prn == s.Prn) {
                    s.Signal = Channels[j].Signal;
                    s.Used = Channels[j].Used;
                    s.Spare = Channels[j].Spare;
                    s.Status = Channels[j].Status;
                    break;
                }
            }
        }
        Deferred_Gps = 0;
    }
    Update_Mask |= GNSS_FLAG_SAT_1;
}

int Em_OemHemisphereData::Parse_GPGSV(const std::string& sentence) {
    Defer_Gps = Sat_Switch_Gps;
    return Em_OemData::Parse_GPGSV(sentence);
}

bool Em_OemHemisphereData::Parse_Reply(std::string_view line) {
    const std::string_view head = line.substr(0, 7);
    if (head.find("JSHOW") != std::string_view::npos) {
        Update_Mask = 0;
        if (line.find("MASK") != std::string_view::npos) {
            const int mask = Hemisphere_Last_Number(line);
            if (mask >= 0) {
                Status_Word = mask;
                Elev_Mask = mask;
                Update_Mask |= GNSS_FLAG_ELEV_MASK;
            }
        }
        return true;
    }
    if (head.find("JI") != std::string_view::npos) {
        Update_Mask = 0;
        return true;
    }
    return false;
}

}  // namespace BVParse
}  // namespace Brevan2011
