// The caster's source table as a receiver forwards it after fetching it over its modem: the
// file named by `source_table`, cut into pieces of `source_piece` bytes. The new protocol sends
// one frame per piece (item 0x1106: a 32-bit length, then the bytes); the old protocol sends
// "VM" frames, whose payload holds at most 255 bytes.
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
    const std::size_t size = std::min<std::size_t>(
        static_cast<std::size_t>(state.number("source_piece")), BV::kOldBinMaxPayload);
    std::vector<Bytes> frames;
    for (const Bytes& piece : Pieces(TableBytes(state), size)) {
        Bytes frame(BV::kOldFrameMaxLength, 0);
        std::uint32_t length = 0;
        if (BV::Pack_OldBinFrame('V', 'M', piece.data(), piece.size(), frame.data(), &length,
                                 BV::kOldFormSerial)) {
            frame.resize(length);
            frames.push_back(std::move(frame));
        }
    }
    return frames;
}

}  // namespace varnok_sim
