// The old protocol's static-data answers of the simulated receiver: the file directory and a
// file's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

using SurveyBytes = std::vector<std::uint8_t>;

// "FM": the directory of `static_files` in "FM" frames of 55 bytes, the last one shorter.
std::vector<SurveyBytes> StaticFileDirectory(const SimState& s, const std::uint8_t* p,
                                             std::size_t n, int* stream);
// "FW" with the file's four bytes: `static_file_size` bytes of StaticFileByte in "FW" frames.
std::vector<SurveyBytes> StaticFileData(const SimState& s, const std::uint8_t* p, std::size_t n,
                                        int* stream);

// Byte i of the file the four bytes `file` name: (i + file) mod 251.
std::uint8_t StaticFileByte(std::uint32_t file, std::size_t i);

}  // namespace varnok_sim
