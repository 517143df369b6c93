#include "Em_NewProtocol.h"

#include <cstring>

#include "BVParse/Em_NewPacket.h"
#include "BVParse/Em_NewRecords.h"
#include "Em_BoardRegistry.h"
#include "Em_NewBytes.h"
#include "Em_OemNewProtocol.h"

namespace Brevan2011 {
namespace BVParse {

using namespace NewBytes;

namespace {
constexpr uint16_t kDiffOperation = 50;
constexpr uint16_t kDiffTag = 0x1504;
}  // namespace

Em_NewProtocol::Em_NewProtocol() : Em_GnssProtocol(2) {
    m_frame.reserve(kMaxBody + 6);
}

Em_NewProtocol::~Em_NewProtocol() {
    Empty_Assembly();
}

bool Em_NewProtocol::Create_Board(MAINBD_OEM_TYPE) {
    Replace_Board(nullptr);
    Replace_Board(BVParse::Create_Board(MAINBD_NEWPROTOCOL));
    return true;
}

int Em_NewProtocol::Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    if (bytes == nullptr || n == 0) {
        return 0;
    }
    const uint16_t operation = kDiffOperation;
    const QX_BLOCK_DATA_STRUCT block{n, bytes};
    const size_t before = cmds.size();
    Build_NewPacket(cmds, {{0x0001, &operation}, {kDiffTag, &block}}, 0);
    return static_cast<int>(cmds.size() - before);
}

Msg_Type Em_NewProtocol::Category_Of(uint16_t operation) {
    switch (operation) {
        case 2:
        case 3:
        case 10:
        case 11:
        case 38:
        case 39:
            return MSG_NEW_CLASS_4;
        case 14:
        case 15:
        case 16:
            return MSG_NEW_CLASS_3;
        case 34:
        case 35:
        case 42:
        case 43:
            return MSG_NEW_CLASS_5;
        case 22:
        case 23:
        case 46:
        case 47:
        case 50:
        case 51:
            return MSG_NEW_CLASS_6;
        default:
            return MSG_NEW_OTHER;
    }
}

void Em_NewProtocol::Empty_Assembly() {
    m_assembly.Clear();
    // A header half read from the old bytes would be read against the new ones.
    m_frameState = kFrameHunt;
}

void Em_NewProtocol::Append_Chunk(uint8_t type, uint8_t sequence, const uint8_t* data, int n) {
    if (n > kMaxChunk) {
        return;
    }
    if (m_chunkType != 0 && type != m_chunkType) {
        m_chunkType = type;
        Empty_Assembly();
    } else if (m_chunkType == 0) {
        m_chunkType = type;
    }
    const bool consecutive =
        m_lastSequence >= kNoSequence || (m_lastSequence + 1) % kNewSeqModulo == sequence;
    m_lastSequence = sequence;
    if (!consecutive) {
        Empty_Assembly();  // a chunk was lost: the frame it belonged to is dropped
    }
    if (n == 0) {
        return;
    }
    // Only the unconsumed bytes count: the buffer moves them to the front to make room.
    if (m_assembly.Fill() - m_assembly.Mark() + n > kAssemblySize) {
        Empty_Assembly();
        return;
    }
    m_assembly.Append(data, n);
}

bool Em_NewProtocol::Decode_Body(const uint8_t* body, uint32_t length) {
    m_category = Category_Of(Get16(body + 4));
    m_flags = 0;
    Em_OemBoard* board = Board();
    if (board == nullptr) {
        return false;
    }
    auto* newBoard = dynamic_cast<Em_OemNewProtocol*>(board);
    bool accepted = false;
    uint32_t at = 6;
    while (at + 4 <= length) {
        const uint16_t tag = Get16(body + at);
        const uint32_t n = Get16(body + at + 2);
        if (at + 4 + n > length) {
            break;
        }
        if (n != 0) {
            const uint8_t* value = body + at + 4;
            const int ok = newBoard ? newBoard->Forward_NewItem(value, tag, n)
                                    : board->Handle_Frame(value, tag, static_cast<int>(n));
            if (ok != 0) {
                accepted = true;
                if (Em_OemData* data = board->Data()) {
                    m_flags |= data->Update_Mask;
                }
                if (newBoard && newBoard->NewData()) {
                    newBoard->NewData()->lastCommandId = m_commandId;
                }
            }
        }
        at += 4 + n;
    }
    return accepted;
}

int Em_NewProtocol::Decode_Frames() {
    for (;;) {
        switch (m_frameState) {
            case kFrameHunt: {
                m_assembly.Rewind();
                uint8_t magic[2];
                if (!m_assembly.Read(magic, 2)) {
                    return 0;
                }
                if (magic[0] == 0x04 && magic[1] == 0x11) {
                    m_frameState = kFrameHeader;
                } else {
                    m_assembly.Skip(1);
                }
                break;
            }
            case kFrameHeader: {
                uint8_t header[11];
                if (!m_assembly.Read(header, 11)) {
                    return 0;
                }
                m_frameByte = header[0];
                m_commandId = Get32(header + 1);
                m_frameWord = Get32(header + 5);
                m_bodyLength = Get16(header + 9);
                if (m_bodyLength < kMinBody || m_bodyLength > kMaxBody) {
                    m_frameState = kFrameHunt;
                    m_assembly.Skip(1);
                } else {
                    m_frameState = kFrameTrailer;
                }
                break;
            }
            case kFrameTrailer: {
                const int rest = static_cast<int>(m_bodyLength) + 6;
                m_frame.resize(static_cast<size_t>(rest));
                if (!m_assembly.Read(m_frame.data(), rest)) {
                    return 0;
                }
                m_frameState = kFrameHunt;
                m_checkValue = Get32(m_frame.data() + m_bodyLength);  // kept, not verified
                if (m_frame[m_bodyLength + 4] != 0x09 || m_frame[m_bodyLength + 5] != 0x24) {
                    m_assembly.Skip(1);
                    break;
                }
                m_assembly.Commit();  // the whole frame through its trailer
                if (Decode_Body(m_frame.data(), m_bodyLength)) {
                    return 1;
                }
                break;
            }
            default:
                m_frameState = kFrameHunt;
                break;
        }
    }
}

int Em_NewProtocol::Hand_Gga(int lineLength) {
    auto* board = dynamic_cast<Em_OemNewProtocol*>(Board());
    if (board == nullptr) {
        return 0;
    }
    const uint32_t length = static_cast<uint32_t>(lineLength) + 6;
    if (!board->Store_NewGgaText(reinterpret_cast<const char*>(m_chunk), kGgaTag, length)) {
        return 0;
    }
    m_category = MSG_NEW_GGA;
    if (Em_OemData* data = board->Data()) {
        m_flags |= data->Update_Mask;
    }
    return 1;
}

int Em_NewProtocol::Parse_Step() {
    Em_RcvRing* ring = Ring();
    if (ring == nullptr) {
        return 0;
    }
    ring->Compact_If_Above();
    // Past the hunt the cursor always stands beyond the consumed mark; when it does not, the
    // ring was emptied under the chunk reader (Data_Clear, overflow) and the chunk is gone.
    if (m_chunkState != kHunt && ring->Cursor() == ring->Mark()) {
        m_chunkState = kHunt;
    }
    // Frames completed by the last chunk are reported one per step.
    if (Decode_Frames()) {
        return 1;
    }
    for (;;) {
        switch (m_chunkState) {
            case kHunt:
                ring->Rewind();
                if (!ring->Read(m_chunk, 2)) {
                    return 0;
                }
                if (m_chunk[0] == '$' && m_chunk[1] == '$') {
                    m_chunkState = kAfterDollars;
                } else if (m_chunk[0] == '$' && m_chunk[1] == 'G') {
                    if (!ring->Read(m_chunk + 2, 4)) {
                        return 0;
                    }
                    if (std::memcmp(m_chunk + 2, "PGGA", 4) == 0) {
                        m_chunkState = kGgaLine;
                    } else {
                        ring->Skip(2);
                    }
                } else {
                    ring->Skip(1);
                }
                break;
            case kAfterDollars:
                if (!ring->Read(m_chunk + 2, 3)) {
                    return 0;
                }
                if (m_chunk[4] <= kMaxChunk) {
                    m_chunkState = kChunkData;
                } else {
                    m_chunkState = kHunt;
                    ring->Skip(1);
                }
                break;
            case kChunkData: {
                const int n = m_chunk[4];
                if (!ring->Read(m_chunk + 5, n + 2)) {
                    return 0;
                }
                m_chunkState = kHunt;
                if (m_chunk[5 + n] == 0x0D && m_chunk[6 + n] == 0x0A) {
                    Append_Chunk(m_chunk[2], m_chunk[3], m_chunk + 5, n);
                    ring->Commit();
                    if (Decode_Frames()) {
                        return 1;
                    }
                } else {
                    ring->Skip(1);
                }
                break;
            }
            case kGgaLine: {
                int lineLength = 0;
                if (ring->Read_Line(m_chunk + 6, kMaxGgaLine, &lineLength)) {
                    m_chunkState = kHunt;
                    ring->Commit();
                    if (Hand_Gga(lineLength)) {
                        return 1;
                    }
                    break;
                }
                if (lineLength > kMaxGgaLine) {
                    m_chunkState = kHunt;
                    ring->Commit();  // an over-long line is dropped
                }
                return 0;
            }
            default:
                m_chunkState = kHunt;
                break;
        }
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
