#include "Em_OemBoard.h"

#include <cstring>

namespace Brevan2011 {
namespace BVParse {

Em_OemBoard::Em_OemBoard() : m_input(new OEM_INPUT_BUFFER) {
    std::memset(m_input.get(), 0, sizeof(OEM_INPUT_BUFFER));
}

Em_OemBoard::~Em_OemBoard() {
    // The builder and the parser go before the input buffer, as they were made after it.
    m_cmd.reset();
    m_data.reset();
    m_input.reset();
}

int Em_OemBoard::Parse() {
    return 1;
}

int Em_OemBoard::Get_Gnss_StartBase(Cmd_List& cmds) {
    return m_cmd ? m_cmd->Get_Gnss_StartBase(cmds) : 0;
}
int Em_OemBoard::Get_Gnss_StartRover(Cmd_List& cmds) {
    return m_cmd ? m_cmd->Get_Gnss_StartRover(cmds) : 0;
}
int Em_OemBoard::Get_Gnss_Reset(Cmd_List& cmds) {
    return m_cmd ? m_cmd->Get_Gnss_Reset(cmds) : 0;
}
int Em_OemBoard::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) {
    return m_cmd ? m_cmd->Set_Gnss_ElevDgre(cmds, elevation, system) : 0;
}
int Em_OemBoard::Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s) {
    return m_cmd ? m_cmd->Set_Gnss_SatUse(cmds, sat, use, s) : 0;
}
int Em_OemBoard::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) {
    return m_cmd ? m_cmd->Set_Gnss_Nmea(cmds, mask, rate) : 0;
}
int Em_OemBoard::Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) {
    return m_cmd ? m_cmd->Set_Nmea_List(cmds, list) : 0;
}
int Em_OemBoard::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_cmd ? m_cmd->Set_Gnss_PosFrq(cmds, rate) : 0;
}
int Em_OemBoard::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_cmd ? m_cmd->Send_Gnss_Obs(cmds, rate) : 0;
}
int Em_OemBoard::Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_cmd ? m_cmd->Send_Gnss_Ephemeris(cmds, rate) : 0;
}
int Em_OemBoard::Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat) {
    return m_cmd ? m_cmd->Send_Gnss_EphemSat(cmds, sat) : 0;
}
int Em_OemBoard::Get_Gnss_ElevMask(Cmd_List& cmds) {
    return m_cmd ? m_cmd->Get_Gnss_ElevMask(cmds) : 0;
}
int Em_OemBoard::Send_Gnss_UnlogData(Cmd_List& cmds) {
    return m_cmd ? m_cmd->Send_Gnss_UnlogData(cmds) : 0;
}
int Em_OemBoard::Get_Cmd_PassCom(Cmd_List& cmds, int value) {
    return m_cmd ? m_cmd->Get_Cmd_PassCom(cmds, value) : 0;
}

int Em_OemBoard::Get_Status_Word() {
    return m_data ? m_data->Status_Word : 0;
}

int Em_OemBoard::Handle_Frame(const unsigned char* frame, int id, int length) {
    return m_data ? m_data->Parse_Message(frame, id, length) : 0;
}

void Em_OemBoard::Add_Data(const unsigned char* bytes, int count) {
    if (bytes == nullptr || count <= 0 || !m_input) {
        return;
    }
    if (count <= OEM_INPUT_BUFFER::kSize - m_input->Fill) {
        std::memcpy(m_input->Data + m_input->Fill, bytes, static_cast<size_t>(count));
        m_input->Fill += count;
    } else {
        Clear_Input();
    }
}

int Em_OemBoard::Parse_Sentence(const unsigned char* sentence, int length) {
    Add_Data(sentence, length);
    return Parse();
}

int Em_OemBoard::Read_Input(unsigned char* dest, int n) const {
    if (dest == nullptr || n <= 0 || !m_input || m_input->Read < 0 ||
        n > m_input->Fill - m_input->Read) {
        return 0;
    }
    std::memcpy(dest, m_input->Data + m_input->Read, static_cast<size_t>(n));
    return 1;
}

void Em_OemBoard::Clear_Input() {
    if (m_input) {
        std::memset(m_input.get(), 0, sizeof(OEM_INPUT_BUFFER));
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
