// The simulated receiver's new-protocol data link answers: the radio's power switch and call
// sign, and the network link's address, source and account records.
#pragma once

#include <cstdint>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

// A set the table's scalar rows cannot keep: the power switch moves the radio's power status,
// the frequency and the radio's 32-bit words are kept as values, the records raw, so the next
// query reads them back. False when the tag is none of
// them.
bool StoreNewLink(std::uint16_t tag, const std::vector<std::uint8_t>& value, SimState& state);

// The records as the receiver answers them, zero-filled to their field sizes; the call sign
// empty (no answer) while `radio_callsign_silent` is 1.
std::vector<std::uint8_t> RadioCallsignRecord(const SimState& state);
std::vector<std::uint8_t> NetLinkAddressRecord(const SimState& state);
std::vector<std::uint8_t> NetLinkSourceRecord(const SimState& state);
std::vector<std::uint8_t> NetLinkAccountRecord(const SimState& state);

}  // namespace varnok_sim
