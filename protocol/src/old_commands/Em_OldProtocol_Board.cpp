// Old-protocol command builders for the receiver's main board and its NMEA output. The board
// driver builds the board's own commands; boards of types 1, 2, 4 and 7 get them passed through
// in "RZ" frames, type 3 takes them unframed, and every other type gets none.
#include <algorithm>
#include <string>

#include "Em_OemBoard.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint32_t kBoardPause = 100;
constexpr uint32_t kRestartPause = 3000;
constexpr uint32_t kElevPause = 200;
constexpr uint32_t kRoverModePause = 2000;
constexpr uint32_t kDiffPause = 10;

enum class Route { None, Framed, Direct };

Route RouteOf(int boardType) {
    switch (boardType) {
        case MAINBD_STXETX:
        case MAINBD_NOVATEL:
        case MAINBD_HEMISPHERE:
        case MAINBD_HEMISPHERE2:
            return Route::Framed;
        case MAINBD_COMENGINE:
            return Route::Direct;
        default:
            return Route::None;
    }
}

// Frames rendered into a side list, then put in front of what the caller's list holds.
void PutFront(Cmd_List& cmds, const Cmd_List& front) {
    cmds.insert(cmds.begin(), front.begin(), front.end());
}

}  // namespace

// Runs one board operation on the route of the board type; returns its result (0 when the
// board gets no commands).
template <typename Op>
int Em_OldProtocol::Board_Cmds(Cmd_List& cmds, Op op) const {
    Em_OemBoard* board = Board();
    if (board == nullptr) {
        return 0;
    }
    switch (RouteOf(board->Board_Type())) {
        case Route::Framed: {
            Cmd_List fresh;
            const int result = op(*board, fresh);
            Split_OldCmds_RZ(cmds, fresh);
            return result;
        }
        case Route::Direct:
            return op(*board, cmds);
        default:
            return 0;
    }
}

int Em_OldProtocol::Get_Gnss_Inite(Cmd_List& cmds) {
    return Board_Cmds(cmds, [](Em_OemBoard& b, Cmd_List& c) {
        return b.Cmd() != nullptr ? b.Cmd()->Get_Gnss_Inite(c) : 0;
    });
}

int Em_OldProtocol::Get_Gnss_StartBase(Cmd_List& cmds) {
    auto op = [](Em_OemBoard& b, Cmd_List& c) { return b.Get_Gnss_StartBase(c); };
    const int type = Board_Type();
    Cmd_List front;
    int result = 0;
    switch (type) {
        case MAINBD_STXETX:
        case MAINBD_HEMISPHERE:
        case MAINBD_HEMISPHERE2:
            Add_OldText(front, "RG,B0", kBoardPause);
            PutFront(cmds, front);
            Add_OldText(cmds, "SJ,B96,B3", kBoardPause);
            result = Board_Cmds(cmds, op);
            break;
        case MAINBD_NOVATEL:
            Add_OldText(front, "RK,B0", kRestartPause);
            PutFront(cmds, front);
            result = Board_Cmds(cmds, op);
            Add_OldText(cmds, "SJ,B96,B3", kRestartPause);
            Add_OldText(cmds, "ST,B1", kRestartPause);
            break;
        case MAINBD_COMENGINE:
            result = Board_Cmds(cmds, op);
            break;
        default:
            break;
    }
    return result;
}

