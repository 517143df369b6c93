// Em_Gnss: the receiver protocol facade. One per open receiver: it owns the protocol object
// chosen by the maker and main-board type, takes the received bytes, runs the parse loop that
// reports each message through the data callback, and records the raw stream on request.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iosfwd>
#include <mutex>

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_DeviceRecords.h"
#include "BVParse/Em_GnssResults.h"
#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_OldRecords.h"

namespace Brevan2011 {
namespace BVParse {

class Em_GnssProtocol;

// Which protocol object a (maker, board type) pair gets.
enum class Em_Protocol_Kind { Old, Oem, New };

// Makes a protocol object of a kind; null when it cannot. Tests install their own to hand the
// facade a scripted protocol object.
typedef std::function<Em_GnssProtocol*(Em_Protocol_Kind)> Em_Protocol_Factory;

class BVPARSE_API Em_Gnss {
public:
    // The old protocol with the NovAtel board.
    Em_Gnss();
    Em_Gnss(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board);
    ~Em_Gnss();
    Em_Gnss(const Em_Gnss&) = delete;
    Em_Gnss& operator=(const Em_Gnss&) = delete;

    // Replaces the protocol object: maker 1 the OEM one, any other the old one. The port kind
    // is kept; no board driver is made (Reset_GnsMd follows).
    void Reset_Mnfctr(GNSS_MANUFACTURER maker);
    // The protocol object's kind word: 1 OEM, 2 old or new; 0 without one.
    GNSS_MANUFACTURER Get_Mnfctr();
    bool IsVeltaManufacturer();
    // The board driver's type; 0 without one.
    MAINBD_OEM_TYPE GetMainBdType();
    MAINBD_OEM_TYPE Get_GnsMd();
    bool IsVeltaNewProtocolReceiver();
    bool IsVeltaOldProtocolReceiver();
    // Has the protocol object make the board driver for the type; its result.
    bool Reset_GnsMd(MAINBD_OEM_TYPE board);
    void Set_Com_Status(Com_Status status);
    Com_Status Get_Com_Status();

    // Read thread: appends the bytes to the receive ring and to the recording file when
    // recording is on.
    void RcvData(const unsigned char* bytes, unsigned length);
    // Parse thread: drains the ring, calling the data callback once per message whose flag
    // word is not 0.
    void ParseData();
    // Empties the receive ring.
    void Data_Clear();
    // The current category and flag word.
    void Get_RevMsg(Msg_Type* category, uint32_t* flags);
    // Copies both callback pointers (a null record clears them); replaces the user data only
    // when the given pointer is not null.
    void Reg_Callbacks(const _CALLBACKS_RECEIVER* callbacks, const void* user);
    // Calls the status callback with (changed, user data) when one is registered.
    void IsOemChanged(bool changed);
    // Switches raw-data recording. One recording file is open in the process at a time; without
    // a path the file is named from the UTC time.
    void SetRcrdData(bool on, const char* path);
    // Diagnostics: for category 1 writes the category-1 summary.
    void Gnss_Logger(Msg_Type category, uint32_t flags);
    void Gnss_Logger_Md(uint32_t flags);

