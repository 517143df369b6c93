// Receiver state of an old-protocol receiver and the decoders of its reply payloads. The
// protocol object cuts frames and hands each payload here; the decoders fill the records and
// return the category and bits to report.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_OldRecords.h"
#include "Em_OldStateRecords.h"

namespace Brevan2011 {
namespace BVParse {

// Category and bits one frame reports. category 0 leaves the protocol object's category alone.
struct Em_OldReport {
    std::int32_t category = 0;
    std::uint32_t flags = 0;
};

// Bytes of a reply that arrives in several frames. Bytes past the fill count are always zero,
// so a clear only wipes what was written.
struct Em_OldAssembly {
    static constexpr std::size_t kSize = 2048;
    std::uint8_t data[kSize] = {};
    std::int32_t readPos = 0;
    std::int32_t fill = 0;

    void Clear();
    // Adds n bytes; bytes that would not fit clear the whole buffer instead.
    void Append(const std::uint8_t* bytes, std::size_t n);
};

// Where layouts B, C, D, E and the merge step reach the board data parser's satellite tables.
// Null pointers stand for a board without that table. Groups: 0 GPS, 1 GLONASS, 2 BDS, 3 SBAS.
struct Em_OldBoardSats {
    SATLLITE_STR* sats[4] = {};
    std::int32_t* counts[4] = {};
    std::int32_t* total = nullptr;       // total satellites stored
    std::int32_t* msgCounter = nullptr;  // the parser's message counter (group count)
    std::uint8_t* satSwitch[3] = {};     // per-constellation satellite switches
    std::uint32_t* waitMask[3] = {};     // per-constellation update masks (0x08, 0x10, 0x20)
};

class Em_OldReceiver {
public:
    Em_OldReceiver();

    // Single-frame replies. p points at the payload, n is L.
    Em_OldReport Decode_SD(const std::uint8_t* p, std::size_t n);
    // ST needs the whole frame (check byte and closing bytes).
    Em_OldReport Decode_ST(const std::uint8_t* frame, std::size_t n);
    Em_OldReport Decode_FB(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FF(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FH(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_RX(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_VY(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_VM(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FM(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FW(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FJ(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FT(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FK(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_FC(const std::uint8_t* p, std::size_t n);

    // Replies assembled from several frames, each in its own buffer.
    Em_OldReport Decode_SI(const std::uint8_t* p, std::size_t n);
    Em_OldReport Decode_RC(const std::uint8_t* p, std::size_t n, std::int32_t boardType);
    Em_OldReport Decode_VI(const std::uint8_t* p, std::size_t n);
    // Chunks of 55 payload bytes; a shorter one ends the message.
    Em_OldReport Decode_RH(const std::uint8_t* p, std::size_t n, const Em_OldBoardSats& board);

    // An unknown frame ends every reply being assembled.
    void ClearAssemblies();

    // Decodes a whole '@' frame of the VI reply (test entry and Decode_VI's worker).
    Em_OldReport Decode_AtFrame(const std::uint8_t* m, std::size_t b, bool* wait);
    // Decodes one assembled RH message.
    Em_OldReport Decode_SatMessage(const std::uint8_t* m, std::size_t b,
                                   const Em_OldBoardSats& board);

    // State read by the facade and the command builders.
    std::string text1, text2;  // cleared by every device block
    std::map<std::int32_t, std::array<std::uint8_t, 204>> firmwareDb;  // VY under key 256
    std::int32_t modelClass = 0;
    std::uint8_t rxData[200] = {};
    std::int32_t rxLength = 0;
    std::uint8_t deviceBlockSeen = 0;
    std::uint8_t modemVersionSeen = 0;
    Em_OldSatGroup ownGroups[4];
    std::int32_t groupCount = 0;
    DEVICE_STR device = {};
    Em_OldRadioRecord radio;
    Em_OldWirelessRecord wireless;

    std::int32_t voltageClass = 0;
    std::int32_t batteryLevel = 0;
    Em_OldStaticPoint staticPoint;
    Em_OldBubble bubble;
    std::uint32_t staticTime[2] = {};
    Em_OldBlock staticFileData;
    Em_OldBlock staticFileDir;
    Em_OldBlock basePosList;
    double basePosDifference = 0.0;
    NMEAConfigList nmeaConfig;
    char antennaType[21] = {};
    std::uint8_t staticStatus = 0;

    Em_OldAssembly siBuffer, rcBuffer, rhBuffer, viBuffer;
    std::size_t siFirstPiece = 0;  // payload length of the block's first SI frame

private:
    Em_OldReport Chunk(const std::uint8_t* p, std::size_t n, Em_OldBlock& block,
                       std::uint32_t lastBit, std::uint32_t moreBit);
    void DecodeDeviceBlock(const std::uint8_t* block, bool* known);
    void LayoutA(const std::uint8_t* m, std::size_t b, std::size_t n);
    Em_OldReport Merge(const Em_OldBoardSats& board);
    Em_OldReport LayoutBE(const std::uint8_t* m, std::size_t b, std::size_t n,
                          const Em_OldBoardSats& board, bool layoutE);
    void LayoutC(const std::uint8_t* m, std::size_t b, std::size_t n, const Em_OldBoardSats& board);
    void LayoutD(const std::uint8_t* m, std::size_t b, std::size_t n, const Em_OldBoardSats& board);
};

}  // namespace BVParse
}  // namespace Brevan2011
