#include "Em_OldProtocol.h"

#include <algorithm>
#include <cstring>

#include "Em_BoardRegistry.h"
#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr int kLogHeader = 28;  // NovAtel binary header as the old receivers send it
constexpr unsigned kChunk = 55;
constexpr unsigned kChunkPause = 100;

struct LetterId {
    char a, b;
    int32_t id;
};

const LetterId kFrameIds[] = {
    {'R', 'G', 128}, {'R', 'K', 129},  {'R', 'Z', 130}, {'R', 'X', 133}, {'R', 'C', 134},
    {'R', 'R', 135}, {'R', 'S', 136},  {'S', 'T', 137}, {'V', 'S', 138}, {'V', 'D', 139},
    {'V', 'C', 140}, {'V', 'F', 141},  {'V', 'R', 142}, {'V', 'I', 143}, {'V', 'L', 144},
    {'R', 'H', 145}, {'S', 'D', 146},  {'S', 'I', 147}, {'S', 'C', 149}, {'S', 'X', 150},
    {'V', 'Y', 152}, {'F', 'B', 153},  {'F', 'F', 154}, {'F', 'H', 155}, {'F', 'M', 156},
    {'F', 'W', 157}, {'V', 'Q', 158},  {'F', 'T', 159}, {'F', 'J', 160}, {'F', 'K', 161},
    {'F', 'C', 162}, {'V', 'M', 1048},
};

}  // namespace

Em_OldProtocol::Em_OldProtocol() : Em_GnssProtocol(2) {
    std::memset(m_frame, 0, sizeof m_frame);
}

Em_OldProtocol::~Em_OldProtocol() = default;

int32_t Em_OldProtocol::Old_FrameId(unsigned char first, unsigned char second) {
    for (const auto& e : kFrameIds) {
        if (e.a == static_cast<char>(first) && e.b == static_cast<char>(second)) {
            return e.id;
        }
    }
    return static_cast<int32_t>(first) * 256 + second;
}

void Em_OldProtocol::Clear_Frame() {
    // Decoders rely on the frame buffer being zero past the frame; wipe only what was written.
    std::memset(m_frame, 0, static_cast<std::size_t>(m_frameUsed));
    m_frameUsed = 0;
    m_frameCounter = 0;
}

void Em_OldProtocol::Skip_Byte() {
    m_category = MSG_NEW_OTHER;
    m_flags = 0;
    m_auxStatus = 0;
    Ring()->Skip(1);
}

int Em_OldProtocol::Parse_Step() {
    Em_RcvRing* ring = Ring();
    ring->Compact_If_Above();
    ring->Rewind();
    Clear_Frame();
    if (!ring->Read(m_frame, 1)) {
        return 0;
    }
    m_frameUsed = 1;
    if (m_frame[0] == 0x24) {
        return Text_Frame();
    }
    if (m_frame[0] == 0xAA) {
        unsigned char next[2];
        if (!ring->Peek(next, 2)) {
            return 0;
        }
        if (next[0] == 0x44 && next[1] == 0x12) {
            return Binary_Log();
        }
    }
    Skip_Byte();
    return 1;
}

int Em_OldProtocol::Text_Frame() {
    Em_RcvRing* ring = Ring();
    m_category = MSG_NEW_OTHER;
    if (!ring->Read(m_frame + 1, 5)) {
        return 0;
    }
    m_frameUsed = 6;
    const unsigned length = m_frame[5];
    if (!ring->Read(m_frame + 6, static_cast<int>(length) + 3)) {
        return 0;
    }
    m_frameUsed = static_cast<int>(length) + 9;
    unsigned char x = 0;
    for (unsigned i = 0; i < length + 7; ++i) {
        x ^= m_frame[i];
    }
    if (x != 0) {
        // Resynchronise one byte later; no stale flags reach the callback.
        Skip_Byte();
        return 1;
    }
    m_frameId = Old_FrameId(m_frame[2], m_frame[3]);
    m_flags = 0;
    Dispatch(m_frameId, length);
    ring->Commit();
    return 1;
}

void Em_OldProtocol::Apply(const Em_OldReport& r) {
    if (r.category != 0) {
        m_category = static_cast<Msg_Type>(r.category);
    }
    m_flags |= r.flags;
}

