// The simulated receiver's RTK set-up: masks, differential type, base set, the per-IO data
// lists, the serial port's baud, the base position list and the new protocol's position
// output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

using Bytes = std::vector<std::uint8_t>;

namespace rtk {

// Renderers of query answers; io is the request's IO or port (-1 when it names none).
Bytes DiffType(const SimState& s, int io);
Bytes BaseSet(const SimState& s, int io);
Bytes IoDataList(const SimState& s, int io);
Bytes ComBaud(const SimState& s, int io);
Bytes BaseList(const SimState& s, int io);

// Settings: store what the frame carries; the result switches the position output
// (+1 on, -1 off, 0 unchanged).
int SetDiffType(SimState& s, int io, const Bytes& value);
int SetBaseSet(SimState& s, int io, const Bytes& value);
int Unlog(SimState& s, int io, const Bytes& value);
int SetComBaud(SimState& s, int io, const Bytes& value);
int SetBaseList(SimState& s, int io, const Bytes& value);
int SetPositionRate(SimState& s, int io, const Bytes& value);

// Old protocol: the device settings ("SJ" records of a setting code and its value, "SW" rate
// and elevation forms) stored in the state, and their bytes in the 128-byte device block.
void OldDeviceSetting(SimState& s, const std::uint8_t* p, std::size_t n);
void OldRate(SimState& s, const std::uint8_t* p, std::size_t n);
void PutDeviceSettings(const SimState& s, Bytes& block);

// Old protocol's base position list: "FI" adds (three little-endian doubles), "FL" removes by
// index, "FJ,B1" reads (the list in "FJ" pieces of 55 bytes), "FJ,B2" clears, "FK,B2" reads the
// difference and "FK" with a double sets it.
void OldBaseListChange(SimState& s, const std::uint8_t* p, std::size_t n);
std::vector<Bytes> OldBaseList(const SimState& s, const std::uint8_t* p, std::size_t n,
                               int* stream);
std::vector<Bytes> OldBaseDifference(const SimState& s, const std::uint8_t* p, std::size_t n,
                                     int* stream);
void OldSetBaseDifference(SimState& s, const std::uint8_t* p, std::size_t n);
void OldClearBaseList(SimState& s, const std::uint8_t* p, std::size_t n);

// True when a board command passed through in an "RZ" frame restarts the board (NovAtel
// "freset", Hemisphere "$JRESET", the STX/ETX "RESET" packet).
bool IsBoardReset(const std::uint8_t* p, std::size_t n);

// One epoch of the new protocol's position output: a whole frame with the position item.
Bytes PositionEpochNew(const SimState& s);

}  // namespace rtk
}  // namespace varnok_sim
