// The simulated receiver's recording, static point and satellite channel answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SimAnswers.h"
#include "SimState.h"

namespace varnok_sim {

// Keeps what an old-protocol setting frame carries (device settings "SJ", static point "FA",
// antenna type "FS", recording "FD", NMEA output "RF" and "RD", port baud "SB"), so the next
// query reads it back.
void StoreOldSurveySetting(char first, char second, const std::uint8_t* payload, std::size_t length,
                           SimState& state);

// Puts the recording settings, channel switches and memory code into the 128-byte device
// block at the places the library copies them from.
void PutSurveyBytes(std::vector<std::uint8_t>& block, const SimState& state);

// Answers: the static point ("FB"), the antenna type ("FT"), the recording status ("FC").
std::vector<Bytes> OldStaticPoint(const SimState& s, const std::uint8_t*, std::size_t, int*);
std::vector<Bytes> OldAntennaType(const SimState& s, const std::uint8_t*, std::size_t, int*);
std::vector<Bytes> OldStaticStatus(const SimState& s, const std::uint8_t* p, std::size_t n, int*);
// The NMEA output configuration ("RC"): port byte, keep flag, output, eleven rate codes.
std::vector<Bytes> OldNmeaConfig(const SimState& s, const std::uint8_t*, std::size_t, int*);

// Keeps what a new-protocol setting item carries (file recording open, close and settings,
// data output rates of the IO the request names, -1 for none); false when the tag is not one
// of these.
bool StoreNewSurveySetting(std::uint16_t tag, const Bytes& value, SimState& state, int io = -1);

// The request a data-frequency item belongs to ("Send_Gnss_Data_Freq"), or null.
const char* DataFreqRequestName(std::uint16_t tag);

// The file-record settings (0x0B06, 43 bytes).
Bytes FileRecordParam(const SimState& s);
// The data configuration list of an IO (0x0456): IO 0 lists the sentence rates; the other
// IOs are the RTK set-up's.
Bytes DataConfigList(const SimState& s, int io);

}  // namespace varnok_sim
