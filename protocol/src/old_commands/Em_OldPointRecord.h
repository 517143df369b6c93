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

// A point record's encoding in a buffer of its own; size 0 when the record is null or does not
// encode, so nothing is sent for it.
struct Point_Record_Body {
    unsigned char bytes[kPointRecordBuffer] = {};
    unsigned size = 0;
};

Point_Record_Body Encode_PointInfo_Record(const void* record, std::size_t recordSize, int type);

}  // namespace BVParse
}  // namespace Brevan2011
