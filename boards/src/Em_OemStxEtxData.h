// Data parser of the STX/ETX packet board: identity and option replies and the general-output
// pages (time, position, ECEF position and delta, DOPs, sigmas, satellites), plus the board's
// own NMEA dispatch and GSV parser.
#pragma once

#include <cstdint>

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

// Update bits of this board beyond the shared list.
constexpr uint32_t STXETX_FLAG_POSITION = 0x00020000u;  // latitude, longitude, height
constexpr uint32_t STXETX_FLAG_BASE = 0x02000000u;      // reference-station position
constexpr uint32_t STXETX_FLAG_QUALITY = 0x20000000u;   // solution type from the time record

class Em_OemStxEtxData : public Em_OemData {
public:
    static constexpr int kAccumulatorSize = 1000;
    static constexpr int kIdentitySize = 21;
    static constexpr int kOptionSize = 49;

    Em_OemStxEtxData();

    // One whole packet (STX to ETX) of `length` bytes with its type; 1 when the type
    // is one this board answers.
    int Parse_Message(const unsigned char* packet, int type, int length) override;
    int Parse_Text_Msg(int id, const unsigned char* bytes, int count) override;
    int Parse_GPGSV(const std::string& sentence) override;
    int Parse_GLGSV(const std::string& sentence) override;

    // Switch for the detailed satellite record (34): Switch[5], on unless the old protocol
    // turns it off.
    bool Detailed_Sats() const { return Switch[5] != 0; }

    int32_t Last_Type = 0;
    int32_t Last_Length = 0;

    // General-output page accumulator.
    int32_t Acc_Length = 0;
    int32_t Page_Counter = 0;
    unsigned char Acc[kAccumulatorSize] = {};

    unsigned char Identity[kIdentitySize] = {};
    unsigned char Option[kOptionSize] = {};

    bool Derive_Ecef = true;
    bool Delta_Received = false;

    int32_t Gps_Week = 0;
    double Gps_Seconds = 0;  // whole seconds of week
    int32_t Sats_Total = 0;
    double Ecef_X = 0, Ecef_Y = 0, Ecef_Z = 0;
    double Delta_X = 0, Delta_Y = 0, Delta_Z = 0;
    double Ref_X = 0, Ref_Y = 0, Ref_Z = 0;  // reference station, ECEF metres

private:
    void General_Output(const unsigned char* packet, int length);
    void Clear_Accumulator();
    void Decode_Records();
    void Record_Time(const unsigned char* r);
    void Record_Position(const unsigned char* r);
    void Record_Ecef(const unsigned char* r);
    void Record_Delta(const unsigned char* r);
    void Record_Dops(const unsigned char* r);
    void Record_Sigmas(const unsigned char* r);
    void Record_Satellites(const unsigned char* r, int len);
};

}  // namespace BVParse
}  // namespace Brevan2011
