#include "Em_OemNovatelData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Em_Conversions.h"
#include "BVParse/Em_GnssTime.h"
#include "Em_NovatelFields.h"

namespace Brevan2011 {
namespace BVParse {

using namespace Novatel;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRollover = 8388608.0;  // accumulated Doppler rolls over at 2^23 cycles
constexpr double kLambdaL1 = 0.1902936727984;
constexpr double kLambdaL2 = 0.2442102134246;
constexpr int kRangeCmpRecord = 24;
constexpr int kRangeRecord = 44;

// Furthest body byte each id reads.
constexpr int kPositionBody = 72;
constexpr int kDopBody = 28;
constexpr int kRefBody = 41;
constexpr int kVersionBody = 112;
constexpr int kRawEphBody = 102;
constexpr int kGpsEphBody = 224;
constexpr int kGpsEph2Body = 228;

// Range accuracy (m) to the broadcast URA index.
int Ura_Index(double ura) {
    static const double kUra[] = {2.4,  3.4,   4.85,  6.85,  9.65,   13.65,  24.0,  48.0,
                                  96.0, 192.0, 384.0, 768.0, 1536.0, 3072.0, 6144.0};
    int i = 0;
    while (i < 15 && kUra[i] < ura) {
        ++i;
    }
    return i;
}

// Byte C/N0 in 0.25 dB-Hz: rounded when above 0 and below 255, else 0.
uint8_t Snr_Byte(double dbhz) {
    const double q = dbhz * 4.0;
    if (!(q > 0.0) || !(q < 255.0)) {
        return 0;
    }
    return static_cast<uint8_t>(std::lround(q));
}

}  // namespace

Em_OemNovatelData::Em_OemNovatelData() {
    std::memset(static_cast<void*>(Obs), 0, sizeof Obs);
    Hour_Offset = 8;  // the receivers' default time zone until the program sets one
}

int Em_OemNovatelData::Parse_Message(const unsigned char* frame, int id, int length) {
    if (frame == nullptr || id == 0 || length == 0) {
        return 0;
    }
    Update_Mask = 0;
    if (length < kHeaderSize + 4) {
        return 1;
    }
    const int headerLen = frame[3];
    const int bodyLen = std::min<int>(U16(frame + 8), length - headerLen - 4);
    if (headerLen < kHeaderSize || bodyLen < 0) {
        return 1;
    }
    const unsigned char* body = frame + headerLen;
    switch (id) {
        case 7:
            Decode_GpsEphemeris(frame, body, bodyLen, kGpsEphBody);
            break;
        case 1047:
            Decode_GpsEphemeris(frame, body, bodyLen, kGpsEph2Body);
            break;
        case 37:
            Decode_Version(frame, body, bodyLen);
            break;
        case 41:
            Decode_RawEphemeris(frame, body, bodyLen);
            break;
        case 42:
            Decode_Position(frame, body, bodyLen);
            break;
        case 43:
            Decode_Range(frame, body, bodyLen);
            break;
        case 140:
            Decode_RangeCmp(frame, body, bodyLen);
            break;
        case 174:
            Decode_Dop(frame, body, bodyLen);
            break;
        case 175:
            Decode_RefStation(frame, body, bodyLen);
            break;
        case 241:
            if (length >= static_cast<int>(sizeof Ecef_Raw)) {
                std::memcpy(Ecef_Raw, frame, sizeof Ecef_Raw);
            }
            break;
        case 726:
            if (length >= static_cast<int>(sizeof Utm_Raw)) {
                std::memcpy(Utm_Raw, frame, sizeof Utm_Raw);
            }
            break;
        default:
            break;
    }
    return 1;
}

void Em_OemNovatelData::Decode_Position(const unsigned char* frame, const unsigned char* body,
                                        int bodyLen) {
    // A response to a command carries no solution; the store keeps the last one.
    if (bodyLen < kPositionBody || (frame[6] & 0x80) != 0) {
        return;
    }
    std::memcpy(Pos_Header, frame, kHeaderSize);
    std::memcpy(Pos_Body, body, kPositionBody);
    Sol_Code = 0;
    Update_Mask = 0;
    const unsigned char* b = Pos_Body;

    const double age = F32(b + 56);
    double sLat = F32(b + 40), sLon = F32(b + 44), sHgt = F32(b + 48);
    if (age > 0.0 && age < 5.0) {
        sLat *= 0.6;
        sLon *= 0.6;
        sHgt *= 0.6;
        const float f[3] = {static_cast<float>(sLat), static_cast<float>(sLon),
                            static_cast<float>(sHgt)};
        std::memcpy(Pos_Body + 40, f, sizeof f);
    }

    Sats_Tracked = b[64];
    Sats_Solution = b[65];
    Update_Mask |= NOVATEL_FLAG_SATCOUNT;

    Gps_Week = U16(frame + 14);
    Gps_Seconds = std::floor(U32(frame + 16) / 1000.0);
    // The zone is added before the conversion so that it carries into the date.
    GpsWeekSec_To_Date(Gps_Week, Gps_Seconds + Hour_Offset * 3600.0, &Year, &Month, &Day, &Hour,
                       &Minute, &Second);
    Update_Mask |= NOVATEL_FLAG_TIME;

    Err_Lat = sLat;
    Err_Lon = sLon;
    Err_Horz = std::sqrt(sLat * sLat + sLon * sLon);
    Err_Vert = sHgt;
    Horz_Accuracy = Err_Horz * 0.66;

    Latitude = F64(b + 8) * kPi / 180.0;
    Longitude = F64(b + 16) * kPi / 180.0;
    Height = F64(b + 24) + F32(b + 32);
    Diff_Age = age;
    Update_Mask |= NOVATEL_FLAG_POS_A | NOVATEL_FLAG_POS_B;

    const uint32_t status = U32(b);
    const uint32_t type = U32(b + 4);
    switch (type) {
        case 0:
            if (age != 60.0) {
                Sol_Code = 3;
            }
            break;
        case 1:
            Sol_Code = (status == 0 || status == 13) ? 1 : 2;
            break;
        case 16:
            Sol_Code = 4;
            break;
        case 17:
            Sol_Code = 5;
            break;
        case 18:
            Sol_Code = 7;
            break;
        case 19:
        case 20:
            break;
        case 32:
        case 33:
        case 34:
            Sol_Code = age > 20.0 ? 4 : 6;
            break;
        case 48:
        case 49:
        case 50:
            Sol_Code = age > 20.0 ? 4 : 11;
            break;
        default:
            Sol_Code = 0;
            break;
    }
    Update_Mask |= NOVATEL_FLAG_QUALITY;

    const unsigned mask = b[71];
    uint32_t sol = 0;
    sol |= (mask & 0x01) ? 0x10000000u : 0;
    sol |= (mask & 0x02) ? 0x20000000u : 0;
    sol |= (mask & 0x04) ? 0x40000000u : 0;
    sol |= (mask & 0x10) ? 0x80000000u : 0;
    sol |= (mask & 0x20) ? 0x01000000u : 0;
    Solutions = sol;
    Update_Mask |= NOVATEL_FLAG_SOLUTIONS;

    const uint32_t all = NOVATEL_FLAG_POS_A | NOVATEL_FLAG_POS_B | NOVATEL_FLAG_TIME;
    if ((Update_Mask & all) == all) {
        Update_Mask |= GNSS_FLAG_POSITION;
    }
}

void Em_OemNovatelData::Decode_Dop(const unsigned char* frame, const unsigned char* body,
                                   int bodyLen) {
    if (bodyLen < kDopBody) {
        return;
    }
    std::memcpy(Dop_Header, frame, kHeaderSize);
    std::memcpy(Dop_Body, body, kDopBody);
    Gdop = F32(body);
    Pdop = F32(body + 4);
    Hdop = F32(body + 8);
    Tdop = F32(body + 16);
    // HDOP above PDOP (rounding or a bad log) must not give NaN.
    const double v = Pdop * Pdop - Hdop * Hdop;
    Vdop = v > 0.0 ? std::sqrt(v) : 0.0;
    const double cutoff = F32(body + 20);
    Status_Word = (cutoff > 0.0 && cutoff < 2147483647.0) ? static_cast<int32_t>(cutoff) : 0;
    Update_Mask |= GNSS_FLAG_ELEV_MASK | GNSS_FLAG_DOPS;
}

void Em_OemNovatelData::Decode_RefStation(const unsigned char* frame, const unsigned char* body,
                                          int bodyLen) {
    if (bodyLen < kRefBody) {
        return;
    }
    std::memcpy(Ref_Header, frame, kHeaderSize);
    std::memcpy(Ref_Body, body, kRefBody);
    Ref_X = F64(body + 4);
    Ref_Y = F64(body + 12);
    Ref_Z = F64(body + 20);
    Update_Mask |= NOVATEL_FLAG_REFSTN;
}

void Em_OemNovatelData::Decode_Version(const unsigned char* frame, const unsigned char* body,
                                       int bodyLen) {
    if (bodyLen < kVersionBody) {
        return;
    }
    std::memcpy(Version_Header, frame, kHeaderSize);
    std::memcpy(Identity, body + 4, kIdentitySize);
}

void Em_OemNovatelData::Store_Ephemeris(const em_eph_t& eph) {
    if (!Eph || eph.sat < 1 || eph.sat > 32) {
        return;
    }
    em_eph_t& slot = Eph[eph.sat - 1];
    if (slot.iode == eph.iode) {
        return;
    }
    slot = eph;
    Eph_Last_Sat = eph.sat;
    Update_Mask |= NOVATEL_FLAG_EPH;
}

void Em_OemNovatelData::Decode_RawEphemeris(const unsigned char* frame, const unsigned char* body,
                                            int bodyLen) {
    if (bodyLen < kRawEphBody) {
        return;
    }
    const uint32_t prn = U32(body);
    if ((prn & 0x80000000u) != 0 || prn == 0 || prn > 32) {
        return;
    }
    std::memcpy(Eph_Header, frame, kHeaderSize);
    em_eph_t eph;
    std::memset(&eph, 0, sizeof eph);
    eph.sat = static_cast<int32_t>(prn);
    for (int i = 0; i < 3; ++i) {
        const unsigned char* sf = body + 12 + i * kSubframeBytes;
        switch ((sf[5] >> 2) & 7) {
            case 1:
                Decode_Gps_Subframe1(sf, &eph);
                break;
            case 2:
                Decode_Gps_Subframe2(sf, &eph);
                break;
            case 3:
                Decode_Gps_Subframe3(sf, &eph);
                break;
            case 4:
                Decode_Gps_Subframe4(sf, &Iono, &Utc, &Leap_Seconds);
                break;
            default:
                break;
        }
    }
    Store_Ephemeris(eph);
}

void Em_OemNovatelData::Decode_GpsEphemeris(const unsigned char* frame, const unsigned char* body,
                                            int bodyLen, int need) {
    if (bodyLen < need) {
        return;
    }
    const uint32_t prn = U32(body);
    if (prn == 0 || prn > 32) {
        return;
    }
    std::memcpy(Eph_Header, frame, kHeaderSize);
    em_eph_t eph;
    std::memset(&eph, 0, sizeof eph);
    eph.sat = static_cast<int32_t>(prn);
    const double tow = F64(body + 4);
    eph.svh = I32(body + 12);
    eph.iode = I32(body + 16);
    eph.week = I32(body + 24);
    const double toe = F64(body + 32);
    eph.A = F64(body + 40);
    eph.deln = F64(body + 48);
    eph.M0 = F64(body + 56);
    eph.e = F64(body + 64);
    eph.omg = F64(body + 72);
    eph.cuc = F64(body + 80);
    eph.cus = F64(body + 88);
    eph.crc = F64(body + 96);
    eph.crs = F64(body + 104);
    eph.cic = F64(body + 112);
    eph.cis = F64(body + 120);
    eph.i0 = F64(body + 128);
    eph.idot = F64(body + 136);
    eph.OMG0 = F64(body + 144);
    eph.OMGd = F64(body + 152);
    eph.iodc = I32(body + 160);
    const double toc = F64(body + 164);
    eph.tgd[0] = F64(body + 172);
    eph.f0 = F64(body + 180);
    eph.f1 = F64(body + 188);
    eph.f2 = F64(body + 196);
    const double ura = F64(body + 216);
    eph.sva = Ura_Index(ura > 0.0 ? std::sqrt(ura) : 0.0);

    // Whole seconds within the week; anything not finite counts as 0.
    auto week_seconds = [](double s) {
        if (!std::isfinite(s) || std::fabs(s) > 1e9) {
            return 0.0;
        }
        return std::fmod(std::floor(s), 604800.0);
    };
    eph.toes = week_seconds(toe);
    eph.toe = Gps_Week_To_Time(eph.week, eph.toes);
    eph.toc = Gps_Week_To_Time(eph.week, week_seconds(toc));
    eph.ttr = Gps_Week_To_Time(eph.week, week_seconds(tow));
    Store_Ephemeris(eph);
}

obsd_t* Em_OemNovatelData::Obs_Record(int sat, const Gnss_Time& time) {
    for (int i = 0; i < Obs_Count; ++i) {
        if (Obs[i].sat == sat) {
            return &Obs[i];
        }
    }
    if (Obs_Count >= kObsMax) {
        return nullptr;
    }
    obsd_t* r = &Obs[Obs_Count++];
    *r = obsd_t();
    r->time = time;
    r->sat = static_cast<uint8_t>(sat);
    return r;
}

void Em_OemNovatelData::Decode_RangeCmp(const unsigned char* frame, const unsigned char* body,
                                        int bodyLen) {
    if (bodyLen < 4) {
        return;
    }
    const uint32_t count = U32(body);
    if (count > static_cast<uint32_t>((bodyLen - 4) / kRangeCmpRecord)) {
        return;
    }
    std::memset(static_cast<void*>(Obs), 0, sizeof Obs);
    Obs_Count = 0;
    std::memcpy(Range_Header, frame, kHeaderSize);
    const Gnss_Time time = Gps_Week_To_Time(U16(frame + 14), U32(frame + 16) * 0.001);
    double dt = 0.0;
    if (Obs_Has_Prev) {
        dt = static_cast<double>(time.Seconds - Obs_Prev_Time.Seconds) +
             (time.Fraction - Obs_Prev_Time.Fraction);
    }

    for (uint32_t k = 0; k < count; ++k) {
        const unsigned char* rec = body + 4 + k * kRangeCmpRecord;
        LsbBitReader bits(rec, kRangeCmpRecord);
        const uint32_t status = U32(rec);
        const unsigned system = (status >> 16) & 7;
        const unsigned signal = (status >> 21) & 0x1F;
        int sat = static_cast<int>(bits.U(136, 8));
        if (system == 4) {
            // BeiDou numbers move up by 160; they must stay inside the per-satellite tables.
            sat += 160;
            if (sat > 255) {
                continue;
            }
        } else {
            const bool parity = (status & (1u << 11)) != 0;
            const bool keep = (sat >= 1 && sat <= 32) || (sat >= 120 && sat <= 138) ||
                              (sat >= 38 && sat <= 61 && parity);
            if (!keep) {
                continue;
            }
        }
        int freq;
        switch (signal) {
            case 0:
            case 4:
                freq = 0;
                break;
            case 5:
            case 9:
            case 17:
                freq = 1;
                break;
            default:
                continue;
        }

        const double doppler = bits.S(32, 28) / 256.0;
        const double psr = bits.U(60, 36) / 128.0;
        const double adr = bits.S(96, 32) / 256.0;
        const double lambda = signal == 0 ? kLambdaL1 : kLambdaL2;
        const double rolls = std::round((psr / lambda + adr) / kRollover);
        double phase = rolls * kRollover - adr;
        const double lock = bits.U(144, 21) / 32.0;
        const double cn0 = static_cast<double>(bits.U(165, 5)) + 20.0;

        const unsigned half = (status >> 28) & 1u;
        bool slip = false;
        if (Obs_Has_Prev) {
            slip = (lock < 65535.968 && lock - Prev_Lock[sat][freq] <= dt - 0.05) ||
                   half != Prev_Half[sat][freq];
        }
        Prev_Lock[sat][freq] = lock;
        Prev_Half[sat][freq] = static_cast<unsigned char>(half);

        obsd_t* r = Obs_Record(sat, time);
        if (r == nullptr) {
            continue;
        }
        uint8_t code = 1;
        switch (signal) {
            case 4:
                code = 2;
                break;
            case 5:
            case 9:
                code = 19;
                break;
            case 17:
                code = 14;
                phase += 0.25;
                break;
            default:
                break;
        }
        const bool phaseLock = (status & (1u << 10)) != 0;
        const bool codeLock = (status & (1u << 12)) != 0;
        r->L[freq] = phaseLock ? phase : 0.0;
        r->D[freq] = phaseLock ? static_cast<float>(doppler) : 0.0f;
        r->P[freq] = codeLock ? psr : 0.0;
        r->LLI[freq] = static_cast<uint8_t>((slip ? 1 : 0) + ((status & (1u << 11)) ? 0 : 2));
        r->code[freq] = code;
        r->SNR[freq] = Snr_Byte(cn0);
    }
    Obs_Prev_Time = time;
    Obs_Has_Prev = true;
    Update_Mask |= GNSS_FLAG_OBS;
    Take_Signal_From_Obs();
}

void Em_OemNovatelData::Take_Signal_From_Obs() {
    struct Table {
        SATLLITE_STR* sats;
        int count;
        unsigned char on;
        uint32_t* wait;
        uint32_t waitBit;
        uint32_t flag;
    };
    const Table tables[] = {
        {Sat_Gps, Sat_Gps_Count, Sat_Switch_Gps, &Deferred_Gps, 0x8, GNSS_FLAG_SAT_1},
        {Sat_Glo, Sat_Glo_Count, Sat_Switch_Glo, &Deferred_Glo, 0x10, GNSS_FLAG_SAT_2},
        {Sat_Bds, Sat_Bds_Count, Sat_Switch_Bds, &Deferred_Bds, 0x20, GNSS_FLAG_SAT_3},
    };
    for (const Table& t : tables) {
        if (!t.on || (*t.wait & t.waitBit) == 0) {
            continue;
        }
        const int n = std::min(std::max(t.count, 0), kSatTableSize);
        for (int i = 0; i < n; ++i) {
            SATLLITE_STR& s = t.sats[i];
            for (int j = 0; j < Obs_Count; ++j) {
                if (Obs[j].sat == s.Prn) {
                    s.Snr1 = Obs[j].SNR[0] / 4.0f;
                    s.Snr2 = Obs[j].SNR[1] / 4.0f;
                    break;
                }
            }
            const bool unused = s.Elevation <= 13 || s.Snr1 <= 30.0f || s.Azimuth == 0;
            s.Used = unused ? 0 : 1;
        }
        *t.wait &= ~t.waitBit;
        Update_Mask |= t.flag;
    }
}

void Em_OemNovatelData::Decode_Range(const unsigned char* frame, const unsigned char* body,
                                     int bodyLen) {
    if (bodyLen < 4) {
        return;
    }
    const uint32_t count = U32(body);
    if (count > static_cast<uint32_t>((bodyLen - 4) / kRangeRecord)) {
        return;
    }
    std::memcpy(Range_Header, frame, kHeaderSize);
    const Gnss_Time time = Gps_Week_To_Time(U16(frame + 14), U32(frame + 16) * 0.001);
    std::memset(static_cast<void*>(Obs), 0, sizeof Obs);
    Obs_Count = 0;
    auto fill = [&](obsd_t& r, int f, const unsigned char* rec) {
        r.SNR[f] = Snr_Byte(F32(rec + 32));
        r.L[f] = F64(rec + 16);
        r.P[f] = F64(rec + 4);
        r.D[f] = F32(rec + 28);
    };
    for (uint32_t k = 0; k < count && Obs_Count < kObsMax;) {
        const unsigned char* rec = body + 4 + k * kRangeRecord;
        const int sat = U16(rec);
        obsd_t& r = Obs[Obs_Count++];
        r = obsd_t();
        r.time = time;
        r.sat = static_cast<uint8_t>(sat);
        fill(r, 0, rec);
        // A pair needs a next record: the walk never looks past the last one.
        if (k + 1 < count && U16(rec + kRangeRecord) == sat) {
            fill(r, 1, rec + kRangeRecord);
            k += 2;
        } else {
            k += 1;
        }
    }
    Update_Mask |= GNSS_FLAG_OBS;
}

}  // namespace BVParse
}  // namespace Brevan2011