void Em_OldProtocol::Dispatch(int32_t id, unsigned length) {
    const unsigned char* p = m_frame + 6;
    switch (id) {
        case 128:  // RG
        case 158:  // VQ
            Board_Data(length);
            break;
        case 133:
            Apply(m_rx.Decode_RX(p, length));
            break;
        case 134:
            Apply(m_rx.Decode_RC(p, length, Board_Type()));
            break;
        case 137:
            Apply(m_rx.Decode_ST(m_frame, length));
            break;
        case 139:  // VD
        case 144:  // VL
            break;
        case 143:
            Apply(m_rx.Decode_VI(p, length));
            break;
        case 145:
            Satellites(length);
            break;
        case 146:
            Apply(m_rx.Decode_SD(p, length));
            break;
        case 147:
            Apply(m_rx.Decode_SI(p, length));
            break;
        case 149:
            Apply({MSG_OLD_REPLY, OLD_FLAG_SC});
            break;
        case 150:
            Apply({MSG_OLD_REPLY, OLD_FLAG_SX});
            break;
        case 152:
            Apply(m_rx.Decode_VY(p, length));
            break;
        case 153:
            Apply(m_rx.Decode_FB(p, length));
            break;
        case 154:
            Apply(m_rx.Decode_FF(p, length));
            break;
        case 155:
            Apply(m_rx.Decode_FH(p, length));
            break;
        case 156:
            Apply(m_rx.Decode_FM(p, length));
            break;
        case 157:
            Apply(m_rx.Decode_FW(p, length));
            break;
        case 159:
            Apply(m_rx.Decode_FT(p, length));
            break;
        case 160:
            Apply(m_rx.Decode_FJ(p, length));
            break;
        case 161:
            Apply(m_rx.Decode_FK(p, length));
            break;
        case 162:
            Apply(m_rx.Decode_FC(p, length));
            break;
        case 1048:
            Apply(m_rx.Decode_VM(p, length));
            break;
        default:
            m_rx.ClearAssemblies();
            break;
    }
}

void Em_OldProtocol::Board_Data(unsigned length) {
    Em_OemBoard* board = Board();
    if (board == nullptr) {
        return;
    }
    // Bytes that do not fit empty the board's input instead.
    board->Add_Data(m_frame + 6, static_cast<int>(length));
    if (board->Parse() != 0) {
        m_category = MSG_GNSS_DATA;
        m_flags = board->Data() != nullptr ? board->Data()->Update_Mask : 0;
    }
}

void Em_OldProtocol::Satellites(unsigned length) {
    Em_OemBoard* board = Board();
    if (board == nullptr) {
        return;
    }
    const Em_OldBoardSats view = Board_Sats(board->Data());
    Apply(m_rx.Decode_RH(m_frame + 6, length, view));
}

Em_OldBoardSats Em_OldProtocol::Board_Sats(Em_OemData* d) {
    Em_OldBoardSats view;
    if (d == nullptr) {
        return view;
    }
    view.sats[0] = d->Sat_Gps;
    view.counts[0] = &d->Sat_Gps_Count;
    view.sats[1] = d->Sat_Glo;
    view.counts[1] = &d->Sat_Glo_Count;
    view.sats[2] = d->Sat_Bds;
    view.counts[2] = &d->Sat_Bds_Count;
    view.sats[3] = d->Sat_Tab4;
    view.counts[3] = &d->Sat_Tab4_Count;
    view.msgCounter = &d->Sat_Type_Num;
    view.satSwitch[0] = &d->Sat_Switch_Gps;
    view.satSwitch[1] = &d->Sat_Switch_Glo;
    view.satSwitch[2] = &d->Sat_Switch_Bds;
    view.waitMask[0] = &d->Deferred_Gps;
    view.waitMask[1] = &d->Deferred_Glo;
    return view;
}

int Em_OldProtocol::Binary_Log() {
    Em_RcvRing* ring = Ring();
    Em_OemBoard* board = Board();
    if (board == nullptr || board->Board_Type() != MAINBD_COMENGINE) {
        Skip_Byte();
        return 1;
    }
    if (!ring->Read(m_frame + 1, 2)) {
        return 0;
    }
    m_frameUsed = 3;
    m_flags = 0;
    if (!ring->Read(m_frame + 3, kLogHeader - 3)) {
        return 0;
    }
    m_frameUsed = kLogHeader;
    const int headerLength = m_frame[3];
    const int messageLength = m_frame[8] | (m_frame[9] << 8);
    const int total = headerLength + messageLength + 4;
    // A header shorter than its own fixed part, or a log the ring could never hold, is no log:
    // the 0xAA was a false lead byte.
    if (headerLength < kLogHeader || total > ring->Capacity()) {
        Skip_Byte();
        return 1;
    }
    if (total <= kFrameBufferSize) {
        if (!ring->Read(m_frame + kLogHeader, total - kLogHeader)) {
            return 0;
        }
        m_frameUsed = total;
        board->Add_Data(m_frame, total);
    } else {
        // Too long for the board's input: consume it whole, then drop it as the board would.
        int left = total - kLogHeader;
        while (left > 0) {
            const int n = std::min(left, kFrameBufferSize - kLogHeader);
            if (!ring->Read(m_frame + kLogHeader, n)) {
                return 0;
            }
            m_frameUsed = kFrameBufferSize;
            left -= n;
        }
        board->Clear_Input();
    }
    const int parsed = board->Parse();
    if (parsed != 0) {
        m_category = MSG_GNSS_DATA;
        m_flags = board->Data() != nullptr ? board->Data()->Update_Mask : 0;
    }
    Clear_Frame();
    ring->Commit();
    return parsed != 0 ? 1 : 0;
}

