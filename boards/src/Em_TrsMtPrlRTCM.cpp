#include "BVParse/Em_TrsMtPrlRTCM.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "RtcmBitReader.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr double kLightSpeed = 299792458.0;
constexpr double kRangeUnit = 299792.458;  // pseudorange modulus, m
constexpr double kLambda1 = kLightSpeed / 1575.42e6;
constexpr double kLambda2 = kLightSpeed / 1227.60e6;
constexpr std::int64_t kPhaseInvalid = -524288;  // 0xFFF80000 as a 20-bit field
constexpr std::int64_t kDiffInvalid = -8192;     // 0x2000 as a 14-bit field
constexpr double kArcSec2 = 2.0 / 3600.0;        // 2 arc-seconds in degrees
constexpr double kProjRes = 1.1e-8;

std::atomic<TrsMt_TraceHook> g_trace{nullptr};

std::size_t Bits(unsigned length) {
    return std::size_t(length) * 8;
}

}  // namespace

void Set_TrsMt_Trace(TrsMt_TraceHook hook) {
    g_trace.store(hook);
}

Em_TrsMtPrlRTCM::Em_TrsMtPrlRTCM() : Em_TrsMtPrl(1) {}

Em_TrsMtPrlRTCM::Em_TrsMtPrlRTCM(obs_t& store) : Em_TrsMtPrl(1), obs_(&store) {}

Em_TrsMtPrlRTCM::Em_TrsMtPrlRTCM(const Em_TrsMtPrlRTCM& other) : Em_TrsMtPrl(other.Kind) {
    *this = other;
}

Em_TrsMtPrlRTCM& Em_TrsMtPrlRTCM::operator=(const Em_TrsMtPrlRTCM& other) {
    if (this != &other) {
        Kind = other.Kind;
        Last_Msg_No = other.Last_Msg_No;
        std::memcpy(phase_, other.phase_, sizeof(phase_));
        std::memcpy(lock_, other.lock_, sizeof(lock_));
        obs_ = other.obs_;
    }
    return *this;
}

Em_TrsMtPrlRTCM::~Em_TrsMtPrlRTCM() = default;

bool Em_TrsMtPrlRTCM::Prc_Prtcl_ID(unsigned number, unsigned char* frame, unsigned length) {
    if (frame == nullptr || length == 0) {
        return false;
    }
    if (TrsMt_TraceHook hook = g_trace.load()) {
        char text[24];
        std::snprintf(text, sizeof(text), "%u\r\n", number);
        hook(text);
    }
    Last_Msg_No = number;
    const std::size_t bits = Bits(length);
    switch (number) {
        case 1004:
        case 1012:
        case 1033:
            return true;
        case 1019:
            return bits >= 488;
        case 1021:
            return Is1021DataValid(frame, length);
        case 1022:
            return Is1022DataValid(frame, length);
        case 1023:
            return bits >= 584;
        case 1024:
            return bits >= 592;
        case 1025:
            return bits >= 200;
        case 1026:
            return bits >= 240;
        case 1027:
            return bits > 258;
        default:
            return false;
    }
}

bool Em_TrsMtPrlRTCM::Is1004DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && length != 0;
}
bool Em_TrsMtPrlRTCM::Is1012DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && length != 0;
}
bool Em_TrsMtPrlRTCM::Is1019DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && Bits(length) > 487;
}

namespace {
// Name counters N (bit 36) and M (bit 41 + 8N); the frame must hold both before M is read.
bool Names_Fit(const unsigned char* frame, unsigned length, unsigned tail_bits) {
    if (frame == nullptr || length == 0) {
        return false;
    }
    RtcmBitReader r(frame, length, 36);
    const unsigned n = unsigned(r.U(5));
    r.Skip(8 * std::size_t(n));
    const unsigned m = unsigned(r.U(5));
    if (!r.Ok()) {
        return false;
    }
    return (n + m) * 8 + tail_bits < Bits(length);
}
}  // namespace

