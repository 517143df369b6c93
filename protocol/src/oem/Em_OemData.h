// Data-parser base of every board driver: what the board decoded (position, precision, time,
// satellites, ephemerides, the last RTCM 3 frame) and the update mask saying what the last
// message changed. Drivers derive from it and read or write these fields directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_TrsMtPrl.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemData {
public:
    static constexpr int kSatTableSize = 32;
    static constexpr int kEphCount = 220;
    static constexpr int kGloEphCount = 48;
    static constexpr int kGloEphSize = 144;
    static constexpr int kSbsEphCount = 38;
    static constexpr int kSbsEphSize = 136;
    static constexpr int kWorkSize = 4096;
    static constexpr int kGgaTextSize = 2048;

    Em_OemData();
    virtual ~Em_OemData();
    Em_OemData(const Em_OemData&) = delete;
    Em_OemData& operator=(const Em_OemData&) = delete;

    // One binary message or block of the board (frame, message or block id, length);
    // non-zero when handled.
    virtual int Parse_Message(const unsigned char* frame, int id, int length) = 0;
    // The NMEA sentence parsers. Each takes the whole sentence from its "$".
    virtual int Parse_Text_Msg(int id, const unsigned char* bytes, int count);
    virtual int Parse_GGA(const std::string& sentence);
    virtual int Set_Fix_Quality(const std::string& field);
    virtual int Parse_GPGSV(const std::string& sentence);
    virtual int Parse_GLGSV(const std::string& sentence);
    virtual int Parse_BDGSV(const std::string& sentence);
    virtual int Parse_GST(const std::string& sentence);
    virtual int Parse_RMC(const std::string& sentence);

    // The observation store of a driver that keeps one (records of 64 bytes): its first record,
    // the count the driver stored and the store's capacity in records. The base has none.
    virtual const void* Obs_Store(int* count, int* capacity) const;

    // Clears tables and values and makes the stores and the RTCM frame store.
    void Reset_Data();
    // Hands one RTCM 3 frame to the pass decoder of the frame store; sets GNSS_FLAG_RTCM3 and
    // returns 1 when accepted. Null, empty or over-long (> 2,048 bytes) frames return 0.
    int Decode_Rtcm_Frame(unsigned msgNo, const unsigned char* bytes, int count);
    // Runs the satellite usage check over the GPS table up to its count.
    void Mark_Sats_Used();

    uint32_t Reserved = 0;
    uint32_t Sentence_Seen = 0;  // bit 2 RMC, bit 4 GST, bit 1 GGA after an RMC
    unsigned char Defer_Gps = 0;
    uint32_t Deferred_Gps = 0;
    unsigned char Defer_Glo = 0;
    uint32_t Deferred_Glo = 0;
    unsigned char Combined_Epoch = 0;
    unsigned char Second_Switch = 0;
    // Byte switches that the protocol objects set when they make the driver: Switch[0] is the
    // "first", Switch[4] the "fifth" and Switch[5] the "sixth" switch.
    unsigned char Switch[6] = {0, 0, 0, 0, 0, 0};
    unsigned char Sat_Switch_Gps = 0;
    unsigned char Sat_Switch_Glo = 0;
    unsigned char Sat_Switch_Bds = 0;
    unsigned char Parse_Nmea = 1;  // NMEA parsing switch (Set_GNSS_ParseNmea)
    BASEINFO Base_Info;            // copied out whole by Get_Gnss_Baseinfo
    PASSCOMCHAR Pass_Com;          // copied out whole by Get_PassCom_Char

    std::unique_ptr<TRSMT_HOLDER> Trsmt;  // RTCM frame store; null until Reset_Data

    // Satellite tables: GPS, then GLONASS, BeiDou and two further ones.
    SATLLITE_STR Sat_Gps[kSatTableSize];
    int Sat_Gps_Count = 0;
    int Sats_Used = 0;
    int Gsa_Prn[12] = {0};
    SATLLITE_STR Sat_Glo[kSatTableSize];
    int Sat_Glo_Count = 0;
    SATLLITE_STR Sat_Bds[kSatTableSize];
    int Sat_Bds_Count = 0;
    SATLLITE_STR Sat_Tab4[kSatTableSize];
    int Sat_Tab4_Count = 0;
    SATLLITE_STR Sat_Tab5[kSatTableSize];
    int Sat_Tab5_Count = 0;
    uint32_t Sat_Use[2] = {0, 0};  // satellite-use words
    int Sat_Type_Num = 0;
    uint32_t Solutions = 0;

    char Gga_Text[kGgaTextSize];
    int Gga_Len = 0;

    // Ephemeris stores; null when their allocation failed.
    int Eph_Count = 0;
    int Geph_Count = 0;
    int Seph_Count = 0;
    std::unique_ptr<em_eph_t[]> Eph;
    std::unique_ptr<unsigned char[]> Geph;  // kGloEphCount records of kGloEphSize bytes
    std::unique_ptr<unsigned char[]> Seph;  // kSbsEphCount records of kSbsEphSize bytes
    int Eph_Last_Sat = 0;
    bool Stores_Ready = false;

    std::unique_ptr<unsigned char[]> Work_Buf;  // kWorkSize bytes
    int Work_Cap = 64;
    int Work_Len = 0;

    uint32_t Update_Mask = 0;

    // Navigation values.
    double Err_Vert = 0, Err_Horz = 0, Err_Rms = 0;
    double Pdop = 0, Vdop = 0, Hdop = 0, Tdop = 0, Gdop = 0;
    int32_t Status_Word = 0;                         // the board's elevation mask (Get_Status_Word)
    double Latitude = 0, Longitude = 0, Height = 0;  // radians, radians, metres
    int32_t Sol_Code = 0;
    double Diff_Age = -1.0;  // seconds; -1.0 unknown
    int32_t Year = 0, Month = 0, Day = 0;
    int32_t Hour = 0, Minute = 0;
    double Second = 0;
    int32_t Hour_Offset = 0;
    double Speed = 0, Course = 0;
    double Err_Lat = 0, Err_Lon = 0;
    char Gsa_Mode = 0;
    int32_t Fix_Type = 0;
};

}  // namespace BVParse
}  // namespace Brevan2011
