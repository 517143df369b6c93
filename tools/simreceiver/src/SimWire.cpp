#include "SimWire.h"

#include <algorithm>

namespace varnok_sim {

namespace {

constexpr std::uint8_t kChunkType = 0x01;
constexpr std::size_t kNewHeader = 13;
constexpr std::size_t kNewOverhead = 19;
constexpr std::size_t kNewMaxBody = 20480;

std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

void Keep(Bytes& b, std::size_t limit) {
    if (b.size() > limit) {
        b.erase(b.begin(), b.end() - static_cast<std::ptrdiff_t>(limit));
    }
}

void Drop(Bytes& b, std::size_t n) {
    b.erase(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min(n, b.size())));
}

}  // namespace

void WireReader::append(const std::uint8_t* data, std::size_t n) {
    in_.insert(in_.end(), data, data + n);
    Keep(in_, kMaxKept);
}

bool WireReader::next(WireMessage* message) {
    for (;;) {
        if (nextNewFrame(message)) {
            return true;
        }
        if (in_.size() < 2) {
            return false;
        }
        if (in_[0] != '$' || in_[1] != '$') {
            Drop(in_, 1);
            continue;
        }
        if (in_.size() < 6) {
            return false;
        }
        if (in_[2] == kChunkType) {
            // "$$", type, sequence, k, k bytes, CR LF
            const std::size_t k = in_[4];
            if (in_.size() < k + 7) {
                return false;
            }
            if (k == 0 || in_[5 + k] != 0x0D || in_[6 + k] != 0x0A) {
                Drop(in_, 1);
                continue;
            }
            frames_.insert(frames_.end(), in_.begin() + 5, in_.begin() + 5 + k);
            Keep(frames_, kMaxKept);
            Drop(in_, k + 7);
            continue;
        }
        // "$$", two letters, mode, L, payload, check, CR LF; the check is the XOR of the
        // letters through the payload.
        const std::size_t length = in_[5];
        if (in_.size() < length + 9) {
            return false;
        }
        std::uint8_t check = 0;
        for (std::size_t i = 2; i < 6 + length; ++i) {
            check ^= in_[i];
        }
        if (check != in_[6 + length]) {
            Drop(in_, 1);
            continue;
        }
        message->isNew = false;
        message->letters[0] = static_cast<char>(in_[2]);
        message->letters[1] = static_cast<char>(in_[3]);
        message->payload.assign(in_.begin() + 6, in_.begin() + 6 + length);
        Drop(in_, length + 9);
        return true;
    }
}

bool WireReader::nextNewFrame(WireMessage* message) {
    for (;;) {
        if (frames_.size() < 3) {
            return false;
        }
        if (frames_[0] != 0x04 || frames_[1] != 0x11 || frames_[2] != 0x00) {
            Drop(frames_, 1);
            continue;
        }
        if (frames_.size() < kNewHeader) {
            return false;
        }
        const std::size_t body = Be16(frames_.data() + 11);
        if (body < 6 || body > kNewMaxBody) {
            Drop(frames_, 1);
            continue;
        }
        if (frames_.size() < body + kNewOverhead) {
            return false;
        }
        const std::uint8_t* f = frames_.data();
        if (f[17 + body] != 0x09 || f[18 + body] != 0x24) {
            Drop(frames_, 1);
            continue;
        }
        // The operation item comes first; a frame without it is no request.
        const std::uint8_t* b = f + kNewHeader;
        if (Be16(b) != 0x0001 || Be16(b + 2) != 2) {
            Drop(frames_, body + kNewOverhead);
            continue;
        }
        message->isNew = true;
        message->request = NewRequest{};
        message->request.commandId = Be32(f + 3);
        message->request.operation = Be16(b + 4);
        std::size_t at = 6;
        while (at + 4 <= body) {
            const std::size_t n = Be16(b + at + 2);
            if (at + 4 + n > body) {
                break;
            }
            message->request.items.push_back({Be16(b + at), Bytes(b + at + 4, b + at + 4 + n)});
            at += 4 + n;
        }
        Drop(frames_, body + kNewOverhead);
        return true;
    }
}

}  // namespace varnok_sim
