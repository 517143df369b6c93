#include "Em_OemStxEtxData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Em_Conversions.h"
#include "Em_NmeaFields.h"
#include "Em_ByteFields.h"
#include "Em_NmeaSentenceReaders.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Appends one satellite to a table unless it is full.
SATLLITE_STR* Next_Entry(SATLLITE_STR* table, int* count) {
    if (*count < 0) {
        *count = 0;
    }
    if (*count >= Em_OemData::kSatTableSize) {
        return nullptr;
    }
    SATLLITE_STR* s = &table[(*count)++];
    std::memset(s, 0, sizeof *s);
    return s;
}

}  // namespace

Em_OemStxEtxData::Em_OemStxEtxData() {
    Switch[5] = 1;
}

void Em_OemStxEtxData::Clear_Accumulator() {
    Acc_Length = 0;
    Page_Counter = 0;
    std::memset(Acc, 0, sizeof Acc);
}

int Em_OemStxEtxData::Parse_Message(const unsigned char* packet, int type, int length) {
    if (packet == nullptr || length <= 0) {
        return 0;
    }
    Last_Type = type;
    Last_Length = length;
    Update_Mask = 0;
    switch (type) {
        case 7:
        case 9:
            if (length >= kIdentitySize) {
                std::memcpy(Identity, packet, kIdentitySize);
            }
            return 1;
        case 85:
        case 87:
        case 110:
            return 1;
        case 64:
            General_Output(packet, length);
            return 1;
        case 75:
            if (length >= kOptionSize + 6) {
                std::memcpy(Option, packet + 4, kOptionSize);
                for (int at : {2, 4, 29}) {
                    // Host order from here on.
                    const uint16_t v = Be_U16(Option + at);
                    std::memcpy(Option + at, &v, sizeof v);
                }
                Status_Word = Option[0];
                Update_Mask |= GNSS_FLAG_ELEV_MASK;
            }
            return 1;
        default:
            return 0;
    }
}

void Em_OemStxEtxData::General_Output(const unsigned char* packet, int length) {
    // Status, type, length, transmission number, page index, last page index, sum, ETX: a
    // packet of fewer than 9 bytes holds no record bytes.
    if (length < 9) {
        return;
    }
    const int page = packet[5];
    const int last = packet[6];
    const int bytes = length - 9;
    if (page == 0 || Acc_Length + bytes > kAccumulatorSize) {
        Clear_Accumulator();
    }
    std::memcpy(Acc + Acc_Length, packet + 7, static_cast<size_t>(bytes));
    Acc_Length += bytes;
    if (page < last) {
        ++Page_Counter;
        return;
    }
    if (Page_Counter != last) {
        Clear_Accumulator();  // a page was lost
        return;
    }
    Decode_Records();
    if (Delta_Received) {
        Ref_X = Ecef_X - Delta_X;
        Ref_Y = Ecef_Y - Delta_Y;
        Ref_Z = Ecef_Z - Delta_Z;
        Update_Mask |= STXETX_FLAG_BASE;
        Delta_Received = false;
    }
    Derive_Ecef = true;
    Clear_Accumulator();
    const uint32_t epoch = STXETX_FLAG_POSITION | GNSS_FLAG_EPOCH_GST | GNSS_FLAG_EPOCH_RMC;
    if ((Update_Mask & epoch) == epoch) {
        Update_Mask |= GNSS_FLAG_POSITION;
    }
}

void Em_OemStxEtxData::Decode_Records() {
    // Records of one fixed length; one of any other length is skipped.
    struct Fixed_Record {
        int type;
        int length;
        void (Em_OemStxEtxData::*decode)(const unsigned char*);
    };
    static constexpr Fixed_Record kFixed[] = {
        {1, 10, &Em_OemStxEtxData::Record_Time}, {2, 24, &Em_OemStxEtxData::Record_Position},
        {3, 24, &Em_OemStxEtxData::Record_Ecef}, {6, 24, &Em_OemStxEtxData::Record_Delta},
        {9, 16, &Em_OemStxEtxData::Record_Dops}, {12, 38, &Em_OemStxEtxData::Record_Sigmas},
    };
    int at = 0;
    while (at + 2 <= Acc_Length) {
        const int type = Acc[at];
        const int len = Acc[at + 1];
        const unsigned char* r = Acc + at + 2;
        if (at + 2 + len > Acc_Length) {
            break;
        }
        if (type == 34) {
            if (Detailed_Sats()) {
                Record_Satellites(r, len);
            }
        } else {
            for (const Fixed_Record& f : kFixed) {
                if (f.type == type) {
                    if (f.length == len) {
                        (this->*f.decode)(r);
                    }
                    break;
                }
            }
        }
        at += len + 2;
    }
}

