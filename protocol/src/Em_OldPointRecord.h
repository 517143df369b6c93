// Body of the kinematic point commands (start, end and antenna point records).
#pragma once

#include <cstddef>

namespace Brevan2011 {
namespace BVParse {

constexpr std::size_t kPointRecordBuffer = 150;

// Encodes a point record of recordSize bytes into out (kPointRecordBuffer bytes, zeroed by the
// caller) as record type 6 (start), 7 (end), 12 (antenna) or 8. Returns the bytes written,
// 16-bit sum included, or -1 for a null record or buffer, or when the record's texts would
// run past the record or the encoding past the buffer.
int Build_PointInfo_Record(const unsigned char* record, std::size_t recordSize, unsigned char* out,
                           int type);

}  // namespace BVParse
}  // namespace Brevan2011
