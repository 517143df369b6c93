#include "Em_OldProtocol.h"

#include <algorithm>
#include <cstring>

#include "Em_BoardRegistry.h"
#include "Em_Crc.h"
#include "Em_OemBoard.h"
#include "Em_OemNovatel.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr int kLogHeader = 28;     // NovAtel binary header as the old receivers send it
constexpr int kLogLengthEnd = 10;  // the header through its 16-bit message length
// A longer log could overflow the ring while it is awaited; its lead byte is taken as false.
constexpr int kLongestLog = Em_RcvRing::kDefaultSize / 2;
constexpr unsigned kChunk = 55;
constexpr unsigned kChunkPause = 100;

}  // namespace

Em_OldProtocol::Em_OldProtocol() : Em_GnssProtocol(2) {
    std::memset(m_frame, 0, sizeof m_frame);
}

Em_OldProtocol::~Em_OldProtocol() = default;

// Every frame the receive loop knows: its letters, its id and what decodes it (null: the
// frame carries no message). Letters not listed get the id first * 256 + second and end the
// replies being assembled.
struct Em_OldProtocol::Frame_Kind {
    char first, second;
    int32_t id;
    void (*decode)(Em_OldProtocol& p, unsigned length);
};

template <Em_OldReport (Em_OldReceiver::*Decode)(const std::uint8_t*, std::size_t)>
void Em_OldProtocol::Reply(Em_OldProtocol& p, unsigned length) {
    p.Apply((p.m_rx.*Decode)(p.m_frame + 6, length));
}

void Em_OldProtocol::End_Assemblies(Em_OldProtocol& p, unsigned) {
    p.m_rx.ClearAssemblies();
}

const Em_OldProtocol::Frame_Kind Em_OldProtocol::kFrameKinds[] = {
    {'R', 'G', 128, [](Em_OldProtocol& p, unsigned n) { p.Board_Data(n); }},
    {'R', 'K', 129, End_Assemblies},
    {'R', 'Z', 130, End_Assemblies},
    {'R', 'X', 133, Reply<&Em_OldReceiver::Decode_RX>},
    {'R', 'C', 134,
     [](Em_OldProtocol& p, unsigned n) {
         p.Apply(p.m_rx.Decode_RC(p.m_frame + 6, n, p.Board_Type()));
     }},
    {'R', 'R', 135, End_Assemblies},
    {'R', 'S', 136, End_Assemblies},
    // ST reads the whole frame, check byte and closing bytes included.
    {'S', 'T', 137, [](Em_OldProtocol& p, unsigned n) { p.Apply(p.m_rx.Decode_ST(p.m_frame, n)); }},
    {'V', 'S', 138, End_Assemblies},
    {'V', 'D', 139, nullptr},
    {'V', 'C', 140, End_Assemblies},
    {'V', 'F', 141, End_Assemblies},
    {'V', 'R', 142, End_Assemblies},
    {'V', 'I', 143, Reply<&Em_OldReceiver::Decode_VI>},
    {'V', 'L', 144, nullptr},
    {'R', 'H', 145, [](Em_OldProtocol& p, unsigned n) { p.Satellites(n); }},
    {'S', 'D', 146, Reply<&Em_OldReceiver::Decode_SD>},
    {'S', 'I', 147, Reply<&Em_OldReceiver::Decode_SI>},
    {'S', 'C', 149,
     [](Em_OldProtocol& p, unsigned) {
         p.Apply({MSG_OLD_REPLY, OLD_FLAG_SC});
     }},
    {'S', 'X', 150,
     [](Em_OldProtocol& p, unsigned) {
         p.Apply({MSG_OLD_REPLY, OLD_FLAG_SX});
     }},
    {'V', 'Y', 152, Reply<&Em_OldReceiver::Decode_VY>},
    {'F', 'B', 153, Reply<&Em_OldReceiver::Decode_FB>},
    {'F', 'F', 154, Reply<&Em_OldReceiver::Decode_FF>},
    {'F', 'H', 155, Reply<&Em_OldReceiver::Decode_FH>},
    {'F', 'M', 156, Reply<&Em_OldReceiver::Decode_FM>},
    {'F', 'W', 157, Reply<&Em_OldReceiver::Decode_FW>},
    {'V', 'Q', 158, [](Em_OldProtocol& p, unsigned n) { p.Board_Data(n); }},
    {'F', 'T', 159, Reply<&Em_OldReceiver::Decode_FT>},
    {'F', 'J', 160, Reply<&Em_OldReceiver::Decode_FJ>},
    {'F', 'K', 161, Reply<&Em_OldReceiver::Decode_FK>},
    {'F', 'C', 162, Reply<&Em_OldReceiver::Decode_FC>},
    {'V', 'M', 1048, Reply<&Em_OldReceiver::Decode_VM>},
};