bool Em_TrsMtPrlRTCM::Is1021DataValid(const unsigned char* frame, unsigned length) {
    return Names_Fit(frame, length, 436);
}
bool Em_TrsMtPrlRTCM::Is1022DataValid(const unsigned char* frame, unsigned length) {
    return Names_Fit(frame, length, 541);
}
bool Em_TrsMtPrlRTCM::Is1023DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && Bits(length) > 578;
}
bool Em_TrsMtPrlRTCM::Is1024DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && Bits(length) > 590;
}
bool Em_TrsMtPrlRTCM::Is1025DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && Bits(length) >= 200;
}
bool Em_TrsMtPrlRTCM::Is1026DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && Bits(length) >= 240;
}
bool Em_TrsMtPrlRTCM::Is1027DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && Bits(length) > 258;
}
bool Em_TrsMtPrlRTCM::Is1033DataValid(const unsigned char* frame, unsigned length) {
    return frame != nullptr && length != 0;
}

double Em_TrsMtPrlRTCM::Adjust_Phase(int sat, int freq, double cp) {
    double& last = phase_[sat - 1][freq];
    if (last == 0.0) {
        // first phase of this satellite and frequency: take it as it is
    } else if (cp < last - 750.0) {
        cp += 1500.0;
    } else if (cp > last + 750.0) {
        cp -= 1500.0;
    }
    last = cp;
    return cp;
}

std::uint8_t Em_TrsMtPrlRTCM::Loss_Of_Lock(int sat, int freq, int lock) {
    std::uint8_t& last = lock_[sat - 1][freq];
    // A lock time that falls means the tracking restarted since the last epoch.
    const std::uint8_t lli = lock < int(last) ? 1 : 0;
    last = std::uint8_t(lock);
    return lli;
}

bool Em_TrsMtPrlRTCM::Decode_type1004(const unsigned char* frame, unsigned length) {
    if (frame == nullptr || length == 0 || obs_ == nullptr) {
        return false;
    }
    constexpr std::size_t kBlockBits = 125;
    RtcmBitReader r(frame, length, 88);
    int index = 0;
    while (r.Has(kBlockBits) && index < obs_->nmax && obs_->data != nullptr) {
        const int id = int(r.U(6));
        const int code1 = int(r.U(1));
        const double pr1_raw = double(r.U(24));
        const std::int64_t ppr1 = r.S(20);
        const int lock1 = int(r.U(7));
        const int amb = int(r.U(8));
        const int cnr1 = int(r.U(8));
        const int code2 = int(r.U(2));
        const std::int64_t pr21 = r.S(14);
        const std::int64_t ppr2 = r.S(20);
        const int lock2 = int(r.U(7));
        const int cnr2 = int(r.U(8));

        int sat = 0;
        if (id < 40) {
            sat = (id >= 1 && id <= 32) ? id : 0;
        } else {
            const int prn = id + 80;
            sat = (prn >= 120 && prn <= 138) ? prn - 28 : 0;
        }
        if (sat == 0) {
            continue;
        }
        obsd_t& o = obs_->data[index++];
        o.SNR[0] = o.SNR[1] = 0;
        o.LLI[0] = o.LLI[1] = 0;
        o.L[0] = o.L[1] = 0.0;
        o.P[0] = o.P[1] = 0.0;

        const double pr1 = pr1_raw * 0.02 + amb * kRangeUnit;
        if (ppr1 != kPhaseInvalid) {
            o.P[0] = pr1;
            const double cp1 = Adjust_Phase(sat, 0, double(ppr1) * 0.0005 / kLambda1);
            o.L[0] = pr1 / kLambda1 + cp1;
        }
        o.LLI[0] = Loss_Of_Lock(sat, 0, lock1);
        const double s1 = cnr1 * 0.25;
        o.SNR[0] = (s1 > 0.0 && s1 < 255.0) ? std::uint8_t(s1 * 4.0 + 0.5) : 0;
        o.code[0] = code1 ? 2 : 1;

        if (pr21 != kDiffInvalid) {
            o.P[1] = pr1 + double(pr21) * 0.02;
        }
        if (ppr2 != kPhaseInvalid) {
            const double cp2 = Adjust_Phase(sat, 1, double(ppr2) * 0.0005 / kLambda2);
            o.L[1] = pr1 / kLambda2 + cp2;
        }
        o.LLI[1] = Loss_Of_Lock(sat, 1, lock2);
        const double s2 = cnr2 * 0.25;
        o.SNR[1] = (s2 > 0.0 && s2 < 255.0) ? std::uint8_t(s2 * 4.0 + 0.5) : 0;
        o.code[1] = code2 ? 19 : 14;
    }
    return true;
}

