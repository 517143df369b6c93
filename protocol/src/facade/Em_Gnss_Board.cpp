// Em_Gnss operations of every receiver kind: command requests forwarded to the protocol
// object's operations of the same name, the board data parser's GNSS results, and the board's
// base and rover settings.
#include <algorithm>
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

Em_OemData* Board_Data(Em_GnssProtocol* p) {
    return (p != nullptr && p->Board() != nullptr) ? p->Board()->Data() : nullptr;
}

Em_OemCmd* Board_Cmd(Em_GnssProtocol* p) {
    return (p != nullptr && p->Board() != nullptr) ? p->Board()->Cmd() : nullptr;
}

}  // namespace

int Em_Gnss::Get_Gnss_Inite(Cmd_List& cmds) {
    return m_protocol ? m_protocol->Get_Gnss_Inite(cmds) : 0;
}
int Em_Gnss::Get_Gnss_StartBase(Cmd_List& cmds) {
    return m_protocol ? m_protocol->Get_Gnss_StartBase(cmds) : 0;
}
int Em_Gnss::Get_Gnss_StartRover(Cmd_List& cmds) {
    return m_protocol ? m_protocol->Get_Gnss_StartRover(cmds) : 0;
}
int Em_Gnss::Get_Gnss_Reset(Cmd_List& cmds) {
    return m_protocol ? m_protocol->Get_Gnss_Reset(cmds) : 0;
}
int Em_Gnss::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation) {
    return m_protocol ? m_protocol->Set_Gnss_ElevDgre(cmds, elevation, 5.0, 4) : 0;
}
int Em_Gnss::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_protocol ? m_protocol->Set_Gnss_PosFrq(cmds, rate) : 0;
}
int Em_Gnss::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_protocol ? m_protocol->Send_Gnss_Obs(cmds, rate) : 0;
}
int Em_Gnss::Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate) {
    return m_protocol ? m_protocol->Send_Gnss_Ephemeris(cmds, rate) : 0;
}
int Em_Gnss::Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat) {
    return m_protocol ? m_protocol->Send_Gnss_EphemSat(cmds, sat) : 0;
}
int Em_Gnss::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate, int value) {
    return m_protocol ? m_protocol->Set_Gnss_Nmea(cmds, mask, rate, value) : 0;
}
int Em_Gnss::Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s) {
    return m_protocol ? m_protocol->Set_Gnss_SatUse(cmds, sat, use, s) : 0;
}
int Em_Gnss::Get_Gnss_ElevMask(Cmd_List& cmds) {
    return m_protocol ? m_protocol->Get_Gnss_ElevMask(cmds) : 0;
}
int Em_Gnss::Send_Gnss_UnlogData(Cmd_List& cmds) {
    return m_protocol ? m_protocol->Send_Gnss_UnlogData(cmds) : 0;
}
int Em_Gnss::Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    return m_protocol ? m_protocol->Send_DiffDataToGnss(cmds, bytes, n) : 0;
}
void Em_Gnss::Get_PassCom_Char(PASSCOMCHAR& out) {
    if (m_protocol) {
        m_protocol->Get_PassCom_Char(out);
    }
}
int Em_Gnss::Get_Cmd_PassCom(Cmd_List& cmds, int value) {
    return m_protocol ? m_protocol->Get_Cmd_PassCom(cmds, value) : 0;
}
void Em_Gnss::Set_GNSS_ParseNmea(bool on) {
    if (m_protocol) {
        m_protocol->Set_GNSS_ParseNmea(on);
    }
}

void Em_Gnss::Get_Gnss_Time(Time_Str* time) {
    const Em_OemData* d = Board_Data(m_protocol);
    if (d == nullptr || time == nullptr) {
        return;
    }
    time->Year = d->Year;
    time->Month = d->Month;
    time->Day = d->Day;
    time->Hour = d->Hour;
    time->Minute = d->Minute;
    time->Second = d->Second;
    time->Hour_Offset = static_cast<int16_t>(d->Hour_Offset);
}