const Em_OldProtocol::Frame_Kind* Em_OldProtocol::Find_Kind(unsigned char first,
                                                            unsigned char second) {
    for (const Frame_Kind& k : kFrameKinds) {
        if (k.first == static_cast<char>(first) && k.second == static_cast<char>(second)) {
            return &k;
        }
    }
    return nullptr;
}

int32_t Em_OldProtocol::Old_FrameId(unsigned char first, unsigned char second) {
    const Frame_Kind* kind = Find_Kind(first, second);
    return kind != nullptr ? kind->id : static_cast<int32_t>(first) * 256 + second;
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
    // A frame cut short (a line closed mid-answer) takes its missing bytes from the next
    // frame; its check byte then passes one time in 256, but its closing bytes almost never
    // land on CR LF. Without this the cut frame eats the next frame whole.
    const bool closed = m_frame[length + 7] == 0x0D && m_frame[length + 8] == 0x0A;
    if (x != 0 || !closed) {
        // Resynchronise one byte later; no stale flags reach the callback.
        Skip_Byte();
        return 1;
    }
    const Frame_Kind* kind = Find_Kind(m_frame[2], m_frame[3]);
    m_frameId = kind != nullptr ? kind->id : m_frame[2] * 256 + m_frame[3];
    m_flags = 0;
    if (kind == nullptr) {
        m_rx.ClearAssemblies();
    } else if (kind->decode != nullptr) {
        kind->decode(*this, length);
    }
    ring->Commit();
    return 1;
}

void Em_OldProtocol::Apply(const Em_OldReport& r) {
    if (r.category != 0) {
        m_category = static_cast<Msg_Type>(r.category);
    }
    m_flags |= r.flags;
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
    m_flags = 0;
    // Framed again from the lead byte: nothing is consumed before the CRC has checked out, so
    // a false lead byte costs one byte and never the frames behind it.
    ring->Rewind();
    unsigned char head[kLogLengthEnd];
    if (!ring->Peek(head, kLogLengthEnd)) {
        return 0;
    }
    const int total = kLogHeader + (head[8] | (head[9] << 8)) + 4;
    if (head[3] != kLogHeader || total > kLongestLog) {
        Skip_Byte();
        return 1;
    }
    if (total > kFrameBufferSize) {
        return Long_Log(total);
    }
    if (!ring->Read(m_frame, total)) {
        return 0;
    }
    m_frameUsed = total;
    if (Novatel_Frame_Length(m_frame, total) != total) {
        Skip_Byte();
        return 1;
    }
    board->Add_Data(m_frame, total);
    if (board->Parse() != 0) {
        m_category = MSG_GNSS_DATA;
        m_flags = board->Data() != nullptr ? board->Data()->Update_Mask : 0;
    }
    Clear_Frame();
    ring->Commit();
    // Consumed whether the board took it or not: the frames behind it are read on.
    return 1;
}

int Em_OldProtocol::Long_Log(int total) {
    Em_RcvRing* ring = Ring();
    m_longLog.resize(static_cast<std::size_t>(total));
    if (!ring->Read(m_longLog.data(), total)) {
        return 0;
    }
    if (Check_Crc32(m_longLog.data(), total) != 1) {
        Skip_Byte();
        return 1;
    }
    // Too long for the board's input: consumed whole so its bytes are not read as frames.
    ring->Commit();
    return 1;
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
