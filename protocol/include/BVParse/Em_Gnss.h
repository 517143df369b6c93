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
#include <vector>

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_DeviceRecords.h"
#include "BVParse/Em_GnssResults.h"
#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_NewRecords.h"
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
    // recording is on. Returns the count the ring took: with the ring full the caller keeps
    // the rest and offers it again after the parse thread has made room.
    unsigned RcvData(const unsigned char* bytes, unsigned length);
    // Parse thread: drains the ring, calling the data callback once per message whose flag
    // word is not 0. A full ring in which no message can be found loses its first byte so the
    // reader can move on (counted by Ring_Resyncs).
    void ParseData();
    // The bytes given up that way since construction.
    unsigned long Ring_Resyncs() const { return m_ringResyncs.load(); }
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

    // ---- Operations of every receiver kind, forwarded to the protocol object's operations of
    // the same name; each returns that operation's result (0 without a protocol object).
    int Get_Gnss_Inite(Cmd_List& cmds);
    int Get_Gnss_StartBase(Cmd_List& cmds);
    int Get_Gnss_StartRover(Cmd_List& cmds);
    int Get_Gnss_Reset(Cmd_List& cmds);
    // Elevation mask for every system: the board gets the elevation and the selector 4.
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation);
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate);
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate);
    int Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate);
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

    // ---- Device, battery, power, static recording; ports, NMEA and settings.
    // Builders append to the caller's list; on a receiver they do not serve they append
    // nothing. Readers leave the caller's variable as it was on such a receiver.
    // Identity and battery queries: old receivers "SI" and "SD"; new receivers "SI" too and
    // a power-status query.
    void Get_DeviceInfo(Cmd_List& cmds);
    void Get_Battery(Cmd_List& cmds);
    // Power off: old "SG,B0", new the system power-off packet.
    void Get_CloseReceiver(Cmd_List& cmds);
    // Old receivers: raw data at 200 ("RG,B200") or stopped ("RG,B0").
    void Get_200Data(Cmd_List& cmds, bool on);
    // Old receivers: device-information blocks. The data holds 128 bytes; with a count, fewer
    // than 128 build nothing.
    void Send_DevcInfo_Update_Str(Cmd_List& cmds);
    void Send_DevcInfo_Update_Crs(Cmd_List& cmds, unsigned a, const unsigned char* bytes);
    void Send_DevcInfo_Update_Crs(Cmd_List& cmds, unsigned a, const unsigned char* bytes,
                                  unsigned count);
    // Old receivers: one device setting each, the value's low byte.
    void Set_DevcInfo_ChannelStatus(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_Mask(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_RrdTp(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_RrdTime(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_RrdFrq(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_OutPut(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_StrtTp(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_TrsmtPort(Cmd_List& cmds, unsigned value);
    void Set_DevcInfo_TrsmtFmat(Cmd_List& cmds, unsigned value);
    // Old and new receivers: the automatic base distance, both bytes.
    void Set_DevcInfo_AutoBaseDist(Cmd_List& cmds, unsigned short distance);
    // Old receivers: static point, antenna type and recording start or stop.
    void Set_Static_Point(Cmd_List& cmds, const Static_Point* point);
    void Get_Cmd_Static_Point(Cmd_List& cmds);
    void Set_Static_AnteType(Cmd_List& cmds, const char* text);
    void Get_Cmd_Static_AntType(Cmd_List& cmds);
    void Set_Static_Begin(Cmd_List& cmds, bool start);
    // Old and new receivers: the recording start or stop sequence with its 16-bit value.
    void Set_Static_Begin(Cmd_List& cmds, bool start, unsigned short value);
    void Get_Static_Point(Static_Point& out);
    // Kinematic point records: old receivers "FY" frames, new ones the same encoding as a
    // file-record block. A null record builds nothing.
    void Get_Cmd_StartPPKpt(Cmd_List& cmds, const StartPointInfo* point);
    void Get_Cmd_EndPPKpt(Cmd_List& cmds, const EndPointInfo* point);
    void Get_Cmd_AntPPKpt(Cmd_List& cmds, const AntPointInfo* point);
    // The same with the record first, the order the session's point operations use.
    void Get_Cmd_EndPPKpt(const EndPointInfo* point, Cmd_List& cmds);
    void Get_Cmd_AntPPKpt(const AntPointInfo* point, Cmd_List& cmds);
    // Tilt-sensor and position output rates; new receivers get the data rate of the tilt
    // (0x0411) or position (0x0410) message.
    void Set_eBubble_frq(Cmd_List& cmds, GNSS_FRQ rate);
    void Get_Cmd_Position_Frq(Cmd_List& cmds, GNSS_FRQ rate);
    void Set_eBubble_calibration(Cmd_List& cmds, bool on, int value);
    // Serial baud rate: a set with a baud pointer, on new receivers a query without one.
    void Get_Cmd_Com_Baudrate(Cmd_List& cmds, const QX_COM_BAUD_ENUM* baud, QX_COM_PORT_ENUM port);
    void Get_Com_Baudrate(QX_COM_BAUD_ENUM& out);
    // Old receivers: NMEA output, the board's list then "RF" with the message mask.
    void Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate);
    // New receivers: the last response status and the command id it answered.
    void Get_Cmd_Setting_Response(QX_RESPONSE_STATUS_ENUM& status, unsigned& commandId);

    // ---- Radio.
    // The radio frequency in MHz; -1.0 for other receivers.
    double Get_Radio_Frq();

    // ---- Radio group: the old receiver's internal UHF radio, set and queried with its '@'
    // ---- commands. The five builders with a result run for new receivers too, as the old
    // ---- protocol's builders for a receiver whose radio was never reported.
    // Results of the builders: 1 sent, 0 not sent (radio type without that setting, or a
    // receiver of another kind).
    int Get_Radio_Power(Cmd_List& cmds);
    int Set_Radio_Power(Cmd_List& cmds, Radio_Power value);
    int Get_Cmd_Radio_Baudrate(Cmd_List& cmds);
    int Set_Radio_Baudrate(Cmd_List& cmds, Radio_Baudrate value);
    // 2 sent; 0 before the device block (always on a new receiver), 1 before the modem version
    // and -1 for an unknown radio type; -1 for receivers of other makers.
    int Get_Radio_Frq(Cmd_List& cmds);
    // Old receivers only.
    void Set_Radio_Frq(Cmd_List& cmds, double mhz);
    void Set_Radio_Mdl(Cmd_List& cmds, Rdo_Mdl value);
    void Set_Radio_Sensitivity(Cmd_List& cmds, Rdo_Sensitv value);
    void Get_Cmd_Radio_Sensitivity(Cmd_List& cmds);
    void Set_Radio_FEC(Cmd_List& cmds, bool on);
    void Get_Cmd_Radio_FEC(Cmd_List& cmds);
    void Set_Radio_Callsign(Cmd_List& cmds, const Radio_Callsign& callsign);
    void Get_Cmd_Radio_Callsign(Cmd_List& cmds);
    void Set_Radio_ChannelSpace(Cmd_List& cmds, Channel_Space space);
    void Get_Cmd_Radio_ChannelSpace(Cmd_List& cmds);
    // The old receiver's last reported values; 0 (power) or -1 (the others) for other kinds.
    Radio_Power Get_Radio_Power();
    Radio_Baudrate Get_Radio_Baudrate();
    Rdo_Mdl Get_Transmit_Mdl();
    // Band and capabilities of the old receiver's radio type, with the old protocol's result
    // (2 filled); -1 and nothing written for other receivers.
    int Get_Radio_Range(Radio_Range& out);
    int Get_Radio_Info(Radio_Info& out);
    // The old receiver's last reported settings; other receivers leave out as it was.
    void Get_Radio_Sensitivity(Rdo_Sensitv& out);
    void Get_Radio_FEC(bool& out);
    void Get_Radio_Callsign(Radio_Callsign& out);
    void Get_Radio_ChannelSpace(Channel_Space& out);
    // ---- End of the radio group.

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

    // ---- GPRS modem and network: commands for the old receiver's modem ('@' frames in "VS"
    // ---- frames), a few also as new-protocol network packets, and the modem state the old
    // ---- receiver reported. Nothing is appended, and outputs stay as they were, on any
    // ---- receiver the operation does not serve.
    // The modem version query; sent (true) only once the receiver's device block was seen.
    bool Send_Gprs_Version(Cmd_List& cmds);
    // Network settings ('@' 115 for name servers, else 89), signal, status, error, modem
    // reset and CORS mode queries.
    void Get_Gprs_Info(Cmd_List& cmds);
    void Get_Gprs_Signal(Cmd_List& cmds);
    void Get_Gprs_Status(Cmd_List& cmds);
    void Get_Gprs_Eroinfo(Cmd_List& cmds);
    void Get_Gprs_Reset(Cmd_List& cmds);
    void Get_Gprs_CosMdl(Cmd_List& cmds);
    // Old receiver: the NTRIP mount request in "VL" text frames. New receiver: account and
    // data source, then connect.
    void Set_Cors_Login(Cmd_List& cmds, const cors_info& info);
    // New receiver: the name (when the count gives one) travels with the port; the protocol
    // has no place in that item.
    void Set_Gprs_Ip(Cmd_List& cmds, IP_ADRES ip, unsigned port, Protocol_Net protocol);
    void Set_Gprs_SvcInfo(Cmd_List& cmds, SvcInfo info);
    // Nothing for a null text or one of 64 characters or more.
    void Set_GSM_NumInfo(Cmd_List& cmds, const char* text);
    void Set_Gprs_Modle(Cmd_List& cmds, Gprs_Modle mode);
    void Set_Gprs_CosMdl(Cmd_List& cmds, unsigned mode);
    void Send_Dial_Prtl(Cmd_List& cmds);
    void Set_Dial_Prtl(Cmd_List& cmds, unsigned value);
    void Send_Gprs_DiffInfo(Cmd_List& cmds);
    // Old receiver: nothing when the three texts together exceed 49 characters. New
    // receiver: account and data source with automatic connection on; kind is not used.
    void Set_Cors_Info_Auto(Cmd_List& cmds, const cors_info& info, unsigned kind);
    void Send_Cors_Info_Auto(Cmd_List& cmds);
    // Old receiver: modem disconnect; new receiver: network link disconnect.
    void Send_Gprs_DisConct(Cmd_List& cmds);
    void GetInfo_Gprs_Info(WirelessInfo& out);
    // The automatic login record and the login mode beside it.
    void Get_Cors_Info_Auto(cors_info& out, int& mode);
    // How long the login texts and the base id were as sent; zeros for other receivers.
    void Get_Text_Lengths(Text_Lengths& out);
    // The dial protocol word the 'g' reply set; 0 for other receivers.
    unsigned Get_Dial_Prtl();

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

    // ---- New-protocol commands and results; old-protocol lists of static files, base
    // ---- positions, radio channels and NMEA output.
    //
    // Builders append to the caller's list and never clear it. They act only on a receiver
    // of the new protocol (kind 2 with a type-8 board) unless noted; on any other receiver
    // they append nothing. A const pointer argument sets the value when given and asks the
    // receiver for it when null. Readers copy the value last decoded; on a receiver of
    // another kind they leave the caller's variable as it was (record and enum readers) or
    // return the stated default (value readers).

    // Modem.
    void Get_Cmd_Modem_Dial(Cmd_List& cmds, bool on);
    void Get_Cmd_Modem_Power(Cmd_List& cmds, bool on);
    void Get_Cmd_Modem_Auto_Dial(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Modem_Auto_Power_On(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Modem_Dial_Param(Cmd_List& cmds, const QX_MODEM_DIAL_PARA_STRUCT* p);
    void Get_Cmd_Modem_Dial_Status_Query(Cmd_List& cmds);
    void Get_Cmd_Modem_Power_Status_Query(Cmd_List& cmds);
    // Also on an old-protocol receiver: its modem signal query ('@' 101).
    void Get_Cmd_Modem_Signal_Intensity_Query(Cmd_List& cmds);
    void Get_Cmd_Modem_Band_Mode(Cmd_List& cmds, const unsigned short* p);
    void Get_Cmd_Modem_Work_Mode(Cmd_List& cmds, const unsigned short* p);
    void Get_Cmd_Modem_CSD_Param(Cmd_List& cmds, const QX_MODEM_CSD_PARA_STRUCT* p);
    void Get_Cmd_Modem_CSD_Status_Query(Cmd_List& cmds);
    unsigned char Get_Modem_Auto_Dial();      // 0 by default
    unsigned char Get_Modem_Auto_Power_On();  // 0 by default
    void Get_Modem_Power_Status(QX_MODEM_POWER_STATUS_ENUM& out);
    void Get_Modem_Band_Mode(QX_MODEM_BAND_MODE_ENUM& out);
    void Get_Modem_Work_Mode(QX_MODEM_WORK_MODE_ENUM& out);
    // Each text as a string of at most 20 bytes: zero-filled after its first zero byte, and
    // unterminated when it fills the field.
    void Get_Modem_Dial_Param(QX_MODEM_DIAL_PARA_STRUCT& out);
    void Get_Modem_Dial_Status(QX_MODEM_DIAL_STATUS_STRUCT& out);
    void Get_Modem_Signal_Intensity(QX_MODEM_SIGNAL_INTENSITY_STRUCT& out);
    void Get_Modem_CSD_Param(QX_MODEM_CSD_PARA_STRUCT& out);
    void Get_Modem_CSD_Status(QX_MODEM_CSD_STATUS_STRUCT& out);

    // GNSS settings and data output. io is the output port concerned.
    void Get_Cmd_Gnss_Data_Freq(Cmd_List& cmds, QX_DATA_FRQ_ENUM f);
    // One item per entry (its tag, its rate), after the port item when io > 0. Nothing for
    // an entry whose tag carries a record rather than a number.
    void Get_Cmd_Gnss_Data_Freq(Cmd_List& cmds, const std::vector<DataFreq>& list,
                                QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_Data_Freq(Cmd_List& cmds, const DataFreq& entry, QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_Data_Unlogall(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_Data_Configlist_Query(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_Data_Configlist_Ex_Query(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_IO_ID(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_IO_DiffData(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io, QX_GNSS_DIFF_TYPE_ENUM d);
    // Also on an old-protocol receiver: its elevation-mask command or query.
    void Get_Cmd_Gnss_ElevMask(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Gnss_Pdop_Mask(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Gnss_Diff_Type(Cmd_List& cmds, const unsigned short* p);
    void Get_Cmd_Gnss_Base_Position(Cmd_List& cmds, const QX_GNSS_BASE_SET_STRUCT* p);
    void Get_Cmd_Gnss_Sat_Enable(Cmd_List& cmds, const QX_GNSS_SATELLITE_ENABLE_STRUCT* p);
    void Get_Cmd_Gnss_Current_Position_Query(Cmd_List& cmds);
    // The count travels in one byte: a list of more than 255 entries sends nothing.
    void Get_Cmd_Gnss_Base_Position_list(Cmd_List& cmds, const BASE_POS_LIST_STRUCT* p);
    void Get_Cmd_Gnss_Data_Transfer(Cmd_List& cmds, const QX_DATA_TRANSFER_STRUCT* p,
                                    QX_GNSS_IO_ID_ENUM io);
    void Get_Cmd_Gnss_Data_Subscribe_Feature_Query(Cmd_List& cmds);
    int Get_Gnss_Pdop_Mask();  // -1 by default
    // The board's elevation mask on every kind of receiver; 0 without a board driver.
    int Get_Gnss_ElevMask();
    int GetInfo_Gnss_ElevMask();
    void Get_Gnss_Diff_Type(QX_GNSS_DIFF_TYPE_ENUM& out);
    void Get_Gnss_Data_Configlist(QX_DATA_CONFIG_LIST& out);
    void Get_Gnss_Data_Configlist_Ex(QX_DATA_CONFIG_LIST_STRUCT& out);
    void Get_Gnss_Data_Subscribe_Feature(std::vector<DATA_FREQS_STRUCT>& out);
    void Get_Gnss_Base_Position(QX_GNSS_BASE_SET_STRUCT& out);
    void Get_Gnss_Sat_Enable(QX_GNSS_SATELLITE_ENABLE_STRUCT& out);
    void Get_Gnss_Base_Position_list(BASE_POS_LIST_STRUCT& out);
    void Get_Magnetometer_info(QX_GNSS_DAT_MAGNETIC_STRUCT& out);
    void Get_Heading_Calibration_info(QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT& out);
    void Get_Tilt_Calibration_info(QX_GNSS_DAT_CALIBRATION_TILT_STRUCT& out);
    // The board's last GNSS data block (any board driver) and the new-protocol board's last
    // NMEA sentence (type-8 board only); null, length untouched, otherwise. The pointer stays
    // valid only until the next parse step rewrites the buffer: copy under the data lock.
    const unsigned char* Get_Gnss_Data_Buff(unsigned int& length);
    const unsigned char* Get_NMEA_Data_Buff(unsigned int& length);

    // System.
    void Get_Cmd_System_Admin(Cmd_List& cmds, unsigned short code);
    void Get_Cmd_System_Power_Off(Cmd_List& cmds);
    void Get_Cmd_System_Power_Status_Query(Cmd_List& cmds);
    void Get_Cmd_System_Reboot(Cmd_List& cmds);
    void Get_Cmd_System_Hardware_Info_Query(Cmd_List& cmds);
    void Get_Cmd_System_Firmware_Info_Query(Cmd_List& cmds);
    void Get_Cmd_System_GSensor_Valid(Cmd_List& cmds, QX_GSENSOR_VALID_PERIOD_STRUCT r);
    void Get_Cmd_System_GPSBoard_Info_Query(Cmd_List& cmds);
    void Get_Cmd_System_BtMac_Info_Query(Cmd_List& cmds);
    void Get_Cmd_System_WifiMac_Info_Query(Cmd_List& cmds);
    // Sensor kind 2 to start and 3 to stop, with the low 16 bits of n.
    void Send_Magnetometer_Calibration(Cmd_List& cmds, bool start, int n);
    // Sensor kind 4 to start and 5 to stop, with x * 1000 truncated (low 16 bits).
    void Send_Heading_Calibration(Cmd_List& cmds, bool start, float x);
    void Get_Cmd_Com_Direct(Cmd_List& cmds, QX_COM_DIRECT_ENUM d);
    void Get_System_Power_Status(QX_SYSTEM_POWER_STATUS_STRUCT& out);
    void Get_System_Hardware_Info(QX_SYSTEM_HARDWARE_INFO_STRUCT& out);
    void Get_System_Firmware_Info(QX_SYSTEM_FIRMWARE_VERSION_STRUCT& out);
    void Get_System_GPSBoard_Info(QX_GPSBOARD_INFO_STRUCT& out);
    void Get_System_Calibration_Result(QX_GSENSOR_CALIBRATION_QUALITY& out);
    void Get_System_BtMac_Info(QX_MAC_INFO_STRUCT& out);
    void Get_System_WifiMac_Info(QX_MAC_INFO_STRUCT& out);

    // Network link.
    void Get_Cmd_NetLink_Auto_Open(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_NetLink_Status_Query(Cmd_List& cmds);
    // Also on an old-protocol receiver: its source-table request ("VM,B1").
    void Get_Cmd_NetLink_Source_List_Query(Cmd_List& cmds);
    void Send_Gprs_GetList(Cmd_List& cmds);  // the same command
    void Get_Cmd_NetLink_Address(Cmd_List& cmds, const QX_IP_ADDRESS_STRUCT* p);
    void Get_Cmd_NetLink_Server_Type(Cmd_List& cmds, const unsigned short* p);
    void Get_Cmd_NetLink_Data_Source(Cmd_List& cmds, const QX_CORS_DATA_SOURCE_STRUCT* p);
    void Get_Cmd_NetLink_Account(Cmd_List& cmds, const QX_ACCOUNT_STRUCT* p);
    void Get_Cmd_NetLink_Connect(Cmd_List& cmds, bool connect);
    // On an old-protocol receiver the low byte of its CORS mode word; 0 on other kinds.
    unsigned char Get_NetLink_Auto_Open();
    void Get_NetLink_Server_Type(QX_NETLINK_SERVER_TYPE_ENUM& out);
    void Get_NetLink_Status(QX_NETLINK_STATUS_STRUCT& out);
    void Get_NetLink_Address(QX_IP_ADDRESS_STRUCT& out);
    void Get_NetLink_Data_Source(QX_CORS_DATA_SOURCE_STRUCT& out);
    void Get_NetLink_Account(QX_ACCOUNT_STRUCT& out);
    // Only the length of the stored source list (0 on other kinds); list is not written.
    void Get_NetLink_Source_List(const unsigned char* list, unsigned int& length);

    // Data link.
    void Get_Cmd_DataLink_Mode(Cmd_List& cmds, const unsigned short* p);
    // Always a set; a null block is sent as an empty item.
    void Get_Cmd_DataLink_Differential_Data(Cmd_List& cmds, const QX_BLOCK_DATA_STRUCT* p);
    void Get_DataLink_Mode(QX_DATALINK_MODE_ENUM& out);
    // Any receiver: raw bytes cut into commands of at most 512 bytes. mode is not used.
    void GetCustomCommandPackets(Cmd_List& cmds, const unsigned char* data, unsigned int n,
                                 int mode);

    // Internal radio.
    void Get_Cmd_Radio_Frequency(Cmd_List& cmds, const float* p);  // the float's 32 bits
    void Get_Cmd_Radio_Power(Cmd_List& cmds, const unsigned int* p);
    void Get_Cmd_Radio_Stepper(Cmd_List& cmds, const unsigned int* p);
    void Get_Cmd_Radio_Air_Baud(Cmd_List& cmds, const unsigned int* p);
    void Get_Cmd_Radio_Protocol(Cmd_List& cmds, const unsigned short* p);
    void Get_Cmd_Radio_Infolist_Query(Cmd_List& cmds);
    void Get_Cmd_Radio_Power_On(Cmd_List& cmds, bool on);
    void Get_Cmd_Radio_Auto_Power_On(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Radio_Module_Type_Query(Cmd_List& cmds);
    void Get_Cmd_Radio_Power_Status_Query(Cmd_List& cmds);
    void Get_Cmd_Radio_Channel_List_Query(Cmd_List& cmds);
    void Get_Cmd_Radio_Property_Ex(Cmd_List& cmds, const QX_RADIO_PROPERTY_EX_STRUCT* p);
    void Get_Cmd_Radio_Channel_List_All_Query(Cmd_List& cmds);
    void Get_Cmd_Radio_Sensitivity(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Radio_FEC(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_Radio_Callsign(Cmd_List& cmds, const QX_RADIO_CALLSIGN_STRUCT* p);
    float Get_Radio_Frequency();        // 0.0 by default
    unsigned int Get_Radio_Power_V2();  // 0 by default
    unsigned int Get_Radio_Stepper();   // 0 by default
    unsigned int Get_Radio_Air_Baud();  // 4800 by default
    unsigned char Get_Radio_Auto_Power_On();
    unsigned char Get_Radio_Sensitivity();
    unsigned char Get_Radio_FEC();
    void Get_Radio_Protocol(QX_RADIO_PROTOCOL_ENUM& out);
    void Get_Radio_Module_Type(QX_RADIO_MODULE_TYPE_ENUM& out);
    void Get_Radio_Power_Status(QX_RADIO_POWER_STATUS_ENUM& out);
    void Get_Radio_Infolist(QX_RADIO_INFOLIST_STRUCT& out);
    void Get_Radio_Channel_List(QX_RADIO_CHANNEL_LIST_STRUCT& out);
    void Get_Radio_Channel_List_All(QX_RADIO_CHANNEL_LIST_EX_STRUCT& out);
    void Get_Radio_Property_Ex(QX_RADIO_PROPERTY_EX_STRUCT& out);  // text always terminated
    void Get_Radio_Callsign(QX_RADIO_CALLSIGN_STRUCT& out);        // text always terminated

    // Wi-Fi.
    void Get_Cmd_WIFI_Param_AP(Cmd_List& cmds, const QX_WIFI_PARA_AP_STRUCT* p);
    void Get_Cmd_WIFI_Mode(Cmd_List& cmds, const unsigned short* p);
    void Get_Cmd_WIFI_Open(Cmd_List& cmds, bool open);
    void Get_Cmd_WIFI_Auto_Open(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_WIFI_Power_Status_Query(Cmd_List& cmds);
    void Get_Cmd_WIFI_Share(Cmd_List& cmds, const unsigned char* p);
    void Get_Cmd_WIFI_Share_Auto(Cmd_List& cmds, const unsigned char* p);
    unsigned char Get_WIFI_Auto_Open();
    unsigned char Get_WIFI_Share();
    unsigned char Get_WIFI_Share_Auto();
    void Get_WIFI_Mode(QX_WIFI_MODE_ENUM& out);
    void Get_WIFI_Power_Status(QX_WIFI_POWER_STATUS_ENUM& out);
    void Get_WIFI_Param_AP(QX_WIFI_PARA_AP_STRUCT& out);

    // File recording. io is the recording concerned.
    void Get_Cmd_File_Record_Open(Cmd_List& cmds, bool open, QX_FILE_RECORD_IO_ID_ENUM io);
    void Get_Cmd_File_Record_Auto_Open(Cmd_List& cmds, const unsigned char* p,
                                       QX_FILE_RECORD_IO_ID_ENUM io);
    void Get_Cmd_File_Record_Param(Cmd_List& cmds, const QX_FILE_RECORD_CONFIG_STRUCT* p,
                                   QX_FILE_RECORD_IO_ID_ENUM io);
    void Get_Cmd_File_Record_Status_Query(Cmd_List& cmds, QX_FILE_RECORD_IO_ID_ENUM io);
    // Always a set; a null block is sent as an empty item.
    void Get_Cmd_File_Record_PPK(Cmd_List& cmds, const QX_BLOCK_DATA_STRUCT* p);
    unsigned char Get_File_Record_Auto_Open();
    void Get_File_Record_Status(QX_FILE_RECORD_STATUS_ENUM& out);
    void Get_File_Record_Param(QX_FILE_RECORD_CONFIG_STRUCT& out);

    // Old-protocol receivers only (kind 2 without a type-8 board): static files, base
    // positions, radio channels, NMEA output. The buffer readers copy at most 56 bytes (the
    // caller provides 56) and store the length; a null buffer gets no bytes.
    // The builders append nothing on any other receiver.
    void Get_Cmd_Static_FileDir(Cmd_List& cmds);
    void Get_Cmd_Read_Static_File(Cmd_List& cmds, unsigned int index);
    void Get_Cmd_Delete_Static_File(Cmd_List& cmds, unsigned int index);
    void Get_Cmd_Query_Static_Status(Cmd_List& cmds);
    void Get_Cmd_Add_BasePos_To_List(Cmd_List& cmds, double latitude, double longitude,
                                     double height);
    // The entry index and the channel numbers travel as one byte: a value outside 0..255 builds
    // nothing, since its low byte would name another entry.
    void Get_Cmd_Remove_BasePos_From_List(Cmd_List& cmds, int index);
    // Read and clear also empty the stored list, so a read that follows sees only the reply.
    void Get_Cmd_Read_BasePosition_List(Cmd_List& cmds);
    void Get_Cmd_Clear_BasePosition_List(Cmd_List& cmds);
    void Get_Cmd_Get_BasePosition_Difference(Cmd_List& cmds);
    void Get_Cmd_Set_BasePosition_Difference(Cmd_List& cmds, double difference);
    void Query_Radio_ChannelList_Type(Cmd_List& cmds);
    void Set_Radio_Channel_Type(Cmd_List& cmds, int channel, Rdo_Channel_Type type);
    void Query_Radio_ChannelList_Freq(Cmd_List& cmds);
    void Set_Radio_Channel_Freq(Cmd_List& cmds, int channel, double mhz, Channel_Space space);
    void Query_NMEA_Output_Config(Cmd_List& cmds);
    void Set_Radio_Channel0_Enabled(Cmd_List& cmds, bool enabled);
    // NMEA output with the rate table ("RF", "RD", then the board's list), for every receiver
    // of the maker, old and new protocol alike; nothing on any other.
    void Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate, bool flag);
    void Get_Static_FileDir(unsigned char* buffer, int& length);
    void Get_Read_Static_File(unsigned char* buffer, int& length);
    void Get_BasePosition_List(unsigned char* buffer, int& length);
    void Get_BasePosition_Difference(double& out);
    void Get_Radio_ChannelList_Type(std::vector<int>& out);
    void Get_Radio_ChannelList_Freq(std::vector<double>& out);
    void Get_NMEA_Output_Config(NMEAConfigList& out);
    void Get_Static_Status(bool& out);  // true when the stored status byte is 1

private:
    // Single callback calls with the current category and flags.
    void CallData();
    void ClData_Device();
    void ClData_Gnss();

    static Em_GnssProtocol* Make_Protocol(Em_Protocol_Kind kind);

    std::atomic<bool> m_recording{false};
    std::atomic<unsigned long> m_ringResyncs{0};
    // One parse step; with the ring full and no progress, the first byte goes and it steps
    // again.
    int Step_Or_Resync();
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
