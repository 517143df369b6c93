// Test support for the new protocol: turns _STR_CMD chunks back into frames and items,
// and builds the receiver's side of the wire (reply frames, chunk envelopes, GGA lines).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BVParse/Em_NewPacket.h"

namespace NewWire {

struct Item {
    uint16_t tag = 0;
    std::vector<uint8_t> value;
};

struct Frame {
    uint32_t commandId = 0;
    uint32_t word = 0;
    std::vector<uint8_t> bytes;  // the whole frame
    std::vector<Item> items;     // the body's items, the operation item first
    uint16_t Operation() const;
};

struct Chunk {
    uint8_t type = 0;
    uint8_t sequence = 0;
    std::vector<uint8_t> data;
};

// Checks each command's envelope ("$$", type 1, k, CR LF, length k + 7, pause 0) and
// joins the chunks. Returns false with a reason when an envelope or a frame is wrong.
bool ReadChunks(const std::vector<Brevan2011::BVParse::_STR_CMD>& commands,
                std::vector<Chunk>& chunks, std::string* error);

// Reads every frame out of the chunks' joined data; false when the bytes are not a
// whole number of well-formed frames.
bool ReadFrames(const std::vector<Brevan2011::BVParse::_STR_CMD>& commands,
                std::vector<Frame>& frames, std::string* error);

// Big-endian helpers for building values.
std::vector<uint8_t> U8(uint8_t v);
std::vector<uint8_t> U16(uint16_t v);
std::vector<uint8_t> U32(uint32_t v);
std::vector<uint8_t> F64(double v);
std::vector<uint8_t> F32(float v);
std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts);

// A reply frame as the receiver sends it: operation item, then the items.
std::vector<uint8_t> MakeFrame(uint16_t operation, const std::vector<Item>& items,
                               uint32_t commandId = 0);
// Raw frame around a given body.
std::vector<uint8_t> MakeFrameFromBody(const std::vector<uint8_t>& body, uint32_t commandId = 0);

// Envelopes: "$$", type, sequence, length, data, CR LF.
std::vector<uint8_t> Envelope(uint8_t type, uint8_t sequence, const std::vector<uint8_t>& data);

// The frame cut into envelopes of at most chunkSize bytes, numbered from *sequence
// (advanced modulo 251).
std::vector<uint8_t> ChunkFrame(const std::vector<uint8_t>& frame, uint8_t* sequence,
                                size_t chunkSize = 250, uint8_t type = 1);

std::string Hex(const uint8_t* p, size_t n);
std::string Hex(const std::vector<uint8_t>& v);
std::vector<uint8_t> FromHex(const std::string& hex);

}  // namespace NewWire
