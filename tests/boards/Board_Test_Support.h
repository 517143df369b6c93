// Byte strings, RTCM 3 frames and a slicing feeder for the STX/ETX, Hemisphere and engine board
// tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "Em_Crc.h"
#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {
namespace board_test {

typedef std::vector<unsigned char> Bytes;

inline Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& b : parts) {
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

inline Bytes Repeat(const Bytes& b, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) {
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

// An RTCM 3 frame of the given body length whose first 12 bits carry `message`.
inline Bytes Rtcm3_Frame(int bodyLength, unsigned message = 1005) {
    Bytes f(static_cast<size_t>(bodyLength) + 6, 0);
    f[0] = 0xD3;
    f[1] = static_cast<unsigned char>((bodyLength >> 8) & 0x03);
    f[2] = static_cast<unsigned char>(bodyLength);
    f[3] = static_cast<unsigned char>(message >> 4);
    f[4] = static_cast<unsigned char>((message & 0x0F) << 4);
    const uint32_t crc = Calc_Crc24Q(f.data(), bodyLength + 3);
    f[bodyLength + 3] = static_cast<unsigned char>(crc >> 16);
    f[bodyLength + 4] = static_cast<unsigned char>(crc >> 8);
    f[bodyLength + 5] = static_cast<unsigned char>(crc);
    return f;
}

inline std::string Hex(const unsigned char* p, size_t n) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) {
            out += ' ';
        }
        out += kDigits[p[i] >> 4];
        out += kDigits[p[i] & 15];
    }
    return out;
}

inline std::string Hex(const _STR_CMD& c) {
    return Hex(c.data, c.length);
}

inline std::string Cmd_Text(const _STR_CMD& c) {
    return std::string(reinterpret_cast<const char*>(c.data), c.length);
}

// Result of feeding bytes to a board.
struct Feed_Result {
    uint32_t mask = 0;  // OR of the update masks of the steps that returned non-zero
    int hits = 0;       // steps that returned non-zero
    std::vector<uint32_t> masks;
};

// Feeds the bytes in slices of `slice`, running the parse step after each slice until it
// returns 0 (a step that never stops returning non-zero fails the guard).
inline Feed_Result Feed(Em_OemBoard& board, const Bytes& bytes, size_t slice = 1u << 20) {
    Feed_Result r;
    for (size_t at = 0; at < bytes.size(); at += slice) {
        const size_t len = (bytes.size() - at) < slice ? (bytes.size() - at) : slice;
        board.Add_Data(bytes.data() + at, static_cast<int>(len));
        int guard = 0;
        while (board.Parse() != 0 && ++guard < 4096) {
            r.mask |= board.Data()->Update_Mask;
            r.masks.push_back(board.Data()->Update_Mask);
            ++r.hits;
        }
    }
    return r;
}

// Bytes left in the board's input.
inline int Pending(const Em_OemBoard& board) {
    return board.Input()->Fill - board.Input()->Read;
}

}  // namespace board_test
}  // namespace BVParse
}  // namespace Brevan2011
