// Data parser of the NovAtel board: decodes the board's binary logs (position, DOP, reference
// station, ephemerides, ranges, version) and its satellites-in-view sentences into the receiver
// state of the data-parser base, raising the update bits of what each message changed.
#pragma once

#include <cstdint>

#include "BVParse/Em_GnssSubframe.h"
#include "BVParse/Em_TrsMtPrlRTCM.h"
#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

// Update bits of the NovAtel decoders beyond those of the shared list.
constexpr uint32_t NOVATEL_FLAG_SOLUTIONS = 0x00010000u;  // solutions word rebuilt
constexpr uint32_t NOVATEL_FLAG_POS_A = 0x00020000u;      // position decoded
constexpr uint32_t NOVATEL_FLAG_EPH = 0x00080000u;        // ephemeris stored
constexpr uint32_t NOVATEL_FLAG_POS_B = 0x00800000u;      // position decoded
constexpr uint32_t NOVATEL_FLAG_TIME = 0x01000000u;       // date and time from a position
constexpr uint32_t NOVATEL_FLAG_REFSTN = 0x02000000u;     // reference-station position
constexpr uint32_t NOVATEL_FLAG_QUALITY = 0x20000000u;    // solution-quality code
constexpr uint32_t NOVATEL_FLAG_SATCOUNT = 0x40000000u;   // satellites tracked and used

class Em_OemNovatelData : public Em_OemData {
public:
    static constexpr int kHeaderSize = 28;
    static constexpr int kObsMax = 64;
    static constexpr int kIdentitySize = 108;

    Em_OemNovatelData();

    // One whole log (header, body, CRC) of `length` bytes. 0 for a null frame, id 0 or
    // length 0; else 1, known id or not. A body shorter than the id reads changes nothing.
    int Parse_Message(const unsigned char* frame, int id, int length) override;
    // Satellites in view.
    int Parse_GPGSV(const std::string& sentence) override;
    int Parse_GLGSV(const std::string& sentence) override;
    int Parse_BDGSV(const std::string& sentence) override;

    // Position log store and what was taken from it.
    unsigned char Pos_Header[kHeaderSize] = {};
    unsigned char Pos_Body[72] = {};
    int32_t Sats_Tracked = 0;
    int32_t Sats_Solution = 0;
    int32_t Gps_Week = 0;
    double Gps_Seconds = 0;  // whole seconds of week
    double Horz_Accuracy = 0;

    // DOP log: header and the first 28 body bytes.
    unsigned char Dop_Header[kHeaderSize] = {};
    unsigned char Dop_Body[28] = {};

    // Reference station: ECEF metres.
    unsigned char Ref_Header[kHeaderSize] = {};
    unsigned char Ref_Body[41] = {};
    double Ref_X = 0, Ref_Y = 0, Ref_Z = 0;

    // Version log: header and the first component record.
    unsigned char Version_Header[kHeaderSize] = {};
    unsigned char Identity[kIdentitySize] = {};

    // Raw copies of the first bytes of the ECEF (241) and UTM (726) position logs.
    unsigned char Ecef_Raw[140] = {};
    unsigned char Utm_Raw[108] = {};

    // Ephemeris logs: the last header and the ionosphere and UTC pages.
    unsigned char Eph_Header[kHeaderSize] = {};
    Gps_IonoParams Iono;
    Gps_UtcParams Utc;
    int Leap_Seconds = 0;

    // Observation store of the last range log; C/N0 in 0.25 dB-Hz as the RTCM 3 store keeps it.
    unsigned char Range_Header[kHeaderSize] = {};
    obsd_t Obs[kObsMax];
    int Obs_Count = 0;
    Gnss_Time Obs_Prev_Time{};
    bool Obs_Has_Prev = false;
    // Per satellite number and frequency: lock time (s) and tracking-status bit 28 last epoch.
    double Prev_Lock[256][2] = {};
    unsigned char Prev_Half[256][2] = {};

    uint32_t Deferred_Bds = 0;  // BeiDou waiting mark

private:
    void Decode_Position(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Decode_Dop(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Decode_RefStation(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Decode_Version(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Decode_RawEphemeris(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Decode_GpsEphemeris(const unsigned char* frame, const unsigned char* body, int bodyLen,
                             int need);
    void Store_Ephemeris(const em_eph_t& eph);
    void Decode_RangeCmp(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Decode_Range(const unsigned char* frame, const unsigned char* body, int bodyLen);
    obsd_t* Obs_Record(int sat, const Gnss_Time& time);
    void Take_Signal_From_Obs();

    // Sentence 1 of a GPS set re-arms these: the next satellite stored starts its table anew.
    bool m_gpsRearm = false;
    bool m_sbasRearm = false;
};

}  // namespace BVParse
}  // namespace Brevan2011
