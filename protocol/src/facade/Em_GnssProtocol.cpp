#include "BVParse/Em_GnssProtocol.h"

#include <algorithm>
#include <cstring>

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

Em_GnssProtocol::Em_GnssProtocol(int kind) : m_kind(kind), m_ring(new Em_RcvRing) {}

Em_GnssProtocol::~Em_GnssProtocol() {
    Replace_Board(nullptr);
    if (m_ring) {
        m_ring->Clear();
    }
}

void Em_GnssProtocol::Replace_Board(Em_OemBoard* board) {
    delete m_board;
    m_board = board;
}

int Em_GnssProtocol::Board_Type() const {
    return m_board ? m_board->Board_Type() : 0;
}

namespace {
template <class F>
double Data_Value(Em_OemBoard* board, F read, double fallback = 0.0) {
    if (board == nullptr || board->Data() == nullptr) {
        return fallback;
    }
    return read(*board->Data());
}
}  // namespace

double Em_GnssProtocol::Get_Latitude() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Latitude; });
}
double Em_GnssProtocol::Get_Longitude() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Longitude; });
}
double Em_GnssProtocol::Get_Height() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Height; });
}
double Em_GnssProtocol::Get_Err_Vert() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Err_Vert; });
}
double Em_GnssProtocol::Get_Err_Horz() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Err_Horz; });
}
double Em_GnssProtocol::Get_Err_Rms() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Err_Rms; });
}
double Em_GnssProtocol::Get_Pdop() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Pdop; });
}
double Em_GnssProtocol::Get_Vdop() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Vdop; });
}
double Em_GnssProtocol::Get_Hdop() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Hdop; });
}
double Em_GnssProtocol::Get_Tdop() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Tdop; });
}
double Em_GnssProtocol::Get_Gdop() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Gdop; });
}
double Em_GnssProtocol::Get_Speed() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Speed; });
}
double Em_GnssProtocol::Get_Course() {
    return Data_Value(m_board, [](Em_OemData& d) { return d.Course; });
}

void Em_GnssProtocol::Get_Base_Info(BASEINFO& out) {
    if (m_board != nullptr && m_board->Data() != nullptr) {
        out = m_board->Data()->Base_Info;
    }
}

void Em_GnssProtocol::Get_Gga_Text(unsigned char* dest, unsigned* length) {
    if (m_board == nullptr || m_board->Data() == nullptr) {
        return;
    }
    const Em_OemData& d = *m_board->Data();
    const int n = std::min(std::max(d.Gga_Len, 0), Em_OemData::kGgaTextSize);
    if (dest != nullptr) {
        std::memcpy(dest, d.Gga_Text, static_cast<size_t>(n));
    }
    if (length != nullptr) {
        *length = static_cast<unsigned>(n);
    }
}

int Em_GnssProtocol::Get_Sol_Code() {
    return (m_board && m_board->Data()) ? m_board->Data()->Sol_Code : 0;
}

double Em_GnssProtocol::Get_Diff_Age() {
    return Data_Value(
        m_board, [](Em_OemData& d) { return d.Diff_Age; }, -1.0);
}

int Em_GnssProtocol::Get_Gnss_Inite(Cmd_List& cmds) {
    return (m_board && m_board->Cmd()) ? m_board->Cmd()->Get_Gnss_Inite(cmds) : 0;
}
int Em_GnssProtocol::Get_Gnss_StartBase(Cmd_List& cmds) {
    return m_board ? m_board->Get_Gnss_StartBase(cmds) : 0;
}
int Em_GnssProtocol::Get_Gnss_StartRover(Cmd_List& cmds) {
    return m_board ? m_board->Get_Gnss_StartRover(cmds) : 0;
}
int Em_GnssProtocol::Get_Gnss_Reset(Cmd_List& cmds) {
    return m_board ? m_board->Get_Gnss_Reset(cmds) : 0;
}
int Em_GnssProtocol::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, double, int n) {
    return m_board ? m_board->Set_Gnss_ElevDgre(cmds, elevation, n) : 0;
}
int Em_GnssProtocol::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_board ? m_board->Set_Gnss_PosFrq(cmds, rate) : 0;
}
int Em_GnssProtocol::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_board ? m_board->Send_Gnss_Obs(cmds, rate) : 0;
}
int Em_GnssProtocol::Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_board ? m_board->Send_Gnss_Ephemeris(cmds, rate) : 0;
}
int Em_GnssProtocol::Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat) {
    return m_board ? m_board->Send_Gnss_EphemSat(cmds, sat) : 0;
}
int Em_GnssProtocol::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate, int) {
    return m_board ? m_board->Set_Gnss_Nmea(cmds, mask, rate) : 0;
}
int Em_GnssProtocol::Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s) {
    return m_board ? m_board->Set_Gnss_SatUse(cmds, sat, use, s) : 0;
}
int Em_GnssProtocol::Get_Gnss_ElevMask(Cmd_List& cmds) {
    return m_board ? m_board->Get_Gnss_ElevMask(cmds) : 0;
}
int Em_GnssProtocol::Send_Gnss_UnlogData(Cmd_List& cmds) {
    return m_board ? m_board->Send_Gnss_UnlogData(cmds) : 0;
}

void Em_GnssProtocol::Get_PassCom_Char(PASSCOMCHAR& out) {
    if (m_board != nullptr && m_board->Data() != nullptr) {
        out = m_board->Data()->Pass_Com;
    }
}

int Em_GnssProtocol::Get_Cmd_PassCom(Cmd_List& cmds, int value) {
    return m_board ? m_board->Get_Cmd_PassCom(cmds, value) : 0;
}

void Em_GnssProtocol::Set_GNSS_ParseNmea(bool on) {
    if (m_board != nullptr && m_board->Data() != nullptr) {
        m_board->Data()->Parse_Nmea = on ? 1 : 0;
    }
}

int Em_GnssProtocol::Split_Raw_Cmds(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    return Split_Bytes(cmds, bytes, n, 50);
}

int Em_GnssProtocol::Split_Bytes(Cmd_List& cmds, const unsigned char* bytes, unsigned n,
                                 unsigned pause) {
    if (bytes == nullptr) {
        return 0;
    }
    const unsigned chunk = sizeof(_STR_CMD::data);
    int records = 0;
    unsigned offset = 0;
    do {
        const unsigned len = std::min(chunk, n - offset);
        _STR_CMD cmd;
        std::memset(&cmd, 0, sizeof(cmd));
        std::memcpy(cmd.data, bytes + offset, len);
        cmd.pause = pause;
        cmd.length = len;
        cmds.push_back(cmd);
        ++records;
        offset += len;
    } while (offset < n);
    return records;
}

uint32_t Em_GnssProtocol::Get_Gnss_SatUse(int flag, SAT_USE* out) {
    if (m_board == nullptr || m_board->Data() == nullptr || out == nullptr) {
        return 0;
    }
    uint32_t* words = m_board->Data()->Sat_Use;
    words[0] = std::max(words[0], words[1]);
    if (flag == 0) {
        out->Word1 = words[0];
        out->Word2 = words[1];
    }
    return words[0];
}

}  // namespace BVParse
}  // namespace Brevan2011
