// The caster's source table as a receiver forwards it after fetching it over its modem: the
// file named by `source_table`, cut into pieces of `source_piece` bytes. The new protocol sends
// one frame per piece (item 0x1106: a 32-bit length, then the bytes); the old protocol sends
// "VM" frames, whose payload holds at most 255 bytes, or with `source_frames=t` "VI" frames
// carrying a 't' reply ('@' frame: at most 245 data bytes).
#include <algorithm>
#include <fstream>
#include <iterator>

#include "Em_OldFrames.h"
#include "SimAnswers.h"
#include "support/NewWireHelpers.h"

namespace varnok_sim {

namespace {

namespace BV = Brevan2011::BVParse;

// The table file's bytes; empty when none is named or it cannot be read.
Bytes TableBytes(const SimState& s) {
    const std::string& path = s.text("source_table");
    if (path.empty()) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Bytes> Pieces(const Bytes& table, std::size_t size) {
    std::vector<Bytes> pieces;
    for (std::size_t at = 0; at < table.size(); at += size) {
        const std::size_t n = std::min(size, table.size() - at);
        pieces.emplace_back(table.begin() + static_cast<long>(at),
                            table.begin() + static_cast<long>(at + n));
    }
    return pieces;
}

// The '@' frame of a 't' reply: '@', 't', its complement, the 32-bit data length, the data, the
// XOR check byte and CR LF.
Bytes SourceAtFrame(const Bytes& piece) {
    const auto n = static_cast<std::uint32_t>(piece.size());
    Bytes at = {0x40,
                't',
                static_cast<std::uint8_t>('t' ^ 0xFF),
                static_cast<std::uint8_t>(n),
                static_cast<std::uint8_t>(n >> 8),
                static_cast<std::uint8_t>(n >> 16),
                static_cast<std::uint8_t>(n >> 24)};
    at.insert(at.end(), piece.begin(), piece.end());
    std::uint8_t check = 0;
    for (std::uint8_t b : at) {
        check ^= b;
    }
    at.push_back(check);
    at.push_back(0x0D);
    at.push_back(0x0A);
    return at;
}

}  // namespace

std::vector<Bytes> SourceListNew(const NewRequest& request, const SimState& state) {
    std::vector<Bytes> frames;
    const std::size_t size = static_cast<std::size_t>(state.number("source_piece"));
    for (const Bytes& piece : Pieces(TableBytes(state), size)) {
        Bytes value = NewWire::U32(static_cast<std::uint32_t>(piece.size()));
        value.insert(value.end(), piece.begin(), piece.end());
        frames.push_back(
            NewWire::MakeFrame(request.operation, {{kSourceListTag, value}}, request.commandId));
    }
    return frames;
}

std::vector<Bytes> SourceListOld(const SimState& state, const std::uint8_t*, std::size_t, int*) {
    constexpr std::size_t kAtFrameExtra = 10;
    const bool inT = state.text("source_frames") == "t";
    const std::size_t most = inT ? BV::kOldBinMaxPayload - kAtFrameExtra : BV::kOldBinMaxPayload;
    const std::size_t size =
        std::min<std::size_t>(static_cast<std::size_t>(state.number("source_piece")), most);
    std::vector<Bytes> frames;
    for (const Bytes& table : Pieces(TableBytes(state), size)) {
        const Bytes piece = inT ? SourceAtFrame(table) : table;
        Bytes frame(BV::kOldFrameMaxLength, 0);
        std::uint32_t length = 0;
        if (BV::Pack_OldBinFrame('V', inT ? 'I' : 'M', piece.data(), piece.size(), frame.data(),
                                 &length, BV::kOldFormSerial)) {
            frame.resize(length);
            frames.push_back(std::move(frame));
        }
    }
    return frames;
}

}  // namespace varnok_sim
