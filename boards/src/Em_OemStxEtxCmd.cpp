#include "Em_OemStxEtxCmd.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "Em_OutputInterval.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr unsigned char kFile = 100;
constexpr unsigned char kOptionsRequest = 74;
constexpr unsigned char kEphemerisRequest = 84;
constexpr unsigned char kReset = 88;

// General-output record numbers of the position set, in the order they are asked for.
constexpr unsigned char kPositionRecords[] = {1, 3, 6, 9, 2, 12};

struct Nmea_Kind {
    uint32_t bit;
    unsigned char kind;
};
// NMEA mask bits to output kinds, in the order records are written.
constexpr Nmea_Kind kNmeaKinds[] = {
    {0x1, 6},    {0x2, 44},   {0x2000, 45}, {0x10, 38},   {0x20, 13},   {0x40, 18},
    {0x100, 40}, {0x200, 12}, {0x400, 8},   {0x4000, 14}, {0x8000, 15},
};

// A configuration file (one page): its records are left out once they would pass 255 data
// bytes, since the length field is one byte.
class Config_File {
public:
    explicit Config_File(bool factory)
        : m_data{0, 0, 0, 3, 6, 1, static_cast<unsigned char>(factory ? 1 : 0)} {}

    void Record(unsigned char type, std::initializer_list<unsigned char> bytes) {
        Record(type, std::vector<unsigned char>(bytes));
    }
    void Record(unsigned char type, const std::vector<unsigned char>& bytes) {
        if (m_data.size() + 2 + bytes.size() > Em_OemStxEtxCmd::kMaxData) {
            return;
        }
        m_data.push_back(type);
        m_data.push_back(static_cast<unsigned char>(bytes.size()));
        m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    }
    void Raw_Output(unsigned char port, int32_t rawFlag) {
        Record(7, {4, port, Em_OemStxEtxCmd::Raw_Rate_Code(), 0, 7,
                   static_cast<unsigned char>(rawFlag == 0 ? 1 : 0), 0, 0});
    }
    void General_Output(unsigned char record, unsigned char port, unsigned char rate) {
        Record(7, {10, port, rate, 0, record, 0, 0, 0});
    }
    void Short_Output(unsigned char kind, unsigned char port, unsigned char rate) {
        Record(7, {kind, port, rate, 0});
    }
    void General_Controls(unsigned char mask, unsigned char pdop) {
        Record(1, {mask, 1, pdop, 0, 0, 0, 0, 0});
    }
    void Append_To(Cmd_List& cmds, unsigned pause = Em_OemStxEtxCmd::kPause) const {
        Em_OemStxEtxCmd::Add_Packet(cmds, kFile, m_data, pause);
    }

private:
    std::vector<unsigned char> m_data;
};

void Put_Double_Be(std::vector<unsigned char>& out, double v) {
    uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    for (int shift = 56; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(u >> shift));
    }
}

bool Is_Any(const char* text, std::size_t size) {
    const std::string s(text, strnlen(text, size));
    return s.empty() || s == "ANY" || s == "any";
}

// Decimal value of the reference-station text (digits only; anything else reads 0).
int Station_Number(const char* text, std::size_t size) {
    int v = 0;
    for (std::size_t i = 0; i < size && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > 65535) {
            return 65535;
        }
    }
    return v;
}

}  // namespace

Em_OemStxEtxCmd::Em_OemStxEtxCmd() {
    std::memcpy(Rover_Cfg.Ref_Station, "ANY", 4);
}

bool Em_OemStxEtxCmd::Add_Packet(Cmd_List& cmds, unsigned char type, const unsigned char* data,
                                 int n, unsigned pause) {
    if (n < 0 || n > kMaxData || (n > 0 && data == nullptr)) {
        return false;
    }
    _STR_CMD cmd;
    std::memset(&cmd, 0, sizeof cmd);
    unsigned char* p = cmd.data;
    p[0] = 0x02;
    p[1] = 0x00;
    p[2] = type;
    p[3] = static_cast<unsigned char>(n);
    if (n > 0) {
        std::memcpy(p + 4, data, static_cast<size_t>(n));
    }
    unsigned sum = 0;
    for (int i = 1; i < 4 + n; ++i) {
        sum += p[i];
    }
    p[4 + n] = static_cast<unsigned char>(sum & 0xFF);
    p[5 + n] = 0x03;
    cmd.length = static_cast<uint32_t>(n + 6);
    cmd.pause = pause;
    cmds.push_back(cmd);
    return true;
}

