// RTCM 3 message checks and decoders, and the frame store every board data parser keeps.
#pragma once

#include <cstdint>

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_TrsMtPrl.h"

namespace Brevan2011 {
namespace BVParse {

// One satellite's observations (64 bytes). The decoder leaves time, sat, rcv and D alone.
struct obsd_t {
    Gnss_Time time{};
    std::uint8_t sat = 0;
    std::uint8_t rcv = 0;
    std::uint8_t SNR[2] = {0, 0};   // 0.25 dB-Hz
    std::uint8_t LLI[2] = {0, 0};   // loss of lock
    std::uint8_t code[2] = {0, 0};  // 1 L1 C/A, 2 L1 P, 14 L2 C, 19 L2 P
    double L[2] = {0, 0};           // carrier phase, cycles
    double P[2] = {0, 0};           // pseudorange, m
    float D[2] = {0, 0};
};
static_assert(sizeof(obsd_t) == 64, "observation record layout");

// Caller-owned observation store.
struct obs_t {
    int n = 0;
    int nmax = 0;
    obsd_t* data = nullptr;
};

// Helmert / Molodenski parameters of 1021 and 1022. Angles in degrees, rotations in
// arc-seconds, scale in ppm, lengths in metres.
struct trancood_t {
    double lat_origin = 0, lon_origin = 0, lat_ext = 0, lon_ext = 0;
    double dx = 0, dy = 0, dz = 0;
    double r1 = 0, r2 = 0, r3 = 0;
    double ds = 0;
    double src_a = 0, src_b = 0, tgt_a = 0, tgt_b = 0;
    double xp = 0, yp = 0, zp = 0;
};

// Residual grid of 1023 (arc-seconds, metres for heights) and 1024 (metres).
struct geoid_mdel_para {
    double origin1 = 0, origin2 = 0, ext1 = 0, ext2 = 0;
    double mean1 = 0, mean2 = 0, mean_h = 0;
    double grid[16][3] = {};  // residual 1, residual 2, height residual, each plus its mean
    std::uint8_t h_interp = 0, v_interp = 0, h_quality = 0, v_quality = 0;
    double mjd = 0;
};

// Oblique Mercator projection of 1027. Angles in degrees, lengths in metres, scale in ppm.
struct projection_param {
    double lat_center = 0, lon_center = 0, azimuth = 0, scale = 0;
    double easting = 0, northing = 0, skew_angle = 0;
    double unused1 = 0, unused2 = 0;
    bool rectified = false;
};

// Diagnostic trace of message numbers; off (null) by default.
using TrsMt_TraceHook = void (*)(const char* text);
BVPARSE_API void Set_TrsMt_Trace(TrsMt_TraceHook hook);

class BVPARSE_API Em_TrsMtPrlRTCM : public Em_TrsMtPrl {
public:
    static constexpr int kMaxSat = 110;

    Em_TrsMtPrlRTCM();
    explicit Em_TrsMtPrlRTCM(obs_t& store);
    Em_TrsMtPrlRTCM(const Em_TrsMtPrlRTCM& other);
    Em_TrsMtPrlRTCM& operator=(const Em_TrsMtPrlRTCM& other);
    ~Em_TrsMtPrlRTCM() override;

    // Checks the length of the messages it knows; the frame runs from the preamble through the CRC.
    bool Prc_Prtcl_ID(unsigned number, unsigned char* frame, unsigned length) override;

    // 1004 into the observation store, at most nmax records; the store's n is left as it is.
    bool Decode_type1004(const unsigned char* frame, unsigned length);
    bool Decode_type1012(const unsigned char* frame, unsigned length);
    bool Decode_type1019(const unsigned char* frame, unsigned length);
    bool Decode_type1021(const unsigned char* frame, unsigned length, int& sys_id, int& computation,
                         int& height, int& utilized, trancood_t& out);
    bool Decode_type1022(const unsigned char* frame, unsigned length, trancood_t& out);
    bool Decode_type1023(const unsigned char* frame, unsigned length, geoid_mdel_para& out);
    bool Decode_type1024(const unsigned char* frame, unsigned length, geoid_mdel_para& out);
    bool Decode_type1025(const unsigned char* frame, unsigned length);
    bool Decode_type1026(const unsigned char* frame, unsigned length);
    bool Decode_type1027(const unsigned char* frame, unsigned length, int& projection_type,
                         projection_param& out);
    bool Decode_type1033(const unsigned char* frame, unsigned length);

    static bool Is1004DataValid(const unsigned char* frame, unsigned length);
    static bool Is1012DataValid(const unsigned char* frame, unsigned length);
    static bool Is1019DataValid(const unsigned char* frame, unsigned length);
    static bool Is1021DataValid(const unsigned char* frame, unsigned length);
    static bool Is1022DataValid(const unsigned char* frame, unsigned length);
    static bool Is1023DataValid(const unsigned char* frame, unsigned length);
    static bool Is1024DataValid(const unsigned char* frame, unsigned length);
    static bool Is1025DataValid(const unsigned char* frame, unsigned length);
    static bool Is1026DataValid(const unsigned char* frame, unsigned length);
    static bool Is1027DataValid(const unsigned char* frame, unsigned length);
    static bool Is1033DataValid(const unsigned char* frame, unsigned length);

    void Set_Obs_Store(obs_t* store) { obs_ = store; }

private:
    double Adjust_Phase(int sat, int freq, double cp);
    std::uint8_t Loss_Of_Lock(int sat, int freq, int lock);

    double phase_[kMaxSat][2] = {};
    std::uint8_t lock_[kMaxSat][2] = {};
    obs_t* obs_ = nullptr;
};

}  // namespace BVParse
}  // namespace Brevan2011
