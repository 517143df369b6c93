#include "Em_OldPointRecord.h"

#include <cstring>

namespace Brevan2011 {
namespace BVParse {

namespace {
constexpr std::size_t kFixedPart = 41;
constexpr std::size_t kNameLimit = 32;
}  // namespace

int Build_PointInfo_Record(const unsigned char* record, std::size_t recordSize, unsigned char* out,
                           int type) {
    if (record == nullptr || out == nullptr || recordSize < 40) {
        return -1;
    }
    std::size_t total = kFixedPart;
    switch (type) {
        case 6: {
            if (recordSize < 74) {
                return -1;
            }
            const std::size_t t1 = record[40];
            const std::size_t t2 = record[73];
            // The first text has a 32-byte field; both texts must lie in the record and the
            // encoding with its sum in the buffer.
            if (t1 > kNameLimit || 41 + t1 > recordSize || 74 + t2 > recordSize ||
                43 + t1 + t2 + 2 > kPointRecordBuffer) {
                return -1;
            }
            out[41] = static_cast<unsigned char>(t1);
            std::memcpy(out + 42, record + 41, t1);
            std::memcpy(out + 42 + t1, record + 74, t2);
            total = 43 + t1 + t2;
            break;
        }
        case 7:
            if (recordSize < 44) {
                return -1;
            }
            std::memcpy(out + 41, record + 40, 4);
            total = 45;
            break;
        case 12:
            if (recordSize < 88) {
                return -1;
            }
            out[41] = record[80];
            std::memcpy(out + 42, record + 84, 4);
            std::memset(out + 46, 0, 12);
            total = 58;
            break;
        default:
            break;
    }
    out[0] = 0x01;
    out[1] = 0x0B;
    out[2] = 0xF4;
    const bool known = type == 6 || type == 7 || type == 8 || type == 12;
    out[3] = known ? static_cast<unsigned char>(total - 4) : 0;
    out[4] = static_cast<unsigned char>(type);
    std::memcpy(out + 5, record, 4);  // first 32-bit field, little-endian as it lies
    std::memcpy(out + 9, record + 8, 6);
    std::memcpy(out + 15, record + 14, 16);
    std::memcpy(out + 31, record + 30, 10);
    unsigned sum = 0;
    for (std::size_t i = 0; i < total; ++i) {
        sum += out[i];
    }
    out[total] = static_cast<unsigned char>(sum & 0xFF);
    out[total + 1] = static_cast<unsigned char>((sum >> 8) & 0xFF);
    return static_cast<int>(total + 2);
}

Point_Record_Body Encode_PointInfo_Record(const void* record, std::size_t recordSize, int type) {
    Point_Record_Body body;
    const int n = Build_PointInfo_Record(static_cast<const unsigned char*>(record), recordSize,
                                         body.bytes, type);
    body.size = n > 0 ? static_cast<unsigned>(n) : 0u;
    return body;
}

}  // namespace BVParse
}  // namespace Brevan2011
