// Outgoing frames of the maker's new binary protocol: an item list is measured, encoded
// into one frame (header, body, check field, trailer) and cut into "$$" chunks, one
// _STR_CMD each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVParse {

// One item of a request. The value's type depends on the tag (see Em_NewItemTable.h):
// uint16_t for 16-bit tags, uint8_t for one-byte tags, uint32_t for 32-bit tags, the QX_
// record for record tags. A null value asks for the setting (length 0 for most tags).
// The list owns nothing; values must live until Build_NewPacket returns.
struct NewItem {
    uint16_t tag;
    const void* value;
};

constexpr size_t kNewFrameOverhead = 19;  // 13 header + 4 check + 2 trailer bytes
constexpr size_t kNewMinBody = 10;
constexpr size_t kNewMaxBody = 65280;
constexpr size_t kNewMaxChunk = 250;
constexpr uint8_t kNewSeqModulo = 251;

// Appends one _STR_CMD per chunk of the frame built from items (pause 0). Appends
// nothing for fewer than two items, a refused item, a body outside 10..65280 bytes or a
// failed allocation.
void Build_NewPacket(std::vector<_STR_CMD>& commands, const std::vector<NewItem>& items,
                     uint32_t commandId);

// Encoded size (4 + n) of one item, writing it to dest when dest is not null. Returns 0
// when the item cannot be sent: a required value is missing, or n would exceed 65535.
size_t Encode_NewItem(uint8_t* dest, uint16_t tag, const void* value);

// Sum of the encoded sizes; 0 when any item is refused.
size_t Measure_NewItems(const std::vector<NewItem>& items);

// Allocates a zeroed frame of bodyLength + 19 bytes and writes header and trailer.
// frame is null when the allocation fails. Free with delete[].
void Pack_NewFrame(uint8_t** frame, size_t bodyLength, uint32_t commandId);

// The four check bytes after the body. All the rules for them live here.
void Write_NewCheck(uint8_t* frame, size_t bodyLength);

// Chunk sizes of a frame of frameLength bytes: ceil(frameLength / 250) sizes of 1..250
// bytes summing to frameLength.
void Plan_NewChunks(size_t frameLength, std::vector<size_t>& sizes);

// Appends the chunks of a complete frame; nothing for a null frame or length 0.
void Split_NewFrame(std::vector<_STR_CMD>& commands, const uint8_t* frame, size_t frameLength);

// Takes the next chunk sequence number (0..250, wrapping) from the process-wide counter.
uint8_t Next_NewSequence();

}  // namespace BVParse
}  // namespace Brevan2011
