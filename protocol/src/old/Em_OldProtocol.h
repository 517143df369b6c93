// Protocol object of the maker's old protocol. Its parse step cuts "$$" reply frames out of the
// receive ring, checks them and hands each to its decoder; for a type-3 main board it also
// passes NovAtel binary logs (0xAA 0x44 0x12) to the board driver. It owns the receiver state
// the decoders fill and renders the frames the command builders send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BVParse/Em_DeviceRecords.h"
#include "BVParse/Em_GnssProtocol.h"
#include "BVParse/Em_OldRecords.h"
#include "Em_OldFrames.h"
#include "Em_OldReceiver.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemData;

class Em_OldProtocol : public Em_GnssProtocol {
public:
    static constexpr int kFrameBufferSize = 2048;

    Em_OldProtocol();
    ~Em_OldProtocol() override;

    // One frame, one binary log or one skipped byte per call; 0 only when the bytes at hand
    // are not enough.
    int Parse_Step() override;
    // Types 1, 2, 3, 4 and 7 get their own driver, every other type the NovAtel one. Always true.
    bool Create_Board(MAINBD_OEM_TYPE type) override;

    // Main-board commands: the board driver's own commands passed through in "RZ" frames
    // (direct for board type 3), with the old protocol's own frames around them.
    int Get_Gnss_Inite(Cmd_List& cmds) override;
    int Get_Gnss_StartBase(Cmd_List& cmds) override;
    int Get_Gnss_StartRover(Cmd_List& cmds) override;
    int Get_Gnss_Reset(Cmd_List& cmds) override;
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, double unused, int n) override;
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate, int unused) override;
    int Get_Gnss_ElevMask(Cmd_List& cmds) override;
    int Send_Gnss_UnlogData(Cmd_List& cmds) override;
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) override;

    // Command builders. Each appends its frames to the caller's list (never clears it); a
    // builder whose precondition fails, or whose frame the renderer refuses, appends nothing.
    // Device, port and position rate.
    void Get_DeviceInfo(Cmd_List& cmds) const;
    void Get_Battery(Cmd_List& cmds) const;
    void Get_200Data(Cmd_List& cmds, bool on) const;
    void Get_CloseReceiver(Cmd_List& cmds) const;
    void Send_Gprs_DiffInfo(Cmd_List& cmds) const;
    void Query_NMEA_Output_Config(Cmd_List& cmds) const;
    void Get_Cmd_Com_Baudrate(Cmd_List& cmds, int baudCode) const;
    // Rate codes 1, 2, 11 and others; code 0 is the elevation form "SW,B1,B%d", sent only
    // with an elevation of 0 or more.
    void Get_Cmd_Position_Frq(Cmd_List& cmds, int rateCode, int elevation = -1) const;

    // GPRS modem and network ('@' frames).
    bool Send_Gprs_Version(Cmd_List& cmds) const;  // only once the device block was seen
    void Get_Gprs_Info(Cmd_List& cmds) const;
    void Get_Gprs_Status(Cmd_List& cmds) const;
    void Get_Cmd_Modem_Signal_Intensity_Query(Cmd_List& cmds) const;
    void Get_Gprs_Eroinfo(Cmd_List& cmds) const;
    void Get_Gprs_Reset(Cmd_List& cmds) const;
    void Get_Gprs_CosMdl(Cmd_List& cmds) const;
    void Set_Gprs_CosMdl(Cmd_List& cmds, unsigned value) const;
    void Send_Gprs_DisConct(Cmd_List& cmds) const;
    void Set_Gprs_Modle(Cmd_List& cmds, Gprs_Modle value) const;
    void Set_GSM_NumInfo(Cmd_List& cmds, const char* text) const;  // under 64 characters
    void Set_Gprs_SvcInfo(Cmd_List& cmds, const SvcInfo& info) const;
    void Set_Gprs_Ip(Cmd_List& cmds, const IP_ADRES& ip, unsigned port,
                     Protocol_Net protocol) const;
    void Send_Dial_Prtl(Cmd_List& cmds) const;
    void Set_Dial_Prtl(Cmd_List& cmds, unsigned value) const;
    void Send_Cors_Info_Auto(Cmd_List& cmds) const;
    // Nothing when the three texts together exceed 49 characters.
    void Set_Cors_Info_Auto(Cmd_List& cmds, const cors_info& info, unsigned kind) const;
    // NTRIP mount request with Basic credentials, sent as "VL" text frames.
    void Set_Cors_Login(Cmd_List& cmds, const cors_info& info) const;
    static std::string Ntrip_Request(const cors_info& info);

    // Internal UHF radio ('@' frames). The int results: 1 sent, 0 not for this radio type.
    int Set_Radio_Power(Cmd_List& cmds, Radio_Power value) const;
    int Get_Radio_Power(Cmd_List& cmds) const;
    int Set_Radio_Baudrate(Cmd_List& cmds, Radio_Baudrate value) const;
    int Get_Cmd_Radio_Baudrate(Cmd_List& cmds) const;
    // 0 device block not seen, 1 modem version not seen, -1 unknown radio type, 2 sent.
    int Get_Radio_Frq(Cmd_List& cmds) const;
    void Set_Radio_Frq(Cmd_List& cmds, double mhz) const;
    void Set_Radio_Mdl(Cmd_List& cmds, Rdo_Mdl value) const;
    void Set_Radio_Sensitivity(Cmd_List& cmds, Rdo_Sensitv value) const;
    void Get_Cmd_Radio_Sensitivity(Cmd_List& cmds) const;
    void Set_Radio_FEC(Cmd_List& cmds, bool on) const;
    void Get_Cmd_Radio_FEC(Cmd_List& cmds) const;
    void Set_Radio_Callsign(Cmd_List& cmds, const Radio_Callsign& callsign) const;
    void Get_Cmd_Radio_Callsign(Cmd_List& cmds) const;
    // Also sets the radio record's alternate channel step.
    void Set_Radio_ChannelSpace(Cmd_List& cmds, Channel_Space space);
    void Get_Cmd_Radio_ChannelSpace(Cmd_List& cmds) const;
    void Query_Radio_ChannelList_Type(Cmd_List& cmds) const;
    void Set_Radio_Channel_Type(Cmd_List& cmds, int channel, Rdo_Channel_Type type) const;
    void Query_Radio_ChannelList_Freq(Cmd_List& cmds) const;
    void Set_Radio_Channel_Freq(Cmd_List& cmds, int channel, double mhz, Channel_Space space) const;

    // Static recording, files and tilt sensor.
    void Set_Static_Begin(Cmd_List& cmds, bool start) const;
    void Set_Static_Begin(Cmd_List& cmds, bool start, unsigned short value) const;
    void Get_Cmd_Query_Static_Status(Cmd_List& cmds) const;
    void Get_Cmd_Static_FileDir(Cmd_List& cmds) const;
    void Get_Cmd_Read_Static_File(Cmd_List& cmds, uint32_t index) const;
    void Get_Cmd_Delete_Static_File(Cmd_List& cmds, uint32_t index) const;
    void Set_Static_Point(Cmd_List& cmds, const Static_Point* point) const;
    void Get_Cmd_Static_Point(Cmd_List& cmds) const;
    void Set_Static_AnteType(Cmd_List& cmds, const char* text) const;
    void Get_Cmd_Static_AntType(Cmd_List& cmds) const;
    void Set_eBubble_frq(Cmd_List& cmds, GNSS_FRQ rate) const;
    void Set_eBubble_calibration(Cmd_List& cmds, bool on, int value) const;
    void Get_Cmd_StartPPKpt(Cmd_List& cmds, const StartPointInfo* point) const;
    void Get_Cmd_EndPPKpt(Cmd_List& cmds, const EndPointInfo* point) const;
    void Get_Cmd_AntPPKpt(Cmd_List& cmds, const AntPointInfo* point) const;

    // Stored base-position list; the read and clear commands empty the stored list first.
    void Get_Cmd_Add_BasePos_To_List(Cmd_List& cmds, double latitude, double longitude,
                                     double height) const;
    void Get_Cmd_Remove_BasePos_From_List(Cmd_List& cmds, unsigned short index) const;
    void Get_Cmd_Read_BasePosition_List(Cmd_List& cmds);
    void Get_Cmd_Clear_BasePosition_List(Cmd_List& cmds);
    void Get_Cmd_Get_BasePosition_Difference(Cmd_List& cmds) const;
    void Get_Cmd_Set_BasePosition_Difference(Cmd_List& cmds, double difference) const;

    // Device-information block: [0, 0, 0, a's second byte, a's low byte, 128 data bytes].
    void Send_DevcInfo_Update_Crs(Cmd_List& cmds, unsigned a, const unsigned char* data) const;
    // Device-information update: a 2-byte record in an "SS" frame, pause 100.
    void Send_DevcInfo_Update_Str(Cmd_List& cmds) const;
    // One device setting: the record (setting code, then the value's bytes) in a binary "SJ"
    // frame, pause 200.
    void Set_DevcInfo(Cmd_List& cmds, const unsigned char* record, unsigned length) const;

    // NMEA output. Three arguments: the board's list, then "RF". Four: "RF", "RD" with the
    // rate table, then the board's list.
    void Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate) const;
    void Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate,
                        bool flag) const;
    static uint32_t Nmea_Mask(const std::vector<_set_nmea>& list);

    // Readers of stored state.
    void GetInfo_Gprs_Info(WirelessInfo& out) const;
    void Get_FirmWare_Db(unsigned long id, FIRMWARE_DEBUG& out);  // always key 256
    // 0 device block not seen, 1 modem version not seen, -1 unknown radio type, 2 filled.
    int Get_Radio_Range(Radio_Range& out) const;
    int Get_Radio_Info(Radio_Info& out) const;

    // Appends one rendered frame with its pause; false (nothing appended) when refused.
    bool Add_OldText(Cmd_List& cmds, const std::string& text, uint32_t pause,
                     unsigned kind = kOldKindText) const;
    bool Add_OldAt(Cmd_List& cmds, unsigned char c, const unsigned char* data, unsigned length,
                   uint32_t pause) const;
    bool Add_OldBin(Cmd_List& cmds, char first, char second, const unsigned char* payload,
                    unsigned length, uint32_t pause) const;

    // Renderers for the command builders. The link form follows Com_Status (1 serial → 1,
    // 2 Bluetooth → 3); with any other Com_Status no frame is rendered and false is returned.
    unsigned Link_Form() const { return Old_LinkForm(m_comStatus); }
    // Renders a command text into cmd (kind 8 for text commands, 11 for carrier frames).
    bool Pack_OldFrame(const char* text, _STR_CMD& cmd, unsigned kind = kOldKindText) const;
    // Frames a binary payload under two letters (kind 8).
    bool Pack_OldBinFrame(char first, char second, const unsigned char* payload, unsigned length,
                          _STR_CMD& cmd) const;
    // Renders the '@' frame of command byte c with its data as a "VS" carrier frame.
    bool Pack_OldAtFrame(unsigned char c, const unsigned char* data, unsigned length,
                         _STR_CMD& cmd) const;
    // Replaces the bytes of cmd by the frame that carries them; the pause stays.
    bool Wrap_OldCmd(_STR_CMD& cmd, char first, char second) const;
    bool Wrap_OldCmd_RZ(_STR_CMD& cmd) const { return Wrap_OldCmd(cmd, 'R', 'Z'); }
    bool Wrap_OldCmd_VD(_STR_CMD& cmd) const { return Wrap_OldCmd(cmd, 'V', 'D'); }
    bool Wrap_OldCmd_SS(_STR_CMD& cmd) const { return Wrap_OldCmd(cmd, 'S', 'S'); }
    bool Wrap_OldCmd_SX(_STR_CMD& cmd) const { return Wrap_OldCmd(cmd, 'S', 'X'); }
    bool Wrap_OldCmd_SJ(_STR_CMD& cmd) const { return Wrap_OldCmd(cmd, 'S', 'J'); }
    // Replaces a text of at most 55 bytes by its "VL" carrier frame.
    bool Wrap_OldTextCmd(_STR_CMD& cmd) const;
    // Frames each input command (cut into 55-byte pieces with the pause 100 when longer than
    // 55) and appends the frames in order: RZ pass-through frames or VL text frames.
    void Split_OldCmds_RZ(Cmd_List& out, const Cmd_List& in) const;
    void Split_OldCmds_VL(Cmd_List& out, const Cmd_List& in) const;

    // Modem and network queries, each an '@' frame in a "VS" carrier with the pause 200.
    // Nothing is appended when the link form gives no frame.
    void Get_Gprs_Signal(Cmd_List& cmds) const;  // '@' 101
    // '@' 116, then "VM,B1" as a carrier frame.
    void Get_Cmd_NetLink_Source_List_Query(Cmd_List& cmds) const;

    // Receiver state filled by the decoders (the facade and the command builders read it).
    Em_OldReceiver& Receiver() { return m_rx; }
    const Em_OldReceiver& Receiver() const { return m_rx; }
    int32_t Frame_Id() const { return m_frameId; }

    // Where the satellite decoders reach a board data parser's tables (empty view for null).
    static Em_OldBoardSats Board_Sats(Em_OemData* data);

    // Frame id of two command letters.
    static int32_t Old_FrameId(unsigned char first, unsigned char second);

private:
    int Text_Frame();
    int Binary_Log();
    int Long_Log(int total);
    void Skip_Byte();
    struct Frame_Kind;
    static const Frame_Kind kFrameKinds[];
    static const Frame_Kind* Find_Kind(unsigned char first, unsigned char second);
    template <Em_OldReport (Em_OldReceiver::*Decode)(const std::uint8_t*, std::size_t)>
    static void Reply(Em_OldProtocol& p, unsigned length);
    static void End_Assemblies(Em_OldProtocol& p, unsigned length);
    void Board_Data(unsigned length);
    void Satellites(unsigned length);
    void Apply(const Em_OldReport& r);
    void Clear_Frame();
    template <typename Wrap>
    void Split(Cmd_List& out, const Cmd_List& in, Wrap wrap) const;
    template <typename Op>
    int Board_Cmds(Cmd_List& cmds, Op op) const;

    Em_OldReceiver m_rx;
    unsigned char m_frame[kFrameBufferSize];
    int m_frameUsed = 0;                   // bytes of m_frame written since it was last zeroed
    std::vector<unsigned char> m_longLog;  // a binary log longer than m_frame, while checked
    int32_t m_frameCounter = 0;
};

}  // namespace BVParse
}  // namespace Brevan2011