void Em_OemStxEtxData::Record_Time(const unsigned char* r) {
    Gps_Seconds = Be_U32(r) / 1000;
    Gps_Week = Be_U16(r + 4);
    Sats_Used = r[6];
    const unsigned flags1 = r[7];
    const unsigned flags2 = r[8];
    // The zone goes in as seconds so that it carries into the date.
    GpsWeekSec_To_Date(Gps_Week, Gps_Seconds + Hour_Offset * 3600.0, &Year, &Month, &Day, &Hour,
                       &Minute, &Second);
    if ((flags1 & 0x04) == 0) {
        Sol_Code = 3;
    } else {
        switch (flags2 & 0x0F) {
            case 0:
            case 2:
                Sol_Code = 4;
                break;
            case 1:
            case 3:
                Sol_Code = 6;
                break;
            case 4:
                Sol_Code = 10;
                break;
            case 5:
            case 7:
                Sol_Code = 11;
                break;
            case 6:
                Sol_Code = 7;
                break;
            case 15:
                Sol_Code = 8;
                break;
            default:
                Sol_Code = 0;
                break;
        }
    }
    Update_Mask |= GNSS_FLAG_EPOCH_RMC | STXETX_FLAG_QUALITY;
}

void Em_OemStxEtxData::Record_Position(const unsigned char* r) {
    Latitude = Be_F64(r);
    Longitude = Be_F64(r + 8);
    Height = Be_F64(r + 16);
    if (Latitude > -kPi / 2 && Latitude < kPi / 2 && Longitude > -kPi && Longitude < kPi &&
        Derive_Ecef) {
        const Em_Xyz xyz = Blh_To_Xyz(Longitude, Latitude, Height);
        Ecef_X = xyz.x;
        Ecef_Y = xyz.y;
        Ecef_Z = xyz.z;
    }
    Update_Mask |= STXETX_FLAG_POSITION;
}

void Em_OemStxEtxData::Record_Ecef(const unsigned char* r) {
    Ecef_X = Be_F64(r);
    Ecef_Y = Be_F64(r + 8);
    Ecef_Z = Be_F64(r + 16);
    Derive_Ecef = false;
}

void Em_OemStxEtxData::Record_Delta(const unsigned char* r) {
    Delta_X = Be_F64(r);
    Delta_Y = Be_F64(r + 8);
    Delta_Z = Be_F64(r + 16);
    Delta_Received = true;
}

void Em_OemStxEtxData::Record_Dops(const unsigned char* r) {
    Pdop = Be_F32(r);
    Hdop = Be_F32(r + 4);
    Vdop = Be_F32(r + 8);
    Tdop = Be_F32(r + 12);
    Gdop = std::sqrt(Pdop * Pdop + Tdop * Tdop);
    Update_Mask |= GNSS_FLAG_DOPS;
}

void Em_OemStxEtxData::Record_Sigmas(const unsigned char* r) {
    double east = Be_F32(r + 4);
    double north = Be_F32(r + 8);
    double up = Be_F32(r + 16);
    if (Sol_Code == 11) {
        east *= 0.2;
        north *= 0.2;
        up *= 0.2222222;
    }
    Err_Lon = east;
    Err_Lat = north;
    Err_Horz = static_cast<float>(std::sqrt(east * east + north * north));
    Err_Vert = up;
    Err_Rms = static_cast<float>(std::sqrt(Err_Horz * Err_Horz + Err_Vert * Err_Vert) * 0.68);
    Update_Mask |= GNSS_FLAG_EPOCH_GST;
}

