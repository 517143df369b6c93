// Builds RTCM 3 frames bit by bit for the decoder tests, and reads frames out of captures.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace rtcm_test {

inline std::uint32_t Crc24q(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= std::uint32_t(p[i]) << 16;
        for (int b = 0; b < 8; ++b) {
            crc <<= 1;
            if (crc & 0x1000000) {
                crc ^= 0x1864CFB;
            }
        }
    }
    return crc & 0xFFFFFF;
}

// Message body written MSB first; Frame() wraps it with preamble, length and CRC.
class BitWriter {
public:
    BitWriter& Put(std::uint64_t value, int len) {
        for (int i = len - 1; i >= 0; --i) {
            if (bits_ % 8 == 0) {
                body_.push_back(0);
            }
            if ((value >> i) & 1u) {
                body_.back() |= std::uint8_t(0x80u >> (bits_ % 8));
            }
            ++bits_;
        }
        return *this;
    }
    BitWriter& PutS(std::int64_t value, int len) { return Put(std::uint64_t(value), len); }
    std::size_t BitCount() const { return bits_; }

    std::vector<std::uint8_t> Frame() const {
        std::vector<std::uint8_t> f = {0xD3, std::uint8_t((body_.size() >> 8) & 3),
                                       std::uint8_t(body_.size() & 0xFF)};
        f.insert(f.end(), body_.begin(), body_.end());
        const std::uint32_t crc = Crc24q(f.data(), f.size());
        f.push_back(std::uint8_t(crc >> 16));
        f.push_back(std::uint8_t(crc >> 8));
        f.push_back(std::uint8_t(crc));
        return f;
    }

private:
    std::vector<std::uint8_t> body_;
    std::size_t bits_ = 0;
};

inline bool Read_File(const std::string& path, std::vector<std::uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct Frame {
    unsigned number;
    std::vector<std::uint8_t> bytes;  // whole frame, preamble through CRC
};

// Every CRC-valid frame of a capture, in order.
inline std::vector<Frame> Frames_In(const std::vector<std::uint8_t>& d) {
    std::vector<Frame> frames;
    std::size_t i = 0;
    while (i + 6 <= d.size()) {
        if (d[i] != 0xD3 || (d[i + 1] & 0xFC) != 0) {
            ++i;
            continue;
        }
        const std::size_t len = (std::size_t(d[i + 1] & 3) << 8) | d[i + 2];
        if (i + len + 6 > d.size()) {
            ++i;
            continue;
        }
        const std::uint32_t crc = (std::uint32_t(d[i + len + 3]) << 16) |
                                  (std::uint32_t(d[i + len + 4]) << 8) | d[i + len + 5];
        if (len < 2 || Crc24q(&d[i], len + 3) != crc) {
            ++i;
            continue;
        }
        Frame f;
        f.number = (unsigned(d[i + 3]) << 4) | (d[i + 4] >> 4);
        f.bytes.assign(d.begin() + long(i), d.begin() + long(i + len + 6));
        frames.push_back(std::move(f));
        i += len + 6;
    }
    return frames;
}

}  // namespace rtcm_test