bool Em_TrsMtPrlRTCM::Decode_type1012(const unsigned char*, unsigned) {
    return true;
}
bool Em_TrsMtPrlRTCM::Decode_type1019(const unsigned char*, unsigned) {
    return true;
}

namespace {

// Fields shared by 1021 and 1022, read in the standard's order after the two names.
bool Read_Helmert(const unsigned char* frame, unsigned length, bool with_rotation_point,
                  int* sys_id, int* computation, int* height, int* utilized, trancood_t& out) {
    if (!Names_Fit(frame, length, with_rotation_point ? 541 : 436)) {
        return false;
    }
    RtcmBitReader r(frame, length, 36);
    r.Skip(8 * std::size_t(r.U(5)));  // source name
    r.Skip(8 * std::size_t(r.U(5)));  // target name
    const int sid = int(r.U(8));
    const int utm = int(r.U(10));
    r.U(5);  // plate number
    const int comp = int(r.U(4));
    const int hgt = int(r.U(2));
    trancood_t t;
    t.lat_origin = double(r.S(19)) * kArcSec2;
    t.lon_origin = double(r.S(20)) * kArcSec2;
    t.lat_ext = double(r.U(14)) * kArcSec2;
    t.lon_ext = double(r.U(14)) * kArcSec2;
    t.dx = double(r.S(23)) * 0.001;
    t.dy = double(r.S(23)) * 0.001;
    t.dz = double(r.S(23)) * 0.001;
    t.r1 = double(r.S(32)) * 0.00002;
    t.r2 = double(r.S(32)) * 0.00002;
    t.r3 = double(r.S(32)) * 0.00002;
    t.ds = double(r.S(25)) * 0.00001;
    if (with_rotation_point) {
        t.xp = double(r.S(35)) * 0.001;
        t.yp = double(r.S(35)) * 0.001;
        t.zp = double(r.S(35)) * 0.001;
    }
    t.src_a = double(r.U(24)) * 0.001 + 6370000.0;
    t.src_b = double(r.U(25)) * 0.001 + 6350000.0;
    t.tgt_a = double(r.U(24)) * 0.001 + 6370000.0;
    t.tgt_b = double(r.U(25)) * 0.001 + 6350000.0;
    if (!r.Ok()) {
        return false;
    }
    if (sys_id) {
        *sys_id = sid;
        *computation = comp;
        *height = hgt;
        *utilized = utm;
    }
    out = t;
    return true;
}

struct GridScales {
    std::size_t min_bits;
    int o1_bits, o2_bits;
    bool o2_signed;
    double origin_res;
    double ext_res;
    int mean_bits;
    double mean_res;
    std::size_t grid_start;
    double grid_res12;
};

bool Read_Grid(const unsigned char* frame, unsigned length, const GridScales& g,
               geoid_mdel_para& out) {
    if (frame == nullptr || length == 0 || Bits(length) < g.min_bits) {
        return false;
    }
    RtcmBitReader r(frame, length, 46);
    geoid_mdel_para p;
    p.origin1 = double(r.S(g.o1_bits)) * g.origin_res;
    p.origin2 = double(g.o2_signed ? r.S(g.o2_bits) : std::int64_t(r.U(g.o2_bits))) * g.origin_res;
    p.ext1 = double(r.U(12)) * g.ext_res;
    p.ext2 = double(r.U(12)) * g.ext_res;
    p.mean1 = double(r.S(g.mean_bits)) * g.mean_res;
    p.mean2 = double(r.S(g.mean_bits)) * g.mean_res;
    p.mean_h = double(r.S(15)) * 0.01;
    const bool header_ok = r.Ok();
    r = RtcmBitReader(frame, length, g.grid_start);
    for (auto& point : p.grid) {
        point[0] = p.mean1 + double(r.S(9)) * g.grid_res12;
        point[1] = p.mean2 + double(r.S(9)) * g.grid_res12;
        point[2] = p.mean_h + double(r.S(9)) * 0.001;
    }
    p.h_interp = std::uint8_t(r.U(2));
    p.v_interp = std::uint8_t(r.U(2));
    p.h_quality = std::uint8_t(r.U(3));
    p.v_quality = std::uint8_t(r.U(3));
    p.mjd = double(r.U(16));
    if (!header_ok || !r.Ok()) {
        return false;
    }
    out = p;
    return true;
}

}  // namespace