int Em_OldProtocol::Get_Gnss_StartRover(Cmd_List& cmds) {
    auto op = [](Em_OemBoard& b, Cmd_List& c) { return b.Get_Gnss_StartRover(c); };
    const Em_OemCmd* builder = Board() != nullptr ? Board()->Cmd() : nullptr;
    // Without a command builder its construction values stand: mask 5, mode code 3.
    const int mask = builder != nullptr ? builder->Rover_Cfg.Elev_Mask : 5;
    const int mode = builder != nullptr ? builder->Board_Mode : 3;
    int result = 0;
    switch (Board_Type()) {
        case MAINBD_STXETX:
        case MAINBD_HEMISPHERE:
            result = Board_Cmds(cmds, op);
            Set_Gnss_ElevDgre(cmds, mask, 6.0, 4);
            break;
        case MAINBD_NOVATEL: {
            const int e = mask > 90 ? 13 : mask;
            Set_Gnss_ElevDgre(cmds, e, 6.0, 4);
            int c = 0x80;
            switch (mode) {
                case 3:
                    c = 0x20;
                    break;
                case 4:
                    c = 0x40;
                    break;
                case 5:
                    c = 0xA0;
                    break;
                case 7:
                case 14:
                    c = 0x60;
                    break;
                default:
                    break;
            }
            Add_OldText(cmds, "RM,B" + std::to_string(c | e), kRoverModePause);
            break;
        }
        case MAINBD_HEMISPHERE2:
        case MAINBD_COMENGINE:
            result = Board_Cmds(cmds, op);
            break;
        default:
            break;
    }
    return result;
}

int Em_OldProtocol::Get_Gnss_Reset(Cmd_List& cmds) {
    const int result =
        Board_Cmds(cmds, [](Em_OemBoard& b, Cmd_List& c) { return b.Get_Gnss_Reset(c); });
    if (RouteOf(Board_Type()) != Route::Framed) {
        Cmd_List front;
        Add_OldText(front, "RK,B255", kRestartPause);
        PutFront(cmds, front);
    }
    return result;
}

int Em_OldProtocol::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, double, int n) {
    const unsigned char setting[2] = {0x38, static_cast<unsigned char>(elevation & 0xFF)};
    _STR_CMD sj = {};
    std::copy(setting, setting + sizeof setting, sj.data);
    sj.length = sizeof setting;
    sj.pause = kElevPause;
    if (Wrap_OldCmd_SJ(sj)) {
        cmds.push_back(sj);
    }
    const int count = Board_Type() == MAINBD_COMENGINE ? 1 : n;
    const int result = Board_Cmds(cmds, [elevation, count](Em_OemBoard& b, Cmd_List& c) {
        return b.Set_Gnss_ElevDgre(c, elevation, count);
    });
    Add_OldText(cmds, "SW,B1,B" + std::to_string(elevation), kElevPause);
    return result;
}

int Em_OldProtocol::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    return Board_Cmds(cmds,
                      [rate](Em_OemBoard& b, Cmd_List& c) { return b.Set_Gnss_PosFrq(c, rate); });
}

int Em_OldProtocol::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    return Board_Cmds(cmds,
                      [rate](Em_OemBoard& b, Cmd_List& c) { return b.Send_Gnss_Obs(c, rate); });
}

int Em_OldProtocol::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate, int) {
    return Board_Cmds(
        cmds, [mask, rate](Em_OemBoard& b, Cmd_List& c) { return b.Set_Gnss_Nmea(c, mask, rate); });
}

int Em_OldProtocol::Get_Gnss_ElevMask(Cmd_List& cmds) {
    return Board_Cmds(cmds, [](Em_OemBoard& b, Cmd_List& c) { return b.Get_Gnss_ElevMask(c); });
}

int Em_OldProtocol::Send_Gnss_UnlogData(Cmd_List& cmds) {
    return Board_Cmds(cmds, [](Em_OemBoard& b, Cmd_List& c) { return b.Send_Gnss_UnlogData(c); });
}

int Em_OldProtocol::Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    if (bytes == nullptr && n > 0) {
        return 0;
    }
    int frames = 0;
    unsigned at = 0;
    do {
        _STR_CMD cmd = {};
        cmd.length = std::min<unsigned>(kOldChunk, n - at);
        cmd.pause = kDiffPause;
        std::copy(bytes + at, bytes + at + cmd.length, cmd.data);
        at += cmd.length;
        if (Wrap_OldCmd_VD(cmd)) {
            cmds.push_back(cmd);
            ++frames;
        }
    } while (at < n);
    return frames;
}