bool Em_OldProtocol::Create_Board(MAINBD_OEM_TYPE type) {
    Replace_Board(nullptr);
    int driver = MAINBD_NOVATEL;
    switch (type) {
        case MAINBD_STXETX:
        case MAINBD_NOVATEL:
        case MAINBD_COMENGINE:
        case MAINBD_HEMISPHERE:
        case MAINBD_HEMISPHERE2:
            driver = type;
            break;
        default:
            break;
    }
    Em_OemBoard* board = BVParse::Create_Board(driver);
    if (board != nullptr) {
        Em_OemCmd* cmd = board->Cmd();
        Em_OemData* data = board->Data();
        if (cmd != nullptr) {
            cmd->Out_Port = 1;
        }
        // Only the drivers the table names get further settings; the fallback NovAtel driver
        // for unlisted types keeps its own.
        const int modelClass = m_rx.modelClass;
        switch (type) {
            case MAINBD_STXETX:
                if (data != nullptr) {
                    data->Switch[5] = 0;
                }
                if (cmd != nullptr && (modelClass == 1 || modelClass == 2)) {
                    cmd->Set_Model_Setting(modelClass == 1 ? 1 : 0);
                }
                break;
            case MAINBD_NOVATEL:
                if (data != nullptr) {
                    data->Switch[0] = 1;
                    data->Sat_Switch_Gps = 1;
                    data->Sat_Switch_Glo = 1;
                    data->Sat_Switch_Bds = 1;
                }
                if (cmd != nullptr && (modelClass == 1 || modelClass == 2)) {
                    cmd->Set_Model_Setting(modelClass == 1 ? 1 : 2);
                }
                break;
            case MAINBD_HEMISPHERE:
                if (data != nullptr) {
                    data->Sat_Switch_Gps = 1;
                }
                break;
            case MAINBD_HEMISPHERE2:
                if (data != nullptr) {
                    data->Switch[0] = 1;
                    data->Sat_Switch_Gps = 1;
                    data->Sat_Switch_Glo = 1;
                    data->Sat_Switch_Bds = 1;
                    data->Switch[4] = 1;
                }
                break;
            default:
                break;
        }
    }
    Replace_Board(board);
    return true;
}

bool Em_OldProtocol::Pack_OldFrame(const char* text, _STR_CMD& cmd, unsigned kind) const {
    uint32_t length = 0;
    if (!BVParse::Pack_OldFrame(text, cmd.data, &length, Link_Form(), kind)) {
        return false;
    }
    cmd.length = length;
    return true;
}

bool Em_OldProtocol::Pack_OldBinFrame(char first, char second, const unsigned char* payload,
                                      unsigned length, _STR_CMD& cmd) const {
    uint32_t frameLength = 0;
    if (!BVParse::Pack_OldBinFrame(first, second, payload, length, cmd.data, &frameLength,
                                   Link_Form())) {
        return false;
    }
    cmd.length = frameLength;
    return true;
}

bool Em_OldProtocol::Pack_OldAtFrame(unsigned char c, const unsigned char* data, unsigned length,
                                     _STR_CMD& cmd) const {
    uint32_t frameLength = 0;
    if (!BVParse::Pack_OldAtFrame(c, cmd.data, &frameLength, length, data, Link_Form())) {
        return false;
    }
    cmd.length = frameLength;
    return true;
}

bool Em_OldProtocol::Wrap_OldCmd(_STR_CMD& cmd, char first, char second) const {
    return Wrap_OldBytes(cmd.data, &cmd.length, first, second, Link_Form());
}

bool Em_OldProtocol::Wrap_OldTextCmd(_STR_CMD& cmd) const {
    return Wrap_OldText(cmd.data, &cmd.length, Link_Form());
}

template <typename Wrap>
void Em_OldProtocol::Split(Cmd_List& out, const Cmd_List& in, Wrap wrap) const {
    for (const _STR_CMD& c : in) {
        const unsigned length = std::min<unsigned>(c.length, sizeof c.data);
        if (length <= kChunk) {
            _STR_CMD piece = c;
            piece.length = length;
            if (wrap(piece)) {
                out.push_back(piece);
            }
            continue;
        }
        for (unsigned at = 0; at < length; at += kChunk) {
            _STR_CMD piece = {};
            piece.length = std::min(kChunk, length - at);
            piece.pause = kChunkPause;
            std::memcpy(piece.data, c.data + at, piece.length);
            if (wrap(piece)) {
                out.push_back(piece);
            }
        }
    }
}

void Em_OldProtocol::Split_OldCmds_RZ(Cmd_List& out, const Cmd_List& in) const {
    Split(out, in, [this](_STR_CMD& c) { return Wrap_OldCmd_RZ(c); });
}

void Em_OldProtocol::Split_OldCmds_VL(Cmd_List& out, const Cmd_List& in) const {
    Split(out, in, [this](_STR_CMD& c) { return Wrap_OldTextCmd(c); });
}

}  // namespace BVParse
}  // namespace Brevan2011
