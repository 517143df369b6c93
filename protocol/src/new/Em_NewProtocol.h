// Protocol object of the maker's new binary protocol (maker 2, board 8). The receiver sends
// each frame cut into "$$" chunks; this object reads the chunks from the receive ring, puts
// their data back together in a reassembly buffer, cuts whole frames out of it and hands
// each item to the new-protocol board, which decodes it. GGA sentences that arrive between
// chunks go to the board as well.
#pragma once

#include <cstdint>
#include <vector>

#include "BVParse/Em_GnssProtocol.h"
#include "BVParse/Em_RcvRing.h"

namespace Brevan2011 {
namespace BVParse {

class Em_NewProtocol : public Em_GnssProtocol {
public:
    static constexpr int kAssemblySize = 20480;
    static constexpr uint32_t kMinBody = 10;
    // A frame is body + 19 bytes and must fit the reassembly buffer whole.
    static constexpr uint32_t kMaxBody = kAssemblySize - 19;
    static constexpr int kMaxChunk = 250;
    static constexpr int kMaxGgaLine = 251;
    static constexpr uint8_t kNoSequence = 251;
    static constexpr uint16_t kGgaTag = 0x0408;

    Em_NewProtocol();
    // Empties the reassembly buffer, then the base deletes the board and the ring.
    ~Em_NewProtocol() override;

    // 1 after a frame with at least one accepted item or an accepted GGA sentence,
    // 0 when nothing more can be finished with the bytes at hand.
    int Parse_Step() override;
    // Always the new-protocol board, whatever the type; true.
    bool Create_Board(MAINBD_OEM_TYPE type) override;
    // Differential data as item 0x1504 of an operation-50 packet.
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) override;

    // The reassembly buffer (tests and diagnostics).
    const Em_RcvRing& Assembly() const { return m_assembly; }
    int Frame_State() const { return m_frameState; }

    // The category of a reply's operation code.
    static Msg_Type Category_Of(uint16_t operation);

private:
    enum ChunkState { kHunt = 0, kAfterDollars = 1, kChunkData = 3, kGgaLine = 4 };
    enum FrameState { kFrameHunt = 0, kFrameHeader = 1, kFrameTrailer = 3 };

    void Append_Chunk(uint8_t type, uint8_t sequence, const uint8_t* data, int n);
    void Empty_Assembly();
    // Runs over the reassembly buffer; 1 right after a frame with an accepted item, 0 when it
    // runs out of bytes.
    int Decode_Frames();
    bool Decode_Body(const uint8_t* body, uint32_t length);
    int Hand_Gga(int lineLength);

    int m_chunkState = kHunt;
    int m_frameState = kFrameHunt;
    uint8_t m_chunkType = 0;  // 0: none yet
    uint8_t m_lastSequence = kNoSequence;
    Em_RcvRing m_assembly{kAssemblySize};
    // The current chunk (5 + 250 + CR LF) or GGA sentence ("$GPGGA" + 251).
    uint8_t m_chunk[6 + kMaxGgaLine] = {};
    // Fields of the frame being decoded.
    uint8_t m_frameByte = 0;
    uint32_t m_commandId = 0;
    uint32_t m_frameWord = 0;
    uint32_t m_bodyLength = 0;
    uint32_t m_checkValue = 0;
    std::vector<uint8_t> m_frame;  // body, check field and trailer of the current frame
};

}  // namespace BVParse
}  // namespace Brevan2011