namespace {

struct MaskBit {
    uint32_t message;
    uint32_t mask;
};

// First-match order of the three-argument form.
const MaskBit kMaskTable[] = {
    {0x1, 0x1},      {0x40, 0x2},     {0x10, 0x4},      {0x20, 0x8},      {0x100, 0x10},
    {0x2, 0x20},     {0x200, 0x40},   {0x400, 0x80},    {0x800, 0x100},   {0x1000, 0x200},
    {0x2000, 0x400}, {0x4000, 0x800}, {0x8000, 0x1000}, {0x10000, 0x100}, {0x20000, 0x200},
};

// First-match order of the four-argument form, with the board types a bit counts on (0 for
// every type) and the rate byte it fills (0-based: R1 is 0).
struct RateBit {
    uint32_t message;
    int types[2];
    uint32_t mask;
    int rate;
};
const RateBit kRateTable[] = {
    {0x1, {0, 0}, 0x1, 0},        {0x40, {0, 0}, 0x2, 1},      {0x10, {0, 0}, 0x4, 2},
    {0x20, {0, 0}, 0x8, 3},       {0x100, {0, 0}, 0x10, 4},    {0x2, {0, 0}, 0x20, 5},
    {0x200, {0, 0}, 0x40, 6},     {0x400, {0, 0}, 0x80, 7},    {0x2000, {0, 0}, 0x400, 8},
    {0x800, {2, 2}, 0x100, 9},    {0x1000, {2, 2}, 0x200, 10}, {0x4000, {1, 1}, 0x800, 9},
    {0x8000, {1, 1}, 0x1000, 10}, {0x10000, {4, 7}, 0x100, 9}, {0x20000, {4, 7}, 0x200, 10},
};

}  // namespace

uint32_t Em_OldProtocol::Nmea_Mask(const std::vector<_set_nmea>& list) {
    uint32_t mask = 0;
    for (const _set_nmea& entry : list) {
        const uint32_t bits = static_cast<uint32_t>(entry.Nmea_Id);
        for (const MaskBit& m : kMaskTable) {
            if ((bits & m.message) != 0) {
                mask |= m.mask;
                break;
            }
        }
    }
    return mask;
}

void Em_OldProtocol::Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list,
                                    int rate) const {
    Board_Cmds(cmds, [&list](Em_OemBoard& b, Cmd_List& c) { return b.Set_Nmea_List(c, list); });
    Add_OldText(cmds, "RF,M" + std::to_string(Nmea_Mask(list)) + ",B" + std::to_string(rate),
                kBoardPause);
}

void Em_OldProtocol::Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate,
                                    bool flag) const {
    const int type = Board_Type();
    uint32_t mask = 0;
    unsigned r[11] = {};
    for (const _set_nmea& entry : list) {
        const uint32_t bits = static_cast<uint32_t>(entry.Nmea_Id);
        for (const RateBit& m : kRateTable) {
            if ((bits & m.message) == 0) {
                continue;
            }
            // The first matching bit decides; a board-specific bit on another board skips the
            // entry.
            if (m.types[0] == 0 || type == m.types[0] || type == m.types[1]) {
                r[m.rate] = static_cast<unsigned>(entry.Rate_Id) & 0xFFu;
                if (entry.Rate_Id != 0) {
                    mask |= m.mask;
                }
            }
            break;
        }
    }
    const uint32_t low = r[0] | (r[1] << 8) | (r[2] << 16) | (r[3] << 24);
    const uint32_t high = r[4] | (r[5] << 8) | (r[6] << 16) | (r[7] << 24);
    Add_OldText(cmds, "RF,M" + std::to_string(mask) + ",B" + std::to_string(rate), kBoardPause);
    Add_OldText(cmds,
                "RD,B" + std::to_string(flag ? 1 : 0) + ",M" + std::to_string(mask) + ",B" +
                    std::to_string(rate) + ",L" + std::to_string(low) + ",L" +
                    std::to_string(high) + ",B" + std::to_string(r[8]) + ",M" +
                    std::to_string(r[9] + 256u * r[10]),
                kBoardPause);
    Board_Cmds(cmds, [&list](Em_OemBoard& b, Cmd_List& c) { return b.Set_Nmea_List(c, list); });
}

}  // namespace BVParse
}  // namespace Brevan2011