void Em_OemStxEtxData::Record_Satellites(const unsigned char* r, int len) {
    if (len < 1) {
        return;
    }
    const int count = std::min<int>(r[0], (len - 1) / 10);
    std::memset(Sat_Gps, 0, sizeof Sat_Gps);
    std::memset(Sat_Glo, 0, sizeof Sat_Glo);
    std::memset(Sat_Tab4, 0, sizeof Sat_Tab4);
    Sat_Gps_Count = Sat_Glo_Count = Sat_Tab4_Count = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = r + 1 + i * 10;
        SATLLITE_STR* s = nullptr;
        int number = e[0];
        switch (e[1]) {
            case 0:
                s = Next_Entry(Sat_Gps, &Sat_Gps_Count);
                break;
            case 1:
                s = Next_Entry(Sat_Tab4, &Sat_Tab4_Count);
                break;
            case 2:
                s = Next_Entry(Sat_Glo, &Sat_Glo_Count);
                number += 37;
                break;
            default:
                break;
        }
        if (s == nullptr) {
            continue;
        }
        s->Prn = number;
        s->Elevation = static_cast<signed char>(e[4]);
        s->Azimuth = static_cast<int16_t>(Be_U16(e + 5));
        s->Snr1 = e[7] / 4.0f;
        s->Snr2 = e[8] / 4.0f;
        s->Snr3 = e[9] / 4.0f;
        s->Signal = e[2];
        s->Used = (e[2] & 0x40) != 0 ? 1 : 0;  // flags 1, bit 6: used in the solution
        s->Status = e[3];
    }
    if (Sat_Gps_Count > 0) {
        Update_Mask |= GNSS_FLAG_SAT_1;
    }
    if (Sat_Glo_Count > 0) {
        Update_Mask |= GNSS_FLAG_SAT_2;
    }
    if (Sat_Tab4_Count > 0) {
        Update_Mask |= GNSS_FLAG_SAT_4;
    }
    Sats_Total = Sat_Gps_Count + Sat_Glo_Count + Sat_Tab4_Count;
    Update_Mask |= GNSS_FLAG_OWN_SATS;
}

int Em_OemStxEtxData::Parse_Text_Msg(int id, const unsigned char* bytes, int count) {
    if (bytes == nullptr || count <= 0) {
        return 0;
    }
    Update_Mask = 0;
    const std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    switch (id) {
        case 25:
        case 51:
            Parse_GGA(text);
            return 1;
        case 29:
        case 55:
            Nmea_Parse_GSA(*this, text);
            return 1;
        case 30:
            Parse_GST(text);
            return 1;
        case 33:
        case 59:
            Parse_RMC(text);
            return 1;
        case 35:
            Nmea_Parse_ZDA(*this, text);
            return 1;
        case 31:
            if (Parse_Nmea) {
                Parse_GPGSV(text);
            }
            return 1;
        case 44:
            if (Parse_Nmea) {
                Parse_GLGSV(text);
            }
            return 1;
        default:
            return 0;
    }
}

int Em_OemStxEtxData::Parse_GLGSV(const std::string& sentence) {
    return Parse_GPGSV(sentence);
}

int Em_OemStxEtxData::Parse_GPGSV(const std::string& sentence) {
    const int commas = Nmea_Count_Commas(sentence);
    if (commas <= 6) {
        return 0;
    }
    const Em_NmeaFields f(sentence);
    const int total = Nmea_Int(f[1]);
    const int number = Nmea_Int(f[2]);
    const int first = Nmea_Int(f[4]);
    SATLLITE_STR* table = nullptr;
    int* count = nullptr;
    int shift = 0;
    if (first >= 1 && first <= 32) {
        table = Sat_Gps;
        count = &Sat_Gps_Count;
    } else if (first >= 33 && first <= 64) {
        table = Sat_Tab4;
        count = &Sat_Tab4_Count;
        shift = 87;
    } else if (first >= 65 && first <= 96) {
        table = Sat_Glo;
        count = &Sat_Glo_Count;
        shift = -27;
    } else {
        return 0;
    }
    if (number == 1) {
        std::memset(Sat_Gps, 0, sizeof Sat_Gps);
        std::memset(Sat_Glo, 0, sizeof Sat_Glo);
        std::memset(Sat_Bds, 0, sizeof Sat_Bds);
        std::memset(Sat_Tab4, 0, sizeof Sat_Tab4);
        Sat_Gps_Count = Sat_Glo_Count = Sat_Bds_Count = Sat_Tab4_Count = 0;
    }
    const int sats = (commas - 3) / 4;
    for (int i = 0; i < sats; ++i) {
        SATLLITE_STR* s = Next_Entry(table, count);
        if (s == nullptr) {
            break;
        }
        s->Prn = Nmea_Int(f[4 + i * 4]) + shift;
        s->Elevation = Nmea_Int(f[5 + i * 4]);
        s->Azimuth = static_cast<int16_t>(Nmea_Int(f[6 + i * 4]));
        s->Snr1 = static_cast<float>(Nmea_Double(f[7 + i * 4]));
    }
    if (number >= total) {
        if (Sat_Switch_Gps) {
            Deferred_Gps |= 0x8;
        } else {
            if (Sat_Gps_Count > 0) {
                Update_Mask |= GNSS_FLAG_SAT_1;
            }
            if (Sat_Glo_Count > 0) {
                Update_Mask |= GNSS_FLAG_SAT_2;
            }
            if (Sat_Tab4_Count > 0) {
                Update_Mask |= GNSS_FLAG_SAT_4;
            }
        }
    }
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