    // ---- Operations of every receiver kind, forwarded to the protocol object's slots; each
    // returns the slot's result (0 without a protocol object).
    int Get_Gnss_Inite(Cmd_List& cmds);
    int Get_Gnss_StartBase(Cmd_List& cmds);
    int Get_Gnss_StartRover(Cmd_List& cmds);
    int Get_Gnss_Reset(Cmd_List& cmds);
    // Elevation mask for every system: the board gets the elevation and the selector 4.
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation);
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate);
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate);
    int Send_Gnss_Ephemeris(Cmd_List& cmds);
    int Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat);
    int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate, int value);
    int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s);
    int Get_Gnss_ElevMask(Cmd_List& cmds);
    int Send_Gnss_UnlogData(Cmd_List& cmds);
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n);
    void Get_PassCom_Char(PASSCOMCHAR& out);
    int Get_Cmd_PassCom(Cmd_List& cmds, int value);
    void Set_GNSS_ParseNmea(bool on);

    // ---- GNSS results of the board data parser; nothing (or 0) without a board driver.
    void Get_Gnss_Pos(POS_INFO* pos);
    void Get_Gnss_Time(Time_Str* time);
    void Get_Gnss_Dops(Dops* dops);
    void Get_Gnss_Precision(Precisions* precision);
    void Get_Gnss_Gprmc(double& speed, double& course);
    void Get_Gnss_Baseinfo(BASEINFO& out);
    // The last GGA sentence; dest must hold 2,048 bytes.
    void Get_Gnss_Gpgga(unsigned char* dest, unsigned* length);
    unsigned GetInfo_Gnss_Solutions();
    void Get_Gnss_SatTypeNum(int& count);
    // Flag 0: the two satellite-use words into *out, the first returned; otherwise nothing.
    uint32_t Get_Gnss_SatUse(int flag, SAT_USE* out);
    // Satellites of constellation 1-5 (GPS, GLONASS, BeiDou, two further tables); out must hold
    // 32 records. Any other constellation, or a board count above 32, gives a count of 0.
    void Get_Gnss_SatInfo(int constellation, unsigned* count, SATLLITE_STR* out);
    // The ephemeris the board stored last: satellites 1-32 (system 1) or 161-196 (system 4).
    void Get_Gnss_Ephemeris(unsigned* system, em_eph_t* eph);
    // The board's observations: clears all records, copies what the board stored (never more
    // than its store or the record holds) and returns that count.
    int Get_Gnss_Obs_t(em_obs_t* obs);
    // The last RTCM 3 frame the board handed to its frame store.
    void Get_Gnss_Trsinfo(TRSMT_INFO& out);
    // Hour offset of the board's times: 0 to 24, anything else 8.
    void Set_TimeZone(int zone);
    int Get_TimeZone();
    // Base settings for the board; a differential format 16 is resolved by the receiver model.
    void Set_Gnss_BsCfg(const Base_Config& config);
    Base_Config* Get_Gnss_BsCfg();
    Rover_Config* Get_Gnss_RvCfg();
    void Set_Gnss_RvCfg(const Rover_Config& config);

    // ---- Device (old and new receivers).
    // Port mode: old receivers get "ST,B1,B254" (1), "ST,B11", "ST,B12" or "ST,B0" framed for
    // the link; new receivers a packet with the mode.
    void Get_QxMdl(Cmd_List& cmds, unsigned mode);
    // Battery grade 0-10, 12 on external power; -1 for other receivers.
    int Get_Battery_Grd();
    void GetInfo_DevcInfo(DEVICE_STR& out);
    void Get_Static_Time(unsigned& first, unsigned& second);
    // The antenna type of static recording, zero-terminated; dest holds 21 bytes.
    void Get_Static_AntType(char* dest);
    // The firmware debug block the receiver sent last, handed out once; the receiver keeps
    // one block only, so the id does not select anything.
    void Get_FirmWare_Db(unsigned long id, FIRMWARE_DEBUG& out);

    // Tilt-sensor information: the old receiver's nine words, or the new board's tilt record
    // in the same units.
    void Get_eBubble_info(eBubble_info& out);

    // ---- Radio.
    // The radio frequency in MHz; -1.0 for other receivers.
    double Get_Radio_Frq();

    // ---- Modem and network (old receivers; a few values of new ones).
    // Base station id for the modem: nothing for more than 198 bytes.
    void Set_Gprs_BaseId(Cmd_List& cmds, const unsigned char* bytes, unsigned n);
    int GetInfo_Gprs_Signa();
    int GetInfo_Gprs_Status();
    int GetInfo_Gprs_Eroinfo();
    int GetInfo_Gprs_CosMdl();
    double GetInfo_Gprs_Version();
    // The caster's source list the receiver reported: its bytes (dest holds 4,096) and count.
    void Get_Gprs_GetList(char* bytes, int* count);
    // The stored differential information (at most 200 bytes) and its count; count 0 for other
    // receivers.
    void Get_Gprs_DiffInfo(unsigned char* bytes, int* count);

    // The protocol object (null only when making it failed).
    Em_GnssProtocol* Get_Protocol() const { return m_protocol; }

    // The protocol object a pair gets: maker 1 OEM, maker 2 with board 8 new, else old.
    static Em_Protocol_Kind Choose_Protocol(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board);
    // The library's own protocol objects.
    static Em_GnssProtocol* Default_Protocol(Em_Protocol_Kind kind);
    // Installs a factory for protocol objects made from now on; an empty one restores the
    // default. Returns the factory it replaces (empty for the default).
    static Em_Protocol_Factory Set_Protocol_Factory(Em_Protocol_Factory factory);
    // Clock for recording file names; an empty one restores the system clock.
    static void Set_Record_Clock(std::function<std::time_t()> clock);
    // Stream of the diagnostic line; null restores std::cout.
    static void Set_Log_Stream(std::ostream* stream);
    // How many category-1 messages with bit 0x00080000 the diagnostics have counted.
    static unsigned long Logger_Count();

private:
    // Single callback calls with the current category and flags.
    void CallData();
    void ClData_Device();
    void ClData_Gnss();

    static Em_GnssProtocol* Make_Protocol(Em_Protocol_Kind kind);

    std::atomic<bool> m_recording{false};
    Em_GnssProtocol* m_protocol = nullptr;
    Em_DataCallback m_dataCallback = nullptr;
    Em_StatusCallback m_statusCallback = nullptr;
    SATLLITE_STR m_satScratch[32];
    const void* m_user = nullptr;
    // Guards the protocol pointer against the read thread while the object is replaced or
    // destroyed. Taken before the ring's own lock.
    std::mutex m_protocolLock;
};

}  // namespace BVParse
}  // namespace Brevan2011
