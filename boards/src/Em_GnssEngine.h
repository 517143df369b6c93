// Interface of the software GNSS engine plug-in that the engine board (type 3) loads: the
// engine's operations, the callback it reports solutions through, and the records passed both
// ways. A plug-in is a shared object exporting
//     extern "C" IGnssEngine* CreateGnssEngine();
// The board owns the solution sink; the engine keeps a plain pointer to it until Stop and
// Release. The plug-in must be built with the same compiler ABI as the library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

#pragma pack(push, 4)

// Station record (Put_Station): mode word 0 for "Base", 1 for "Rover".
struct Engine_Station {
    int32_t Mode;
    int32_t Reserved;
    char Name[32];
    unsigned char Spare[64];
};

// Parameter record (Put_Parameters): 32-bit words.
struct Engine_Parameters {
    int32_t Words[24];
};

// GPS broadcast ephemeris (Put_Ephemeris), from a raw-ephemeris log.
struct Engine_Ephemeris {
    int32_t Reserved0;
    int32_t Sat;  // 1-62
    double Toe;   // seconds of week
    int32_t Week;
    int32_t Reserved1;
    int32_t Health;  // 6 bits
    int32_t Reserved2;
    double Toc;  // seconds of week
    double Clock_Drift_Rate, Clock_Drift, Clock_Bias;
    double M0, Delta_N, Eccentricity, Sqrt_A, Omega0, I0, Omega, Omega_Dot, I_Dot;
    double Cuc, Cus, Crc, Crs, Cic, Cis;
    uint16_t Iodc;
    uint16_t Ura;  // metres
    unsigned char Reserved3[12];
    uint8_t Iode;
    unsigned char Reserved4[7];
    int64_t Zero;
    int32_t Valid;  // 0 when the square root of the semi-major axis is implausible
    int32_t Reserved5;
};

// One satellite of an observation epoch; ranges and phases are negated as the engine wants.
struct Engine_Obs_Sat {
    int32_t Sat;
    int32_t Elevation;
    int32_t Azimuth;
    unsigned char Snr1, Snr2, Status1, Status2;
    double P1, L1, P2, L2;  // metres, cycles
};

// Observation epoch (Put_Observation), from a compact observation log.
struct Engine_Observation {
    static constexpr int kMaxSats = 28;
    int32_t Week;
    uint32_t Millisecond;
    double Seconds;  // of week
    unsigned char Head[5];
    unsigned char Reserved[3];
    double Clock;  // log bytes 6-9 times 1e-7
    uint32_t Word;
    int32_t Count;
    Engine_Obs_Sat Sats[kMaxSats];
};

// Auxiliary record (Put_Auxiliary): a 32-bit value and the 24 bytes after it in the log.
struct Engine_Auxiliary {
    uint32_t Value;
    unsigned char Bytes[24];
};

// Solution the engine reports (384 bytes); only the named fields are read.
struct Engine_Solution {
    unsigned char Reserved0[80];
    double Horz_Accuracy;  // 80
    unsigned char Reserved1[8];
    int32_t Type;  // 96: 0 none, 1 single, 2 single (quality kept), 3 float, 4 fixed, 5 fixed
    unsigned char Reserved2[28];
    double Var_Lat;  // 128, m^2
    unsigned char Reserved3[8];
    double Var_Lon;  // 144
    unsigned char Reserved4[16];
    double Var_Height;  // 168
    unsigned char Reserved5[104];
    double Seconds;  // 280, of week
    unsigned char Reserved6[16];
    double Latitude;   // 304, radians
    double Longitude;  // 312, radians
    unsigned char Reserved7[16];
    double Height;  // 336, ellipsoidal metres
    unsigned char Reserved8[40];
};

#pragma pack(pop)

static_assert(
    offsetof(Engine_Ephemeris, Toe) == 8 && offsetof(Engine_Ephemeris, Week) == 16 &&
        offsetof(Engine_Ephemeris, Health) == 24 && offsetof(Engine_Ephemeris, Toc) == 32 &&
        offsetof(Engine_Ephemeris, M0) == 64 && offsetof(Engine_Ephemeris, Omega_Dot) == 120 &&
        offsetof(Engine_Ephemeris, Cuc) == 136 && offsetof(Engine_Ephemeris, Cis) == 176 &&
        offsetof(Engine_Ephemeris, Iodc) == 184 && offsetof(Engine_Ephemeris, Ura) == 186 &&
        offsetof(Engine_Ephemeris, Iode) == 200 && offsetof(Engine_Ephemeris, Zero) == 208 &&
        offsetof(Engine_Ephemeris, Valid) == 216,
    "engine ephemeris layout");
static_assert(
    offsetof(Engine_Solution, Horz_Accuracy) == 80 && offsetof(Engine_Solution, Type) == 96 &&
        offsetof(Engine_Solution, Var_Lat) == 128 && offsetof(Engine_Solution, Var_Lon) == 144 &&
        offsetof(Engine_Solution, Var_Height) == 168 && offsetof(Engine_Solution, Seconds) == 280 &&
        offsetof(Engine_Solution, Latitude) == 304 && offsetof(Engine_Solution, Longitude) == 312 &&
        offsetof(Engine_Solution, Height) == 336 && sizeof(Engine_Solution) == 384,
    "engine solution layout");

// The callback through which the engine reports each solution, from any thread.
class ISolutionSink {
public:
    virtual void Notify(const Engine_Solution& solution) = 0;

protected:
    ~ISolutionSink() = default;
};

// The engine. The number after each operation is its entry in the engine's own numbering of its
// operations; the gaps are operations the board does not use.
class IGnssEngine {
public:
    virtual void Release() = 0;                                                 // 2
    virtual int Put_Observation(const Engine_Observation& obs, int* out) = 0;   // 3
    virtual int Put_Auxiliary(const Engine_Auxiliary& aux, int* out) = 0;       // 4
    virtual int Put_Station(const Engine_Station& station, int* out) = 0;       // 5
    virtual int Put_Parameters(const Engine_Parameters& params, int* out) = 0;  // 6
    virtual int Set_Solution_Sink(ISolutionSink* sink) = 0;                     // 7
    virtual int Stop(int how) = 0;                                              // 8
    virtual int Put_Ephemeris(const Engine_Ephemeris& eph, int* out) = 0;       // 9
    virtual int Restart(int a, int b) = 0;                                      // 11
    virtual int Start() = 0;                                                    // 12
    // Fills up to `size` channel entries into `buffer`; the count says how many work.
    virtual int Open(void* buffer, int size, int* count) = 0;  // 20

protected:
    ~IGnssEngine() = default;
};

typedef IGnssEngine* (*Create_Gnss_Engine_Fn)();

}  // namespace BVParse
}  // namespace Brevan2011
