// Receive side of every board driver: the 2,048-byte input buffer, the board type, and the
// forwarders that pass the protocol object's command requests to the command builder.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "BVParse/Em_GnssTypes.h"
#include "Em_OemCmd.h"
#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

struct OEM_INPUT_BUFFER {
    static constexpr int kSize = 2048;
    unsigned char Data[kSize];
    int32_t Read;
    int32_t Fill;
};

class Em_OemBoard {
public:
    Em_OemBoard();
    virtual ~Em_OemBoard();
    Em_OemBoard(const Em_OemBoard&) = delete;
    Em_OemBoard& operator=(const Em_OemBoard&) = delete;

    // Parses what lies in the input buffer; non-zero when a message was decoded, its
    // bits then being in the data parser's update mask. The base parses nothing.
    virtual int Parse();

    // Each forwards to the command builder's operation of the same name. Without a command
    // builder they return 0 and append nothing.
    virtual int Get_Gnss_StartBase(Cmd_List& cmds);
    virtual int Get_Gnss_StartRover(Cmd_List& cmds);
    virtual int Get_Gnss_Reset(Cmd_List& cmds);
    virtual int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system);
    virtual int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s);
    virtual int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate);
    virtual int Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list);
    virtual int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat);
    virtual int Get_Gnss_ElevMask(Cmd_List& cmds);
    virtual int Send_Gnss_UnlogData(Cmd_List& cmds);
    virtual int Get_Cmd_PassCom(Cmd_List& cmds, int value);

    // The data parser's status word (the elevation mask); 0 without a data parser.
    virtual int Get_Status_Word();
    // Hands one whole binary frame to the data parser's Parse_Message.
    virtual int Handle_Frame(const unsigned char* frame, int id, int length);

    // Appends to the input buffer; bytes that do not fit empty it and are dropped. A driver
    // that can decode in place may override it to make room instead.
    virtual void Add_Data(const unsigned char* bytes, int count);
    // One whole NMEA sentence that the caller has already framed and checked, parsed as
    // Add_Data then Parse would; a driver may override it to skip its own sentence scan.
    virtual int Parse_Sentence(const unsigned char* sentence, int length);
    // Copies n bytes from the read index when they are there, without advancing; 1 on success.
    int Read_Input(unsigned char* dest, int n) const;
    // Empties the input buffer: data, read index and fill count.
    void Clear_Input();

    int Board_Type() const { return m_type; }
    Em_OemCmd* Cmd() const { return m_cmd.get(); }
    Em_OemData* Data() const { return m_data.get(); }
    OEM_INPUT_BUFFER* Input() const { return m_input.get(); }

protected:
    // Drivers set these in their constructors.
    void Set_Board_Type(int type) { m_type = type; }
    void Set_Cmd(Em_OemCmd* cmd) { m_cmd.reset(cmd); }
    void Set_Data(Em_OemData* data) { m_data.reset(data); }

    int32_t m_spare1 = 0;

private:
    std::unique_ptr<OEM_INPUT_BUFFER> m_input;
    int m_type = 0;
    std::unique_ptr<Em_OemCmd> m_cmd;
    std::unique_ptr<Em_OemData> m_data;

protected:
    int32_t m_spare2 = 0;
};

}  // namespace BVParse
}  // namespace Brevan2011
