// Protocol object of the maker's old protocol. Its parse step cuts "$$" reply frames out of the
// receive ring, checks them and hands each to its decoder; for a type-3 main board it also
// passes NovAtel binary logs (0xAA 0x44 0x12) to the board driver. It owns the receiver state
// the decoders fill and renders the frames the command builders send.
#pragma once

#include <cstdint>

#include "BVParse/Em_GnssProtocol.h"
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

    // One frame, one binary log or one skipped byte per call; 0 when the bytes at hand are
    // not enough (or the board refused a binary log).
    int Parse_Step() override;
    // Types 1, 2, 3, 4 and 7 get their own driver, every other type the NovAtel one. Always true.
    bool Create_Board(MAINBD_OEM_TYPE type) override;

    // The old-protocol command builders are not built yet: these slots append nothing.
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
    void Skip_Byte();
    void Dispatch(int32_t id, unsigned length);
    void Board_Data(unsigned length);
    void Satellites(unsigned length);
    void Apply(const Em_OldReport& r);
    void Clear_Frame();
    template <typename Wrap>
    void Split(Cmd_List& out, const Cmd_List& in, Wrap wrap) const;

    Em_OldReceiver m_rx;
    unsigned char m_frame[kFrameBufferSize];
    int m_frameUsed = 0;  // bytes of m_frame written since it was last zeroed
    int32_t m_frameCounter = 0;
};

}  // namespace BVParse
}  // namespace Brevan2011