void Em_Gnss::Get_Gnss_Pos(POS_INFO* pos) {
    const Em_OemData* d = Board_Data(m_protocol);
    if (d == nullptr || pos == nullptr) {
        return;
    }
    pos->Latitude = m_protocol->Get_Latitude();
    pos->Longitude = m_protocol->Get_Longitude();
    pos->Height = m_protocol->Get_Height();
    pos->Sol_Code = m_protocol->Get_Sol_Code();
    pos->Diff_Age = m_protocol->Get_Diff_Age();
    Time_Str time;
    Get_Gnss_Time(&time);
    pos->Time = time;
    pos->Sats_Used = static_cast<int16_t>(d->Sats_Used);
    pos->Fix_Type = static_cast<int16_t>(d->Fix_Type);
    pos->Err_Vert = m_protocol->Get_Err_Vert();
    pos->Err_Rms = m_protocol->Get_Err_Rms();
    pos->Err_Horz = m_protocol->Get_Err_Horz();
}

void Em_Gnss::Get_Gnss_Dops(Dops* dops) {
    if (m_protocol == nullptr || dops == nullptr || Board_Data(m_protocol) == nullptr) {
        return;
    }
    dops->Hdop = m_protocol->Get_Hdop();
    dops->Vdop = m_protocol->Get_Vdop();
    dops->Pdop = m_protocol->Get_Pdop();
    dops->Tdop = m_protocol->Get_Tdop();
    dops->Gdop = m_protocol->Get_Gdop();
}

void Em_Gnss::Get_Gnss_Precision(Precisions* precision) {
    if (m_protocol == nullptr || precision == nullptr || Board_Data(m_protocol) == nullptr) {
        return;
    }
    precision->Err_Horz = m_protocol->Get_Err_Horz();
    precision->Err_Rms = m_protocol->Get_Err_Rms();
    precision->Err_Vert = m_protocol->Get_Err_Vert();
}

void Em_Gnss::Get_Gnss_Gprmc(double& speed, double& course) {
    if (Board_Data(m_protocol) == nullptr) {
        return;
    }
    speed = m_protocol->Get_Speed();
    course = m_protocol->Get_Course();
}

void Em_Gnss::Get_Gnss_Baseinfo(BASEINFO& out) {
    if (m_protocol) {
        m_protocol->Get_Base_Info(out);
    }
}

void Em_Gnss::Get_Gnss_Gpgga(unsigned char* dest, unsigned* length) {
    if (m_protocol == nullptr) {
        return;
    }
    if (IsVeltaNewProtocolReceiver()) {
        const auto* d = dynamic_cast<const Em_OemNewData*>(Board_Data(m_protocol));
        if (d == nullptr) {
            return;
        }
        const unsigned n = std::min<unsigned>(d->sentenceLength, Em_OemNewData::kSentenceMax);
        if (dest != nullptr) {
            std::memcpy(dest, d->sentence, n);
        }
        if (length != nullptr) {
            *length = n;
        }
        return;
    }
    m_protocol->Get_Gga_Text(dest, length);
}

unsigned Em_Gnss::GetInfo_Gnss_Solutions() {
    const Em_OemData* d = Board_Data(m_protocol);
    return d ? d->Solutions : 0;
}

void Em_Gnss::Get_Gnss_SatTypeNum(int& count) {
    if (const Em_OemData* d = Board_Data(m_protocol)) {
        count = d->Sat_Type_Num;
    }
}

uint32_t Em_Gnss::Get_Gnss_SatUse(int flag, SAT_USE* out) {
    if (m_protocol == nullptr || flag != 0) {
        return 0;
    }
    return m_protocol->Get_Gnss_SatUse(0, out);
}

void Em_Gnss::Get_Gnss_SatInfo(int constellation, unsigned* count, SATLLITE_STR* out) {
    std::memset(m_satScratch, 0, sizeof(m_satScratch));
    Em_OemData* d = Board_Data(m_protocol);
    const SATLLITE_STR* table = nullptr;
    int n = 0;
    if (d != nullptr) {
        switch (constellation) {
            case 1:
                table = d->Sat_Gps;
                n = d->Sat_Gps_Count;
                break;
            case 2:
                table = d->Sat_Glo;
                n = d->Sat_Glo_Count;
                break;
            case 3:
                table = d->Sat_Bds;
                n = d->Sat_Bds_Count;
                break;
            case 4:
                table = d->Sat_Tab4;
                n = d->Sat_Tab4_Count;
                break;
            case 5:
                table = d->Sat_Tab5;
                n = d->Sat_Tab5_Count;
                break;
            default:
                break;
        }
    }
    // The tables hold 32 records; a count beyond them, or below 0, is none.
    if (table == nullptr || n < 0 || n > Em_OemData::kSatTableSize) {
        n = 0;
    }
    std::copy(table, table + n, m_satScratch);
    if (count != nullptr) {
        *count = static_cast<unsigned>(n);
    }
    if (out != nullptr) {
        std::copy(m_satScratch, m_satScratch + n, out);
    }
}