unsigned char Em_OemStxEtxCmd::Baud_Code(int32_t baud) {
    switch (baud) {
        case 300:
            return 8;
        case 600:
            return 9;
        case 1200:
            return 10;
        case 2400:
            return 1;
        case 4800:
            return 2;
        case 9600:
            return 3;
        case 19200:
            return 4;
        case 38400:
            return 5;
        case 57600:
            return 6;
        case 115200:
            return 7;
        default:
            return 0;
    }
}

unsigned char Em_OemStxEtxCmd::Raw_Rate_Code() {
    switch (Get_Output_Interval()) {
        case 2:
            return 4;
        case 5:
            return 5;
        case 10:
            return 6;
        case 15:
            return 12;
        case 30:
            return 7;
        case 60:
            return 8;
        case 250:
            return 11;
        case 251:
            return 2;
        default:
            return 3;
    }
}

int Em_OemStxEtxCmd::Get_Gnss_Inite(Cmd_List& cmds) {
    const unsigned char port = static_cast<unsigned char>(Out_Port);
    Config_File file(true);
    file.Raw_Output(port, Raw_Flag);
    for (unsigned char r : kPositionRecords) {
        file.General_Output(r, port, 3);
    }
    file.General_Output(34, port, 5);
    file.Short_Output(8, 1, 3);
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    const unsigned char port = static_cast<unsigned char>(Out_Port);
    Config_File file(false);
    file.Raw_Output(port, Raw_Flag);
    for (unsigned char r : kPositionRecords) {
        file.General_Output(r, port, static_cast<unsigned char>(rate));
    }
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ) {
    Config_File file(false);
    file.Raw_Output(static_cast<unsigned char>(Out_Port), Raw_Flag);
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ) {
    for (unsigned sat = 1; sat <= 32; ++sat) {
        Send_Gnss_EphemSat(cmds, sat);
    }
    return 1;
}

int Em_OemStxEtxCmd::Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat) {
    if (sat < 1 || sat > 32) {
        return 0;
    }
    const unsigned char data[] = {1, static_cast<unsigned char>(sat), 0};
    Add_Packet(cmds, kEphemerisRequest, data, 3);
    return 1;
}

int Em_OemStxEtxCmd::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int) {
    Config_File file(false);
    file.General_Controls(static_cast<unsigned char>(elevation), 95);
    file.Append_To(cmds, 500);
    return 1;
}