bool Em_TrsMtPrlRTCM::Decode_type1021(const unsigned char* frame, unsigned length, int& sys_id,
                                      int& computation, int& height, int& utilized,
                                      trancood_t& out) {
    return Read_Helmert(frame, length, false, &sys_id, &computation, &height, &utilized, out);
}

bool Em_TrsMtPrlRTCM::Decode_type1022(const unsigned char* frame, unsigned length,
                                      trancood_t& out) {
    return Read_Helmert(frame, length, true, nullptr, nullptr, nullptr, nullptr, out);
}

bool Em_TrsMtPrlRTCM::Decode_type1023(const unsigned char* frame, unsigned length,
                                      geoid_mdel_para& out) {
    // Ellipsoidal grid: arc-seconds; the last field ends at bit 602.
    static const GridScales g = {602, 21, 22, true, 0.5, 0.5, 8, 0.001, 144, 0.00003};
    return Read_Grid(frame, length, g, out);
}

bool Em_TrsMtPrlRTCM::Decode_type1024(const unsigned char* frame, unsigned length,
                                      geoid_mdel_para& out) {
    // Plane grid: metres; the last field ends at bit 614.
    static const GridScales g = {614, 25, 26, false, 10.0, 10.0, 10, 0.01, 156, 0.001};
    return Read_Grid(frame, length, g, out);
}

bool Em_TrsMtPrlRTCM::Decode_type1025(const unsigned char* frame, unsigned length) {
    return Is1025DataValid(frame, length);
}
bool Em_TrsMtPrlRTCM::Decode_type1026(const unsigned char* frame, unsigned length) {
    return Is1026DataValid(frame, length);
}

bool Em_TrsMtPrlRTCM::Decode_type1027(const unsigned char* frame, unsigned length,
                                      int& projection_type, projection_param& out) {
    if (frame == nullptr || length == 0 || Bits(length) < 282) {
        return false;
    }
    RtcmBitReader r(frame, length, 44);
    const int type = int(r.U(6));
    projection_param p;
    p.rectified = r.U(1) != 0;
    // The standard's order: centre latitude, longitude, azimuth, skew angle, scale, E, N.
    p.lat_center = double(r.S(34)) * kProjRes;
    p.lon_center = double(r.S(35)) * kProjRes;
    p.azimuth = double(r.U(35)) * kProjRes;
    const double skew = double(r.S(26)) * kProjRes;
    p.scale = 993000.0 + double(r.U(30)) * 1e-5;
    p.easting = double(r.U(36)) * 0.001;
    p.northing = double(r.S(35)) * 0.001;
    p.skew_angle = skew + p.azimuth;
    if (!r.Ok()) {
        return false;
    }
    projection_type = type;
    out = p;
    return true;
}

bool Em_TrsMtPrlRTCM::Decode_type1033(const unsigned char* frame, unsigned length) {
    return Is1033DataValid(frame, length);
}

}  // namespace BVParse
}  // namespace Brevan2011