void Em_Gnss::Get_Gnss_Ephemeris(unsigned* system, em_eph_t* eph) {
    const Em_OemData* d = Board_Data(m_protocol);
    if (d == nullptr || eph == nullptr || !d->Eph) {
        return;
    }
    // Records are numbered from 1: GPS 1-32, BeiDou 161-196.
    const int n = d->Eph_Last_Sat;
    unsigned sys = 0;
    if (n >= 1 && n <= 32) {
        sys = 1;
    } else if (n >= 161 && n <= 196) {
        sys = 4;
    } else {
        return;
    }
    if (n > Em_OemData::kEphCount) {
        return;
    }
    *eph = d->Eph[static_cast<size_t>(n - 1)];
    if (system != nullptr) {
        *system = sys;
    }
}

int Em_Gnss::Get_Gnss_Obs_t(em_obs_t* obs) {
    const Em_OemData* d = Board_Data(m_protocol);
    if (d == nullptr || obs == nullptr) {
        return 0;
    }
    int count = 0;
    int capacity = 0;
    const void* store = d->Obs_Store(&count, &capacity);
    std::memset(static_cast<void*>(obs->data), 0, sizeof(obs->data));
    // The board's count is its own word: bound it by the store it counts and by the record.
    const int n = store ? std::max(0, std::min({count, capacity, em_obs_t::kMax})) : 0;
    if (n > 0) {
        std::memcpy(static_cast<void*>(obs->data), store, sizeof(obsd_t) * static_cast<size_t>(n));
    }
    return n;
}

void Em_Gnss::Get_Gnss_Trsinfo(TRSMT_INFO& out) {
    const Em_OemData* d = Board_Data(m_protocol);
    if (d != nullptr && d->Trsmt) {
        out = d->Trsmt->Info;
    }
}

void Em_Gnss::Set_TimeZone(int zone) {
    if (Em_OemData* d = Board_Data(m_protocol)) {
        d->Hour_Offset = (zone >= 0 && zone <= 24) ? zone : 8;
    }
}

int Em_Gnss::Get_TimeZone() {
    const Em_OemData* d = Board_Data(m_protocol);
    return d ? d->Hour_Offset : 0;
}

void Em_Gnss::Set_Gnss_BsCfg(const Base_Config& config) {
    if (m_protocol == nullptr) {
        return;
    }
    Base_Config cfg = config;
    unsigned char device[sizeof(DEVICE_STR)] = {};
    if (IsVeltaOldProtocolReceiver()) {
        if (const auto* old = dynamic_cast<const Em_OldProtocol*>(m_protocol)) {
            std::memcpy(device, &old->Receiver().device, sizeof(device));
        }
    }
    // Format 16 stands for "the receiver's own format", by the model byte of the device block.
    if (cfg.Diff_Format == 16) {
        static const int32_t kByModel[] = {3, 6, 4, 7, 5, 12};
        const unsigned char model = device[75];
        cfg.Diff_Format = model < 6 ? kByModel[model] : 14;
    }
    if (Em_OemCmd* cmd = Board_Cmd(m_protocol)) {
        cmd->Base_Cfg = cfg;
    }
    int32_t word = 0;
    std::memcpy(&word, reinterpret_cast<const unsigned char*>(&cfg) + 18, sizeof(word));
    m_protocol->Set_Last_Word(word);
}

Base_Config* Em_Gnss::Get_Gnss_BsCfg() {
    Em_OemCmd* cmd = Board_Cmd(m_protocol);
    return cmd ? &cmd->Base_Cfg : nullptr;
}

Rover_Config* Em_Gnss::Get_Gnss_RvCfg() {
    Em_OemCmd* cmd = Board_Cmd(m_protocol);
    return cmd ? &cmd->Rover_Cfg : nullptr;
}

void Em_Gnss::Set_Gnss_RvCfg(const Rover_Config& config) {
    if (Em_OemCmd* cmd = Board_Cmd(m_protocol)) {
        cmd->Rover_Cfg = config;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