int Em_OemStxEtxCmd::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) {
    const unsigned char port = static_cast<unsigned char>(Out_Port);
    Config_File file(false);
    for (const Nmea_Kind& k : kNmeaKinds) {
        if ((mask & k.bit) != 0) {
            file.Short_Output(k.kind, port, static_cast<unsigned char>(rate));
        }
    }
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) {
    const unsigned char port = static_cast<unsigned char>(Out_Port);
    Config_File file(false);
    for (const _set_nmea& e : list) {
        for (const Nmea_Kind& k : kNmeaKinds) {
            if ((static_cast<uint32_t>(e.Nmea_Id) & k.bit) != 0) {
                file.Short_Output(k.kind, port, static_cast<unsigned char>(e.Rate_Id));
                break;
            }
        }
    }
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Get_Gnss_ElevMask(Cmd_List& cmds) {
    Add_Packet(cmds, kOptionsRequest, nullptr, 0);
    return 1;
}

int Em_OemStxEtxCmd::Send_Gnss_UnlogData(Cmd_List& cmds) {
    Config_File file(false);
    file.Short_Output(255, static_cast<unsigned char>(Out_Port), 0);
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Get_Gnss_StartBase(Cmd_List& cmds) {
    // The base always sends on the board's second port at 38400 baud.
    Base_Cfg.Port_Index = 1;
    Base_Cfg.Port_Baud = 38400;

    Config_File file(true);
    file.General_Controls(Base_Cfg.Elev_Mask, Base_Cfg.Pdop_Mask);
    file.Record(2, {1, Baud_Code(Base_Cfg.Port_Baud), 0, 0});

    std::vector<unsigned char> ref = {0, 0};
    for (int i = 0; i < 8; ++i) {
        const std::size_t len = strnlen(Base_Cfg.Station_Name, sizeof Base_Cfg.Station_Name);
        ref.push_back(static_cast<std::size_t>(i) < len
                          ? static_cast<unsigned char>(Base_Cfg.Station_Name[i])
                          : static_cast<unsigned char>(' '));
    }
    Put_Double_Be(ref, Base_Cfg.Latitude);
    Put_Double_Be(ref, Base_Cfg.Longitude);
    Put_Double_Be(ref, Base_Cfg.Height);
    const uint32_t station = static_cast<uint32_t>(Base_Cfg.Station_Id);
    ref.push_back(static_cast<unsigned char>((station >> 8) & 0x03));
    ref.push_back(static_cast<unsigned char>(station & 0xFF));
    ref.push_back(static_cast<unsigned char>(station & 0x1F));
    file.Record(3, ref);

    file.Raw_Output(1, Raw_Flag);
    unsigned char family = 2;
    unsigned char variant = 0;
    switch (Base_Cfg.Diff_Format) {
        case 3:
            variant = 2;
            break;
        case 7:
            family = 3;
            variant = 33;
            break;
        case 8:
            family = 3;
            variant = 1;
            break;
        case 9:
            family = 3;
            variant = 9;
            break;
        case 10:
            family = 3;
            variant = 17;
            break;
        case 12:
            variant = 3;
            break;
        case 14:
            family = 3;
            variant = 49;
            break;
        default:
            break;
    }
    file.Record(7, {family, 1, 3, 0, variant});
    file.Append_To(cmds);
    return 1;
}

int Em_OemStxEtxCmd::Get_Gnss_StartRover(Cmd_List& cmds) {
    Add_Packet(cmds, kOptionsRequest, nullptr, 0);
    Rover_Cfg.Seq_Counter = 1;
    const unsigned seq = static_cast<unsigned>(Rover_Cfg.Seq_Counter);
    const bool mode4 = Board_Mode == 4;

    Config_File file(false);
    file.General_Controls(Rover_Cfg.Elev_Mask, Rover_Cfg.Pdop_Mask);
    const bool any = Is_Any(Rover_Cfg.Ref_Station, sizeof Rover_Cfg.Ref_Station);
    const int station =
        any ? 0 : Station_Number(Rover_Cfg.Ref_Station, sizeof Rover_Cfg.Ref_Station);
    if (mode4) {
        file.Record(16, {0, 3, 13, 64, static_cast<unsigned char>(any ? 255 : station & 0xFF),
                         static_cast<unsigned char>(any ? 255 : (station >> 8) & 0xFF)});
    } else {
        file.Record(25, {static_cast<unsigned char>(any ? 255 : station & 0xFF), 0, 0});
    }
    file.Append_To(cmds);

    const unsigned char next = static_cast<unsigned char>(seq + 1);
    Add_Packet(cmds, 132, {0x84, static_cast<unsigned char>(seq + 129)}, 50);
    Add_Packet(cmds, 89, {0, next, 0}, 50);
    if (mode4) {
        Add_Packet(cmds, 78, {1, 5, 0, 10, 4, 0, 97}, 50);
        Add_Packet(cmds, 78, {2, 0, 2, 0, 0, 0, 0, 0, 0}, 50);
    }
    const std::vector<unsigned char> mode = {next, 1, static_cast<unsigned char>(mode4 ? 5 : 23),
                                             0,    1, 0};
    Add_Packet(cmds, 73, mode, 50);
    if (!mode4) {
        static const unsigned char kRequests[7][3] = {{0, 0, 0},   {4, 120, 0}, {4, 122, 0},
                                                      {4, 124, 0}, {4, 126, 0}, {4, 131, 0},
                                                      {4, 134, 0}};
        for (const auto& r : kRequests) {
            Add_Packet(cmds, 163, r, 3, 50);
        }
    } else {
        Add_Packet(cmds, 36, mode, 50);
    }
    if (Raw_Flag == 1) {
        Add_Packet(cmds, 83, {14, 0, 0}, 50);
    }
    cmds.back().pause = 500;
    return Get_Gnss_Inite(cmds);
}

int Em_OemStxEtxCmd::Get_Gnss_Reset(Cmd_List& cmds) {
    Add_Packet(cmds, kReset, {0xFF, 0x03, 'R', 'E', 'S', 'E', 'T'});
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
