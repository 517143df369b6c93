// What the simulated receiver answers: one table of the requests it knows, keyed by the
// new protocol's item tag or the old protocol's two letters, rendered from the state with the
// protocol library's own frame renderers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

using Bytes = std::vector<std::uint8_t>;

struct NewRequestItem {
    std::uint16_t tag = 0;
    Bytes value;
};

// A new-protocol request frame as read from the wire.
struct NewRequest {
    std::uint32_t commandId = 0;
    std::uint16_t operation = 0;
    std::vector<NewRequestItem> items;  // after the operation item
};

struct Answer {
    std::string name;
    std::string detail;
    // New protocol: whole frames, chunked by the caller; old protocol: "$$" frames as they go
    // on the wire.
    std::vector<Bytes> frames;
    bool chunked = false;  // new-protocol frames travel in "$$" chunks
    // Old protocol's position output: +1 switched on, -1 switched off, 0 unchanged.
    int stream = 0;
};

// Answers a new-protocol request. Settings it carries are stored in the state, so a later
// query reads them back.
Answer AnswerNew(const NewRequest& request, SimState& state);

// Answers an old-protocol frame (its letters and payload).
Answer AnswerOld(char first, char second, const std::uint8_t* payload, std::size_t length,
                 SimState& state);

// One epoch of the old protocol's position output: "RG" frames that carry GGA, RMC and GST
// sentences for the main board's parser.
std::vector<Bytes> PositionEpoch(const SimState& state);

// The caster's source table in pieces (the new protocol's item 0x1106, the old protocol's "VM"
// frames); none when no table file is set.
constexpr std::uint16_t kSourceListTag = 0x1106;
std::vector<Bytes> SourceListNew(const NewRequest& request, const SimState& state);
std::vector<Bytes> SourceListOld(const SimState& state, const std::uint8_t* payload,
                                 std::size_t length, int* stream);

// The old protocol's battery level code for a grade (0-10) as the library decodes it.
std::uint8_t BatteryLevelCode(int grade);

}  // namespace varnok_sim
