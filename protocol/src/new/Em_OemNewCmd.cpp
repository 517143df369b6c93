#include "Em_OemNewCmd.h"

#include <vector>

#include "Em_Conversions.h"
#include "BVParse/Em_NewPacket.h"
#include "BVParse/Em_NewRecords.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint16_t kOperation = 0x0001;
constexpr uint32_t kCommandId = 0;

// Appends one packet: the operation item, then the items; 1 when chunks were appended.
int Packet(Cmd_List& cmds, uint16_t operation, std::vector<NewItem> items) {
    items.insert(items.begin(), NewItem{kOperation, &operation});
    const size_t before = cmds.size();
    Build_NewPacket(cmds, items, kCommandId);
    return cmds.size() > before ? 1 : 0;
}

}  // namespace

uint16_t New_FormatCode(int32_t format) {
    switch (format) {
        case 3:
            return 2;
        case 5:
            return 9;
        case 6:
            return 3;
        case 7:
            return 6;
        case 11:
            return 8;
        case 12:
            return 4;
        case 14:
            return 7;
        default:
            return 5;
    }
}

int Em_OemNewCmd::Get_Gnss_Inite(Cmd_List& cmds) {
    const uint16_t nine = 9;
    const uint16_t eleven = 11;
    return Packet(cmds, kOpSet,
                  {{0x0410, &nine},
                   {0x040C, &nine},
                   {0x040D, &eleven},
                   {0x0408, &eleven},
                   {0x040F, &eleven}});
}

int Em_OemNewCmd::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    const uint16_t code = static_cast<uint16_t>(Frq_To_RateCode(rate));
    return Packet(cmds, kOpSet, {{0x0410, &code}});
}

int Em_OemNewCmd::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    const uint16_t code = static_cast<uint16_t>(Frq_To_RateCode(rate));
    return Packet(cmds, kOpSet, {{0x0407, &code}});
}

int Em_OemNewCmd::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int) {
    const uint8_t mask = static_cast<uint8_t>(elevation);
    return Packet(cmds, kOpSet, {{0x0451, &mask}});
}

int Em_OemNewCmd::Get_Gnss_ElevMask(Cmd_List& cmds) {
    return Packet(cmds, kOpQuery, {{0x0451, nullptr}});
}

int Em_OemNewCmd::Send_Gnss_UnlogData(Cmd_List& cmds) {
    return Packet(cmds, kOpSet, {{0x0454, nullptr}});
}

int Em_OemNewCmd::Get_Gnss_StartBase(Cmd_List& cmds) {
    const Base_Config& cfg = Base_Cfg;
    int built = 0;
    for (uint16_t io : {1, 5, 6, 35}) {
        built += Packet(cmds, kOpSet, {{0x0404, &io}, {0x0454, nullptr}});
    }
    const uint16_t selector = static_cast<uint16_t>(cfg.Port_Index);
    const uint16_t format = New_FormatCode(cfg.Diff_Format);
    built += Packet(cmds, kOpSet, {{0x0404, &selector}, {0x0405, &format}});
    if (cfg.Port_Index == 6) {
        const uint16_t one = 1;
        built += Packet(cmds, kOpSet, {{0x0404, &one}, {0x0405, &format}});
    }
    const uint8_t elevation = cfg.Elev_Mask;
    const uint8_t pdop = cfg.Pdop_Mask;
    const QX_GNSS_BASE_SET_STRUCT position{3, cfg.Latitude, cfg.Longitude, cfg.Height};
    built += Packet(cmds, kOpSet, {{0x0451, &elevation}, {0x0450, &pdop}, {0x0452, &position}});
    const uint16_t one = 1;
    const uint16_t baud = static_cast<uint16_t>(Baud_To_Code(static_cast<uint32_t>(cfg.Port_Baud)));
    built += Packet(cmds, kOpSystem, {{0x0104, &one}, {0x0103, &baud}});
    return built != 0 ? 1 : 0;
}

int Em_OemNewCmd::Get_Gnss_StartRover(Cmd_List& cmds) {
    const uint8_t elevation = Rover_Cfg.Elev_Mask;
    const uint8_t pdop = Rover_Cfg.Pdop_Mask;
    const QX_GNSS_BASE_SET_STRUCT mode{1, 0.0, 0.0, 0.0};
    return Packet(cmds, kOpSet, {{0x0451, &elevation}, {0x0450, &pdop}, {0x0452, &mode}});
}

int Em_OemNewCmd::Get_Gnss_Reset(Cmd_List& cmds) {
    return Packet(cmds, kOpSet, {{0x0453, nullptr}});
}

}  // namespace BVParse
}  // namespace Brevan2011
