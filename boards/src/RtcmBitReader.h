// Bounded MSB-first bit reader over one RTCM 3 frame. A read past the end fails and
// leaves the reader failed; it never touches memory outside the frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

class RtcmBitReader {
public:
    RtcmBitReader(const std::uint8_t* data, std::size_t bytes, std::size_t bit_pos = 0)
        : data_(data), bits_(data ? bytes * 8 : 0), pos_(bit_pos) {}

    // Unsigned field of `len` bits (0-64). Past the end: returns 0 and marks the reader failed.
    std::uint64_t U(int len) {
        if (len < 0 || len > 64 || !Has(std::size_t(len))) {
            failed_ = true;
            return 0;
        }
        std::uint64_t v = 0;
        int left = len;
        while (left > 0) {
            const std::size_t byte = pos_ >> 3;
            const int offset = int(pos_ & 7);
            const int take = (8 - offset) < left ? (8 - offset) : left;
            const unsigned chunk =
                (unsigned(data_[byte]) >> (8 - offset - take)) & ((1u << take) - 1u);
            v = (v << take) | chunk;
            pos_ += std::size_t(take);
            left -= take;
        }
        return v;
    }

    // Two's-complement field of `len` bits (1-64), sign-extended.
    std::int64_t S(int len) {
        const std::uint64_t u = U(len);
        if (len <= 0 || len >= 64) {
            return static_cast<std::int64_t>(u);
        }
        const std::uint64_t sign = std::uint64_t(1) << (len - 1);
        return static_cast<std::int64_t>((u ^ sign) - sign);
    }

    void Skip(std::size_t n) {
        if (!Has(n)) {
            failed_ = true;
            pos_ = bits_;
            return;
        }
        pos_ += n;
    }

    bool Has(std::size_t n) const { return pos_ <= bits_ && bits_ - pos_ >= n; }
    std::size_t Pos() const { return pos_; }
    std::size_t Bits() const { return bits_; }
    bool Ok() const { return !failed_; }

private:
    const std::uint8_t* data_;
    std::size_t bits_;
    std::size_t pos_;
    bool failed_ = false;
};

}  // namespace BVParse
}  // namespace Brevan2011
