// The simulated receiver's radio channel answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

// Old protocol: a radio channel request carried in a "VS" AT message (frequencies, channel use,
// spacing: their queries and sets). Sets are kept in the state, so the next query reads them
// back. False when the message is none of them.
bool AnswerRadioChannelAt(const std::uint8_t* payload, std::size_t length, SimState& state,
                          std::vector<std::vector<std::uint8_t>>& frames, std::string& name);

// New protocol: the ten-channel list (item 0x0713) and the three band lists (item 0x0715);
// empty when the state holds none.
std::vector<std::uint8_t> RadioChannelList(const SimState& state);
std::vector<std::uint8_t> RadioChannelTables(const SimState& state);

}  // namespace varnok_sim
